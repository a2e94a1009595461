#include "mainwindow/measurements_window.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/measure/measurement_csv.h"
#include "mainwindow/handler_boundary.h"

namespace veliso {

namespace {

constexpr int kSpans[3] = {1, 5, 10};

// Quantities offered on the plot's axes, in the order of their lists.
constexpr Quantity kYQuantities[] = {Quantity::Pressure, Quantity::WallHits};
constexpr Quantity kXQuantities[] = {Quantity::Count,           Quantity::Temperature,
                                     Quantity::Volume,          Quantity::InverseVolume,
                                     Quantity::SqrtTemperature, Quantity::Mass};
constexpr FitKind kFits[] = {FitKind::Proportional, FitKind::Affine, FitKind::Power};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Figure(double value) {
    return Text(RoundedDecimalComma(value, 4));
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    // Enter belongs to "Ajouter le relevé" whichever button has the focus.
    b->setAutoDefault(false);
    return b;
}

QComboBox* Choice(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace

bool AskDefaultNo(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// ----- table model -----

void MeasurementTableModel::Add(Measurement row) {
    beginInsertRows({}, log_.size(), log_.size());
    log_.Add(std::move(row));
    endInsertRows();
}

void MeasurementTableModel::Remove(const std::vector<int>& positions) {
    beginResetModel();
    log_.Remove(positions);
    endResetModel();
}

void MeasurementTableModel::Clear() {
    beginResetModel();
    log_.Clear();
    endResetModel();
}

void MeasurementTableModel::Replace(std::vector<Measurement> rows) {
    beginResetModel();
    log_.Replace(std::move(rows));
    endResetModel();
}

void MeasurementTableModel::MarkAllExported() {
    log_.MarkAllExported();
}

int MeasurementTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : log_.size();
}

int MeasurementTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMeasurementColumns;
}

QVariant MeasurementTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= log_.size()) {
        return {};
    }
    const Measurement& row = log_.rows()[index.row()];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return Text(MeasurementField(row, column));
        case Qt::TextAlignmentRole:
            return column == kTimeColumn ? int(Qt::AlignCenter)
                                         : int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            if (column == kWallHitsColumn || column == kSpreadColumn) {
                if (!row.wallHits) {
                    return QString::fromUtf8(
                        "Aucune seconde complète n'avait été comptée dans cet état");
                }
                return QString::fromUtf8("Moyenne de %1 relevé(s) d'une seconde").arg(row.readouts);
            }
            return {};
        default:
            return {};
    }
}

