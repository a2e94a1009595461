// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/measurements_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QScreen>
#include <QSettings>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QWindow>
#include <numeric>
#include <set>

#include "core/gas/gas_step.h"
#include "core/measure/measurement_csv.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/accessible_names.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/modal_answer.h"
#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

using testing::FindControl;
using testing::ModalAnswer;

class MeasurementsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        ASSERT_TRUE(folder.isValid());
        window = std::make_unique<TFormReleves>(nullptr, gas);
        window->timeText = [] { return QStringLiteral("10:00:00"); };
        window->chooseExportFile = [this] { return exportPath; };
        window->chooseImportFile = [this] { return importPath; };
    }

    template <typename T>
    T* Control(const char* name) {
        return FindControl<T>(window.get(), name);
    }
    void Click(const char* button) { Control<QPushButton>(button)->click(); }
    const std::vector<Measurement>& Rows() const { return window->model()->log().rows(); }
    QString Cell(int row, int column) const {
        const MeasurementTableModel* m = window->model();
        return m->data(m->index(row, column), Qt::DisplayRole).toString();
    }
    // Whole simulated seconds of the state shown, with these hits.
    void Seconds(std::initializer_list<int> hits) {
        for (int h : hits) {
            window->SecondCounted(h);
        }
    }
    // Steps of the gas, `hits` wall hits each.
    void Steps(int steps, int hits) {
        for (int i = 0; i < steps; ++i) {
            window->GasStepped(hits);
        }
    }
    void Choose(const char* combo, int index) { Control<QComboBox>(combo)->setCurrentIndex(index); }
    void SelectRows(std::initializer_list<int> rows) {
        QTableView* table = Control<QTableView>("Table");
        table->clearSelection();
        for (int r : rows) {
            table->selectionModel()->select(
                table->model()->index(r, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    void AddRowsAt(std::initializer_list<double> temperatures) {
        for (double t : temperatures) {
            gas.temperature = t;
            Click("butAjouter");
        }
    }
    // `n` rows of the gas numbered 1 .. n, without times: N and T in turn over their ranges.
    static std::vector<Measurement> GasRows(int n) {
        std::vector<Measurement> rows(n);
        for (int i = 0; i < n; ++i) {
            rows[i].number = i + 1;
            rows[i].count = 1 + i % 100;
            rows[i].temperature = 10 + (i * 7) % 491;
            rows[i].volumePercent = 100;
            rows[i].mass = 5;
            rows[i].pressure = IdealGasPressure(rows[i].count, rows[i].temperature, 100);
        }
        return rows;
    }
    QString Write(const char* name, const std::string& text) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    GasState gas;
    QTemporaryDir folder;
    QString exportPath;
    QString importPath;
    std::unique_ptr<TFormReleves> window;
};

TEST_F(MeasurementsWindowTest, ButtonAndEnterAddTheStateWithTheMeanOfTheChosenSpan) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Relevés de mesures"));
    EXPECT_FALSE(window->isModal());
    Seconds({90, 100, 110});
    Choose("CBox_Moyenne", 1);  // 5 s, of which 3 are at hand
    EXPECT_TRUE(
        Control<QLabel>("Lab_Releve")
            ->text()
            .contains(QString::fromUtf8("Moyenne sur 3 s\u00a0: 100 chocs par seconde simulée")));
    Click("butAjouter");
    ASSERT_EQ(Rows().size(), 1u);
    const Measurement& row = Rows()[0];
    EXPECT_EQ(row.number, 1);
    EXPECT_EQ(row.time, "10:00:00");
    EXPECT_EQ(row.pressure, 101325.0);
    EXPECT_EQ(row.wallHits, 100.0);
    EXPECT_EQ(row.wallHitsSpread, 10.0);
    EXPECT_EQ(row.readouts, 3);
    const char* shown[] = {"1",   "10:00:00", "100", "298", "100", "5", "101\u00a0325",
                           "100", "10",       "3",   "1"};
    for (int c = 0; c < kMeasurementColumns; ++c) {
        EXPECT_EQ(Cell(0, c), QString::fromUtf8(shown[c])) << c;
    }

    // Enter adds too, wherever the focus is in the window.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(Control<QTableView>("Table"), Qt::Key_Return);
    QTest::keyClick(Control<QCheckBox>("CB_Auto"), Qt::Key_Enter);
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_FALSE(Control<QCheckBox>("CB_Auto")->isChecked());

    // A slider moved since the last readout: the row says no hits were measured in this state.
    gas.count = 50;
    Click("butAjouter");
    EXPECT_EQ(Rows().back().pressure, 50662.0);
    EXPECT_FALSE(Rows().back().wallHits.has_value());
    EXPECT_TRUE(Cell(3, 7).isEmpty());
    EXPECT_FALSE(Control<QLabel>("Lab_Etat")->text().isEmpty());
}

TEST_F(MeasurementsWindowTest, AutomaticReadoutAddsARowForEachWholeSecondAndThePlotFollows) {
    Choose("CBox_Y", 1);  // wall hits
    Control<QCheckBox>("CB_Auto")->setChecked(true);
    Steps(39, 2);
    EXPECT_TRUE(Rows().empty());  // not yet a whole simulated second
    Steps(1, 18);
    Seconds({94});
    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Rows()[0].wallHits, 96.0);
    EXPECT_EQ(Rows()[1].wallHits, 94.0);
    EXPECT_EQ(window->pointSeries()->count(), 2);

    // The temperature is changed during a second: that one is skipped.
    Steps(20, 3);
    gas.temperature = 500;
    Steps(39, 3);
    EXPECT_EQ(Rows().size(), 2u);
    Steps(1, 7);
    ASSERT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows()[2].temperature, 500.0);
    EXPECT_EQ(window->pointSeries()->count(), 3);
    EXPECT_EQ(window->pointSeries()->at(2), QPointF(500, 124));

    // "Moyenne sur 5 s": one row every 5 seconds, from seconds no other row used.
    Choose("CBox_Moyenne", 1);
    Seconds({100, 100, 100, 100, 130, 120, 120, 120, 120});
    ASSERT_EQ(Rows().size(), 4u);
    EXPECT_EQ(Rows()[3].wallHits, 106.0);
    Seconds({120});
    ASSERT_EQ(Rows().size(), 5u);
    EXPECT_EQ(Rows()[4].wallHits, 120.0);
    EXPECT_EQ(Rows()[4].readouts, 5);

    gas.paused = true;
    Steps(400, 0);
    EXPECT_EQ(Rows().size(), 5u);
}

