// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

#include "core/common/scene_description.h"

class QAction;
class QTimer;
class TFormMM;

namespace veliso {

class Announcer;

/// The 3D view for a screen reader. The view is named after its tab ("Vue 3D : état gazeux")
/// and described in French: the model, its figures, the graphs shown and what they show, the
/// camera, paused or running. A change the user makes (a slider, a structure, the camera, a
/// pause) is said once, when the view has stayed the same for `settleMs`: only the sentences
/// it changed. A camera key is said at once (CameraMoved). "D" with the view focused says the whole
/// description with the figures of the moment (the wall hits, the particles' speeds).
///
/// "Annonces en continu" (the view's menu, kept with QSettings) says the gas tab's live
/// figures, the wall hits per second, the pressure and the measurement window's last
/// readout, at most every 5 s and only when they changed. The clock is never said.
class ViewSpeech : public QObject {
    Q_OBJECT
  public:
    explicit ViewSpeech(TFormMM& form);

    static QString ViewName(int tab);
    /// The current tab's view described, with the live figures or without.
    QString Describe(bool withLive) const;
    /// The live figures of the gas tab as continuous announcements say them; empty on the
    /// other tabs.
    QString LiveText() const;

    /// One look at the model, every 250 ms from the timer; tests call it themselves.
    void Poll();
    /// "D": the whole description, said now.
    void ReadAloud();
    /// A camera key moved the camera: says where it is now (DescribeCamera) at once, or, while
    /// the key is held, once `cameraMs` have passed since the last time it was said.
    void CameraMoved();
    void SetContinuous(bool on);

    Announcer* announcer() const { return announcer_; }
    QAction* continuousAction() const { return continuous_; }

    /// How long the view must stay unchanged before a change is said, in milliseconds.
    int settleMs = 700;
    /// Shortest time between two continuous announcements, in milliseconds.
    int continuousMs = 5000;
    /// Shortest time between two sentences of the camera keys, in milliseconds.
    int cameraMs = 1000;

  private:
    SceneDescription Current(int tab) const;
    /// The wall hits of the last second as the gas panel shows them; none before the first.
    std::optional<int> WallHits() const;
    void ShowDescription();
    void SayCamera();

    TFormMM& form_;
    Announcer* announcer_ = nullptr;
    QTimer* timer_ = nullptr;
    QAction* continuous_ = nullptr;

    SceneDescription seen_;
    int seenTab_ = -1;
    QElapsedTimer unchangedFor_;
    SceneDescription said_;
    int saidTab_ = -1;
    bool descriptionPending_ = false;

    QString lastLive_;
    QElapsedTimer sinceLive_;
    QTimer* cameraTimer_ = nullptr;
    QElapsedTimer sinceCamera_;
    bool cameraPending_ = false;
};

}  // namespace veliso
