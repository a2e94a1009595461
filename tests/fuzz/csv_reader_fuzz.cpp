// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Any bytes as a measurement CSV: the reader either refuses them with one short line, or
// gives rows within the file's bounds that the writer writes and the reader reads back the
// same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/common/text_excerpt.h"
#include "core/measure/measurement_csv.h"

#include "fuzz_check.h"

using namespace veliso;

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MeasurementCsv read = ReadMeasurementsCsv(text);
    if (!read.ok()) {
        // Two quotes of at most 60 characters, each up to 4 bytes, and the words around them.
        Check(read.rows.empty());
        Check(read.error.size() < 2 * kExcerptCharacters * 4 + 200);
        for (char c : read.error) {
            Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        }
        return 0;
    }
    for (const Measurement& row : read.rows) {
        Check(CharacterCount(row.time) <= kMaxMeasurementTextCharacters);
        Check(row.pressure >= 0 && row.pressure <= kMaxPlausiblePressure);
        Check(!row.wallHits || (*row.wallHits >= 0 && *row.wallHits <= kMaxPlausibleWallHits));
    }
    const MeasurementCsv again = ReadMeasurementsCsv(WriteMeasurementsCsv(read.rows));
    Check(again.ok());
    Check(again.rows == read.rows);
    return 0;
}
