// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/measurements_window.h"

#include <QApplication>
#include <QCategoryAxis>
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
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QThread>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/common/number_format.h"
#include "core/measure/measurement_csv.h"
#include "core/measure/point_cells.h"
#include "core/measure/spoken_row.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/plain_file.h"
#include "mainwindow/wrapping_row.h"

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

// A measured or fitted figure: four significant digits, as a student reads them.
QString Figure(double value) {
    return Text(ScreenFigure(value, 4));
}

// A count: its thousands grouped, as every figure of the window.
QString Whole(qsizetype n) {
    return Text(GroupedThousands(std::to_string(n)));
}

// French typography: a no-break space before ? ! : ; so that the sign never starts a line.
const QString kNbsp = QString(QChar(0x00A0));

// Points of one series beyond which the plot keeps one per cell twice as wide as a marker:
// markers drawn over each other add nothing to the picture, and each costs the chart an item.
constexpr std::size_t kDensePoints = 2000;

// Files from this size on are read aside (about 20 000 rows): a shorter one takes less
// than a tenth of a second.
constexpr qsizetype kReadAside = 1 << 20;

// Colours of the series, in order; a ninth series takes the first colour again.
constexpr QRgb kSeriesColours[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e,
                                   0x9467bd, 0x8c564b, 0xe377c2, 0x17becf};
// The same hues in the contrast mode, each at 4.5:1 at least on the chart's white.
constexpr QRgb kStrongSeriesColours[] = {0x1f77b4, 0xd62728, 0x1e7b1e, 0xb35900,
                                         0x7b4ea3, 0x8c564b, 0xb4418f, 0x0f7f8c};
// The contrast mode's grid, 4.5:1 on white; its axes and texts take the outline colour and black.
constexpr QRgb kStrongGrid = 0x767676;
// A fitted line's width in the contrast mode; otherwise the chart theme's, kept in a property.
constexpr double kStrongFitWidth = 3;
const char* const kNormalWidth = "velisoNormalWidth";

QColor SeriesColour(int series) {
    const QRgb* colours = AccessibleStyle::HighContrast() ? kStrongSeriesColours : kSeriesColours;
    return QColor(colours[(series - 1) % std::size(kSeriesColours)]);
}

const char* const kSettingsGeometry = "releves/geometrie";
const char* const kSettingsFolder = "releves/dossier";

// What each row-count or series-count reads like: "1 relevé", "3 relevés".
QString Counted(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(Whole(n), QString::fromUtf8(n > 1 ? many : one));
}

QString QuantityName(Quantity q) {
    switch (q) {
        case Quantity::Count:
            return QString::fromUtf8("la quantité N");
        case Quantity::Temperature:
            return QString::fromUtf8("la température T");
        case Quantity::Volume:
            return QString::fromUtf8("le volume V");
        case Quantity::Mass:
            return QString::fromUtf8("la masse");
        default:
            return Text(QuantityTitle(q));
    }
}

// The readout of the wall hits: the last simulated second and the mean of the chosen span.
QString ReadoutText(std::optional<int> last, const WallHitAverage& average) {
    if (!last) {
        return QString::fromUtf8("En attente de la première seconde simulée (40 pas du gaz).");
    }
    QString text = QString::fromUtf8("Dernière seconde simulée") + kNbsp +
                   QString::fromUtf8(": %1 chocs sur les parois. ").arg(Whole(*last));
    if (!average.mean) {
        return text +
               QString::fromUtf8("En attente d'une seconde simulée complète dans l'état actuel.");
    }
    text += QString::fromUtf8("Moyenne sur %1 s").arg(average.readouts) + kNbsp +
            QString::fromUtf8(": %1 chocs par seconde simulée").arg(Figure(*average.mean));
    if (average.spread) {
        text += QString::fromUtf8(" (écart type %1)").arg(Figure(*average.spread));
    }
    return text + QLatin1Char('.');
}

// A word-wrapped label as tall, at any width, as the longest of its texts would make it: its
// figures change every second, and the controls under it must not move with them.
class SteadyLabel : public QLabel {
  public:
    SteadyLabel(QWidget* parent, QStringList longest)
        : QLabel(parent), longest_(std::move(longest)) {
        setWordWrap(true);
        sizer_.setWordWrap(true);
    }

    int heightForWidth(int width) const override {
        int height = QLabel::heightForWidth(width);
        sizer_.setFont(font());
        sizer_.setContentsMargins(contentsMargins());
        for (const QString& text : longest_) {
            sizer_.setText(text);
            height = std::max(height, sizer_.heightForWidth(width));
        }
        return height;
    }

  private:
    QStringList longest_;
    mutable QLabel sizer_;  // never shown: it lays the longest texts out
};

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    // Enter belongs to "Ajouter le relevé" whichever button has the focus.
    b->setAutoDefault(false);
    return b;
}

