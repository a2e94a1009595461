// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// The measurement window with 100 000 rows: the import of their file, and a change of the
// plot's axis, each of which the window does at once on its own thread. Either must stay well
// under the 0.3 s a user takes for a freeze. The window runs hidden on Qt's offscreen
// platform; the charts draw nothing until shown, so these are the costs of the table, the
// series, the fits and the thinning of the points, which a shown window pays as well.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>

#include "core/gas/gas_step.h"
#include "core/measure/measurement_csv.h"
#include "core/measure/point_cells.h"
#include "mainwindow/measurements_window.h"

namespace veliso {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "veliso_plot_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Rows spread over every control, as hours of automatic readings in several series would be.
std::vector<Measurement> ManyRows(int n) {
    std::vector<Measurement> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        Measurement& r = rows[static_cast<std::size_t>(i)];
        r.number = i + 1;
        r.time = "10:00:00";
        r.count = 1 + (i * 37) % 100;
        r.temperature = 10 + (i * 7919) % 491;
        r.volumePercent = 10 + (i * 13) % 91;
        r.mass = 1 + i % 10;
        r.pressure = IdealGasPressure(r.count, r.temperature, r.volumePercent);
        r.wallHits = 50 + (i * 31) % 100;
        r.readouts = 1;
        r.series = 1 + i / 25000;
    }
    return rows;
}

struct Bench {
    GasState gas;
    QTemporaryDir folder;
    QString path;
    std::unique_ptr<TFormReleves> window;

    explicit Bench(int n) {
        App();
        path = folder.filePath("releves.csv");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        const std::string csv = WriteMeasurementsCsv(ManyRows(n));
        file.write(csv.data(), static_cast<qint64>(csv.size()));
        file.close();
        window = std::make_unique<TFormReleves>(nullptr, gas);
        window->chooseImportFile = [this] { return path; };
    }
    // A long file is read aside: the import ends once its rows reach the table.
    void Import() {
        auto* button = window->findChild<QPushButton*>("butImporter");
        button->click();
        while (!button->isEnabled()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
};

void BM_Import100000Rows(benchmark::State& state) {
    Bench bench(100000);
    for (auto _ : state) {
        bench.Import();  // the table, rows already saved: no question
        benchmark::DoNotOptimize(bench.window->model()->rowCount());
    }
}
BENCHMARK(BM_Import100000Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseOnly100000Rows(benchmark::State& state) {
    const std::string csv = WriteMeasurementsCsv(ManyRows(100000));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadMeasurementsCsv(csv).rows.size());
    }
}
BENCHMARK(BM_ParseOnly100000Rows)->Unit(benchmark::kMillisecond);

void BM_PlotAxisChange100000Rows(benchmark::State& state) {
    Bench bench(100000);
    bench.Import();
    auto* x = bench.window->findChild<QComboBox*>("CBox_X");
    auto* fit = bench.window->findChild<QComboBox*>("CBox_Ajustement");
    fit->setCurrentIndex(3);  // the power law: the costliest fit and line
    int index = 0;
    for (auto _ : state) {
        index = (index + 1) % x->count();
        x->setCurrentIndex(index);
        benchmark::DoNotOptimize(bench.window->pointSeries()->count());
    }
}
BENCHMARK(BM_PlotAxisChange100000Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OnePointPerCell100000(benchmark::State& state) {
    const std::vector<Measurement> rows = ManyRows(100000);
    const std::vector<PlotPoint> points =
        PlotPoints(rows, Quantity::Temperature, Quantity::Pressure);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            OnePointPerCell(points, NiceScale(0, 500), NiceScale(0, 2e6), 200, 100));
    }
}
BENCHMARK(BM_OnePointPerCell100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veliso
