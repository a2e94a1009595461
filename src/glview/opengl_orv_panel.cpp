// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/opengl_orv_panel.h"

#include <qdrawutil.h>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QSurfaceFormat>
#include <QWindow>

#include <GL/gl.h>

#include <algorithm>
#include <utility>

#include "glview/exception_text.h"
#include "glview/frame_readback.h"
#include "glview/gl_surface_host.h"
#include "glview/opengl_orv_font.h"
#include "glview/platform_messages.h"
#include "render/headless_target.h"

namespace veliso {

namespace {

/// Widths of the frame parts, in pixels.
constexpr int kSizingFrame = 4;
constexpr int kClientEdge = 2;
/// Milliseconds between two attempts to bind the context to a surface that refused it.
constexpr qint64 kBindRetryMs = 1000;

}  // namespace

QFont TFontDescription::ToQFont() const {
    QFont font(Name);
    if (Height != 0) {
        font.setPixelSize(std::abs(Height));
    }
    font.setBold((Styles & fsBold) != 0);
    font.setItalic((Styles & fsItalic) != 0);
    font.setUnderline((Styles & fsUnderline) != 0);
    font.setStrikeOut((Styles & fsStrikeOut) != 0);
    return font;
}

// ---------------------------------------------------------------------------------------
// The panel

template <typename F>
bool TOpenGLOrvPanel::RunOwnerCode(F&& code) {
    // The owner's code runs from window-system events (expose, mouse, show) as well as from
    // its own calls; an exception must not unwind through Qt's event handling.
    try {
        code();
        return true;
    } catch (...) {
        const QString message = CurrentExceptionMessage();
        emit handlerFailed(message);
        return false;
    }
}

TOpenGLOrvPanel::TOpenGLOrvPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    frameRequests_ = new FrameRequests(this, [this] { return ExpiredOutcome(); });
}

TOpenGLOrvPanel::~TOpenGLOrvPanel() {
    frameRequests_->Drop();
    DestroyGLContext();
    // Taking the container down sends this panel enter, leave and cursor events: they must
    // no longer reach the window and container being deleted.
    surface_ = nullptr;
    container_ = nullptr;
    delete surfaceHost_;  // the native window and its container
}

void TOpenGLOrvPanel::setPixelType(TPFDPixelTypes value) {
    pixelType_ = value;
    pixelTypeNumber_ = static_cast<int>(value);
}

void TOpenGLOrvPanel::setPFDFlags(TPFDFlags value) {
    pfdFlags_ = ResolvePFDFlags(pfdFlags_, value);
}

void TOpenGLOrvPanel::setFont3D_Format(TFont3DFormat value) {
    font3DFormat_ = value;
    font3DFormatNumber_ = static_cast<int>(value);
}

void TOpenGLOrvPanel::setBorder(bool value) {
    border_ = value;
    if (windowCreated_) {
        Restyle();
    }
}

void TOpenGLOrvPanel::setToolWindow(bool value) {
    toolWindow_ = value;
    if (windowCreated_) {
        Restyle();
    }
}

void TOpenGLOrvPanel::setAllowResize(bool value) {
    allowResize_ = value;
    if (windowCreated_) {
        Restyle();
    }
}

TPixelFormatDescriptor TOpenGLOrvPanel::RequestedDescriptor() const {
    TPixelFormatDescriptor d;
    d.iPixelType = static_cast<std::uint8_t>(pixelTypeNumber_);
    d.cColorBits = cColorBits_;
    d.cAccumBits = cAccBits_;
    d.cDepthBits = cDepthBits_;
    d.dwFlags = DescriptorFlags(pfdFlags_);
    return d;
}

QWindow* TOpenGLOrvPanel::glWindow() const {
    return surface_;
}

int TOpenGLOrvPanel::ClientWidth() const {
    return qRound(ClientRect().width() * devicePixelRatioF());
}

