// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/view_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "glview/opengl_orv_panel.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/picture_file.h"
#include "mainwindow/view_host.h"
#include "mainwindow/view_notice.h"

namespace veliso {

ViewActions::ViewActions(ViewHost& host)
    : QObject(&host.mainWindow()), host_(host), window_(host.mainWindow()) {
    setObjectName("ViewActions");
    auto action = [this](const char* text, QKeySequence shortcut) {
        auto* a = new QAction(QString::fromUtf8(text), this);
        a->setShortcut(shortcut);
        window_.addAction(a);
        return a;
    };
    copy_ = action("Copier l'image", QKeySequence(Qt::CTRL | Qt::Key_C));
    save_ = action("Enregistrer l'image…", QKeySequence(Qt::CTRL | Qt::Key_S));
    fullScreen_ = action("Plein écran", QKeySequence(Qt::Key_F11));
    fullScreen_->setCheckable(true);
    leaveFullScreen_ = action("Quitter le plein écran", QKeySequence(Qt::Key_Escape));
    leaveFullScreen_->setEnabled(false);
    measurements_ = new QAction(QString::fromUtf8("Relevés de mesures…"), this);
    // Shown in the menu; the key itself is the main window's, which answers on the gas tab
    // only.
    measurements_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    measurements_->setShortcutContext(Qt::WidgetShortcut);
    // The menu from the keyboard, at the view, wherever the focus is in the window.
    menuKey_ = new QAction(this);
    menuKey_->setObjectName("ViewMenuKey");
    menuKey_->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
    window_.addAction(menuKey_);
    connect(menuKey_, &QAction::triggered, this, Guard(this, &ViewActions::PopUpMenuAtView));

    connect(copy_, &QAction::triggered, this, Guard(this, &ViewActions::CopyFrame));
    connect(save_, &QAction::triggered, this, Guard(this, &ViewActions::SaveFrame));
    connect(fullScreen_, &QAction::triggered, this, Guard(this, &ViewActions::SetFullScreen));
    connect(leaveFullScreen_, &QAction::triggered, this, Guard([this] { SetFullScreen(false); }));
    connect(measurements_, &QAction::triggered, this, Guard([this] { host_.bench().Show(); }));

    menu_ = new QMenu(&window_);
    menu_->setObjectName("ViewMenu");
    menu_->addAction(copy_);
    menu_->addAction(save_);
    menu_->addSeparator();
    menu_->addAction(fullScreen_);

    // How the program is shown: the contrast mode at once, the size from the next start.
    QMenu* sizes = menu_->addMenu(QString::fromUtf8("Taille de l'interface"));
    sizes->setObjectName("InterfaceSizeMenu");
    sizes_ = new QActionGroup(this);
    for (int percent : kInterfacePercents) {
        QAction* a = sizes->addAction(QStringLiteral("%1 %").arg(percent));
        a->setCheckable(true);
        a->setData(percent);
        a->setChecked(percent == display_.interfacePercent);
        sizes_->addAction(a);
        connect(a, &QAction::triggered, this,
                Guard([this, percent] { ChooseInterfaceSize(percent); }));
    }
    contrast_ = menu_->addAction(QString::fromUtf8("Contraste élevé"));
    contrast_->setCheckable(true);
    connect(contrast_, &QAction::triggered, this, Guard(this, &ViewActions::SetHighContrast));

    measurementsSeparator_ = menu_->addSeparator();
    menu_->addAction(measurements_);
    // Named, so that a screen reader says what opened; its toggles say whether they are on.
    menu_->setAccessibleName(tr("Menu de la vue 3D"));
    ExposeMenu(menu_, &host_.view());

    askSavePath = [this](const QString& suggested) { return AskWithDialog(suggested); };
    saveDisplaySettings = [](const DisplaySettings& display) { SaveUserDisplaySettings(display); };
    tell = [this](const QString& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Veliso"), text, QMessageBox::Ok,
                        &window_);
        box.exec();
    };
    window_.installEventFilter(this);
    // A right click on the view's own area: the notice that stands in for a view without
    // OpenGL (a working view takes its clicks in its GL window, through JoinViewMouse).
    view_ = &host_.view();
    view_->installEventFilter(this);
    connect(menu_, &QMenu::aboutToHide, this, [this] {
        for (QAction* picture : {copy_, save_}) {
            picture->setEnabled(true);
        }
    });
    JoinViewMouse();
}

