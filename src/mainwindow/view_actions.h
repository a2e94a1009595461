// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

#include "mainwindow/display_settings.h"

class QAction;
class QActionGroup;
class QImage;
class QMenu;
class QWidget;

namespace veliso {

class ViewHost;

/// What a teacher projecting the program needs around the 3D view: full screen (F11, left with
/// Escape), pictures of the view (Ctrl+C copies, Ctrl+S saves) and the view's context menu,
/// opened by a right click: "Copier l'image", "Enregistrer l'image…", "Plein écran" and, on the
/// gas tab, "Relevés de mesures…".
///
/// The pictures are frames painted by the view's normal cycle, read back before their swap,
/// so they are what was on screen. Nothing here changes the mouse navigation: the view's
/// handlers run first and as before, and a right-button drag still does nothing.
class ViewActions : public QObject {
    Q_OBJECT
  public:
    /// Adds the shortcuts to the host's window, builds the menu and joins the view's mouse
    /// events (after the window's own handlers). The host's window owns the result.
    explicit ViewActions(ViewHost& host);

    QAction* copyAction() const { return copy_; }
    QAction* saveAction() const { return save_; }
    /// Checkable; F11.
    QAction* fullScreenAction() const { return fullScreen_; }
    /// Escape; enabled only in full screen, so that Escape means nothing otherwise.
    QAction* leaveFullScreenAction() const { return leaveFullScreen_; }
    QAction* measurementsAction() const { return measurements_; }
    /// "Contraste élevé": checkable, on while the contrast mode is.
    QAction* contrastAction() const { return contrast_; }
    /// "Taille de l'interface" → "100 %", "125 %", "150 %", "200 %": the stored size is
    /// checked.
    QAction* interfaceSizeAction(int percent) const;
    QMenu* menu() const { return menu_; }

    /// Asks where to save a picture, starting from `suggestedPath`; empty when the user gives
    /// up. A French file dialog by default; tests replace it.
    std::function<QString(const QString& suggestedPath)> askSavePath;
    /// Keeps the display choices for the next runs; the user's settings file by default.
    std::function<void(const DisplaySettings&)> saveDisplaySettings;
    /// Tells the user something in a box over the window; tests replace it.
    std::function<void(const QString&)> tell;

    /// The choices as stored, and the interface size this run started with.
    void SetDisplaySettings(const DisplaySettings& stored, int runningPercent);
    const DisplaySettings& displaySettings() const { return display_; }
    /// "Contraste élevé": the mode at once, and stored.
    void SetHighContrast(bool on);
    /// A size from "Taille de l'interface": stored for the next start, which is said unless
    /// the program runs at that size already.
    void ChooseInterfaceSize(int percent);

    /// Puts the next painted frame on the clipboard, at its full size in device pixels.
    /// Without OpenGL the status bar says there is no picture.
    void CopyFrame();
    /// Takes the next painted frame, asks where to save it (PNG, named after the tab and the
    /// time, in the pictures folder) and writes it; a failed write is told in a message box
    /// and leaves no file behind.
    void SaveFrame();
    void SetFullScreen(bool on);
    /// Opens the menu at `globalPosition` with the items of the current tab; without OpenGL
    /// the picture items are disabled and say why.
    void PopUpMenu(const QPoint& globalPosition);
    /// What the status bar says when a picture is asked of a view without OpenGL.
    static QString NoPictureText();
    /// Shift+F10 or the Menu key: the menu at the centre of the view.
    void PopUpMenuAtView();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void JoinViewMouse();
    bool ViewCanDraw() const;
    void SayNoPicture();
    /// Asks for the next painted frame and hands it, with the tab it shows, to `use` once the
    /// paint cycle is over. A view that gives no frame (no context, not on screen, a failed
    /// drawing) gives no picture.
    void UseNextFrame(std::function<void(const QImage& frame, int tab)> use);
    void SaveTo(const QImage& frame, int tab);
    void FollowWindowState();
    QString AskWithDialog(const QString& suggestedPath);

    ViewHost& host_;
    QWidget& window_;          // the host's window, which owns this
    QObject* view_ = nullptr;  // the view whose right clicks open the menu
    QAction* copy_ = nullptr;
    QAction* save_ = nullptr;
    QAction* fullScreen_ = nullptr;
    QAction* leaveFullScreen_ = nullptr;
    QAction* measurementsSeparator_ = nullptr;
    QAction* measurements_ = nullptr;
    QAction* menuKey_ = nullptr;
    QAction* contrast_ = nullptr;
    QActionGroup* sizes_ = nullptr;
    DisplaySettings display_;
    int runningPercent_ = 100;
    QMenu* menu_ = nullptr;
    // A right click: pressed with no drag going on, released near where it was pressed.
    bool rightClick_ = false;
    QPoint rightPressedAt_;
};

}  // namespace veliso