int TOpenGLOrvPanel::ClientHeight() const {
    return qRound(ClientRect().height() * devicePixelRatioF());
}

int TOpenGLOrvPanel::CaptionHeight() const {
    return fontMetrics().height() + 4;
}

QRect TOpenGLOrvPanel::CaptionRect() const {
    if (!windowCreated_ || !toolWindow_) {
        return {};
    }
    QRect r = rect();
    if (allowResize_) {
        r.adjust(kSizingFrame, kSizingFrame, -kSizingFrame, -kSizingFrame);
    }
    r.setHeight(CaptionHeight());
    return r;
}

QRect TOpenGLOrvPanel::ClientRect() const {
    QRect r = rect();
    if (!windowCreated_) {
        return r;
    }
    if (allowResize_) {
        r.adjust(kSizingFrame, kSizingFrame, -kSizingFrame, -kSizingFrame);
    }
    if (toolWindow_) {
        r.setTop(r.top() + CaptionHeight());
    }
    if (border_) {
        r.adjust(kClientEdge, kClientEdge, -kClientEdge, -kClientEdge);
    }
    return QRect(r.topLeft(), r.size().expandedTo(QSize(0, 0)));
}

void TOpenGLOrvPanel::Restyle() {
    const QSize before = container_ != nullptr ? container_->size() : QSize();
    if (container_ != nullptr) {
        container_->setGeometry(ClientRect());
    }
    update();
    if (contextCreationDone_ && container_ != nullptr && container_->size() != before) {
        Resize();
    }
}

void TOpenGLOrvPanel::HandleNeeded() {
    if (!windowCreated_) {
        CreateWnd();
    }
}

void TOpenGLOrvPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    HandleNeeded();
    // A view without a context keeps its surface hidden: nothing could ever be drawn there,
    // and the panel's own area shows instead.
    if (surfaceHost_ != nullptr && contextReady()) {
        surfaceHost_->PanelShown();
    }
}

void TOpenGLOrvPanel::CreateWnd() {
    // Window parameters: the client area is a native window of its own whose surface keeps
    // the same GL drawable for the window's life.
    windowCreated_ = true;
    if (OnPreInit) {
        RunOwnerCode([this] { OnPreInit(this); });
    }
    surfaceHost_ = new GlSurfaceHost(this, ClientRect());
    surface_ = surfaceHost_->window();
    container_ = surfaceHost_->container();
    connect(surfaceHost_, &GlSurfaceHost::exposed, this, &TOpenGLOrvPanel::SurfaceExposed);
    connect(surfaceHost_, &GlSurfaceHost::changed, this, &TOpenGLOrvPanel::SurfaceChanged);
    connect(surfaceHost_, &GlSurfaceHost::aboutToBeDestroyed, this,
            &TOpenGLOrvPanel::SurfaceAboutToBeDestroyed);
    connect(surfaceHost_, &GlSurfaceHost::mouseEvent, this, &TOpenGLOrvPanel::SurfaceMouse);
    SyncCursor();
    CreationSequence();
}

void TOpenGLOrvPanel::CreationSequence() {
    // A failure anywhere here, the owner's initialisation included, leaves the window
    // created; without a context the view simply stays empty, its surface hidden so that
    // nothing is drawn into it. An exception is handed on, not dropped. From here on size
    // changes are reported.
    contextCreationDone_ = false;
    RunOwnerCode([this] {
        if (CreateGLContext()) {
            if (font3DEnabled_) {
                BuildFont3D();
            }
            if (font2DEnabled_) {
                BuildFont2D();
            }
            Restyle();
            contextCreationDone_ = true;
            emit initialised();
        } else {
            contextCreationDone_ = true;
            surfaceHost_->HideForGood();
            ReportError(QStringLiteral("Open GL Context Create Failed"));
            // Requests made before the creation ran learn now, with its cause, instead of
            // at their deadline with none.
            frameRequests_->AnswerAll({FrameOutcome::NoContext, {}, creationFailure_});
        }
    });
    contextCreationDone_ = true;
}

