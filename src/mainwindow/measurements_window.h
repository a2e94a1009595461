// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QDialog>
#include <QPen>
#include <QPointer>
#include <QRect>
#include <functional>
#include <stop_token>
#include <vector>

#include "core/gas/gas_state.h"
#include "core/measure/fit.h"
#include "core/measure/measurement_csv.h"
#include "core/measure/measurement_log.h"

class QCheckBox;
class QSettings;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTableView;
class QThread;
class QCategoryAxis;

namespace veliso {

class Announcer;

/// The rows of the bench as a table: one line per row, the columns of
/// kMeasurementColumnTitles. Every change of the log goes through it, so the views follow.
class MeasurementTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    const MeasurementLog& log() const { return log_; }

    void Add(Measurement row);
    void Remove(const std::vector<int>& positions);
    void Clear();
    void Replace(std::vector<Measurement> rows);
    void MarkAllExported();
    /// MeasurementLog::NewSeries, with the row it moves shown again.
    void NewSeries(bool withLastRow);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    MeasurementLog log_;
};

/// Where the measurement window goes at its first opening, as frame rectangles on the
/// screen's available area `screen`: beside the main window `mainFrame` (right, then left,
/// then below) when there is room for at least `minimum`; otherwise where it covers the least
/// of the tab's controls `panel`, then of the main window.
QRect BesideRect(const QRect& mainFrame, const QRect& panel, QSize wanted, QSize minimum,
                 const QRect& screen);

/// Where the main window `mainFrame` would leave room for BesideRect to put a window of at
/// least `minimum` beside it on `screen`, when neither side nor the room below has it where
/// it stands: at the screen's left edge when the screen is wide enough for both side by side,
/// else at its top edge when it is tall enough for both one above the other. Unchanged when
/// there is room already, or nowhere.
QRect RoomBeside(const QRect& mainFrame, QSize minimum, const QRect& screen);

/// The main window `mainFrame` moved so that the measurement window `window` does not cover
/// it, still wholly on `screen`: to the screen's left or right edge, or to its top or bottom
/// edge, the first that clears it. Unchanged when they do not overlap, or when no move clears.
QRect ClearOf(const QRect& mainFrame, const QRect& window, const QRect& screen);

/// "Relevés de mesures": the gas tab's lab bench. A non-modal window that records the state
/// of the gas with its measured wall-hit rate, tabulates the rows, copies them for a
/// spreadsheet, writes and reads them as CSV, and plots one quantity against another with a
/// fitted law. It only reads the gas record; the main window hands it the once-a-second
/// wall-hit readouts of the gas tab.
class TFormReleves : public QDialog {
    Q_OBJECT
  public:
    TFormReleves(QWidget* parent, const GasState& gas);

    ~TFormReleves() override;

    /// One step of the gas, with the wall hits it made: every kStepsPerSecond steps of one
    /// state make a simulated second (SecondCounted).
    void GasStepped(int hits);
    /// The wall hits of one whole simulated second of the state shown. With "Relevé
    /// automatique", a row once "Moyenne sur" seconds came in since the last row.
    void SecondCounted(int hits);

    /// "Ajouter le relevé" (also Enter): a row of the state now and the mean wall hits, said
    /// with its figures and the number of rows.
    void AddRow();
    /// Ctrl+Shift+R: the row of the table's current cell, or the last row when the table has
    /// none, said as a sentence with every figure, whichever columns are scrolled out of sight.
    void ReadRow();
    /// The focus on "Ajouter le relevé", so that Space adds a row: where the window opens.
    void FocusForReading();
    /// "Exporter CSV…": true when the rows were written.
    bool ExportCsv();

    /// Closing the window (its close button, Escape) also stops the reading of a long file.
    void done(int result) override;

    bool hasUnexported() const { return model_->log().HasUnexported(); }
    /// "Relevé automatique" is checked.
    bool automatic() const;
    const MeasurementTableModel* model() const { return model_; }
    /// What the window says to a screen reader: each action of the user and what it did.
    const Announcer* announcer() const { return announcer_; }
    /// The points and the fitted line of the `index`-th series drawn (the first by default;
    /// an empty series when fewer are drawn).
    QScatterSeries* pointSeries(int index = 0) const;
    QLineSeries* fitSeries(int index = 0) const;
    /// How many series the plot draws.
    int seriesDrawn() const { return drawn_; }

