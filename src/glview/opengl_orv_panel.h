// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFlags>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "glview/frame_requests.h"
#include "glview/pixel_format.h"
#include "render/text_writer.h"

class QOpenGLContext;
class QSurfaceFormat;
class QWindow;

namespace veliso {

class OpenGLOrvFont2D;
class OpenGLOrvFont3D;
class GlSurfaceHost;
class HeadlessTarget;

/// `Auto` swaps the buffers after each `OnPaint` (double-buffered formats only); `Manual`
/// leaves the swap to the owner.
enum class TOpenGLSwapBuffers { Auto, Manual };
/// Stored for the owner; the panel itself never prints.
enum class TOpenGLPrintScale { pglNone, pglPrintToFit, pglProportional };
/// Outline glyphs as line loops (0) or filled, extruded polygons (1).
enum class TFont3DFormat { f_WGL_FONT_LINES = 0, f_WGL_FONT_POLYGONS = 1 };

/// A font as the panel's font properties describe it. `Height` < 0 is the character (em)
/// height in pixels, > 0 the cell height; `Charset` 0 is the ANSI set.
struct TFontDescription {
    enum Style : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    QString Name = QStringLiteral("Arial");
    int Height = -9;
    int Charset = 0;
    QColor Color = Qt::black;
    unsigned Styles = fsBold;

    QFont ToQFont() const;
    bool operator==(const TFontDescription&) const = default;
};

/// The OpenGL view: a panel whose client area is a native OpenGL window with its own
/// rendering context. The context is made current once, when the panel's window is created,
/// and stays current on the user-interface thread for the whole run, so the owner may issue
/// GL calls outside the paint cycle. The owner configures it through the properties below
/// before the panel is first shown and draws in `OnPaint`; the panel swaps the buffers.
///
/// Lifecycle: constructed with the defaults → first show (or `HandleNeeded`) prepares the
/// window (`OnPreInit`), creates the context, builds the enabled fonts, applies the frame
/// styles and emits `initialised` → `Repaint` and expose events paint, size changes emit
/// `resized` → destruction deletes the fonts (with the context current) and the context.
/// The native GL surface may be destroyed and made again meanwhile (re-parenting, a
/// compositor unmapping the window): the context, its state and its lists outlive it and
/// bind to the new surface before the next paint.
///
/// Failures of the platform set `ErrorText` and emit `errorReported`, once per failure.
/// Without a context the view stays empty: its GL surface is hidden, the panel's own area
/// shows, and no paint reaches the owner. A surface that refuses the context gets no drawing
/// until it changes or is exposed again, or, refused while on screen, until a later attempt
/// (at most one a second) binds it.
///
/// The owner's code that the panel runs (`OnPreInit`, `OnPaint`, and the slots of its
/// signals when connected directly) is guarded here, once: an exception there is not let
/// through the window system's event handling but handed on by `handlerFailed`.
class TOpenGLOrvPanel : public QWidget, public TextWriter {
    Q_OBJECT
  public:
    using Event = std::function<void(TOpenGLOrvPanel* Sender)>;

    explicit TOpenGLOrvPanel(QWidget* parent = nullptr);
    ~TOpenGLOrvPanel() override;

    /// Prepares the window before the context is made (once).
    Event OnPreInit;
    /// The owner's drawing, with the context current. The one painter of the view: a frame
    /// whose drawing throws is neither shown nor handed out.
    Event OnPaint;

    /// Paints now, before returning: fires `OnPaint` with the context current, then swaps the
    /// buffers when `GLSwapBuffers` is `Auto` and double buffering was requested. Does nothing
    /// while the GL surface is not exposed (hidden, minimised, not yet shown), and never
    /// without a context.
    void Repaint();
    /// Creates the window and runs the creation sequence now if that has not happened yet
    /// (the first show does it otherwise).
    void HandleNeeded();
    bool HandleAllocated() const { return windowCreated_; }
    /// Makes the panel's context current on its surface; true when it is current afterwards.
    bool MakeCurrent();

