// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Reading the measurement CSV at its size limit, in the shapes that cost most: the time of
// one read, and the peak of the memory it allocates beside the file's own text ("peak_MiB",
// and "peak_per_file", that peak over the file size; "rows_MiB" is what the rows kept take).
// A program of its own: it counts every allocation through a replaced operator new.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/measure/measurement_csv.h"

namespace {

std::atomic<std::size_t> gInUse{0};
std::atomic<std::size_t> gPeak{0};

void* Counted(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = gInUse += malloc_usable_size(p);
    std::size_t peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Uncounted(void* p) {
    if (p != nullptr) {
        gInUse -= malloc_usable_size(p);
        std::free(p);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return Counted(size);
}
void* operator new[](std::size_t size) {
    return Counted(size);
}
void operator delete(void* p) noexcept {
    Uncounted(p);
}
void operator delete[](void* p) noexcept {
    Uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Uncounted(p);
}

namespace veliso {
namespace {

constexpr std::size_t kSize = kMaxMeasurementCsvBytes - 1;

const std::string kHeader =
    "N°;Heure;Quantité N;Température T (K);Volume V (%);Masse relative;Pression P (Pa);"
    "Chocs sur parois /s;Écart type chocs /s;Moyenne sur (s)\n";

// `start`, then `fill` repeated up to kSize bytes, then `end`.
std::string Shape(const std::string& start, const std::string& fill, const std::string& end) {
    std::string text = start;
    while (text.size() + fill.size() + end.size() <= kSize) {
        text += fill;
    }
    return text + end;
}

// The titles of a file of eight columns, in UTF-8 or as a spreadsheet saves them in
// Windows-1252.
const std::string kShortHeader =
    "N°;Heure;Quantité N;Température T (K);Volume V (%);Masse relative;"
    "Pression P (Pa);Chocs sur parois /s\n";
const std::string kWindowsHeader =
    "N\xB0;Heure;Quantit\xE9 N;Temp\xE9rature T (K);Volume V (%);Masse relative;"
    "Pression P (Pa);Chocs sur parois /s\n";

// The most rows a file can hold: the shortest rows with a count, numbered 1, 2, ….
std::string ShortestRows(const std::string& header = kShortHeader) {
    std::string text = header;
    for (int n = 1;; ++n) {
        const std::string row = std::to_string(n) + ";;1;10;10;1;0;\n";
        if (text.size() + row.size() > kSize) {
            return text;
        }
        text += row;
    }
}

void ReadCsv(benchmark::State& state, const std::string& text) {
    std::size_t peak = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        gPeak = gInUse.load();
        const std::size_t before = gInUse;
        MeasurementCsv read = ReadMeasurementsCsv(text);
        peak = gPeak - before;
        rows = read.rows.size();
        benchmark::DoNotOptimize(read);
    }
    state.counters["file_MiB"] = double(text.size()) / (1 << 20);
    state.counters["peak_MiB"] = double(peak) / (1 << 20);
    state.counters["peak_per_file"] = double(peak) / double(text.size());
    state.counters["rows"] = double(rows);
    state.counters["rows_MiB"] = double(rows * sizeof(Measurement)) / (1 << 20);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

#define VELISO_CSV_SHAPE(name, text)            \
    void name(benchmark::State& state) {        \
        static const std::string file = (text); \
        ReadCsv(state, file);                   \
    }                                           \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)

// Nothing but separators: a header of millions of columns.
VELISO_CSV_SHAPE(BM_CsvOnlySeparators, Shape("", ";", ""));
// One blank line of millions of separators after the header: skipped.
VELISO_CSV_SHAPE(BM_CsvBlankLineOfSeparators, Shape(kHeader, ";", "\n"));
// The same in quoted empty fields.
VELISO_CSV_SHAPE(BM_CsvBlankLineOfQuotedFields, Shape(kHeader, "\"\";", "\"\"\n"));
// Millions of empty lines.
VELISO_CSV_SHAPE(BM_CsvEmptyLines, Shape(kHeader, "\n", ""));
// One number of 16 MiB.
VELISO_CSV_SHAPE(BM_CsvHugeNumber, Shape(kHeader + "1;;100;298;100;5;", "7", ";;;0\n"));
// One quoted time of 16 MiB, made of doubled quotes.
VELISO_CSV_SHAPE(BM_CsvHugeQuotedTime, Shape(kHeader + "1;\"", "\"\"", "\";100;298;100;5;0;;;0\n"));
// A header title of 16 MiB.
VELISO_CSV_SHAPE(BM_CsvHugeTitle, Shape("", "N", ";x\n"));
// The most rows a file can hold, all read.
VELISO_CSV_SHAPE(BM_CsvShortestRows, ShortestRows());
// The same saved by a spreadsheet in Windows-1252.
VELISO_CSV_SHAPE(BM_CsvWindows1252ShortestRows, ShortestRows(kWindowsHeader));
// A Windows-1252 title of 16 MiB of "€", three bytes each in UTF-8.
VELISO_CSV_SHAPE(BM_CsvWindows1252HugeTitle, Shape("", "\x80", ";x\n"));
// A Windows-1252 time of 16 MiB of "é", two bytes each in UTF-8.
VELISO_CSV_SHAPE(BM_CsvWindows1252HugeTime,
                 Shape(kWindowsHeader + "1;", "\xE9", ";100;298;100;5;0;\n"));

}  // namespace
}  // namespace veliso