/// The caption of a choice, named so that the choice can be tied to it for screen readers.
QLabel* Caption(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QComboBox* Choice(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

// The file the user chooses in `dialog`; empty when they give up. The folder, which the
// dialog shows in a list captioned "Voir dans :", is said with its caption (a screen reader
// would say the caption alone), and with the file's name, where the dialog opens.
QString ChosenFile(QFileDialog& dialog) {
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        const auto say = [name](const QString& folder) {
            name->setAccessibleDescription(
                TFormReleves::tr("Dossier\u00a0: %1").arg(QDir::toNativeSeparators(folder)));
        };
        say(dialog.directory().absolutePath());
        QObject::connect(&dialog, &QFileDialog::directoryEntered, name, say);
    }
    auto* folder = dialog.findChild<QComboBox*>(QStringLiteral("lookInCombo"));
    auto* caption = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    if (folder != nullptr && caption != nullptr) {
        QString name = caption->text();
        name.remove(QLatin1Char('&'));
        while (name.endsWith(QLatin1Char(':')) || name.endsWith(QLatin1Char(' ')) ||
               name.endsWith(QChar(0x00A0))) {
            name.chop(1);
        }
        folder->setAccessibleName(name);
        TieLabels(folder, caption, nullptr);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

// A reason given in a few words ("le fichier dépasse 16 Mo") as a sentence of its own.
QString Sentence(QString words) {
    if (!words.isEmpty()) {
        words[0] = words[0].toUpper();
    }
    return words.endsWith(QLatin1Char('.')) ? words : words + QLatin1Char('.');
}

}  // namespace

// Between the main window and the measurement window beside it.
constexpr int kGap = 8;

QRect BesideRect(const QRect& mainFrame, const QRect& panel, QSize wanted, QSize minimum,
                 const QRect& screen) {
    wanted = wanted.boundedTo(screen.size()).expandedTo(minimum.boundedTo(screen.size()));
    auto fitted = [&](int x, int y, int w, int h) {
        w = std::min(w, screen.width());
        h = std::min(h, screen.height());
        x = std::clamp(x, screen.left(), screen.right() + 1 - w);
        y = std::clamp(y, screen.top(), screen.bottom() + 1 - h);
        return QRect(x, y, w, h);
    };
    // Beside the main window, as wide (or tall) as the room there allows.
    const int right = screen.right() + 1 - (mainFrame.right() + 1 + kGap);
    if (right >= minimum.width()) {
        return fitted(mainFrame.right() + 1 + kGap, mainFrame.top(),
                      std::min(wanted.width(), right), wanted.height());
    }
    const int left = mainFrame.left() - kGap - screen.left();
    if (left >= minimum.width()) {
        const int w = std::min(wanted.width(), left);
        return fitted(mainFrame.left() - kGap - w, mainFrame.top(), w, wanted.height());
    }
    const int below = screen.bottom() + 1 - (mainFrame.bottom() + 1 + kGap);
    if (below >= minimum.height()) {
        return fitted(mainFrame.left(), mainFrame.bottom() + 1 + kGap, wanted.width(),
                      std::min(wanted.height(), below));
    }
    // No room: over the main window, but clear of the controls if possible. The candidates
    // are tried in order and the first that covers least wins.
    const int besidePanelRight = screen.right() + 1 - (panel.right() + 1 + kGap);
    const int besidePanelLeft = panel.left() - kGap - screen.left();
    const int wRight = std::max(minimum.width(), std::min(wanted.width(), besidePanelRight));
    const int wLeft = std::max(minimum.width(), std::min(wanted.width(), besidePanelLeft));
    const QRect candidates[] = {
        fitted(panel.right() + 1 + kGap, mainFrame.top(), wRight, wanted.height()),
        fitted(panel.left() - kGap - wLeft, mainFrame.top(), wLeft, wanted.height()),
        fitted(screen.right(), screen.bottom(), wanted.width(), wanted.height()),
        fitted(screen.left(), screen.bottom(), wanted.width(), wanted.height()),
        fitted(screen.right(), screen.top(), wanted.width(), wanted.height()),
        fitted(screen.left(), screen.top(), wanted.width(), wanted.height()),
    };
    auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
    const QRect* best = nullptr;
    for (const QRect& c : candidates) {
        if (best == nullptr || std::pair(area(c & panel), area(c & mainFrame)) <
                                   std::pair(area(*best & panel), area(*best & mainFrame))) {
            best = &c;
        }
    }
    return *best;
}

QRect RoomBeside(const QRect& mainFrame, QSize minimum, const QRect& screen) {
    const bool roomAlready = screen.right() - mainFrame.right() - kGap >= minimum.width() ||
                             mainFrame.left() - kGap - screen.left() >= minimum.width() ||
                             screen.bottom() - mainFrame.bottom() - kGap >= minimum.height();
    if (roomAlready) {
        return mainFrame;
    }
    if (mainFrame.width() + kGap + minimum.width() <= screen.width()) {
        return mainFrame.translated(screen.left() - mainFrame.left(), 0);
    }
    if (mainFrame.height() + kGap + minimum.height() <= screen.height()) {
        return mainFrame.translated(0, screen.top() - mainFrame.top());
    }
    return mainFrame;
}

QRect ClearOf(const QRect& mainFrame, const QRect& window, const QRect& screen) {
    if (!mainFrame.intersects(window)) {
        return mainFrame;
    }
    const QRect moves[] = {
        mainFrame.translated(screen.left() - mainFrame.left(), 0),
        mainFrame.translated(screen.right() - mainFrame.right(), 0),
        mainFrame.translated(0, screen.top() - mainFrame.top()),
        mainFrame.translated(0, screen.bottom() - mainFrame.bottom()),
    };
    for (const QRect& moved : moves) {
        if (screen.contains(moved) && !moved.intersects(window)) {
            return moved;
        }
    }
    return mainFrame;
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

void MeasurementTableModel::NewSeries(bool withLastRow) {
    log_.NewSeries(withLastRow);
    if (log_.size() > 0) {
        const QModelIndex cell = index(log_.size() - 1, kSeriesColumn);
        emit dataChanged(cell, cell);
    }
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
            return Text(MeasurementScreenField(row, column));
        case Qt::AccessibleTextRole:
            // With its column's title: a screen reader reading a whole row would say bare
            // figures.
            return Text(MeasurementSpokenCell(row, column));
        case Qt::TextAlignmentRole:
            return column == kTimeColumn ? int(Qt::AlignCenter)
                                         : int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            if (column == kWallHitsColumn || column == kSpreadColumn) {
                if (!row.wallHits) {
                    return QString::fromUtf8(
                        "Aucune seconde complète n'avait été comptée dans cet état");
                }
                return QString::fromUtf8("Moyenne de %1, en chocs par seconde simulée")
                    .arg(Counted(row.readouts, "seconde simulée", "secondes simulées"));
            }
            return {};
        default:
            return {};
    }
}

QVariant MeasurementTableModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kMeasurementColumns) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return Text(kMeasurementColumnTitles[section]);
    }
    if (role == Qt::ToolTipRole) {
        switch (section) {
            case kPressureColumn:
                return QString::fromUtf8(
                    "Calculée à partir de N, T et V par la loi des gaz parfaits, et non mesurée");
            case kWallHitsColumn:
                return QString::fromUtf8(
                    "Chocs comptés sur les parois, en chocs par seconde simulée : une seconde "
                    "simulée est faite de 40 pas du gaz, quel que soit le temps que l'ordinateur "
                    "a mis à les calculer");
            case kSpreadColumn:
                return QString::fromUtf8(
                    "Écart type des chocs comptés seconde simulée par "
                    "seconde simulée");
            case kSeriesColumn:
                return QString::fromUtf8(
                    "Chaque série a sa couleur et son ajustement sur le "
                    "graphique");
            default:
                return {};
        }
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
        const QString name = QStringLiteral("releves-%1.csv")
                                 .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd-HH'h'mm"));
        // The dialog adds ".csv" to a name typed without it before it checks whether the file
        // exists, so replacing "releves.csv" by typing "releves" is asked about too.
        QFileDialog dialog(this, QString::fromUtf8("Exporter les relevés"),
                           QDir(StartFolder()).filePath(name),
                           QString::fromUtf8("Fichiers CSV (*.csv)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(QDir(StartFolder()).filePath(name));
        return ChosenFile(dialog);
    };
    chooseImportFile = [this] {
        QFileDialog dialog(this, QString::fromUtf8("Importer des relevés"), StartFolder(),
                           QString::fromUtf8("Fichiers CSV (*.csv);;Tous les fichiers (*)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        return ChosenFile(dialog);
    };

    // The window's sentences are said from the main window: from inside this one, a screen
    // reader would first read out the window, its title and its status lines, before each.
    announcer_ = new Announcer(parent != nullptr ? parent->window() : this);
    model_ = new MeasurementTableModel(this);
    BuildControls();
    BuildPlot();
    ShowReadout();
    FitColumns();
    UpdateSeriesChoice();
    UpdatePlot();
    // The least width is the widest row's; the rows that wrap need their lines there.
    layout()->activate();
    setMinimumHeight(layout()->minimumHeightForWidth(minimumSizeHint().width()));
    // Fits a 1024 × 768 classroom projector, and a smaller screen with room for a title bar
    // (a kiosk desktop's screen, for one), down to the least the controls need.
    QSize size(1000, 680);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : this->screen()) {
        size = size.boundedTo(screen->availableSize() - QSize(16, 48));
    }
    resize(size.expandedTo(minimumSizeHint()));
    ShowTableState();
}

TFormReleves::~TFormReleves() {
    if (reading_) {
        // Asked to stop, a read ends at its next line; its answer, queued to this window,
        // goes with it.
        stopReading_.request_stop();
        reading_->wait();
    }
    if (isVisible()) {
        SaveGeometry();
    }
}

void TFormReleves::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    // Its figures change every second: in a narrow window it takes a second line rather
    // than widening the window, and keeps it while its text is shorter. The widest figures:
    // at most 12 000 hits a second (100 particles, one hit per axis and step, 40 steps), and
    // spreads of 4 digits.
    const int hits = 88888;
    Lab_Releve = new SteadyLabel(
        this, {ReadoutText(std::nullopt, {}), ReadoutText(hits, {}),
               ReadoutText(hits, {double(hits), 0.8888, kSpans[std::size(kSpans) - 1]})});
    Lab_Releve->setObjectName("Lab_Releve");
    layout->addWidget(Lab_Releve);

    auto* recordRow = new QHBoxLayout;
    butAjouter = Button(this, "butAjouter", "Ajouter le relevé");
    butAjouter->setDefault(true);
    // Read when the button takes the focus, which it does each time the window opens.
    butAjouter->setToolTip(
        tr("Entrée ajoute un relevé où que soit le focus\u00a0; Ctrl+M va à la fenêtre principale "
           "et en revient\u00a0; Ctrl+Maj+R lit la ligne choisie du tableau"));
    CB_Auto = new QCheckBox(QString::fromUtf8("Relevé automatique"), this);
    CB_Auto->setObjectName("CB_Auto");
    CB_Auto->setToolTip(QString::fromUtf8(
        "Ajoute un relevé chaque fois que la durée choisie dans « Moyenne sur » a été comptée, "
        "en secondes simulées : deux relevés ne partagent aucune seconde"));
    CBox_Moyenne = Choice(this, "CBox_Moyenne");
    for (int span : kSpans) {
        CBox_Moyenne->addItem(QStringLiteral("%1 s").arg(span), span);
    }
    CBox_Moyenne->setToolTip(QString::fromUtf8(
        "Les chocs sur parois sont la moyenne des dernières secondes simulées comptées dans "
        "l'état actuel ; l'écart type en donne la dispersion"));
    butNouvelleSerie = Button(this, "butNouvelleSerie", "Nouvelle série");
    butNouvelleSerie->setToolTip(
        QString::fromUtf8("Les relevés suivants forment une nouvelle série, avec sa couleur et "
                          "son ajustement sur le graphique"));
    recordRow->addWidget(butAjouter);
    recordRow->addWidget(CB_Auto);
    recordRow->addSpacing(16);
    recordRow->addWidget(Caption(this, "Cap_Moyenne", QString::fromUtf8("Moyenne sur")));
    recordRow->addWidget(CBox_Moyenne);
    recordRow->addStretch();
    recordRow->addWidget(butNouvelleSerie);
    layout->addLayout(recordRow);

    // Shown when a row changes a quantity its series had kept: a new law begins.
    Bar_Serie = new QWidget(this);
    Bar_Serie->setObjectName("Bar_Serie");
    auto* proposal = new QHBoxLayout(Bar_Serie);
    proposal->setContentsMargins(0, 0, 0, 0);
    Lab_Serie = new QLabel(Bar_Serie);
    Lab_Serie->setObjectName("Lab_Serie");
    Lab_Serie->setWordWrap(true);
    butSerieProposee = Button(Bar_Serie, "butSerieProposee", "Commencer une nouvelle série");
    proposal->addWidget(Lab_Serie, 1);
    proposal->addWidget(butSerieProposee);
    Bar_Serie->hide();
    layout->addWidget(Bar_Serie);

    Table = new QTableView(this);
    Table->setObjectName("Table");
    Table->setModel(model_);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    // Every column as wide as its title or its widest text, whichever is wider, as rows come
    // and go (FitColumns, WidenColumns).
    QHeaderView* header = Table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(true);
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Tab leaves the table for the next control; the arrows move between its cells.
    Table->setTabKeyNavigation(false);
    Table->setAccessibleDescription(tr("Ctrl+Maj+R\u00a0: lire la ligne choisie en entier"));

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
    // A long message is cut rather than widening the window.
    Lab_Etat->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(Lab_Etat);

    auto* deleteKey = new QShortcut(QKeySequence::Delete, Table);
    deleteKey->setContext(Qt::WidgetShortcut);
    auto* readKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), this);
    readKey->setObjectName("ShortcutLireLigne");
    connect(readKey, &QShortcut::activated, this, Guard(this, &TFormReleves::ReadRow));

    connect(butAjouter, &QPushButton::clicked, this, Guard(this, &TFormReleves::AddRow));
    connect(CB_Auto, &QCheckBox::toggled, this, [this] {
        readouts_.RowTaken();  // the first automatic row waits for seconds of its own
        emit automaticChanged();
    });
    connect(CBox_Moyenne, &QComboBox::currentIndexChanged, this,
            Guard(this, &TFormReleves::ShowReadout));
    // A choice the user makes, with the arrows as well as from the list, is said: a screen
    // reader says nothing when a closed list's choice changes.
    connect(CBox_Moyenne, &QComboBox::activated, this, Guard([this] { SayChoice(CBox_Moyenne); }));
    connect(butNouvelleSerie, &QPushButton::clicked, this, Guard(this, &TFormReleves::StartSeries));
    connect(butSerieProposee, &QPushButton::clicked, this,
            Guard(this, &TFormReleves::StartProposedSeries));
    connect(butSupprimer, &QPushButton::clicked, this, Guard(this, &TFormReleves::DeleteSelected));
    connect(deleteKey, &QShortcut::activated, this, Guard(this, &TFormReleves::DeleteSelected));
    connect(butEffacer, &QPushButton::clicked, this, Guard(this, &TFormReleves::ClearAll));
    connect(butCopier, &QPushButton::clicked, this, Guard(this, &TFormReleves::CopyRows));
    connect(butExporter, &QPushButton::clicked, this, Guard([this] { ExportCsv(); }));
    connect(butImporter, &QPushButton::clicked, this, Guard(this, &TFormReleves::ImportCsv));
    // Through the handler guard, like every handler: a failure is shown at once.
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            Guard([this](const QModelIndex&, int first, int last) {
                WidenColumns(first, last);
                UpdateSeriesChoice();
                UpdatePlot();
                ShowTableState();
            }));
    connect(model_, &QAbstractItemModel::modelReset, this, Guard([this] {
                Bar_Serie->hide();
                FitColumns();
                UpdateSeriesChoice();
                UpdatePlot();
                ShowTableState();
            }));
    connect(model_, &QAbstractItemModel::dataChanged, this,
            Guard([this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                WidenColumns(topLeft.row(), bottomRight.row());
                UpdateSeriesChoice();
                UpdatePlot();
            }));
}

