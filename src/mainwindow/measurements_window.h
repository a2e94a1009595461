#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <vector>

#include "core/gas/gas_state.h"
#include "core/measure/fit.h"
#include "core/measure/measurement_log.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTableView;
class QValueAxis;

namespace veliso {

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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    MeasurementLog log_;
};

/// Asks a yes/no question about losing rows in a box titled `title` over `parent`; the
/// default button and Escape answer No, so that losing them takes a deliberate Yes.
bool AskDefaultNo(QWidget* parent, const QString& title, const QString& text);

/// "Relevés de mesures": the gas tab's lab bench. A non-modal window that records the state
/// of the gas with its measured wall-hit rate, tabulates the rows, copies them for a
/// spreadsheet, writes and reads them as CSV, and plots one quantity against another with a
/// fitted law. It only reads the gas record; the main window hands it the once-a-second
/// wall-hit readouts of the gas tab.
class TFormReleves : public QDialog {
    Q_OBJECT
  public:
    TFormReleves(QWidget* parent, const GasState& gas);

    /// One readout of the gas tab: the wall hits of the second that just ended. Adds a row
    /// when "Relevé automatique" is checked and the second was a whole second of the state
    /// shown.
    void WallHitsRead(int hits);
    /// The gas stopped being stepped for a while (its tab was left): the next readout may
    /// cover more than one second.
    void InterruptReadouts();

    /// "Ajouter le relevé" (also Enter): a row of the state now and the mean wall hits.
    void AddRow();

    bool hasUnexported() const { return model_->log().HasUnexported(); }
    const MeasurementTableModel* model() const { return model_; }
    QScatterSeries* pointSeries() const { return points_; }
    QLineSeries* fitSeries() const { return fitLine_; }

    /// Time written in the "Heure" column. Tests fix it.
    std::function<QString()> timeText;
    /// File chosen for "Exporter CSV…" and "Importer CSV…"; empty when the user gives up.
    /// Tests replace them.
    std::function<QString()> chooseExportFile;
    std::function<QString()> chooseImportFile;

  private:
    void BuildControls();
    void BuildPlot();
    QWidget* BuildPlotPanel();

    void DeleteSelected();
    void ClearAll();
    void CopyRows();
    void ExportCsv();
    void ImportCsv();
    void Warn(const QString& title, const QString& text);

    int Span() const;
    void ShowReadout();
    void UpdatePlot();
    QString FitText(const FitResult& fit) const;

    const GasState& gas_;
    WallHitReadouts readouts_;
    MeasurementTableModel* model_ = nullptr;

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
    QComboBox* CBox_Y = nullptr;
    QComboBox* CBox_X = nullptr;
    QComboBox* CBox_Ajustement = nullptr;
    QChartView* Chart = nullptr;
    QLabel* Lab_Ajustement = nullptr;
    QLabel* Lab_Etat = nullptr;
    QScatterSeries* points_ = nullptr;
    QLineSeries* fitLine_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
};

}  // namespace veliso