QVariant MeasurementTableModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kMeasurementColumns) {
        return Text(kMeasurementColumnTitles[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ----- window -----

TFormReleves::TFormReleves(QWidget* parent, const GasState& gas) : QDialog(parent), gas_(gas) {
    setObjectName("FormReleves");
    setWindowTitle(QString::fromUtf8("Relevés de mesures"));
    setModal(false);

    timeText = [] { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")); };
    chooseExportFile = [this] {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString name = QStringLiteral("releves-%1.csv")
                                 .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd-HH'h'mm"));
        return QFileDialog::getSaveFileName(this, QString::fromUtf8("Exporter les relevés"),
                                            QDir(folder).filePath(name),
                                            QString::fromUtf8("Fichiers CSV (*.csv)"));
    };
    chooseImportFile = [this] {
        return QFileDialog::getOpenFileName(
            this, QString::fromUtf8("Importer des relevés"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QString::fromUtf8("Fichiers CSV (*.csv);;Tous les fichiers (*)"));
    };

    model_ = new MeasurementTableModel(this);
    BuildControls();
    BuildPlot();
    ShowReadout();
    UpdatePlot();
    // Fits a 1024 × 768 classroom projector, and a smaller screen with room for a title bar
    // (a kiosk desktop's screen, for one), down to the least the controls need.
    QSize size(1000, 680);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : this->screen()) {
        size = size.boundedTo(screen->availableSize() - QSize(16, 48));
    }
    resize(size.expandedTo(minimumSizeHint()));
}

void TFormReleves::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    Lab_Releve = new QLabel(this);
    Lab_Releve->setObjectName("Lab_Releve");
    layout->addWidget(Lab_Releve);

    auto* recordRow = new QHBoxLayout;
    butAjouter = Button(this, "butAjouter", "Ajouter le relevé");
    butAjouter->setDefault(true);
    CB_Auto = new QCheckBox(QString::fromUtf8("Relevé automatique"), this);
    CB_Auto->setObjectName("CB_Auto");
    CB_Auto->setToolTip(QString::fromUtf8("Ajoute un relevé à chaque seconde mesurée"));
    CBox_Moyenne = Choice(this, "CBox_Moyenne");
    for (int span : kSpans) {
        CBox_Moyenne->addItem(QStringLiteral("%1 s").arg(span), span);
    }
    CBox_Moyenne->setToolTip(QString::fromUtf8(
        "Les chocs sur parois sont la moyenne des dernières secondes mesurées dans l'état "
        "actuel ; l'écart type en donne la dispersion"));
    recordRow->addWidget(butAjouter);
    recordRow->addWidget(CB_Auto);
    recordRow->addSpacing(16);
    recordRow->addWidget(new QLabel(QString::fromUtf8("Moyenne sur"), this));
    recordRow->addWidget(CBox_Moyenne);
    recordRow->addStretch();
    layout->addLayout(recordRow);

    Table = new QTableView(this);
    Table->setObjectName("Table");
    Table->setModel(model_);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(Table);
    splitter->addWidget(BuildPlotPanel());
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 1);

    auto* tableRow = new QHBoxLayout;
    butSupprimer = Button(this, "butSupprimer", "Supprimer");
    butEffacer = Button(this, "butEffacer", "Tout effacer");
    butCopier = Button(this, "butCopier", "Copier");
    butExporter = Button(this, "butExporter", "Exporter CSV…");
    butImporter = Button(this, "butImporter", "Importer CSV…");
    butCopier->setToolTip(QString::fromUtf8(
        "Copie les lignes choisies (toutes si aucune ne l'est) pour les coller dans un tableur"));
    for (QPushButton* b : {butSupprimer, butEffacer, butCopier}) {
        tableRow->addWidget(b);
    }
    tableRow->addStretch();
    tableRow->addWidget(butExporter);
    tableRow->addWidget(butImporter);
    layout->addLayout(tableRow);

    Lab_Etat = new QLabel(this);
    Lab_Etat->setObjectName("Lab_Etat");
    layout->addWidget(Lab_Etat);

    auto* deleteKey = new QShortcut(QKeySequence::Delete, Table);
    deleteKey->setContext(Qt::WidgetShortcut);

    connect(butAjouter, &QPushButton::clicked, this, Guard(this, &TFormReleves::AddRow));
    connect(CBox_Moyenne, &QComboBox::currentIndexChanged, this,
            Guard(this, &TFormReleves::ShowReadout));
    connect(butSupprimer, &QPushButton::clicked, this, Guard(this, &TFormReleves::DeleteSelected));
    connect(deleteKey, &QShortcut::activated, this, Guard(this, &TFormReleves::DeleteSelected));
    connect(butEffacer, &QPushButton::clicked, this, Guard(this, &TFormReleves::ClearAll));
    connect(butCopier, &QPushButton::clicked, this, Guard(this, &TFormReleves::CopyRows));
    connect(butExporter, &QPushButton::clicked, this, Guard(this, &TFormReleves::ExportCsv));
    connect(butImporter, &QPushButton::clicked, this, Guard(this, &TFormReleves::ImportCsv));
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            Guard(this, &TFormReleves::UpdatePlot));
    connect(model_, &QAbstractItemModel::modelReset, this, Guard(this, &TFormReleves::UpdatePlot));
    // The titles are wider than the figures, so columns fitted to the first rows fit the next.
    connect(model_, &QAbstractItemModel::modelReset, Table, &QTableView::resizeColumnsToContents);
}

QWidget* TFormReleves::BuildPlotPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* choices = new QHBoxLayout;
    CBox_Y = Choice(panel, "CBox_Y");
    for (Quantity q : kYQuantities) {
        CBox_Y->addItem(Text(QuantityTitle(q)), int(q));
    }
    CBox_X = Choice(panel, "CBox_X");
    for (Quantity q : kXQuantities) {
        CBox_X->addItem(Text(QuantityTitle(q)), int(q));
    }
    CBox_X->setCurrentIndex(1);  // the temperature: the first law of the practical work
    CBox_Ajustement = Choice(panel, "CBox_Ajustement");
    CBox_Ajustement->addItem(QString::fromUtf8("aucun"), -1);
    for (FitKind kind : kFits) {
        CBox_Ajustement->addItem(Text(FitName(kind)), int(kind));
    }
    choices->addWidget(new QLabel(QStringLiteral("Y :"), panel));
    choices->addWidget(CBox_Y);
    choices->addWidget(new QLabel(QStringLiteral("X :"), panel));
    choices->addWidget(CBox_X);
    choices->addWidget(new QLabel(QString::fromUtf8("Ajustement :"), panel));
    choices->addWidget(CBox_Ajustement);
    choices->addStretch();
    layout->addLayout(choices);

    Chart = new QChartView(panel);
    Chart->setObjectName("Chart");
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumHeight(240);
    layout->addWidget(Chart, 1);

    Lab_Ajustement = new QLabel(panel);
    Lab_Ajustement->setObjectName("Lab_Ajustement");
    Lab_Ajustement->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Lab_Ajustement);

    for (QComboBox* c : {CBox_Y, CBox_X, CBox_Ajustement}) {
        connect(c, &QComboBox::currentIndexChanged, this, Guard(this, &TFormReleves::UpdatePlot));
    }
    return panel;
}