QWidget* TFormReleves::BuildPlotPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    // On a small screen the window stands beside the panel and is narrower than this row:
    // each caption then goes on to the next line with its choice.
    auto* choices = new WrappingRow;
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
    CBox_Serie = Choice(panel, "CBox_Serie");
    choices->addGroup({Caption(panel, "Cap_Y", QStringLiteral("Y") + kNbsp + ":"), CBox_Y});
    choices->addGroup({Caption(panel, "Cap_X", QStringLiteral("X") + kNbsp + ":"), CBox_X});
    choices->addGroup(
        {Caption(panel, "Cap_Ajustement", QString::fromUtf8("Ajustement") + kNbsp + ":"),
         CBox_Ajustement});
    choices->addGroup(
        {Caption(panel, "Cap_Series", QString::fromUtf8("Séries") + kNbsp + ":"), CBox_Serie});
    layout->addLayout(choices);

    Chart = new QChartView(panel);
    Chart->setObjectName("Chart");
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumHeight(200);
    layout->addWidget(Chart, 1);

    Lab_Ajustement = new QLabel(panel);
    Lab_Ajustement->setObjectName("Lab_Ajustement");
    Lab_Ajustement->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Lab_Ajustement->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(Lab_Ajustement);

    for (QComboBox* c : {CBox_Y, CBox_X, CBox_Ajustement, CBox_Serie}) {
        connect(c, &QComboBox::currentIndexChanged, this, Guard(this, &TFormReleves::UpdatePlot));
        connect(c, &QComboBox::activated, this, Guard([this, c] { SayChoice(c); }));
    }
    return panel;
}