TEST_F(MeasurementsWindowTest, DeleteClearAndCopy) {
    AddRowsAt({100, 200, 300, 400});
    SelectRows({0, 2});
    Click("butCopier");
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromUtf8(WriteMeasurementsTsv({Rows()[0], Rows()[2]}).c_str()));
    Click("butSupprimer");
    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Rows()[0].number, 2);
    EXPECT_EQ(Rows()[1].number, 4);
    EXPECT_EQ(window->pointSeries()->count(), 2);
    SelectRows({});
    Click("butCopier");  // nothing chosen: every row
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromUtf8(WriteMeasurementsTsv(Rows()).c_str()));

    {
        ModalAnswer answer(QMessageBox::No);
        Click("butEffacer");
        EXPECT_TRUE(answer.text.startsWith(QString::fromUtf8("Effacer les 2 relevés")));
    }
    EXPECT_EQ(Rows().size(), 2u);
    {
        ModalAnswer answer(QMessageBox::Yes);
        Click("butEffacer");
        EXPECT_EQ(answer.answered(), 1u);
    }
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(window->pointSeries()->count(), 0);
    EXPECT_FALSE(window->hasUnexported());
}

// What a screen reader hears after each step of the user: the row added with its figures and
// the count of rows, a choice changed by the arrows, the fitted law when it changes, a row
// read whole, the export with its folder. "\u00a0" is French typography's no-break space.
TEST_F(MeasurementsWindowTest, EachStepOfTheUserIsSaidWithWhatItDid) {
    NameMeasurementControls(window.get());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // Tests share their display: the window is made the active one for Qt itself, whose
    // shortcuts need it.
    QApplication::setActiveWindow(window.get());
    exportPath = folder.filePath("r.csv");
    const auto key = [this](const char* control, Qt::Key key,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [=, this] {
            QWidget* w = Control<QWidget>(control);
            w->setFocus();
            QTest::keyClick(w, key, modifiers);
        };
    };
    const QString row1 = QString::fromUtf8(
        "100 particules, 298\u00a0K, volume 100\u00a0%, masse relative 5\u00a0; pression "
        "101\u00a0325\u00a0Pa\u00a0; 100 chocs par seconde sur les parois, moyenne sur 1\u00a0s");
    struct Step {
        const char* name;
        std::function<void()> act;
        QString said;  // the whole sentence, or its start when it ends with "…"
    };
    const Step steps[] = {
        {"a row",
         [&] {
             Seconds({100});
             Click("butAjouter");
         },
         QString::fromUtf8("Relevé 1 ajouté\u00a0: ") + row1 +
             QString::fromUtf8(". 1 relevé dans le tableau.")},
        {"a fit by the arrows, which one row cannot give", key("CBox_Ajustement", Qt::Key_Down),
         QString::fromUtf8("Ajustement proportionnelle y = a·x — ajustement impossible…")},
        {"a row before a whole second, and the fit it changes", [&] { AddRowsAt({400}); },
         QString::fromUtf8(
             "Relevé 2 ajouté\u00a0: 100 particules, 400\u00a0K, volume 100\u00a0%, masse "
             "relative 5\u00a0; pression 136\u00a0006\u00a0Pa\u00a0; chocs sur les parois non "
             "mesurés. Aucune seconde simulée complète n'a encore été comptée dans cet état. 2 "
             "relevés dans le tableau. Ajustement proportionnelle y = a·x\u00a0: a = 340\u00a0; "
             "R² = 1.")},
        {"an axis", key("CBox_X", Qt::Key_Down),
         QString::fromUtf8("Grandeur en abscisse (X)\u00a0: Volume V (%). Ajustement "
                           "proportionnelle y = a·x — ajustement impossible…")},
        {"the span", key("CBox_Moyenne", Qt::Key_Down),
         QString::fromUtf8("Moyenne sur\u00a0: 5 s.")},
        {"the last row read whole, the table never visited",
         key("butAjouter", Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier),
         QString::fromUtf8("Relevé 2, série 1, à 10:00:00\u00a0: 100 particules, 400\u00a0K, …")},
        {"the current row read whole",
         [&] {
             QTableView* table = Control<QTableView>("Table");
             table->setCurrentIndex(table->model()->index(0, kWallHitsColumn));
             key("Table", Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier)();
         },
         QString::fromUtf8("Relevé 1, série 1, à 10:00:00\u00a0: ") + row1 + QLatin1Char('.')},
        {"the export", [&] { Click("butExporter"); },
         QString::fromUtf8("2 relevés exportés dans « r.csv ». Dossier\u00a0: ") +
             QDir::toNativeSeparators(folder.path()) + QLatin1Char('.')},
        {"a row deleted", key("Table", Qt::Key_Delete),
         QString::fromUtf8("1 relevé supprimé. 1 relevé dans le tableau, en 1 série ; tous "
                           "sont exportés.")},
    };
    const Announcer& said = *window->announcer();
    for (const Step& step : steps) {
        const int before = said.count();
        step.act();
        EXPECT_EQ(said.count(), before + 1) << step.name;
        if (step.said.endsWith(QChar(0x2026))) {
            EXPECT_TRUE(said.lastText().startsWith(step.said.chopped(1)))
                << step.name << ": " << said.lastText().toStdString();
        } else {
            EXPECT_EQ(said.lastText().toStdString(), step.said.toStdString()) << step.name;
        }
    }
    // A choice the program makes is no step of the user's: nothing is said.
    const int before = said.count();
    Choose("CBox_X", 1);
    EXPECT_EQ(said.count(), before);

    // Each cell is read with its column's title, whichever the screen reader reads: those of
    // the row left, the second.
    ASSERT_EQ(Rows().size(), 1u);
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(Control<QTableView>("Table"))->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, kTemperatureColumn)->text(QAccessible::Name),
              QString::fromUtf8("Température T (K)\u00a0: 400"));
    EXPECT_EQ(table->cellAt(0, kWallHitsColumn)->text(QAccessible::Name),
              QString::fromUtf8("Chocs sur parois /s\u00a0: aucune valeur"));
}