    /// Default wait of `RequestFrame`: long enough for a window to reach the screen.
    static constexpr int kFrameTimeoutMs = 4000;
    /// Asks for the next painted frame; `answer` is called exactly once. The frame is read
    /// back from the buffer just drawn, after `OnPaint` and before the swap, so it is exactly
    /// the picture that then goes on screen, not a second rendering. A request made from
    /// inside `OnPaint` is served by that same paint; requests waiting for the same paint
    /// share one read-back, and a callback may ask again for a later frame. Without a
    /// context the answer is `NoContext` (from the event loop, never before this returns);
    /// a paint that throws answers `PaintFailed`; when no frame comes within `timeoutMs`
    /// the answer is `NotExposed` or `TimedOut`. Requests still waiting when the view is
    /// destroyed are dropped.
    void RequestFrame(FrameRequests::Callback answer, int timeoutMs = kFrameTimeoutMs);
    /// True while a request waits for the next frame.
    bool FrameWanted() const;
    /// True when `Repaint` would run the owner's drawing now: the surface on screen, a
    /// context, no paint under way.
    bool WouldPaint() const;

    /// The outline-font text writer (`DrawText3D`).
    TextWriter& text() { return *this; }
    /// Draws `text` (8-bit character codes) with the outline-font lists at the current
    /// model-view origin, one em per unit, leaving the origin advanced by the text width.
    /// Draws nothing when the outline font was not built or when any character lies outside
    /// `Font3D_FirstGylph` .. `Font3D_FirstGylph` + `Font3D_NumGylph` - 1.
    void DrawText3D(std::string_view text) override;
    /// The same with the bitmap font at the current raster position.
    void DrawText2D(std::string_view text);

    /// A context to draw with: the platform's, or, where the platform has no OpenGL (a
    /// capture without a display), a framebuffer of the view's own.
    bool contextReady() const { return context_ != nullptr || ownFramebuffer_ != nullptr; }
    /// The creation sequence has run to its end, whatever its outcome.
    bool contextCreationDone() const { return contextCreationDone_; }
    QOpenGLContext* context() const { return context_.get(); }
    /// Text of the last failure; empty until one happens.
    const QString& ErrorText() const { return errorText_; }
    /// Rate measured by the last paint when `Fps_Enabled`, in frames per second.
    int FramesPerSecond() const { return framesPerSecond_; }
    /// The pixel format actually obtained (all zero before the context exists).
    const TPixelFormatDescriptor& PixelFormat() const { return pixelFormat_; }
    /// The descriptor the current properties request.
    TPixelFormatDescriptor RequestedDescriptor() const;
    /// True when the requested descriptor asked for double buffering.
    bool SwapAfterPaint() const { return swapAfterPaint_; }
    /// Palette entries in use (only for palette-based formats, never on a true-colour display).
    const std::vector<TPaletteEntry>& Palette() const { return palette_; }
    const OpenGLOrvFont3D* Font3DLists() const { return font3DLists_.get(); }
    const OpenGLOrvFont2D* Font2DLists() const { return font2DLists_.get(); }
    /// Size of the GL surface (client area) in pixels.
    int ClientWidth() const;
    int ClientHeight() const;
    /// The native GL window inside the panel.
    QWindow* glWindow() const;

    // Published properties.
    TPFDPixelTypes PixelType() const { return pixelType_; }
    void setPixelType(TPFDPixelTypes value);
    TPFDFlags PFDFlags() const { return pfdFlags_; }
    void setPFDFlags(TPFDFlags value);
    std::uint8_t cColorBits() const { return cColorBits_; }
    void setcColorBits(std::uint8_t value) { cColorBits_ = value; }
    std::uint8_t cDepthBits() const { return cDepthBits_; }
    void setcDepthBits(std::uint8_t value) { cDepthBits_ = value; }
    std::uint8_t cAccBits() const { return cAccBits_; }
    void setcAccBits(std::uint8_t value) { cAccBits_ = value; }
    TOpenGLSwapBuffers GLSwapBuffers() const { return swapBuffers_; }
    void setGLSwapBuffers(TOpenGLSwapBuffers value) { swapBuffers_ = value; }
    std::int32_t PixelsPerInch() const { return pixelsPerInch_; }
    void setPixelsPerInch(std::int32_t value) { pixelsPerInch_ = value; }
    TOpenGLPrintScale PrintScale() const { return printScale_; }
    void setPrintScale(TOpenGLPrintScale value) { printScale_ = value; }