bool TOpenGLOrvPanel::CreateGLContext() {
    const TPixelFormatDescriptor requested = RequestedDescriptor();
    // Choosing the pixel format.
    QSurfaceFormat format;
    QString why;
    if (!SurfaceFormatFromDescriptor(requested, format, why)) {
        ReportPlatformError(QStringLiteral("ChoosePixelFormat:"), why);
        return false;
    }
    // Setting it on the window: the native window is created with a visual of that format.
    {
        PlatformMessages messages;
        if (!surfaceHost_->MakeSurface(format, ClientRect().size())) {
            ReportPlatformError(
                QStringLiteral("SetPixelFormat:"),
                messages.Text(QStringLiteral("the display has no window visual for this format.")));
            return false;
        }
    }
    swapAfterPaint_ = (requested.dwFlags & pfd::DOUBLEBUFFER) != 0;

    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!CreatePlatformContext(*context, why)) {
        if (DrawOffScreen(format)) {
            return true;
        }
        ReportPlatformError(QStringLiteral("wglRenderingContext:"), why);
        return false;
    }
    context_ = std::move(context);
    if (!MakeCurrent()) {
        // Reported by MakeCurrent. A context that cannot be bound to its window is of no
        // use: the view goes on without one instead of trying again at every paint.
        context_.reset();
        return false;
    }

    GLint accum[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_ACCUM_RED_BITS, &accum[0]);
    glGetIntegerv(GL_ACCUM_GREEN_BITS, &accum[1]);
    glGetIntegerv(GL_ACCUM_BLUE_BITS, &accum[2]);
    glGetIntegerv(GL_ACCUM_ALPHA_BITS, &accum[3]);
    pixelFormat_ =
        DescriptorFromSurfaceFormat(context_->format(), accum[0] + accum[1] + accum[2] + accum[3]);
    pixelFormat_.cAccumRedBits = static_cast<std::uint8_t>(accum[0]);
    pixelFormat_.cAccumGreenBits = static_cast<std::uint8_t>(accum[1]);
    pixelFormat_.cAccumBlueBits = static_cast<std::uint8_t>(accum[2]);
    pixelFormat_.cAccumAlphaBits = static_cast<std::uint8_t>(accum[3]);
    // Palette devices only: the colour map follows from the obtained channel layout.
    palette_.clear();
    if ((pixelFormat_.dwFlags & pfd::NEED_PALETTE) != 0) {
        palette_ = BuildPalette(pixelFormat_);
        if (palette_.empty()) {
            ReportError(QStringLiteral("ConstructPalette: Malloc failure"));
            context_.reset();
            return false;
        }
    }
    return true;
}

bool TOpenGLOrvPanel::DrawOffScreen(QSurfaceFormat format) {
    // Qt's offscreen platform, which a capture runs on where there is no display, has OpenGL
    // only through an X display. Without one, the view draws into a target of its own from
    // Mesa's surfaceless EGL, read back as any frame is: the same software rasteriser as a
    // desktop's driver, drawing into a buffer kept as a window's is, so the desktop's very
    // picture. Nothing of it reaches a screen, which that platform does not have.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        return false;
    }
    // The buffers a desktop's software driver gives for the same request (alpha only when
    // asked for, the depth bits asked for), since depth tests and blending depend on them.
    const HeadlessBuffers buffers{format.alphaBufferSize() > 0,
                                  std::max(format.depthBufferSize(), 16)};
    auto target = std::make_unique<HeadlessTarget>(std::max(ClientWidth(), 1),
                                                   std::max(ClientHeight(), 1), 0, buffers);
    if (!target->ok()) {
        return false;
    }
    ownFramebuffer_ = std::move(target);
    binding_ = Binding::Bound;
    swapAfterPaint_ = false;  // drawn where it is read: nothing to present
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(ownFramebuffer_->buffers().alpha ? 8 : 0);
    format.setDepthBufferSize(ownFramebuffer_->buffers().depthBits);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::SingleBuffer);
    pixelFormat_ = DescriptorFromSurfaceFormat(format, 0);
    palette_.clear();
    return true;
}