TEST_F(MeasurementsWindowTest, ExportThenImportGivesBackTheTable) {
    Seconds({40, 95});
    AddRowsAt({100, 250});
    EXPECT_TRUE(window->hasUnexported());
    exportPath = folder.filePath("releves");  // the suffix is added
    Click("butExporter");
    QFile written(exportPath + ".csv");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), WriteMeasurementsCsv(Rows()));
    EXPECT_FALSE(window->hasUnexported());

    TFormReleves other(nullptr, gas);
    other.chooseImportFile = [&] { return exportPath + ".csv"; };
    FindControl<QPushButton>(&other, "butImporter")->click();
    EXPECT_EQ(other.model()->log().rows(), Rows());
    EXPECT_FALSE(other.hasUnexported());

    // A write that fails says so and the rows stay unsaved.
    Click("butAjouter");
    exportPath = folder.filePath("absent/releves.csv");
    {
        ModalAnswer answer(QMessageBox::Ok);
        Click("butExporter");
        EXPECT_EQ(answer.icon, QMessageBox::Warning);
        EXPECT_TRUE(answer.text.contains("absent") || answer.text.contains("releves.csv"));
    }
    EXPECT_TRUE(window->hasUnexported());
}

TEST_F(MeasurementsWindowTest, AMalformedFileIsRefusedAndTheTableStaysAsItWas) {
    AddRowsAt({100, 200});
    const std::vector<Measurement> before = Rows();
    importPath =
        Write("faux.csv", WriteMeasurementsCsv(Rows()) + "3;;100;298;100;5;1013,25,0;;;0;1\r\n");
    {
        ModalAnswer answer(QMessageBox::Ok);
        Click("butImporter");
        EXPECT_EQ(answer.icon, QMessageBox::Warning);
        EXPECT_TRUE(answer.text.contains(QString::fromUtf8("« faux.csv » n'a pas été importé")));
        EXPECT_TRUE(answer.text.contains(
            QString::fromUtf8("Ligne 4 : dans la colonne « Pression P (Pa) »")))
            << answer.text.toStdString();
    }
    EXPECT_EQ(Rows(), before);
    EXPECT_TRUE(window->hasUnexported());

    // A good file over rows never exported: asked first, and No keeps them.
    importPath = Write("bon.csv", WriteMeasurementsCsv({}));
    {
        ModalAnswer answer(QMessageBox::No);
        Click("butImporter");
        EXPECT_TRUE(
            answer.text.startsWith(QString::fromUtf8("Des relevés n'ont pas été exportés")));
    }
    EXPECT_EQ(Rows(), before);
    {
        ModalAnswer answer(QMessageBox::Yes);
        Click("butImporter");
    }
    EXPECT_TRUE(Rows().empty());

    // A Windows-1252 file is read, and the status says so; a file with titles only asks
    // before it empties the table.
    importPath = Write("excel.csv",
                       "N\xB0;Heure;Quantit\xE9 N;Temp\xE9rature T (K);Volume V (%);Masse "
                       "relative;Pression P (Pa);Chocs sur parois /s\r\n1;;100;298;100;5;101 "
                       "325;95\r\n");
    Click("butImporter");
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].pressure, 101325.0);
    EXPECT_TRUE(Control<QLabel>("Lab_Etat")->text().contains("Windows-1252"));
    importPath = Write("vide.csv", WriteMeasurementsCsv({}));
    {
        ModalAnswer answer(QMessageBox::No);
        Click("butImporter");
        EXPECT_TRUE(answer.text.contains(QString::fromUtf8("ne contient aucun relevé")));
    }
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(MeasurementsWindowTest, FittedLawIsDrawnWithItsFiguresAndNeverANan) {
    Choose("CBox_Ajustement", 1);  // proportional
    QLabel* fit = Control<QLabel>("Lab_Ajustement");
    AddRowsAt({300});
    EXPECT_TRUE(fit->text().contains("ajustement impossible"));
    EXPECT_EQ(window->fitSeries()->count(), 0);

    AddRowsAt({100, 200});
    // P = floor(100 × 340.017 × T / 100): a = 340.0…; the line starts at the origin.
    EXPECT_TRUE(fit->text().contains(QString::fromUtf8("a = 340\u00a0; R² = 1")))
        << fit->text().toStdString();
    ASSERT_EQ(window->fitSeries()->count(), 2);
    EXPECT_EQ(window->fitSeries()->at(0), QPointF(0, 0));

    // Against the mass every x is 5: no law, and no NaN anywhere.
    Choose("CBox_X", 5);
    Choose("CBox_Ajustement", 3);  // power
    EXPECT_TRUE(fit->text().contains("ajustement impossible"));
    EXPECT_FALSE(fit->text().contains("nan", Qt::CaseInsensitive));
    EXPECT_EQ(window->fitSeries()->count(), 0);
    EXPECT_EQ(window->pointSeries()->count(), 3);

    // Wall hits with a zero: the power law is refused, the affine law is not.
    Choose("CBox_X", 1);
    Choose("CBox_Y", 1);
    Seconds({0, 0});
    gas.temperature = 10;
    Seconds({0, 3});
    Click("butAjouter");
    gas.temperature = 50;
    Seconds({0, 0});
    Click("butAjouter");
    EXPECT_TRUE(fit->text().contains("strictement positifs"));
    Choose("CBox_Ajustement", 2);
    EXPECT_TRUE(fit->text().startsWith(QString::fromUtf8("affine y = a·x + b\u00a0: a = ")));
    EXPECT_GT(window->fitSeries()->count(), 0);
}