void TFormReleves::BuildPlot() {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignRight);
    // The axes' figures are written as the table and the fit write theirs: each tick is a
    // category boundary labelled with its figure (ShowScale).
    axisX_ = new QCategoryAxis(chart);
    axisY_ = new QCategoryAxis(chart);
    for (QCategoryAxis* axis : {axisX_, axisY_}) {
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    }
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    // The view starts with an empty chart of its own, which setChart hands back rather than
    // deletes.
    QChart* empty = Chart->chart();
    Chart->setChart(chart);
    delete empty;
    normalLook_ = {axisX_->labelsBrush(), axisX_->linePen(), axisX_->gridLinePen(),
                   axisX_->titleBrush(), chart->legend()->labelBrush()};
    ShowContrast();
    connect(ContrastChanges(), &ContrastNotifier::changed, this, Guard([this] {
                FitColumns();
                ShowContrast();
                UpdatePlot();
            }));
}

int TFormReleves::CellWidth(const QString& text) const {
    // What the table's delegate asks of the style for a cell, and the grid line beside it.
    QStyleOptionViewItem option;
    option.initFrom(Table);
    option.font = Table->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    option.text = text;
    return Table->style()
               ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), Table)
               .width() +
           (Table->showGrid() ? 1 : 0);
}

void TFormReleves::FitColumns() {
    QHeaderView* header = Table->horizontalHeader();
    for (int c = 0; c < kMeasurementColumns; ++c) {
        int width = header->sectionSizeHint(c);
        for (const std::string& shape : ScreenFieldShapes(model_->log().rows(), c)) {
            width = std::max(width, CellWidth(Text(shape)));
        }
        header->resizeSection(c, width);
    }
}

void TFormReleves::WidenColumns(int first, int last) {
    QHeaderView* header = Table->horizontalHeader();
    const std::vector<Measurement>& rows = model_->log().rows();
    for (int r = std::max(first, 0); r <= last && r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < kMeasurementColumns; ++c) {
            const int width = CellWidth(Text(MeasurementScreenField(rows[r], c)));
            if (width > header->sectionSize(c)) {
                header->resizeSection(c, width);
            }
        }
    }
}

void TFormReleves::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitColumns();
    }
}

void TFormReleves::ShowContrast() {
    ChartLook look = normalLook_;
    if (AccessibleStyle::HighContrast()) {
        look = {QBrush(Qt::black), QPen(AccessibleStyle::OutlineColour(), 1),
                QPen(QColor(kStrongGrid), 1), QBrush(Qt::black), QBrush(Qt::black)};
    }
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setLabelsBrush(look.labels);
        axis->setLinePen(look.line);
        axis->setGridLinePen(look.grid);
        axis->setTitleBrush(look.title);
    }
    Chart->chart()->legend()->setLabelBrush(look.legend);
}

QScatterSeries* TFormReleves::pointSeries(int index) const {
    return index < static_cast<int>(points_.size()) ? points_[index] : nullptr;
}

QLineSeries* TFormReleves::fitSeries(int index) const {
    return index < static_cast<int>(fitLines_.size()) ? fitLines_[index] : nullptr;
}

bool TFormReleves::automatic() const {
    return CB_Auto->isChecked();
}

int TFormReleves::Span() const {
    return CBox_Moyenne->currentData().toInt();
}

void TFormReleves::GasStepped(int hits) {
    if (const std::optional<int> second = seconds_.Step(hits, ConditionsOf(gas_))) {
        SecondCounted(*second);
    }
}

