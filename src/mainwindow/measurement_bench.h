// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace veliso {

struct GasState;
class ClickableLabel;
class TFormReleves;

/// What the measurement bench needs of the main window, and nothing more.
class BenchHost {
  public:
    /// The window the measurement window belongs to; Ctrl+M works anywhere in it.
    virtual QWidget& mainWindow() = 0;
    /// Index of the current tab: 0 solid, 1 liquid, 2 gas.
    virtual int activeTab() const = 0;
    /// The gas record the rows are taken from.
    virtual const GasState& gasRecord() const = 0;
    /// The gas tab's controls, which the measurement window opens clear of.
    virtual const QWidget& gasPanel() const = 0;
    /// Takes `notice` into the status bar, where it is seen whenever it is not hidden (the
    /// indicator of automatic readings going on unseen).
    virtual void AddStatusNotice(QWidget& notice) = 0;

  protected:
    ~BenchHost() = default;
};

/// The gas tab's measurement bench, as the main window has it: the one measurement window
/// ("Relevés de mesures", made at its first opening and kept for the whole run), the key that
/// opens it (Ctrl+M, on the gas tab only), the gas steps it counts, the status bar's
/// indicator of automatic readings going on with the window closed, its last readout, and
/// the question about rows never exported when the program closes.
class MeasurementBench : public QObject {
    Q_OBJECT
  public:
    /// Adds Ctrl+M and the hidden indicator to the host's window, which owns the result.
    explicit MeasurementBench(BenchHost& host);

    /// The bench is the gas tab's: Ctrl+M and the view menu's item work only there.
    bool onItsTab() const;
    /// Shows the measurement window with the focus on "Ajouter le relevé", and makes it the
    /// first time (the view menu's item, Ctrl+M on the gas tab, a click on the indicator).
    /// Ctrl+M in the measurement window goes back to the main window.
    void Show();
    /// The measurement window; null until it was first shown.
    TFormReleves* window() const { return window_; }
    /// One step of the gas, with the wall hits it made; counted once the window exists.
    void GasStepped(int hits);
    /// The readout line of the measurement window while it is shown; empty otherwise.
    QString Readout() const;
    /// Asked once closing was confirmed, and only when rows were never exported: Oui closes,
    /// Non stays, "Exporter…" exports and closes once the rows are written. True when the
    /// program may close.
    bool ConfirmClose();
    /// "● Relevés automatiques" in the status bar, shown while automatic readings go on with
    /// the measurement window closed; a click opens the window again.
    ClickableLabel* indicator() const { return indicator_; }

  private:
    BenchHost& host_;
    TFormReleves* window_ = nullptr;
    ClickableLabel* indicator_ = nullptr;
};

}  // namespace veliso