bool ViewActions::ViewCanDraw() const {
    return host_.view().contextReady();
}

QString ViewActions::NoPictureText() {
    return QString::fromUtf8("Pas d'image : 3D indisponible");
}

void ViewActions::SayNoPicture() {
    host_.ShowStatus(NoPictureText());
}

void ViewActions::JoinViewMouse() {
    // Connected after the form's own handlers, which therefore run first.
    TOpenGLOrvPanel* view = &host_.view();
    connect(view, &TOpenGLOrvPanel::mousePressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                // Not while the camera is being dragged, nor with another button pressed
                // meanwhile.
                rightClick_ = button == Qt::RightButton && !host_.dragging();
                rightPressedAt_ = QPoint(x, y);
            });
    connect(view, &TOpenGLOrvPanel::mouseMoved, this, [this](Qt::KeyboardModifiers, int x, int y) {
        if ((QPoint(x, y) - rightPressedAt_).manhattanLength() >
            QApplication::startDragDistance()) {
            rightClick_ = false;  // a drag, which does nothing
        }
    });
    connect(view, &TOpenGLOrvPanel::mouseReleased, this,
            [this, view](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                const bool click = rightClick_ && button == Qt::RightButton &&
                                   (QPoint(x, y) - rightPressedAt_).manhattanLength() <=
                                       QApplication::startDragDistance();
                rightClick_ = false;
                if (click && view->glWindow() != nullptr) {
                    PopUpMenu(view->glWindow()->mapToGlobal(QPoint(x, y)));
                }
            });
}

void ViewActions::PopUpMenu(const QPoint& globalPosition) {
    const bool bench = host_.bench().onItsTab();
    measurementsSeparator_->setVisible(bench);
    measurements_->setVisible(bench);
    contrast_->setChecked(AccessibleStyle::HighContrast());
    FollowWindowState();
    // Without OpenGL there is no picture: its items stay in the menu, disabled, saying why
    // (their shortcuts work again once the menu closes, and say it in the status bar).
    const bool canDraw = ViewCanDraw();
    copy_->setText(canDraw ? QStringLiteral("Copier l'image")
                           : QStringLiteral("Copier l'image (3D indisponible)"));
    save_->setText(canDraw ? QString::fromUtf8("Enregistrer l'image…")
                           : QString::fromUtf8("Enregistrer l'image… (3D indisponible)"));
    copy_->setEnabled(canDraw);
    save_->setEnabled(canDraw);
    menu_->popup(globalPosition);
}

QAction* ViewActions::interfaceSizeAction(int percent) const {
    for (QAction* a : sizes_->actions()) {
        if (a->data().toInt() == percent) {
            return a;
        }
    }
    return nullptr;
}

void ViewActions::SetDisplaySettings(const DisplaySettings& stored, int runningPercent) {
    display_ = stored;
    runningPercent_ = runningPercent;
    if (QAction* a = interfaceSizeAction(stored.interfacePercent)) {
        a->setChecked(true);
    }
    contrast_->setChecked(AccessibleStyle::HighContrast());
}

void ViewActions::SetHighContrast(bool on) {
    ApplyContrastMode(on);
    contrast_->setChecked(on);
    display_.highContrast = on;
    if (saveDisplaySettings) {
        saveDisplaySettings(display_);
    }
}