bool TOpenGLOrvPanel::CreatePlatformContext(QOpenGLContext& context, QString& why) {
    PlatformMessages messages;
    if (context.create()) {
        return true;
    }
    why = messages.Text(
        QStringLiteral("the OpenGL driver could not create a context for this pixel format."));
    return false;
}

bool TOpenGLOrvPanel::MakeCurrent() {
    if (ownFramebuffer_ != nullptr) {
        ownFramebuffer_->MakeCurrent();
        return true;
    }
    if (context_ == nullptr || surface_ == nullptr || surface_->handle() == nullptr) {
        return false;
    }
    if (binding_ == Binding::Bound && QOpenGLContext::currentContext() == context_.get() &&
        context_->surface() == surface_) {
        return true;
    }
    if (binding_ == Binding::RefusedOffScreen ||
        (binding_ == Binding::Refused && !bindRetry_.hasExpired(kBindRetryMs))) {
        return false;  // reported already: see Binding
    }
    QString why;
    if (MakePlatformCurrent(why)) {
        binding_ = Binding::Bound;
        return true;
    }
    // A refusal on screen may pass (a compositor busy with the window, a driver between two
    // states) with no new surface and no new exposure to follow: the bind is tried again a
    // second later, else the view would keep its last frame on screen for good while
    // everything else goes on. Reported once per surface.
    const bool reported = binding_ == Binding::Refused;
    binding_ = SurfaceOnScreen() ? Binding::Refused : Binding::RefusedOffScreen;
    bindRetry_.start();
    if (!reported) {
        ReportPlatformError(QStringLiteral("wglMakeCurrent:"), why);
    }
    return false;
}

bool TOpenGLOrvPanel::MakePlatformCurrent(QString& why) {
    PlatformMessages messages;
    if (context_->makeCurrent(surface_)) {
        return true;
    }
    why = messages.Text(QStringLiteral("the context could not be bound to the view's window."));
    return false;
}

void TOpenGLOrvPanel::SurfaceChanged() {
    // A new native surface (the first one, or one made again after re-parenting), or one
    // hidden, which may take the drawable away underneath the context (a Wayland surface
    // loses its buffers when unmapped): the context binds to it again before the next
    // drawing, and a binding that failed on the old drawable is tried again.
    binding_ = Binding::Unbound;
}

void TOpenGLOrvPanel::SurfaceAboutToBeDestroyed() {
    // The context outlives its surface: it lets go of it, and keeps its state and lists for
    // the next surface.
    if (context_ != nullptr && QOpenGLContext::currentContext() == context_.get()) {
        context_->doneCurrent();
    }
    binding_ = Binding::Unbound;
}

void TOpenGLOrvPanel::DestroyGLContext() {
    // The lists belong to the context: delete them while it is current. Nothing is reported
    // from here: the owner may be half gone.
    if (context_ != nullptr && (font3DLists_ != nullptr || font2DLists_ != nullptr) &&
        QOpenGLContext::currentContext() != context_.get() && surface_ != nullptr &&
        surface_->handle() != nullptr) {
        QString ignored;
        MakePlatformCurrent(ignored);
    }
    if (ownFramebuffer_ != nullptr) {
        ownFramebuffer_->MakeCurrent();
    }
    font3DLists_.reset();
    font2DLists_.reset();
    ownFramebuffer_.reset();
    if (context_ != nullptr) {
        context_->doneCurrent();
        context_.reset();
    }
    palette_.clear();
}

void TOpenGLOrvPanel::BuildFont3D() {
    font3DLists_.reset();
    font3DLists_ =
        BuildOutlineFont(font3DType_.ToQFont(), font3DFirst_, font3DNum_, font3DDeviation_,
                         font3DExtrusion_, font3DFormat_ == TFont3DFormat::f_WGL_FONT_POLYGONS);
}