TEST_F(MeasurementsWindowTest, EachSeriesHasItsColourFitAndLegendAndOneCanBeShownAlone) {
    Choose("CBox_Ajustement", 1);  // proportional
    AddRowsAt({100, 200, 300});
    Click("butNouvelleSerie");
    gas.count = 50;
    AddRowsAt({100, 200, 300, 400});
    EXPECT_EQ(Cell(6, kSeriesColumn), QStringLiteral("2"));
    ASSERT_EQ(window->seriesDrawn(), 2);
    EXPECT_EQ(window->pointSeries(0)->count(), 3);
    EXPECT_EQ(window->pointSeries(1)->count(), 4);
    EXPECT_NE(window->pointSeries(0)->color(), window->pointSeries(1)->color());
    EXPECT_EQ(window->fitSeries(1)->color(), window->pointSeries(1)->color());
    EXPECT_EQ(window->pointSeries(1)->name(), QString::fromUtf8("Série 2"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    int entries = 0;  // one legend entry per series, none for the fitted lines
    for (QLegendMarker* marker : window->pointSeries()->chart()->legend()->markers()) {
        entries += marker->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(entries, 2);
    const QStringList fits = Control<QLabel>("Lab_Ajustement")->text().split('\n');
    ASSERT_EQ(fits.size(), 2);
    // P = floor(N × 340.017 × T / 100): a ≈ 340 for 100 particles, ≈ 170 for 50.
    EXPECT_TRUE(fits[0].startsWith(QString::fromUtf8("Série 1 — proportionnelle")))
        << fits[0].toStdString();
    EXPECT_TRUE(fits[0].contains("a = 340")) << fits[0].toStdString();
    EXPECT_TRUE(fits[1].contains("a = 170")) << fits[1].toStdString();

    Choose("CBox_Serie", 2);  // "toutes", "Série 1", "Série 2"
    ASSERT_EQ(window->seriesDrawn(), 1);
    EXPECT_EQ(window->pointSeries(0)->count(), 4);
    EXPECT_EQ(window->pointSeries(1)->count(), 0);
    EXPECT_FALSE(window->pointSeries(1)->isVisible());

    // A row that changes the volume, which series 2 kept: a new series is proposed, and
    // taken with that row.
    QWidget* proposal = Control<QWidget>("Bar_Serie");
    EXPECT_TRUE(proposal->isHidden());
    gas.volumePercent = 50;
    Click("butAjouter");
    EXPECT_FALSE(proposal->isHidden());
    EXPECT_TRUE(Control<QLabel>("Lab_Serie")->text().contains(QString::fromUtf8("le volume V")));
    Click("butSerieProposee");
    EXPECT_TRUE(proposal->isHidden());
    EXPECT_EQ(Rows().back().series, 3);
    EXPECT_EQ(Control<QComboBox>("CBox_Serie")->count(), 4);
}

TEST_F(MeasurementsWindowTest, TitlesFitFromTheStartAndAnEmptyPlotHasNoNegativeAxis) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTableView* table = Control<QTableView>("Table");
    const QFontMetrics metrics(table->horizontalHeader()->font());
    for (int c = 0; c < window->model()->columnCount(); ++c) {
        const QString title =
            window->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        EXPECT_GE(table->horizontalHeader()->sectionSize(c), metrics.horizontalAdvance(title))
            << title.toStdString();
    }
    const QList<QAbstractAxis*> axes = window->pointSeries()->attachedAxes();
    ASSERT_EQ(axes.size(), 2);
    for (QAbstractAxis* axis : axes) {
        EXPECT_GE(static_cast<QValueAxis*>(axis)->min(), 0.0);
    }
    // The status line tells the table as it is, after each change.
    QLabel* status = Control<QLabel>("Lab_Etat");
    AddRowsAt({100, 200});
    EXPECT_TRUE(
        status->text().startsWith(QString::fromUtf8("2 relevés dans le tableau, en 1 série")))
        << status->text().toStdString();
    SelectRows({0});
    Click("butSupprimer");
    EXPECT_TRUE(status->text().startsWith(QString::fromUtf8("1 relevé dans le tableau")));
}

// One way of writing figures on one screen: grouped digits in the table, the fit, the axes
// and the readout; none of "1e+05", "1,2E+09" or "9,9 × 10⁶".
TEST_F(MeasurementsWindowTest, FiguresReadAlikeInTheTableTheFileTheFitAndTheAxes) {
    // Every figure a label may hold: digits, grouped by no-break spaces, a comma, a minus.
    const QRegularExpression plain(QString::fromUtf8("^-?\\d{1,3}(\u00a0\\d{3})*(,\\d+)?$"));
    auto expectPlainAxes = [&](const char* when) {
        for (QAbstractAxis* axis : window->pointSeries()->attachedAxes()) {
            auto* labelled = qobject_cast<QCategoryAxis*>(axis);
            ASSERT_NE(labelled, nullptr) << when;
            const QStringList labels = labelled->categoriesLabels();
            EXPECT_GE(labels.size(), 3) << when;
            for (const QString& label : labels) {
                EXPECT_TRUE(plain.match(label).hasMatch()) << when << ": " << label.toStdString();
            }
        }
    };
    // N = 22, T = 254 K, V = 19 %: P = 22 × 340.017 × 254 / 19 = 100 000.8 Pa, shown 100 000.
    gas.count = 22;
    gas.temperature = 254;
    Choose("CBox_X", 3);           // 1/V
    Choose("CBox_Ajustement", 1);  // proportional: a = N × 340.017 × T ≈ 1.9 × 10⁶
    for (double volume : {19, 50, 100}) {
        gas.volumePercent = volume;
        Seconds({12000, 11990});
        Click("butAjouter");
    }
    EXPECT_EQ(Cell(0, kPressureColumn), QString::fromUtf8("100\u00a0000"));
    EXPECT_TRUE(Control<QLabel>("Lab_Releve")
                    ->text()
                    .contains(QString::fromUtf8("11\u00a0990 chocs sur les parois")));
    const QString fit = Control<QLabel>("Lab_Ajustement")->text();
    // P × V = 100 000 × 19 = 38 000 × 50 = 19 000 × 100 (the pressures are whole pascals).
    EXPECT_TRUE(fit.contains(QString::fromUtf8("a = 1\u00a0900\u00a0000\u00a0;")))
        << fit.toStdString();
    expectPlainAxes("1/V");

    // A file written elsewhere, with the largest pressure a file may hold.
    importPath = Write("grand.csv", WriteMeasurementsCsv({}) + "1;;100;298;100;5;1e9;;;0;1\r\n");
    ModalAnswer replace(QMessageBox::Yes);  // the rows never exported
    Click("butImporter");
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Cell(0, kPressureColumn), QString::fromUtf8("1\u00a0000\u00a0000\u00a0000"));
    expectPlainAxes("P (T) up to 1e9 Pa");
}

// The readout above the button changes every second, and takes two lines where the window is
// narrow: the button stays where it is whatever the readout says.
TEST_F(MeasurementsWindowTest, TheReadoutKeepsItsLinesAndTheButtonItsPlace) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QPushButton* add = Control<QPushButton>("butAjouter");
    QLabel* readout = Control<QLabel>("Lab_Releve");
    const int least = window->minimumSizeHint().width();
    for (int width : {least, least + 100, least + 200, least + 300, least + 400}) {
        window->resize(width, window->height());
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == width; })) << width;
        std::set<int> heights, places;
        auto look = [&] {
            window->layout()->activate();
            heights.insert(readout->heightForWidth(readout->width()));
            places.insert(add->y());
        };
        // Each kind of readout, with figures short and long.
        look();
        for (int hits : {5, 12000, 7, 11999}) {
            Seconds({hits});
            look();
        }
        Choose("CBox_Moyenne", 2);  // 10 s: a spread
        look();
        gas.temperature += 1;  // no second of this state yet
        Choose("CBox_Moyenne", 0);
        look();
        EXPECT_EQ(places.size(), 1u)
            << "at " << width << " px, the readout in " << heights.size() << " heights";
    }
}