void TFormReleves::SecondCounted(int hits) {
    const GasConditions now = ConditionsOf(gas_);
    readouts_.AddSecond(hits, now);
    ShowReadout();
    if (CB_Auto->isChecked()) {
        if (const std::optional<WallHitAverage> fresh = readouts_.TakeFresh(Span(), now)) {
            AddMeasurement(*fresh);
        }
    }
}

void TFormReleves::ShowReadout() {
    const std::optional<int> last = readouts_.lastHits();
    Lab_Releve->setText(
        ReadoutText(last, last ? readouts_.Average(Span(), ConditionsOf(gas_)) : WallHitAverage{}));
}

void TFormReleves::AddRow() {
    readouts_.RowTaken();
    const WallHitAverage average = readouts_.Average(Span(), ConditionsOf(gas_));
    AddMeasurement(average);
    const MeasurementLog& log = model_->log();
    const Measurement& row = log.rows().back();
    QString text =
        tr("Relevé %1 ajouté\u00a0: %2.")
            .arg(Text(MeasurementScreenField(row, kNumberColumn)), Text(MeasurementFigures(row)));
    if (!average.mean) {
        text += QLatin1Char(' ') + tr("Aucune seconde simulée complète n'a encore été comptée "
                                      "dans cet état.");
    }
    const auto series = static_cast<qsizetype>(SeriesNumbers(log.rows()).size());
    const QString rows = Counted(log.size(), "relevé", "relevés");
    text +=
        QLatin1Char(' ') +
        (series > 1 ? tr("%1 dans le tableau, en %2.").arg(rows, Counted(series, "série", "séries"))
                    : tr("%1 dans le tableau.").arg(rows));
    if (!Bar_Serie->isHidden()) {
        text += QLatin1Char(' ') + Lab_Serie->text();
    }
    Say(text);
}

void TFormReleves::ReadRow() {
    const std::vector<Measurement>& rows = model_->log().rows();
    if (rows.empty()) {
        Say(tr("Tableau vide."));
        return;
    }
    const QModelIndex current = Table->currentIndex();
    const int row = current.isValid() ? current.row() : static_cast<int>(rows.size()) - 1;
    Say(Text(MeasurementSentence(rows[row])));
}

void TFormReleves::FocusForReading() {
    butAjouter->setFocus(Qt::OtherFocusReason);
}

void TFormReleves::Say(QString text) {
    if (fitSpoken_ != fitSaid_) {
        fitSaid_ = fitSpoken_;
        if (!fitSpoken_.isEmpty()) {
            text += QLatin1Char(' ') + fitSpoken_;
        }
    }
    announcer_->Say(text);
}

void TFormReleves::SayChoice(const QComboBox* choice) {
    // The fit's own choice is said by the fitted law, which starts with its name.
    if (choice == CBox_Ajustement && !fitSpoken_.isEmpty() && fitSpoken_ != fitSaid_) {
        fitSaid_ = fitSpoken_;
        announcer_->Say(fitSpoken_);
        return;
    }
    Say(choice->accessibleName() + kNbsp + QStringLiteral(": ") + choice->currentText() +
        QLatin1Char('.'));
}

void TFormReleves::Report(const QString& text) {
    Lab_Etat->setText(text);
    Say(text);
}

void TFormReleves::AddMeasurement(const WallHitAverage& average) {
    Measurement row = TakeMeasurement(gas_, average, timeText().toStdString());
    const MeasurementLog& log = model_->log();
    const std::optional<Quantity> changed = NewlyVaried(log.rows(), log.currentSeries(), row);
    model_->Add(std::move(row));
    Table->scrollToBottom();
    if (changed) {
        Lab_Serie->setText(
            QString::fromUtf8("Ce relevé change %1, qui restait fixe dans la série %2")
                .arg(QuantityName(*changed))
                .arg(log.currentSeries()) +
            kNbsp + QString::fromUtf8(": commencer avec lui une nouvelle série") + kNbsp + "?");
        Bar_Serie->show();
    } else {
        Bar_Serie->hide();
    }
    if (!average.mean) {
        // After the table's state, which the insertion has just written.
        Lab_Etat->setText(Lab_Etat->text() + QStringLiteral("  ") +
                          QString::fromUtf8("Dernier relevé sans chocs sur parois") + kNbsp +
                          QString::fromUtf8(": aucune seconde simulée complète n'a encore été "
                                            "comptée dans cet état."));
    }
}

void TFormReleves::StartSeries() {
    model_->NewSeries(false);
    Bar_Serie->hide();
    Report(QString::fromUtf8("Les relevés suivants formeront la série %1.")
               .arg(model_->log().currentSeries()));
}

void TFormReleves::StartProposedSeries() {
    model_->NewSeries(true);
    Bar_Serie->hide();
    Report(QString::fromUtf8("Série %1 commencée avec le dernier relevé.")
               .arg(model_->log().currentSeries()));
}

void TFormReleves::ShowTableState() {
    const MeasurementLog& log = model_->log();
    if (log.size() == 0) {
        Lab_Etat->setText(QString::fromUtf8("Tableau vide."));
        return;
    }
    const auto series = SeriesNumbers(log.rows()).size();
    QString text = QString::fromUtf8("%1 dans le tableau, en %2")
                       .arg(Counted(log.size(), "relevé", "relevés"))
                       .arg(Counted(static_cast<qsizetype>(series), "série", "séries"));
    text += log.HasUnexported() ? QString::fromUtf8(" ; certains ne sont pas encore exportés.")
                                : QString::fromUtf8(" ; tous sont exportés.");
    Lab_Etat->setText(text);
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
        // With the table's state, which the removal has just written.
        Say(Counted(static_cast<qsizetype>(positions.size()), "relevé supprimé",
                    "relevés supprimés") +
            QStringLiteral(". ") + Lab_Etat->text());
    }
}

void TFormReleves::ClearAll() {
    const int n = model_->log().size();
    if (n == 0) {
        return;
    }
    QString question =
        QString::fromUtf8("Effacer les %1 relevés du tableau").arg(Whole(n)) + kNbsp + "?";
    if (hasUnexported()) {
        question += QString::fromUtf8("\nCertains n'ont pas été exportés.");
    }
    if (AskDefaultNo(this, windowTitle(), question)) {
        model_->Clear();
        Say(Lab_Etat->text());
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
    Report(
        QString::fromUtf8("%1 pour un tableur.")
            .arg(Counted(static_cast<qsizetype>(rows.size()), "relevé copié", "relevés copiés")));
}

QString TFormReleves::StartFolder() const {
    const QString remembered = QSettings().value(kSettingsFolder).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        return remembered;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) {
        return documents;
    }
    return QDir::homePath();
}

void TFormReleves::RememberFolder(const QString& path) {
    QSettings().setValue(kSettingsFolder, QFileInfo(path).absolutePath());
}