void TOpenGLOrvPanel::BuildFont2D() {
    font2DLists_.reset();
    font2DLists_ = BuildBitmapFont(font2DType_.ToQFont(), font2DFirst_, font2DNum_);
}

void TOpenGLOrvPanel::DrawText3D(std::string_view text) {
    CallFontLists(font3DLists_.get(), text);
}

void TOpenGLOrvPanel::DrawText2D(std::string_view text) {
    CallFontLists(font2DLists_.get(), text);
}

void TOpenGLOrvPanel::ReportError(const QString& text) {
    errorText_ = text;
    if ((!contextCreationDone_ || !contextReady()) && creationFailure_.isEmpty()) {
        creationFailure_ = text;  // the cause; "Open GL Context Create Failed" comes last
    }
    DoError();
}

void TOpenGLOrvPanel::ReportPlatformError(const QString& prefix, const QString& systemText) {
    ReportError(prefix + systemText.left(kPlatformMessageLength));
}

void TOpenGLOrvPanel::DoError() {
    RunOwnerCode([this] { emit errorReported(errorText_); });
}

bool TOpenGLOrvPanel::SurfaceOnScreen() const {
    return surfaceHost_ != nullptr && surfaceHost_->OnScreen();
}

bool TOpenGLOrvPanel::FrameWanted() const {
    return frameRequests_->waiting();
}

bool TOpenGLOrvPanel::WouldPaint() const {
    return contextReady() && !painting_ && SurfaceOnScreen();
}

void TOpenGLOrvPanel::Repaint() {
    if (SurfaceOnScreen()) {
        Paint();
    }
}

void TOpenGLOrvPanel::SurfaceExposed() {
    // A binding refused while the surface was off screen (the owner may bind outside the
    // paint cycle at any time) is tried again now: the drawable may only now be usable. One
    // refused on screen is not: X11 sends an expose for every damaged area, and each would
    // try and report again.
    if (binding_ == Binding::RefusedOffScreen) {
        binding_ = Binding::Unbound;
    }
    if (contextCreationDone_ && SurfaceOnScreen()) {
        Paint();
    }
}