// Every column widens for what it shows as rows come: one by one, from a long file, and
// after a file whose times were empty; "100" and "20 000" never turn into "1…".
TEST_F(MeasurementsWindowTest, ColumnsWidenForEveryTextTheyShow) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTableView* table = Control<QTableView>("Table");
    // A cell shows its text whole when the width its delegate asks for fits the column, less
    // the grid line.
    auto expectWhole = [&](int row, const char* when) {
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.font = table->font();
        option.fontMetrics = QFontMetrics(option.font);
        for (int c = 0; c < kMeasurementColumns; ++c) {
            const QModelIndex index = table->model()->index(row, c);
            EXPECT_LE(table->itemDelegate()->sizeHint(option, index).width(),
                      table->columnWidth(c) - 1)
                << when << ", column " << c << ": " << Cell(row, c).toStdString();
        }
    };
    Seconds({12000, 11990});
    for (int n = 0; n < 100; ++n) {
        Click("butAjouter");
    }
    expectWhole(99, "the hundredth row");

    importPath = Write("sans-heure.csv", WriteMeasurementsCsv(GasRows(20000)));
    {
        ModalAnswer answer(QMessageBox::Yes);  // the rows never exported are replaced
        Click("butImporter");
    }
    ASSERT_EQ(Rows().size(), 20000u);
    expectWhole(19999, "the last row of a long file");
    Click("butAjouter");
    expectWhole(20000, "a row with its time after a file without");
}

// Ten thousand points stay visible: markers without outline, smaller as they crowd, and
// no more of them handed to the chart than there are cells of a marker in the plot.
TEST_F(MeasurementsWindowTest, DensePlotsKeepEveryCellOfPointsVisible) {
    std::vector<Measurement> rows = GasRows(10000);
    importPath = Write("dense.csv", WriteMeasurementsCsv(rows));
    Click("butImporter");
    ASSERT_EQ(Rows().size(), 10000u);
    QScatterSeries* points = window->pointSeries();
    EXPECT_EQ(points->borderColor(), points->color());
    EXPECT_LE(points->markerSize(), 4.0);
    EXPECT_GT(points->count(), 1000);
    EXPECT_LT(points->count(), 10000);

    // A long file is read aside: the window goes on answering, and the rows come once read.
    rows.resize(40000, rows.back());
    for (int i = 10000; i < 40000; ++i) {
        rows[i].number = i + 1;
    }
    importPath = Write("long.csv", WriteMeasurementsCsv(rows));
    Click("butImporter");
    EXPECT_EQ(Rows().size(), 10000u);
    EXPECT_TRUE(Control<QLabel>("Lab_Etat")->text().startsWith(QString::fromUtf8("Lecture de")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rows().size() == 40000u; }, 60000));
    EXPECT_TRUE(Control<QPushButton>("butImporter")->isEnabled());
}