    bool Font3D_Enabled() const { return font3DEnabled_; }
    void setFont3D_Enabled(bool value) { font3DEnabled_ = value; }
    const TFontDescription& Font3D_Type() const { return font3DType_; }
    void setFont3D_Type(const TFontDescription& value) { font3DType_ = value; }
    std::int32_t Font3D_FirstGylph() const { return font3DFirst_; }
    void setFont3D_FirstGylph(std::int32_t value) { font3DFirst_ = value; }
    std::int32_t Font3D_NumGylph() const { return font3DNum_; }
    void setFont3D_NumGylph(std::int32_t value) { font3DNum_ = value; }
    float Font3D_MaxDeviation() const { return font3DDeviation_; }
    void setFont3D_MaxDeviation(float value) { font3DDeviation_ = value; }
    float Font3D_Extrustion() const { return font3DExtrusion_; }
    void setFont3D_Extrustion(float value) { font3DExtrusion_ = value; }
    TFont3DFormat Font3D_Format() const { return font3DFormat_; }
    void setFont3D_Format(TFont3DFormat value);

    bool Font2D_Enabled() const { return font2DEnabled_; }
    void setFont2D_Enabled(bool value) { font2DEnabled_ = value; }
    const TFontDescription& Font2D_Type() const { return font2DType_; }
    void setFont2D_Type(const TFontDescription& value) { font2DType_ = value; }
    std::int32_t Font2D_FirstGylph() const { return font2DFirst_; }
    void setFont2D_FirstGylph(std::int32_t value) { font2DFirst_ = value; }
    std::int32_t Font2D_NumGylph() const { return font2DNum_; }
    void setFont2D_NumGylph(std::int32_t value) { font2DNum_ = value; }

    bool Fps_Enabled() const { return fpsEnabled_; }
    void setFps_Enabled(bool value) { fpsEnabled_ = value; }
    /// Sunken client edge around the GL surface.
    bool Border() const { return border_; }
    void setBorder(bool value);
    /// Caption strip (showing `windowTitle()`) above the GL surface.
    bool ToolWindow() const { return toolWindow_; }
    void setToolWindow(bool value);
    /// Sizing frame: dragging the panel's outer frame resizes it.
    bool AllowResize() const { return allowResize_; }
    void setAllowResize(bool value);
    /// When true, dragging the caption strip moves the panel within its parent.
    bool AllowMoving() const { return allowMoving_; }
    void setAllowMoving(bool value) { allowMoving_ = value; }

  signals:
    /// The context exists, the fonts are built: the owner sets up its GL state.
    void initialised();
    /// The client area changed size after initialisation, in logical or in device pixels (a
    /// move to a screen of another scale).
    void resized();
    /// A platform failure; `ErrorText()` holds the same text.
    void errorReported(const QString& text);
    /// Mouse on the GL surface: button, modifiers (Shift, Ctrl, Alt) and position in client
    /// pixels (y down): relative to the GL surface, which is the whole panel unless `Border`,
    /// `ToolWindow` or `AllowResize` add a frame.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMoved(Qt::KeyboardModifiers modifiers, int x, int y);
    /// The owner's code run by the panel threw; `message` is the exception's text.
    void handlerFailed(const QString& message);

  protected:
    /// Creates `context` (its format already set) on the platform; false with the platform's
    /// own description of the failure in `why`. Tests override it to inject failures.
    virtual bool CreatePlatformContext(QOpenGLContext& context, QString& why);
    /// Presents the back buffer of the GL surface.
    virtual void SwapPlatformBuffers();
    /// Binds the context to the GL surface; false with the platform's description in `why`.
    /// Tests override it to inject failures.
    virtual bool MakePlatformCurrent(QString& why);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void CreateWnd();
    void CreationSequence();
    bool CreateGLContext();
    bool DrawOffScreen(QSurfaceFormat format);
    void DestroyGLContext();
    void BuildFont3D();
    void BuildFont2D();
    void Paint();
    /// Draws, hands the frame out and swaps; false when nothing was shown.
    bool PaintFrame();
    void DeliverFrame();
    FrameOutcome ExpiredOutcome() const;
    /// Runs owner code (a callback, or a signal's direct slots); an exception it throws is
    /// handed to `handlerFailed`. False when it threw.
    template <typename F>
    bool RunOwnerCode(F&& code);
    /// Reports a new size of the GL area to the owner, the view's own framebuffer resized
    /// to it first.
    void Resize();
    void ReportError(const QString& text);
    void ReportPlatformError(const QString& prefix, const QString& systemText);
    void DoError();
    void Restyle();
    QRect ClientRect() const;
    QRect CaptionRect() const;
    int CaptionHeight() const;
    Qt::Edges FrameEdgesAt(QPoint p) const;
    void SyncCursor();
    bool SurfaceOnScreen() const;
    void MakeFrameOpaque();
    void SurfaceExposed();
    void SurfaceChanged();
    void SurfaceAboutToBeDestroyed();
    void SurfaceMouse(QMouseEvent* event);