void TOpenGLOrvPanel::Paint() {
    if (painting_) {
        return;  // an OnPaint that asks for a repaint is already being served
    }
    painting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{painting_};

    if (!contextReady()) {
        // Nothing could be drawn, and the owner's drawing expects a current context.
        frameRequests_->AnswerAll({FrameOutcome::NoContext, {}, creationFailure_});
        return;
    }
    if (fpsEnabled_) {
        fpsClock_.start();
    }
    if (OnPaint && !PaintFrame()) {
        return;
    }
    if (fpsEnabled_) {
        // One nanosecond at least, so that the rate stays finite.
        const qint64 elapsed = std::max<qint64>(fpsClock_.nsecsElapsed(), 1);
        framesPerSecond_ = static_cast<int>(1'000'000'000 / elapsed);
    }
}

bool TOpenGLOrvPanel::PaintFrame() {
    // The context made current at creation normally still is; it is bound again only if
    // something else took the thread's current context meanwhile or the surface changed.
    // A surface that refuses the context (reported once) gets no drawing; waiting requests
    // wait for a later paint or their deadline.
    if (!MakeCurrent()) {
        return false;
    }
    const bool drawn = RunOwnerCode([this] {
        try {
            OnPaint(this);
        } catch (...) {
            // Whoever waits for this frame learns first, before the failure is shown (which
            // may block in a modal box).
            frameRequests_->AnswerAll({FrameOutcome::PaintFailed, {}, CurrentExceptionMessage()});
            throw;
        }
    });
    if (!drawn) {
        return false;  // half drawn: neither swapped nor handed out
    }
    if (pixelFormat_.cAlphaBits > 0) {
        MakeFrameOpaque();
    }
    DeliverFrame();
    if (swapBuffers_ == TOpenGLSwapBuffers::Auto && swapAfterPaint_) {
        SwapPlatformBuffers();
    }
    return true;
}

void TOpenGLOrvPanel::RequestFrame(FrameRequests::Callback answer, int timeoutMs) {
    if (contextCreationDone_ && !contextReady()) {
        frameRequests_->AnswerLater(std::move(answer),
                                    {FrameOutcome::NoContext, {}, creationFailure_});
        return;
    }
    frameRequests_->Add(std::move(answer), timeoutMs);
}

FrameOutcome TOpenGLOrvPanel::ExpiredOutcome() const {
    if (contextCreationDone_ && !contextReady()) {
        return FrameOutcome::NoContext;
    }
    return SurfaceOnScreen() ? FrameOutcome::TimedOut : FrameOutcome::NotExposed;
}

void TOpenGLOrvPanel::DeliverFrame() {
    if (!frameRequests_->waiting()) {
        return;
    }
    const QImage frame = ReadDrawBuffer(ClientWidth(), ClientHeight());
    if (frame.isNull()) {
        // A view of no width or no height: nothing of it is on screen.
        frameRequests_->AnswerAll({FrameOutcome::NotExposed, {}, {}});
        return;
    }
    frameRequests_->AnswerAll({FrameOutcome::Painted, frame, {}});
}

void TOpenGLOrvPanel::MakeFrameOpaque() {
    // Blending with (GL_SRC_ALPHA, GL_ONE) leaves the destination alpha below 1 wherever
    // translucent walls were drawn. A compositor (Wayland, a compositing X11 desktop) blends
    // a window surface that has an alpha channel with whatever lies beneath it, so those
    // walls would show the window behind the view. Only the alpha channel is written.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
}

void TOpenGLOrvPanel::SwapPlatformBuffers() {
    context_->swapBuffers(surface_);
}

void TOpenGLOrvPanel::Resize() {
    if (ownFramebuffer_ != nullptr &&
        !ownFramebuffer_->Resize(std::max(ClientWidth(), 1), std::max(ClientHeight(), 1))) {
        ReportError(QStringLiteral("Resize: the view's framebuffer could not take its new size."));
    }
    RunOwnerCode([this] { emit resized(); });
}

void TOpenGLOrvPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (container_ != nullptr) {
        container_->setGeometry(ClientRect());
    }
    if (contextCreationDone_) {
        Resize();
    }
}

void TOpenGLOrvPanel::paintEvent(QPaintEvent*) {
    // Only the frame around the GL surface is the panel's own drawing.
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    if (!windowCreated_) {
        return;
    }
    // Each part of the frame is drawn only where it fits inside the parts around it: a panel
    // shrunk below its own edges (in a window made tiny) shows less frame, never a frame of
    // negative size.
    const auto fits = [](const QRect& area, int edge) {
        return area.width() >= 2 * edge && area.height() >= 2 * edge;
    };
    QRect r = rect();
    if (allowResize_) {
        if (!fits(r, kSizingFrame)) {
            return;
        }
        qDrawWinPanel(&painter, r, palette(), false);
        r.adjust(kSizingFrame, kSizingFrame, -kSizingFrame, -kSizingFrame);
    }
    if (toolWindow_) {
        const QRect caption = CaptionRect().intersected(r);
        if (caption.isEmpty()) {
            return;
        }
        painter.fillRect(caption, palette().highlight());
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(palette().highlightedText().color());
        painter.drawText(caption.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         windowTitle());
        r.setTop(caption.bottom() + 1);
    }
    if (border_ && fits(r, kClientEdge)) {
        qDrawShadePanel(&painter, r, palette(), true, kClientEdge);
    }
}