void ViewActions::ChooseInterfaceSize(int percent) {
    if (QAction* a = interfaceSizeAction(percent)) {
        a->setChecked(true);
    }
    if (percent == display_.interfacePercent) {
        return;
    }
    display_.interfacePercent = percent;
    if (saveDisplaySettings) {
        saveDisplaySettings(display_);
    }
    // Qt takes its scale once, when the program starts.
    if (percent != runningPercent_ && tell) {
        tell(InterfaceSizeNotice(percent));
    }
}

void ViewActions::PopUpMenuAtView() {
    TOpenGLOrvPanel* view = &host_.view();
    PopUpMenu(view->mapToGlobal(QPoint(view->width() / 2, view->height() / 2)));
    // From the keyboard, the first item is chosen at once, as a menu bar's menu does: the
    // focus is in the menu, where a screen reader follows it, from the moment it opens.
    for (QAction* a : menu_->actions()) {
        if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
            menu_->setActiveAction(a);
            break;
        }
    }
}

void ViewActions::UseNextFrame(std::function<void(const QImage&, int)> use) {
    // A view off screen just now (covered, minimised) gives its picture once it is back, if
    // that is soon; otherwise the request ends without one.
    constexpr int kPictureWaitMs = 30000;
    host_.view().RequestFrame(
        [this, use = std::move(use)](const FrameAnswer& answer) {
            if (answer.outcome != FrameOutcome::Painted) {
                return;  // no picture to give: nothing on screen, or no drawing at all
            }
            const int tab = host_.activeTab();
            // Out of the paint cycle: the clipboard talks to the window system, and the save
            // dialog is modal.
            QTimer::singleShot(0, this,
                               Guard([frame = answer.frame, tab, use] { use(frame, tab); }));
        },
        kPictureWaitMs);
}

void ViewActions::CopyFrame() {
    if (!ViewCanDraw()) {
        SayNoPicture();
        return;
    }
    UseNextFrame([](const QImage& frame, int) { QGuiApplication::clipboard()->setImage(frame); });
}

void ViewActions::SaveFrame() {
    if (!ViewCanDraw()) {
        SayNoPicture();
        return;
    }
    UseNextFrame([this](const QImage& frame, int tab) { SaveTo(frame, tab); });
}

void ViewActions::SaveTo(const QImage& frame, int tab) {
    const QString suggested =
        QDir(PicturesFolder()).filePath(DefaultPictureName(tab, QDateTime::currentDateTime()));
    const QString path = askSavePath ? askSavePath(suggested) : QString();
    if (path.isEmpty()) {
        return;
    }
    QString why;
    if (!WritePng(frame, path, &why)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Veliso"),
                        QString::fromUtf8("L'image n'a pas pu être enregistrée dans « %1 » : %2.")
                            .arg(QDir::toNativeSeparators(path), why),
                        QMessageBox::Ok, &window_);
        box.exec();
    }
}

QString ViewActions::AskWithDialog(const QString& suggestedPath) {
    QFileDialog dialog(&window_, QStringLiteral("Enregistrer l'image"), suggestedPath,
                       QStringLiteral("Images PNG (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void ViewActions::SetFullScreen(bool on) {
    Qt::WindowStates state = window_.windowState();
    state.setFlag(Qt::WindowFullScreen, on);
    state.setFlag(Qt::WindowMinimized, false);
    // A window maximised before keeps its maximised flag and returns to it.
    window_.setWindowState(state);
    FollowWindowState();
}

void ViewActions::FollowWindowState() {
    const bool on = window_.windowState().testFlag(Qt::WindowFullScreen);
    fullScreen_->setChecked(on);
    leaveFullScreen_->setEnabled(on);
}

bool ViewActions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowStateChange) {
        FollowWindowState();
    }
    // The view as it was when the filter was installed: while the main window is being
    // destroyed, its hide and close events still come here after its own members are gone.
    if (watched == view_ && event->type() == QEvent::ContextMenu) {
        PopUpMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace veliso