// A file read in Windows-1252 writes each "€" of its notes in three bytes: its rows make a file
// "Importer CSV…" would refuse, which the export says before it writes it.
TEST_F(MeasurementsWindowTest, AnExportTooLongToImportAgainIsAskedAboutFirst) {
    std::string file =
        "N\xB0;Heure;Quantit\xE9 N;Temp\xE9rature T (K);Volume V (%);Masse relative;"
        "Pression P (Pa);Chocs sur parois /s\r\n";
    const std::string note(80, '\x80');
    for (int n = 1; n <= 64000; ++n) {
        file += std::to_string(n) + ";" + note + ";1;10;10;1;0;\r\n";
    }
    ASSERT_LT(file.size(), kMaxMeasurementCsvBytes);
    importPath = Write("tableur.csv", file);
    Click("butImporter");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Rows().size() == 64000u; }, 60000));
    exportPath = folder.filePath("releves.csv");
    for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        ModalAnswer asked(answer);
        Click("butExporter");
        ASSERT_EQ(asked.answered(), 1u);
        EXPECT_TRUE(asked.text.startsWith(
            QString::fromUtf8("Ces relevés font un fichier de 16,2\u00a0Mo\u00a0:")))
            << asked.text.toStdString();
        EXPECT_EQ(QFile::exists(exportPath), answer == QMessageBox::Yes);
    }
}

// A file too long, refused after its read aside, or whose read the window's closing stops:
// each time the table stays, and the status line tells it, never "Lecture de « … »…".
TEST_F(MeasurementsWindowTest, AnImportThatEndsWithoutRowsLeavesTheTableAndSaysSo) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const std::string longFile = WriteMeasurementsCsv(GasRows(40000));
    ASSERT_GE(longFile.size(), 1u << 20);  // read aside
    QLabel* status = Control<QLabel>("Lab_Etat");
    QPushButton* import = Control<QPushButton>("butImporter");
    struct Case {
        const char* name;
        std::string file;
        bool closed;  // the window is closed during the read
        const char* box;
        const char* status;
    } cases[] = {
        {"over 16 MiB", std::string(kMaxMeasurementCsvBytes + 1, ';'), false,
         "Le fichier dépasse 16 Mo.", "Tableau vide."},
        {"refused after its read", longFile + "x;;1;10;10;1;0;;;0;1\r\n", false,
         "Ligne 40002 : dans la colonne « N° », « x » n'est pas un nombre.", "Tableau vide."},
        {"closed while read", longFile, true, nullptr,
         "Lecture de « fichier.csv » interrompue : le tableau reste tel qu'il était."},
    };
    for (const Case& c : cases) {
        importPath = Write("fichier.csv", c.file);
        ModalAnswer answer(QMessageBox::Ok);
        Click("butImporter");
        if (c.closed) {
            window->close();
            EXPECT_TRUE(QTest::qWaitFor([&] { return import->isEnabled(); }, 60000)) << c.name;
            window->show();
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return answer.answered() == 1; }, 60000)) << c.name;
            EXPECT_TRUE(answer.text.endsWith(QString::fromUtf8(c.box)))
                << answer.text.toStdString();
        }
        EXPECT_EQ(status->text(), QString::fromUtf8(c.status)) << c.name;
        EXPECT_TRUE(import->isEnabled()) << c.name;
        EXPECT_TRUE(Rows().empty()) << c.name;
    }
    // Gone while it reads: the read stops, and its answer goes with the window.
    Click("butImporter");
    window.reset();
}

// Where the window opens: beside the main window when the screen has room, else clear of the
// tab's controls. Frames on screens of 1600 × 1000 and 1024 × 768; a window that wants
// 1000 × 680 and needs at least 600 × 400.
TEST(BesideRectTest, BesideWhenThereIsRoomElseClearOfTheControls) {
    const QSize wanted(1000, 680), minimum(600, 400);
    const QRect large(0, 0, 1600, 1000), small(0, 0, 1024, 768);
    struct Case {
        const char* name;
        QRect screen, main, panel, expected;
    };
    const Case cases[] = {
        {"room on the right",
         large,
         {100, 100, 646, 525},
         {100, 128, 168, 470},
         {754, 100, 846, 680}},
        {"room on the left only",
         large,
         {900, 100, 646, 525},
         {900, 128, 168, 470},
         {0, 100, 892, 680}},
        {"small screen, main at the corner",
         small,
         {0, 0, 646, 525},
         {0, 28, 168, 470},
         {176, 0, 848, 680}},
        {"small screen, main in the middle",
         small,
         {189, 121, 646, 525},
         {189, 149, 168, 470},
         {365, 88, 659, 680}},
    };
    for (const Case& c : cases) {
        const QRect got = BesideRect(c.main, c.panel, wanted, minimum, c.screen);
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_TRUE(c.screen.contains(got)) << c.name;
        EXPECT_FALSE(got.intersects(c.panel)) << c.name;
    }
}