void TFormReleves::BuildPlot() {
    auto* chart = new QChart;
    chart->legend()->hide();
    // Axis figures with a decimal comma, as in the table.
    chart->setLocale(QLocale(QLocale::French, QLocale::France));
    chart->setLocalizeNumbers(true);
    points_ = new QScatterSeries(chart);
    points_->setName(QString::fromUtf8("Relevés"));
    points_->setMarkerSize(9);
    fitLine_ = new QLineSeries(chart);
    fitLine_->setName(QString::fromUtf8("Ajustement"));
    chart->addSeries(fitLine_);
    chart->addSeries(points_);
    axisX_ = new QValueAxis(chart);
    axisY_ = new QValueAxis(chart);
    // Pressures reach 1 700 085 Pa: seven digits before an exponent would be needed.
    axisX_->setLabelFormat(QStringLiteral("%.7g"));
    axisY_->setLabelFormat(QStringLiteral("%.7g"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (auto* series : std::initializer_list<QXYSeries*>{points_, fitLine_}) {
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    // The view starts with an empty chart of its own, which setChart hands back rather than
    // deletes.
    QChart* empty = Chart->chart();
    Chart->setChart(chart);
    delete empty;
}

int TFormReleves::Span() const {
    return CBox_Moyenne->currentData().toInt();
}

void TFormReleves::WallHitsRead(int hits) {
    const bool usable = readouts_.Add(hits, ConditionsOf(gas_));
    ShowReadout();
    if (usable && CB_Auto->isChecked()) {
        AddRow();
    }
}

void TFormReleves::InterruptReadouts() {
    readouts_.Interrupt();
}

void TFormReleves::ShowReadout() {
    const std::optional<int> last = readouts_.lastHits();
    if (!last) {
        Lab_Releve->setText(QString::fromUtf8("En attente de la première seconde comptée."));
        return;
    }
    const WallHitAverage average = readouts_.Average(Span(), ConditionsOf(gas_));
    QString text = QString::fromUtf8("Dernière seconde : %1 chocs sur les parois. ").arg(*last);
    if (!average.mean) {
        text += QString::fromUtf8("En attente d'une seconde complète dans l'état actuel.");
    } else {
        text += QString::fromUtf8("Moyenne sur %1 s : %2 chocs/s")
                    .arg(average.readouts)
                    .arg(Figure(*average.mean));
        if (average.spread) {
            text += QString::fromUtf8(" (écart type %1)").arg(Figure(*average.spread));
        }
        text += QLatin1Char('.');
    }
    Lab_Releve->setText(text);
}

void TFormReleves::AddRow() {
    const WallHitAverage average = readouts_.Average(Span(), ConditionsOf(gas_));
    model_->Add(TakeMeasurement(gas_, average, timeText().toStdString()));
    if (model_->log().size() == 1) {
        Table->resizeColumnsToContents();
    }
    Table->scrollToBottom();
    Lab_Etat->setText(
        average.mean ? QString()
                     : QString::fromUtf8("Relevé ajouté sans chocs sur parois : aucune seconde "
                                         "complète n'a encore été comptée dans cet état."));
}

void TFormReleves::Warn(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box.exec();
}

void TFormReleves::DeleteSelected() {
    std::vector<int> positions;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows()) {
        positions.push_back(index.row());
    }
    if (!positions.empty()) {
        model_->Remove(positions);
    }
}

void TFormReleves::ClearAll() {
    const int n = model_->log().size();
    if (n == 0) {
        return;
    }
    QString question = QString::fromUtf8("Effacer les %1 relevés du tableau ?").arg(n);
    if (hasUnexported()) {
        question += QString::fromUtf8("\nCertains n'ont pas été exportés.");
    }
    if (AskDefaultNo(this, windowTitle(), question)) {
        model_->Clear();
        Lab_Etat->clear();
    }
}

void TFormReleves::CopyRows() {
    std::vector<Measurement> rows;
    QModelIndexList selected = Table->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    for (const QModelIndex& index : selected) {
        rows.push_back(model_->log().rows()[index.row()]);
    }
    if (selected.isEmpty()) {
        rows = model_->log().rows();
    }
    QApplication::clipboard()->setText(Text(WriteMeasurementsTsv(rows)));
    Lab_Etat->setText(QString::fromUtf8("%1 relevé(s) copié(s).").arg(rows.size()));
}

void TFormReleves::ExportCsv() {
    QString path = chooseExportFile ? chooseExportFile() : QString();
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    // Written beside the target and renamed over it at the end, so a failed write leaves any
    // earlier file whole.
    QSaveFile file(path);
    const std::string csv = WriteMeasurementsCsv(model_->log().rows());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != qint64(csv.size()) ||
        !file.commit()) {
        Warn(QString::fromUtf8("Exportation impossible"),
             QString::fromUtf8("Le fichier « %1 » n'a pas pu être écrit : %2")
                 .arg(FileName(path), file.errorString()));
        return;
    }
    model_->MarkAllExported();
    Lab_Etat->setText(QString::fromUtf8("%1 relevé(s) exporté(s) dans « %2 ».")
                          .arg(model_->log().size())
                          .arg(FileName(path)));
}

void TFormReleves::ImportCsv() {
    const QString path = chooseImportFile ? chooseImportFile() : QString();
    if (path.isEmpty()) {
        return;
    }
    const QString refused =
        QString::fromUtf8(
            "Le fichier « %1 » n'a pas été importé ; le tableau reste tel qu'il était.")
            .arg(FileName(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Warn(QString::fromUtf8("Importation impossible"),
             refused + QString::fromUtf8("\n\nLecture impossible : ") + file.errorString());
        return;
    }
    if (file.size() > qint64(kMaxMeasurementCsvBytes)) {
        Warn(QString::fromUtf8("Importation impossible"),
             refused + QString::fromUtf8("\n\nLe fichier dépasse %1 Mo.")
                           .arg(kMaxMeasurementCsvBytes >> 20));
        return;
    }
    const QByteArray bytes = file.readAll();
    MeasurementCsv read = ReadMeasurementsCsv(std::string_view(bytes.constData(), bytes.size()));
    if (!read.ok()) {
        Warn(QString::fromUtf8("Importation impossible"),
             refused + QStringLiteral("\n\n") + Text(read.error));
        return;
    }
    if (hasUnexported() &&
        !AskDefaultNo(
            this, windowTitle(),
            QString::fromUtf8("Des relevés n'ont pas été exportés. Les remplacer par ceux du "
                              "fichier ?"))) {
        return;
    }
    const auto n = read.rows.size();
    model_->Replace(std::move(read.rows));
    Lab_Etat->setText(
        QString::fromUtf8("%1 relevé(s) importé(s) de « %2 ».").arg(n).arg(FileName(path)));
}

QString TFormReleves::FitText(const FitResult& fit) const {
    if (!fit.ok) {
        return Text(fit.failure);
    }
    QString text = QStringLiteral("a = %1").arg(Figure(fit.a));
    if (fit.kind != FitKind::Proportional) {
        text += QStringLiteral(" ; b = %1").arg(Figure(fit.b));
    }
    text += fit.r2 ? QString::fromUtf8(" ; R² = %1").arg(Figure(*fit.r2))
                   : QString::fromUtf8(" ; R² non défini (y ne varie pas)");
    return text;
}

void TFormReleves::UpdatePlot() {
    const auto x = static_cast<Quantity>(CBox_X->currentData().toInt());
    const auto y = static_cast<Quantity>(CBox_Y->currentData().toInt());
    const std::vector<PlotPoint> points = PlotPoints(model_->log().rows(), x, y);

    QList<QPointF> shown;
    shown.reserve(static_cast<qsizetype>(points.size()));
    // Both axes start at 0 when the values are positive, so that a proportional law shows
    // as a line through the corner.
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    double xLeast = std::numeric_limits<double>::infinity();  // the smallest measured x
    for (const PlotPoint& p : points) {
        shown.append(QPointF(p.x, p.y));
        xLeast = std::min(xLeast, p.x);
        xLow = std::min(xLow, p.x);
        xHigh = std::max(xHigh, p.x);
        yLow = std::min(yLow, p.y);
        yHigh = std::max(yHigh, p.y);
    }
    points_->replace(shown);

    QList<QPointF> line;
    const int fitChoice = CBox_Ajustement->currentData().toInt();
    if (fitChoice < 0) {
        Lab_Ajustement->clear();
    } else {
        const FitResult fit = FitLaw(static_cast<FitKind>(fitChoice), points);
        Lab_Ajustement->setText(Text(FitName(fit.kind)) +
                                (fit.ok ? QStringLiteral(" : ") : QString::fromUtf8(" — ")) +
                                FitText(fit));
        if (fit.ok) {
            // The power law is drawn over the measured x only: with b < 0 it has no value at 0.
            const double from = fit.kind == FitKind::Power ? xLeast : xLow;
            const int samples = fit.kind == FitKind::Power ? 100 : 1;
            for (int i = 0; i <= samples; ++i) {
                const double at = from + (xHigh - from) * i / samples;
                const double value = fit.At(at);
                if (std::isfinite(value)) {
                    line.append(QPointF(at, value));
                    yLow = std::min(yLow, value);
                    yHigh = std::max(yHigh, value);
                }
            }
        }
    }
    fitLine_->replace(line);

    axisX_->setTitleText(Text(QuantityTitle(x)));
    axisY_->setTitleText(Text(QuantityTitle(y)));
    for (auto [axis, scale] :
         {std::pair{axisX_, NiceScale(xLow, xHigh)}, std::pair{axisY_, NiceScale(yLow, yHigh)}}) {
        axis->setRange(scale.low, scale.high);
        axis->setTickCount(scale.intervals() + 1);
    }
}

}  // namespace veliso