Qt::Edges TOpenGLOrvPanel::FrameEdgesAt(QPoint p) const {
    Qt::Edges edges;
    if (!windowCreated_ || !allowResize_) {
        return edges;
    }
    if (p.x() < kSizingFrame) {
        edges |= Qt::LeftEdge;
    }
    if (p.x() >= width() - kSizingFrame) {
        edges |= Qt::RightEdge;
    }
    if (p.y() < kSizingFrame) {
        edges |= Qt::TopEdge;
    }
    if (p.y() >= height() - kSizingFrame) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

void TOpenGLOrvPanel::mousePressEvent(QMouseEvent* event) {
    // The panel's own area is the frame: sizing border and caption.
    drag_ = Drag::None;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint p = event->position().toPoint();
    dragEdges_ = FrameEdgesAt(p);
    if (dragEdges_ != Qt::Edges()) {
        drag_ = Drag::Resize;
    } else if (CaptionRect().contains(p) && allowMoving_) {
        drag_ = Drag::Move;  // without AllowMoving a caption drag is cancelled at once
    }
    dragStart_ = event->globalPosition().toPoint();
    dragGeometry_ = geometry();
}

void TOpenGLOrvPanel::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ == Drag::None) {
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - dragStart_;
    QRect g = dragGeometry_;
    if (drag_ == Drag::Move) {
        g.translate(delta);
    } else {
        const int minimum = 2 * kSizingFrame + 1;
        if (dragEdges_ & Qt::LeftEdge) {
            g.setLeft(std::min(g.left() + delta.x(), g.right() - minimum));
        }
        if (dragEdges_ & Qt::RightEdge) {
            g.setRight(std::max(g.right() + delta.x(), g.left() + minimum));
        }
        if (dragEdges_ & Qt::TopEdge) {
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - minimum));
        }
        if (dragEdges_ & Qt::BottomEdge) {
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() + minimum));
        }
    }
    setGeometry(g);
}

void TOpenGLOrvPanel::mouseReleaseEvent(QMouseEvent*) {
    drag_ = Drag::None;
}

void TOpenGLOrvPanel::SurfaceMouse(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    RunOwnerCode([&] {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                emit mousePressed(event->button(), event->modifiers(), p.x(), p.y());
                break;
            case QEvent::MouseButtonRelease:
                emit mouseReleased(event->button(), event->modifiers(), p.x(), p.y());
                break;
            case QEvent::MouseMove:
                emit mouseMoved(event->modifiers(), p.x(), p.y());
                break;
            default:
                break;
        }
    });
}

void TOpenGLOrvPanel::SyncCursor() {
    // The GL surface is a native window of its own: it shows the panel's cursor only when
    // given it explicitly.
    if (surface_ == nullptr) {
        return;
    }
    if (testAttribute(Qt::WA_SetCursor)) {
        surface_->setCursor(cursor());
        container_->setCursor(cursor());
    } else {
        surface_->unsetCursor();
        container_->unsetCursor();
    }
}

bool TOpenGLOrvPanel::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::CursorChange:
            SyncCursor();
            break;
        case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        case QEvent::DevicePixelRatioChange:
#endif
            // On a screen of another scale the same logical size has another size in device
            // pixels, with no resize event: the owner's viewport follows it all the same.
            if (contextCreationDone_) {
                Resize();
            }
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void ApplySceneViewSettings(TOpenGLOrvPanel& panel) {
    panel.setPFDFlags(f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_OPENGL | f_PFD_DOUBLEBUFFER);
    panel.setcAccBits(0);
    panel.setFont3D_Enabled(true);
    TFontDescription font3D;
    font3D.Name = QStringLiteral("Arial");
    font3D.Height = -13;
    font3D.Styles = 0;
    panel.setFont3D_Type(font3D);
    panel.setFont3D_MaxDeviation(1.0f);
    panel.setFont3D_Extrustion(0.01f);
    TFontDescription font2D;
    font2D.Height = -9;
    font2D.Styles = 0;
    panel.setFont2D_Type(font2D);
}

}  // namespace veliso