    // Properties.
    TPFDPixelTypes pixelType_ = TPFDPixelTypes::f_PFD_TYPE_RGBA;
    int pixelTypeNumber_ = 0;
    TPFDFlags pfdFlags_ = f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_OPENGL | f_PFD_DOUBLEBUFFER;
    std::uint8_t cColorBits_ = 32;
    std::uint8_t cDepthBits_ = 32;
    std::uint8_t cAccBits_ = 0;
    TOpenGLSwapBuffers swapBuffers_ = TOpenGLSwapBuffers::Auto;
    std::int32_t pixelsPerInch_ = 96;
    TOpenGLPrintScale printScale_ = TOpenGLPrintScale::pglProportional;
    bool font3DEnabled_ = false;
    TFontDescription font3DType_;
    std::int32_t font3DFirst_ = 32;
    std::int32_t font3DNum_ = 96;
    float font3DDeviation_ = 1.0f;
    float font3DExtrusion_ = 0.1f;
    TFont3DFormat font3DFormat_ = TFont3DFormat::f_WGL_FONT_POLYGONS;
    int font3DFormatNumber_ = 1;
    bool font2DEnabled_ = false;
    TFontDescription font2DType_;
    std::int32_t font2DFirst_ = 32;
    std::int32_t font2DNum_ = 96;
    bool fpsEnabled_ = false;
    bool border_ = false;
    bool toolWindow_ = false;
    bool allowResize_ = false;
    bool allowMoving_ = false;

    // State.
    GlSurfaceHost* surfaceHost_ = nullptr;  // the native window, its container, the top-level
    QWindow* surface_ = nullptr;            // the host's window
    QWidget* container_ = nullptr;          // the host's container
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<HeadlessTarget> ownFramebuffer_;  // instead of context_: see DrawOffScreen
    std::vector<TPaletteEntry> palette_;
    bool swapAfterPaint_ = false;
    TPixelFormatDescriptor pixelFormat_{0, 0};
    std::unique_ptr<OpenGLOrvFont3D> font3DLists_;
    std::unique_ptr<OpenGLOrvFont2D> font2DLists_;
    QString errorText_;
    QString creationFailure_;  // the first failure of the creation sequence
    int framesPerSecond_ = 0;
    QElapsedTimer fpsClock_;
    bool windowCreated_ = false;
    bool contextCreationDone_ = false;  // creation sequence has run: size changes are reported
    bool painting_ = false;
    FrameRequests* frameRequests_ = nullptr;  // waiting for the next paint
    // Whether the context is current on the present native surface. A refused binding was
    // reported and is not tried at every paint: only on a new surface, or, when it was
    // refused off screen, once the surface is exposed again, or, refused on screen, once
    // `kBindRetryMs` have passed since the last attempt (`bindRetry_`).
    enum class Binding { Unbound, Bound, Refused, RefusedOffScreen };
    Binding binding_ = Binding::Unbound;
    QElapsedTimer bindRetry_;
    // Frame dragging (caption move, sizing frame).
    enum class Drag { None, Move, Resize };
    Drag drag_ = Drag::None;
    Qt::Edges dragEdges_;
    QPoint dragStart_;
    QRect dragGeometry_;
};

/// Applies the settings of the program's scene view: draw-to-window, OpenGL, double buffer,
/// no accumulation buffer, outline font "Arial" at −13 plain with chordal deviation 1 and
/// extrusion 0.01, bitmap font "Arial" at −9 plain.
void ApplySceneViewSettings(TOpenGLOrvPanel& panel);

}  // namespace veliso