// Where the main window moves so that the measurement window does not cover it: frames of a
// main window of 648 × 550 and a measurement window that needs at least 544 × 470.
TEST(RoomBesideTest, TheMainWindowMovesAsideWhereTheScreenHoldsBothWindows) {
    const QSize minimum(544, 470);
    const QRect wide(0, 0, 1280, 1024), large(0, 0, 1600, 1000), small(0, 0, 1024, 768),
        tall(0, 0, 1024, 1280);
    struct Case {
        const char* name;
        QRect screen, main, expected;
    };
    const Case room[] = {
        {"1280 × 1024, centred: to the left edge", wide, {316, 237, 648, 550}, {0, 237, 648, 550}},
        {"room on the right already", large, {100, 100, 648, 550}, {100, 100, 648, 550}},
        {"1024 × 768: no room anywhere", small, {188, 109, 648, 550}, {188, 109, 648, 550}},
        {"a tall screen: to the top", tall, {188, 365, 648, 550}, {188, 0, 648, 550}},
    };
    for (const Case& c : room) {
        const QRect moved = RoomBeside(c.main, minimum, c.screen);
        EXPECT_EQ(moved, c.expected) << c.name;
        const QRect window = BesideRect(moved, QRect(moved.topLeft(), QSize(170, 470)),
                                        QSize(1000, 680), minimum, c.screen);
        EXPECT_EQ(moved != c.main, !window.intersects(moved) && window.intersects(c.main))
            << c.name;
    }

    struct Clear {
        const char* name;
        QRect main, window, expected;
    };
    const Clear clear[] = {
        {"apart already", {0, 237, 648, 550}, {656, 237, 624, 680}, {0, 237, 648, 550}},
        {"kept beside a moved main window, which is centred again",
         {316, 237, 648, 550},
         {656, 237, 624, 680},
         {0, 237, 648, 550}},
        {"kept on the left", {316, 237, 648, 550}, {0, 100, 600, 680}, {632, 237, 648, 550}},
        {"across the whole height and the middle: stays",
         {316, 237, 648, 550},
         {300, 0, 680, 1024},
         {316, 237, 648, 550}},
    };
    for (const Clear& c : clear) {
        EXPECT_EQ(ClearOf(c.main, c.window, wide), c.expected) << c.name;
    }
}

// The window as the main window opens it and feeds it.
class MeasurementsInMainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        QSettings().remove("releves");  // where an earlier test left the window
        form = std::make_unique<TFormMM>();
        form->terminate = [this] { ++terminations; };
        form->Timer1->stop();
        form->Timer2->stop();
    }
    std::unique_ptr<TFormMM> form;
    int terminations = 0;
};

TEST_F(MeasurementsInMainWindowTest, CtrlMOnTheGasTabOpensOneWindowThatKeepsItsRows) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // Tests share their display: other windows may hold the keyboard focus, so the window
    // is made the active one for Qt itself, with no event processed before the keys.
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(form->bench().window(), nullptr);  // solid tab: nothing
    form->PageControl1->setCurrentIndex(2);
    // Pressed in the 3D view, where the focus usually is.
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form->OpenGLOrvPanel1->glWindow(), Qt::Key_M, Qt::ControlModifier);
    ASSERT_NE(form->bench().window(), nullptr);
    TFormReleves* window = form->bench().window();
    EXPECT_TRUE(window->isVisible());

    // The animation ticks of the gas tab hand over the hits of each step: 40 steps make the
    // second the row holds, whatever the clock's readouts took meanwhile.
    std::vector<int> hits;
    QObject::connect(form.get(), &TFormMM::gasStepped, [&](int h) { hits.push_back(h); });
    for (int tick = 0; tick < 2 * SimulatedSeconds::kStepsPerSecond; ++tick) {
        form->Timer1Timer();
        if (tick % 25 == 0) {
            form->Timer2Timer();
        }
    }
    ASSERT_EQ(hits.size(), 80u);
    FindControl<QPushButton>(window, "butAjouter")->click();
    ASSERT_EQ(window->model()->log().size(), 1);
    EXPECT_EQ(window->model()->log().rows()[0].wallHits,
              std::accumulate(hits.begin() + 40, hits.end(), 0));

    window->close();
    form->PageControl1->setCurrentIndex(0);
    form->PageControl1->setCurrentIndex(2);
    form->bench().Show();
    EXPECT_EQ(form->bench().window(), window);
    EXPECT_EQ(window->model()->log().size(), 1);
    EXPECT_EQ(form->findChildren<TFormReleves*>().size(), 1);
}

TEST_F(MeasurementsInMainWindowTest, AutomaticReadingsWithTheWindowClosedShowInTheStatusBar) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->bench().Show();
    TFormReleves* window = form->bench().window();
    EXPECT_FALSE(window->geometry().intersects(
        QRect(form->Pangaz->mapToGlobal(QPoint(0, 0)), form->Pangaz->size())));
    QLabel* indicator = FindControl<QLabel>(form.get(), "Lab_Automatique");
    FindControl<QCheckBox>(window, "CB_Auto")->setChecked(true);
    EXPECT_TRUE(indicator->isHidden());
    window->move(window->pos() + QPoint(7, 5));
    const QPoint placed = window->pos();
    window->close();
    EXPECT_FALSE(indicator->isHidden());
    EXPECT_EQ(indicator->text(), QString::fromUtf8("● Relevés automatiques"));
    QTest::mouseClick(indicator, Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(indicator->isHidden());
    EXPECT_EQ(window->pos(), placed);  // back where it was left
    FindControl<QCheckBox>(window, "CB_Auto")->setChecked(false);
    window->close();
    EXPECT_TRUE(indicator->isHidden());

    // The next run opens it where it was.
    TFormReleves next(form.get(), form->gas);
    next.Place(*form, *form->Pangaz);
    EXPECT_EQ(next.pos(), placed);
}