bool TFormReleves::ExportCsv() {
    // A table of days of automatic rows writes more than "Importer CSV…" reads: said first.
    const std::string csv = WriteMeasurementsCsv(model_->log().rows());
    if (csv.size() > kMaxMeasurementCsvBytes &&
        !AskDefaultNo(
            this, windowTitle(),
            tr("Ces relevés font un fichier de %1\u00a0Mo\u00a0: un tableur l'ouvrira, mais "
               "« Importer CSV… » ne relit que les fichiers de %2\u00a0Mo au plus. Les "
               "exporter quand même\u00a0?")
                .arg(Text(ScreenFigure(double(csv.size()) / (1 << 20), 3)))
                .arg(kMaxMeasurementCsvBytes >> 20))) {
        return false;
    }
    QString path = chooseExportFile ? chooseExportFile() : QString();
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    RememberFolder(path);
    const QString fault =
        WritePlainFile(path, QByteArray::fromRawData(csv.data(), qsizetype(csv.size())));
    if (!fault.isEmpty()) {
        Warn(QString::fromUtf8("Exportation impossible"),
             QString::fromUtf8("Le fichier « %1 » n'a pas pu être écrit").arg(FileName(path)) +
                 kNbsp + ": " + fault + QLatin1Char('.'));
        return false;
    }
    model_->MarkAllExported();
    ShowTableState();
    const QString done =
        QString::fromUtf8("%1 dans « %2 ».")
            .arg(Counted(model_->log().size(), "relevé exporté", "relevés exportés"))
            .arg(FileName(path));
    Lab_Etat->setText(done);
    // The folder too, which the line under the table has no room for.
    Say(done + QLatin1Char(' ') +
        tr("Dossier\u00a0: %1.").arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    return true;
}

void TFormReleves::ImportCsv() {
    const QString path = chooseImportFile ? chooseImportFile() : QString();
    if (path.isEmpty()) {
        return;
    }
    RememberFolder(path);
    const QString refused =
        QString::fromUtf8(
            "Le fichier « %1 » n'a pas été importé ; le tableau reste tel qu'il était.")
            .arg(FileName(path));
    QByteArray bytes;
    if (const QString fault = ReadPlainFile(path, qint64(kMaxMeasurementCsvBytes), bytes);
        !fault.isEmpty()) {
        Warn(QString::fromUtf8("Importation impossible"),
             refused + QStringLiteral("\n\n") + Sentence(fault));
        return;
    }
    if (bytes.size() < kReadAside) {
        FinishImport(path, ReadMeasurementsCsv(std::string_view(bytes.constData(), bytes.size())));
        return;
    }
    // A long file is read on a thread of its own, so that the window keeps answering; the
    // table changes only once it is read, back on the window's thread. Closing the window
    // stops the read.
    butImporter->setEnabled(false);
    Lab_Etat->setText(QString::fromUtf8("Lecture de « %1 »…").arg(FileName(path)));
    struct Aside {
        QByteArray bytes;
        MeasurementCsv read;
        bool failed = false;
    };
    auto aside = std::make_shared<Aside>();
    aside->bytes = std::move(bytes);
    stopReading_ = std::stop_source();
    reading_ = QThread::create([aside, stop = stopReading_.get_token()] {
        // Nothing may leave the thread: an exception there would end the program.
        try {
            aside->read = ReadOrRefuse([&] {
                return ReadMeasurementsCsv(
                    std::string_view(aside->bytes.constData(), aside->bytes.size()), stop);
            });
        } catch (...) {
            aside->failed = true;  // not even the refusal's words could be written
        }
        aside->bytes.clear();
    });
    connect(reading_, &QThread::finished, this, Guard([this, path, aside] {
                if (stopReading_.stop_requested()) {
                    butImporter->setEnabled(true);
                    Lab_Etat->setText(
                        tr("Lecture de « %1 » interrompue : le tableau reste tel qu'il était.")
                            .arg(FileName(path)));
                    return;
                }
                if (aside->failed) {
                    aside->read = MeasurementCsv{{}, std::string(kNoMemoryToRead), false};
                }
                FinishImport(path, std::move(aside->read));
            }));
    connect(reading_, &QThread::finished, reading_, &QObject::deleteLater);
    reading_->start();
}

void TFormReleves::done(int result) {
    if (reading_) {
        stopReading_.request_stop();
    }
    // Closed from the keyboard (Escape), the window gives the keys back to the main window:
    // not every window manager activates it, and the keys would then reach no window.
    const bool active = isActiveWindow();
    QDialog::done(result);
    if (active && parentWidget() != nullptr) {
        parentWidget()->window()->activateWindow();
    }
}

void TFormReleves::FinishImport(const QString& path, MeasurementCsv read) {
    butImporter->setEnabled(true);
    // Whatever comes of it, the status line tells the table as it is from now on.
    ShowTableState();
    const QString refused =
        QString::fromUtf8(
            "Le fichier « %1 » n'a pas été importé ; le tableau reste tel qu'il était.")
            .arg(FileName(path));
    if (!read.ok()) {
        Warn(QString::fromUtf8("Importation impossible"),
             refused + QStringLiteral("\n\n") + Text(read.error));
        return;
    }
    if (hasUnexported()) {
        if (!AskDefaultNo(this, windowTitle(),
                          QString::fromUtf8("Des relevés n'ont pas été exportés. Les remplacer "
                                            "par ceux du fichier") +
                              kNbsp + "?")) {
            return;
        }
    } else if (read.rows.empty() && model_->log().size() > 0 &&
               !AskDefaultNo(this, windowTitle(),
                             QString::fromUtf8("Le fichier « %1 » ne contient aucun relevé. "
                                               "Vider le tableau de ses %2")
                                     .arg(FileName(path))
                                     .arg(Counted(model_->log().size(), "relevé", "relevés")) +
                                 kNbsp + "?")) {
        return;
    }
    const auto n = static_cast<qsizetype>(read.rows.size());
    model_->Replace(std::move(read.rows));
    QString done = QString::fromUtf8("%1 de « %2 »")
                       .arg(Counted(n, "relevé importé", "relevés importés"))
                       .arg(FileName(path));
    if (read.windows1252) {
        done += QString::fromUtf8(", lu en Windows-1252 (il n'était pas en UTF-8)");
    }
    Report(done + QLatin1Char('.'));
}

QString TFormReleves::FitText(const FitResult& fit) const {
    if (!fit.ok) {
        return Text(fit.failure);
    }
    const QString semicolon = kNbsp + QStringLiteral("; ");
    QString text = QStringLiteral("a = %1").arg(Figure(fit.a));
    if (fit.kind != FitKind::Proportional) {
        text += semicolon + QStringLiteral("b = %1").arg(Figure(fit.b));
    }
    text += fit.r2 ? semicolon + QString::fromUtf8("R² = %1").arg(Figure(*fit.r2))
                   : semicolon + QString::fromUtf8("R² non défini (y ne varie pas)");
    return text;
}

void TFormReleves::UpdateSeriesChoice() {
    const std::vector<int> numbers = SeriesNumbers(model_->log().rows());
    const int chosen = CBox_Serie->currentData().toInt();
    QSignalBlocker quiet(CBox_Serie);
    CBox_Serie->clear();
    CBox_Serie->addItem(QString::fromUtf8("toutes"), 0);
    for (int n : numbers) {
        CBox_Serie->addItem(QString::fromUtf8("Série %1").arg(n), n);
    }
    CBox_Serie->setCurrentIndex(std::max(0, CBox_Serie->findData(chosen)));
    CBox_Serie->setEnabled(numbers.size() > 1);
}

QString TFormReleves::ChartSummary(const std::vector<PlotPoint>& points, Quantity x,
                                   Quantity y) const {
    // The chart in words, for whoever cannot see it: what is plotted against what, the
    // ranges of the points, and the fitted law as the line under the chart gives it.
    const QString plotted =
        Text(QuantityTitle(y)) + QString::fromUtf8(" en fonction de ") + Text(QuantityTitle(x));
    if (points.empty()) {
        return QString::fromUtf8("Aucun relevé tracé : ") + plotted + QLatin1Char('.');
    }
    auto [xMin, xMax] =
        std::minmax_element(points.begin(), points.end(),
                            [](const PlotPoint& a, const PlotPoint& b) { return a.x < b.x; });
    auto [yMin, yMax] =
        std::minmax_element(points.begin(), points.end(),
                            [](const PlotPoint& a, const PlotPoint& b) { return a.y < b.y; });
    QString text =
        QString::fromUtf8("%1 relevé(s) tracé(s) : %2 ; x de %3 à %4, y de %5 à %6.")
            .arg(Whole(static_cast<qsizetype>(points.size())))
            .arg(plotted, Figure(xMin->x), Figure(xMax->x), Figure(yMin->y), Figure(yMax->y));
    if (!Lab_Ajustement->text().isEmpty()) {
        text += QLatin1Char(' ') + Lab_Ajustement->text();
    }
    return text;
}

void TFormReleves::UpdatePlot() {
    const auto x = static_cast<Quantity>(CBox_X->currentData().toInt());
    const auto y = static_cast<Quantity>(CBox_Y->currentData().toInt());
    const int fitChoice = CBox_Ajustement->currentData().toInt();
    const std::vector<Measurement>& rows = model_->log().rows();
    const int only = CBox_Serie->currentData().toInt();
    std::vector<int> numbers = SeriesNumbers(rows);
    if (only > 0) {
        numbers = {only};
    }
    QChart* chart = Chart->chart();

    struct Drawn {
        int series;
        std::vector<PlotPoint> points;
        FitResult fit;
        QList<QPointF> line;
    };
    std::vector<Drawn> drawn;
    // Both axes start at 0 when the values are positive, so that a proportional law shows
    // as a line through the corner.
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    for (int n : numbers) {
        Drawn d{n, PlotPoints(rows, x, y, numbers.size() > 1 || only > 0 ? n : 0), {}, {}};
        double xLeast = std::numeric_limits<double>::infinity();  // the smallest measured x
        double xMost = 0;
        for (const PlotPoint& p : d.points) {
            xLeast = std::min(xLeast, p.x);
            xMost = std::max(xMost, p.x);
            xLow = std::min(xLow, p.x);
            xHigh = std::max(xHigh, p.x);
            yLow = std::min(yLow, p.y);
            yHigh = std::max(yHigh, p.y);
        }
        if (fitChoice >= 0) {
            d.fit = FitLaw(static_cast<FitKind>(fitChoice), d.points);
            if (d.fit.ok) {
                // The power law is drawn over the measured x only: with b < 0 it has no value
                // at 0.
                const double from = d.fit.kind == FitKind::Power ? xLeast : std::min(0.0, xLeast);
                const int samples = d.fit.kind == FitKind::Power ? 100 : 1;
                for (int i = 0; i <= samples; ++i) {
                    const double at = from + (xMost - from) * i / samples;
                    const double value = d.fit.At(at);
                    if (std::isfinite(value)) {
                        d.line.append(QPointF(at, value));
                        yLow = std::min(yLow, value);
                        yHigh = std::max(yHigh, value);
                    }
                }
            }
        }
        drawn.push_back(std::move(d));
    }

    // An empty plot shows the quarter a measurement falls in, not an axis around 0.
    const AxisScale xScale = xHigh > xLow ? NiceScale(xLow, xHigh) : NiceScale(0, 1);
    const AxisScale yScale = yHigh > yLow ? NiceScale(yLow, yHigh) : NiceScale(0, 1);

    // One scatter and one line per series drawn; made as needed, kept for the next update.
    while (points_.size() < std::max<std::size_t>(drawn.size(), 1)) {
        auto* points = new QScatterSeries(chart);
        auto* line = new QLineSeries(chart);
        chart->addSeries(line);
        chart->addSeries(points);
        for (QXYSeries* s : std::initializer_list<QXYSeries*>{points, line}) {
            s->attachAxis(axisX_);
            s->attachAxis(axisY_);
        }
        // The fitted lines need no entry: each has its series' colour.
        chart->legend()->markers(line).front()->setVisible(false);
        line->setProperty(kNormalWidth, line->pen().widthF());  // the theme's
        points_.push_back(points);
        fitLines_.push_back(line);
    }

    const QRectF area = chart->plotArea();
    QStringList fitTexts;
    QStringList spoken;  // the same for a screen reader, one sentence each
    for (std::size_t i = 0; i < points_.size(); ++i) {
        QScatterSeries* points = points_[i];
        QLineSeries* line = fitLines_[i];
        if (i >= drawn.size()) {
            points->clear();
            line->clear();
            points->setVisible(false);
            line->setVisible(false);
            chart->legend()->markers(points).front()->setVisible(false);
            continue;
        }
        const Drawn& d = drawn[i];
        const QColor colour = SeriesColour(d.series);
        // Markers shrink as points crowd, and have no outline: an outline would paint over
        // the neighbours and leave only the last points visible.
        const std::size_t count = d.points.size();
        const double size = count <= 200 ? 9 : (count <= 2000 ? 6 : 4);
        std::vector<PlotPoint> shown =
            count > kDensePoints
                ? OnePointPerCell(d.points, xScale, yScale,
                                  std::max(1, int(std::max(area.width(), 600.0) / (2 * size))),
                                  std::max(1, int(std::max(area.height(), 300.0) / (2 * size))))
                : d.points;
        QList<QPointF> list;
        list.reserve(static_cast<qsizetype>(shown.size()));
        for (const PlotPoint& p : shown) {
            list.append(QPointF(p.x, p.y));
        }
        // Each change of look goes over every marker of the series: only what changed, and
        // before the new points replace the old.
        points->setName(QString::fromUtf8("Série %1").arg(d.series));
        if (points->color() != colour || points->borderColor() != colour) {
            points->clear();
            points->setColor(colour);
            points->setBorderColor(colour);
        }
        if (points->markerSize() != size) {
            points->clear();
            points->setMarkerSize(size);
        }
        points->replace(list);
        points->setVisible(true);
        chart->legend()->markers(points).front()->setVisible(true);
        const double width = AccessibleStyle::HighContrast()
                                 ? kStrongFitWidth
                                 : line->property(kNormalWidth).toDouble();
        if (line->color() != colour || line->pen().widthF() != width) {
            QPen pen = line->pen();
            pen.setColor(colour);
            pen.setWidthF(width);
            line->setPen(pen);
        }
        line->replace(d.line);
        line->setVisible(true);
        // Showing a series shows its legend entry again: the line has none, its colour says
        // which series it fits.
        chart->legend()->markers(line).front()->setVisible(false);
        if (fitChoice >= 0) {
            QString text = Text(FitName(d.fit.kind)) +
                           (d.fit.ok ? kNbsp + QStringLiteral(": ") : QString::fromUtf8(" — ")) +
                           FitText(d.fit);
            if (drawn.size() > 1) {
                text = QString::fromUtf8("Série %1 — ").arg(d.series) + text;
            }
            fitTexts.append(text);
            spoken.append(
                (drawn.size() > 1 ? tr("Série %1, ajustement ").arg(d.series) : tr("Ajustement ")) +
                Text(FitName(d.fit.kind)) +
                (d.fit.ok ? kNbsp + QStringLiteral(": ") : QString::fromUtf8(" — ")) +
                FitText(d.fit) + QLatin1Char('.'));
        }
    }
    drawn_ = static_cast<int>(drawn.size());
    // Thousands of smoothed markers take the chart longer to paint than everything else;
    // small plain ones look the same.
    const bool dense = std::any_of(drawn.begin(), drawn.end(),
                                   [](const Drawn& d) { return d.points.size() > kDensePoints; });
    Chart->setRenderHint(QPainter::Antialiasing, !dense);
    chart->legend()->setVisible(drawn_ > 0);
    Lab_Ajustement->setText(fitTexts.join(QLatin1Char('\n')));
    fitSpoken_ = spoken.join(QLatin1Char(' '));

    axisX_->setTitleText(Text(QuantityTitle(x)));
    axisY_->setTitleText(Text(QuantityTitle(y)));
    std::vector<PlotPoint> plotted;
    for (const Drawn& d : drawn) {
        plotted.insert(plotted.end(), d.points.begin(), d.points.end());
    }
    Chart->setAccessibleDescription(ChartSummary(plotted, x, y));
    ShowScale(axisX_, xScale);
    ShowScale(axisY_, yScale);
}

void TFormReleves::ShowScale(QCategoryAxis* axis, const AxisScale& scale) {
    axis->setRange(scale.low, scale.high);
    for (const QString& label : axis->categoriesLabels()) {
        axis->remove(label);
    }
    axis->setStartValue(scale.low);
    // Fifteen digits tell apart the ticks of any scale (a step is at least 1e-12 of the
    // values) and drop the binary noise of low + i × step: "0,6", not "0,6000000000000001".
    const int intervals = scale.intervals();
    for (int i = 0; i <= intervals; ++i) {
        const double at = i == intervals ? scale.high : scale.low + i * scale.step;
        axis->append(Text(ScreenFigure(at, 15)), at);
    }
}

void TFormReleves::Place(QWidget& mainWindow, const QWidget& panel) {
    QSettings settings;
    QScreen* screen = mainWindow.screen();
    // The main window starts in the middle of the screen: where the screen has room for
    // both windows side by side, it moves aside rather than be covered.
    const auto moveAside = [&mainWindow, screen](const QRect& window) {
        const QRect mainFrame = mainWindow.frameGeometry();
        const QRect moved = ClearOf(mainFrame, window, screen->availableGeometry());
        if (moved != mainFrame) {
            mainWindow.move(mainWindow.pos() + moved.topLeft() - mainFrame.topLeft());
        }
    };
    // restoreGeometry brings a window that would be off screen back on it, but keeps its size:
    // one kept on a larger screen is placed again, at most as large as this one.
    if (restoreGeometry(settings.value(kSettingsGeometry).toByteArray()) &&
        (screen == nullptr || (frameGeometry().width() <= screen->availableGeometry().width() &&
                               frameGeometry().height() <= screen->availableGeometry().height()))) {
        if (screen != nullptr) {
            moveAside(frameGeometry());
        }
        return;
    }
    if (screen == nullptr) {
        return;
    }
    // Frame rectangles: the window manager's borders are taken to be those of the main window.
    const QRect mainFrame = mainWindow.frameGeometry();
    const QMargins borders(mainWindow.geometry().left() - mainFrame.left(),
                           mainWindow.geometry().top() - mainFrame.top(),
                           mainFrame.right() - mainWindow.geometry().right(),
                           mainFrame.bottom() - mainWindow.geometry().bottom());
    const QRect panelRect(panel.mapToGlobal(QPoint(0, 0)), panel.size());
    const QSize extra(borders.left() + borders.right(), borders.top() + borders.bottom());
    const QSize minimum = minimumSizeHint().expandedTo(minimumSize()) + extra;
    const QRect room = RoomBeside(mainFrame, minimum, screen->availableGeometry());
    const QRect frame = BesideRect(room, panelRect.translated(room.topLeft() - mainFrame.topLeft()),
                                   size() + extra, minimum, screen->availableGeometry());
    setGeometry(frame.marginsRemoved(borders));
    moveAside(frame);
}

void TFormReleves::SaveGeometry() {
    QSettings().setValue(kSettingsGeometry, saveGeometry());
}

void TFormReleves::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    emit automaticChanged();
}

void TFormReleves::hideEvent(QHideEvent* event) {
    // Kept at each closing, so that the next opening, in this run or the next, puts the
    // window back where it was.
    SaveGeometry();
    QDialog::hideEvent(event);
    emit automaticChanged();
}

}  // namespace veliso