    /// Puts the window where it was at the end of the last run (brought back on screen), or,
    /// the first time, beside `mainWindow` (BesideRect) clear of `panel`, the tab's controls.
    /// Where the screen has room for both side by side, `mainWindow` moves aside rather than
    /// be covered (RoomBeside, ClearOf).
    void Place(QWidget& mainWindow, const QWidget& panel);

    /// Time written in the "Heure" column. Tests fix it.
    std::function<QString()> timeText;
    /// File chosen for "Exporter CSV…" and "Importer CSV…"; empty when the user gives up.
    /// Tests replace them.
    std::function<QString()> chooseExportFile;
    std::function<QString()> chooseImportFile;

  signals:
    /// "Relevé automatique" was checked or unchecked, or the window shown or hidden.
    void automaticChanged();

  protected:
    void showEvent(QShowEvent* event) override;
    /// A new font or style: the columns' widths again.
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void BuildControls();
    void BuildPlot();
    QWidget* BuildPlotPanel();
    /// The chart's axes, grid, texts in the look of the contrast mode or the normal one.
    void ShowContrast();
    /// Every column of the table as wide as its title or its widest text, whichever is wider.
    void FitColumns();
    /// The columns widened where the rows `first` .. `last` need it.
    void WidenColumns(int first, int last);
    /// The width a cell of the table needs for `text`.
    int CellWidth(const QString& text) const;

    void DeleteSelected();
    void ClearAll();
    void CopyRows();
    void ImportCsv();
    void FinishImport(const QString& path, MeasurementCsv read);
    void Warn(const QString& title, const QString& text);
    /// Says `text`, then the fitted law if it changed since it was last said.
    void Say(QString text);
    /// A choice changed by the user: its name and its new value, and the fit it changed.
    void SayChoice(const QComboBox* choice);
    /// Lab_Etat shows `text`, and the window says it.
    void Report(const QString& text);
    void AddMeasurement(const WallHitAverage& average);
    void StartSeries();
    void StartProposedSeries();
    void ShowTableState();
    void SaveGeometry();
    QString StartFolder() const;
    void RememberFolder(const QString& path);

    int Span() const;
    void ShowReadout();
    void UpdatePlot();
    void UpdateSeriesChoice();
    /// An axis from scale.low to scale.high with a labelled tick at each step.
    void ShowScale(QCategoryAxis* axis, const AxisScale& scale);
    QString FitText(const FitResult& fit) const;
    /// The chart's text alternative.
    QString ChartSummary(const std::vector<PlotPoint>& points, Quantity x, Quantity y) const;

    const GasState& gas_;
    Announcer* announcer_ = nullptr;
    /// The fitted laws in words, as the last plot update found them and as they were last said.
    QString fitSpoken_;
    QString fitSaid_;
    SimulatedSeconds seconds_;
    WallHitReadouts readouts_;
    MeasurementTableModel* model_ = nullptr;
    int drawn_ = 0;
    /// The chart's own colours, which the contrast mode replaces.
    struct ChartLook {
        QBrush labels;
        QPen line;
        QPen grid;
        QBrush title;
        QBrush legend;
    };
    ChartLook normalLook_;
    /// The thread reading a long file being imported, while it runs, and what stops it.
    QPointer<QThread> reading_;
    std::stop_source stopReading_;

    QLabel* Lab_Releve = nullptr;
    QPushButton* butAjouter = nullptr;
    QCheckBox* CB_Auto = nullptr;
    QComboBox* CBox_Moyenne = nullptr;
    QTableView* Table = nullptr;
    QPushButton* butSupprimer = nullptr;
    QPushButton* butEffacer = nullptr;
    QPushButton* butCopier = nullptr;
    QPushButton* butExporter = nullptr;
    QPushButton* butImporter = nullptr;
    QPushButton* butNouvelleSerie = nullptr;
    QWidget* Bar_Serie = nullptr;
    QLabel* Lab_Serie = nullptr;
    QPushButton* butSerieProposee = nullptr;
    QComboBox* CBox_Serie = nullptr;
    QComboBox* CBox_Y = nullptr;
    QComboBox* CBox_X = nullptr;
    QComboBox* CBox_Ajustement = nullptr;
    QChartView* Chart = nullptr;
    QLabel* Lab_Ajustement = nullptr;
    QLabel* Lab_Etat = nullptr;
    /// One scatter and one line per series drawn, made as more series are drawn.
    std::vector<QScatterSeries*> points_;
    std::vector<QLineSeries*> fitLines_;
    QCategoryAxis* axisX_ = nullptr;
    QCategoryAxis* axisY_ = nullptr;
};

}  // namespace veliso