// A classroom's 1024 × 768 projector, under a window manager whose frames count (ctest
// mainwindow_1024x768): at its first opening on a fresh account, wherever the main window
// stands, the window lies wholly on the screen, frame included, clear of the gas panel (there
// is room beside it), and shows each of its controls whole.
TEST_F(MeasurementsInMainWindowTest, OnA1024By768ScreenItOpensWhollyOnItClearOfTheGasPanel) {
    if (!qEnvironmentVariableIsSet("VELISO_PRIVATE_DISPLAY")) {
        GTEST_SKIP() << "needs a 1024 x 768 display of its own (ctest mainwindow_1024x768)";
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LE(screen.width(), 1024);
    ASSERT_LE(screen.height(), 768);
    for (const Qt::WindowState state :
         {Qt::WindowNoState, Qt::WindowMaximized, Qt::WindowFullScreen}) {
        SCOPED_TRACE(state);
        SetUp();  // a main window of its own, no place kept for the measurement window
        form->setWindowState(state);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // The window manager frames the window after mapping it, and a maximised or
        // full-screen window takes its size after that.
        QTest::qWaitFor([&] { return form->frameGeometry() != form->geometry(); }, 2000);
        if (state != Qt::WindowNoState) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return form->width() >= screen.width() - 20; }));
        }
        form->PageControl1->setCurrentIndex(2);
        const QRect panel(form->Pangaz->mapToGlobal(QPoint(0, 0)), form->Pangaz->size());
        form->bench().Show();
        TFormReleves* window = form->bench().window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }, 2000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(window->frameGeometry()); }))
            << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
            << window->frameGeometry().width() << "x" << window->frameGeometry().height();
        EXPECT_FALSE(window->frameGeometry().intersects(panel));
        EXPECT_EQ(window->size().expandedTo(window->minimumSizeHint()), window->size());
        std::vector<QRect> controls;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->isVisibleTo(window) && (qobject_cast<QAbstractButton*>(w) != nullptr ||
                                           qobject_cast<QComboBox*>(w) != nullptr)) {
                controls.emplace_back(w->mapTo(window, QPoint(0, 0)), w->size());
                EXPECT_TRUE(window->rect().contains(controls.back()))
                    << w->objectName().toStdString();
            }
        }
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i].intersects(controls[j])) << i << " " << j;
            }
        }
        window->close();
        form->hide();
    }
}

// A 1280 × 1024 screen with the main window in its middle has no room on either side of it,
// but room for both windows side by side: the main window moves to the screen's edge, and the
// measurement window stands beside it, covering none of it (the 3D view included). The next
// run centres the main window again and puts the measurement window back where it was left:
// the main window moves aside again.
TEST_F(MeasurementsInMainWindowTest, OnA1280By1024ScreenTheMainWindowMakesRoomBesideIt) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QRect screen = form->screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1280, 1024));  // the test display's
    const QPoint centred = form->pos();
    const auto clear = [&](const QWidget& window) {
        return QTest::qWaitFor([&] {
            return !form->frameGeometry().intersects(window.frameGeometry()) &&
                   screen.contains(form->frameGeometry()) &&
                   screen.contains(window.frameGeometry());
        });
    };
    form->bench().Show();
    EXPECT_TRUE(clear(*form->bench().window()));
    form->bench().window()->close();

    form->move(centred);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->pos() == centred; }));
    TFormReleves next(form.get(), form->gas);
    next.Place(*form, *form->Pangaz);
    next.show();
    EXPECT_TRUE(clear(next));
}

TEST_F(MeasurementsInMainWindowTest, ClosingAsksAboutRowsNeverExportedAndOnlyThen) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->bench().Show();
    {
        ModalAnswer answer(QMessageBox::No);
        EXPECT_FALSE(form->close());
    }
    FindControl<QPushButton>(form->bench().window(), "butAjouter")->click();
    {
        ModalAnswer answers({QMessageBox::Yes, QMessageBox::No});
        EXPECT_FALSE(form->close());
        ASSERT_EQ(answers.answered(), 2u);
        EXPECT_EQ(answers.texts[0], "Voulez-vous fermer l'application ?");
        EXPECT_EQ(
            answers.texts[1],
            QString::fromUtf8("Des relevés n'ont pas été exportés. Fermer quand même\u00a0?"));
        EXPECT_EQ(answers.icon, QMessageBox::Question);
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(terminations, 0);
    EXPECT_EQ(form->bench().window()->model()->log().size(), 1);
    {
        ModalAnswer answers({QMessageBox::Yes, QMessageBox::Yes});
        EXPECT_TRUE(form->close());
        EXPECT_EQ(answers.answered(), 2u);
    }
    EXPECT_EQ(terminations, 1);
}

TEST_F(MeasurementsInMainWindowTest, OnceEveryRowIsInAFileClosingIsAsBefore) {
    QTemporaryDir folder;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->bench().Show();
    FindControl<QPushButton>(form->bench().window(), "butAjouter")->click();
    form->bench().window()->chooseExportFile = [&] { return folder.filePath("r.csv"); };
    FindControl<QPushButton>(form->bench().window(), "butExporter")->click();
    {
        ModalAnswer answers({QMessageBox::Yes, QMessageBox::No});
        EXPECT_TRUE(form->close());
        EXPECT_EQ(answers.answered(), 1u);
    }
    EXPECT_EQ(terminations, 1);
}

TEST_F(MeasurementsInMainWindowTest, ExporterWritesTheRowsThenCloses) {
    QTemporaryDir folder;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->bench().Show();
    FindControl<QPushButton>(form->bench().window(), "butAjouter")->click();
    form->bench().window()->chooseExportFile = [&] { return QString(); };  // given up: stays
    {
        ModalAnswer answers({QMessageBox::Yes, QMessageBox::Save});
        EXPECT_FALSE(form->close());
        EXPECT_EQ(answers.answered(), 2u);
    }
    form->bench().window()->chooseExportFile = [&] { return folder.filePath("r.csv"); };
    {
        ModalAnswer answers({QMessageBox::Yes, QMessageBox::Save});
        EXPECT_TRUE(form->close());
        EXPECT_EQ(answers.answered(), 2u);
    }
    EXPECT_FALSE(form->bench().window()->hasUnexported());
    EXPECT_TRUE(QFile::exists(folder.filePath("r.csv")));
    EXPECT_EQ(terminations, 1);
}

}  // namespace
}  // namespace veliso
