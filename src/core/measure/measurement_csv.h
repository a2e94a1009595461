// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstddef>
#include <exception>
#include <new>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/measure/measurement.h"

namespace veliso {

/// Text of a value as French spreadsheets write it: decimal comma, the shortest digits that
/// read back to the same double, never an exponent ("95,2", "100000", "0,0001"), so that a
/// spreadsheet shows every figure of a column alike; zero, −0 included, is "0". The gas's
/// figures take a dozen characters at most; 1e-300, read from a file, 302.
std::string DecimalComma(double value);

/// The text of one column (a MeasurementColumn) of a row, as the files hold it; an absent
/// value, or a column out of range, is an empty text.
std::string MeasurementField(const Measurement& row, int column);

/// The same as the table shows it: row and series numbers, which are names, and the time as
/// the file's text; the figures as ExactScreenFigure writes them ("101 325", "0,0001").
std::string MeasurementScreenField(const Measurement& row, int column);

/// Every shape the table's texts of `column` take for `rows`, once each: a shape is the text
/// with each digit written "0". Digits are all of one width in the desktop's fonts, so the
/// widest shape is as wide as the column's widest text; a long table has a handful of
/// shapes, found without writing each figure out.
std::vector<std::string> ScreenFieldShapes(const std::vector<Measurement>& rows, int column);

/// The texts of the kMeasurementColumns columns of a row, in order.
std::vector<std::string> MeasurementFields(const Measurement& row);

/// A CSV file for French spreadsheets: UTF-8 with a byte-order mark (so that spreadsheets
/// take it for UTF-8), ';' between fields, decimal comma, the column titles as the first
/// line, CRLF line ends. A field holding ';' or '"' is quoted, inner '"' doubled.
std::string WriteMeasurementsCsv(const std::vector<Measurement>& rows);

/// The same rows for the clipboard: titles, then one line per row, fields separated by tabs,
/// which spreadsheets paste into cells.
std::string WriteMeasurementsTsv(const std::vector<Measurement>& rows);

/// Files larger than this are not read (about 150 000 rows).
inline constexpr std::size_t kMaxMeasurementCsvBytes = 16u << 20;

/// Longest text a text column ("Heure") may hold, in characters. A time is 8; the rest
/// leaves room for a short note typed in a spreadsheet, and keeps the table's rows short.
inline constexpr std::size_t kMaxMeasurementTextCharacters = 80;

/// Largest figures the measured columns may hold. The gas cannot come near them: its
/// pressure is at most 1 700 085 Pa, and its wall hits at most 12 000 a second (100
/// particles, one hit per axis per step, 40 steps a second), their spread less. Yet their
/// squares summed over every row a file can hold stay below 1e25, far from overflowing a
/// double, so no plot and no fit of imported rows meets an infinity.
inline constexpr double kMaxPlausiblePressure = 1e9;  ///< Pa
inline constexpr double kMaxPlausibleWallHits = 1e7;  ///< per second, for the mean and spread

/// Why a read failed for want of memory.
inline constexpr std::string_view kNoMemoryToRead = "La mémoire manque pour lire ce fichier.";

/// Why a read failed through a fault of the program, `what` the exception's own words.
std::string ProgramFault(std::string_view what);

/// Result of reading a CSV file: every row, or the first fault and no row.
struct MeasurementCsv {
    std::vector<Measurement> rows;
    /// Empty when the file was read; otherwise one French line naming the line, the column
    /// where there is one, and the reason ("Ligne 4 : dans la colonne « Température T (K) »,
    /// « 600 » est hors de 10 … 500.").
    std::string error;
    /// The file was not UTF-8 and was read as Windows-1252, the usual encoding of French
    /// spreadsheets on Windows.
    bool windows1252 = false;
    bool ok() const { return error.empty(); }
};

/// Reads what WriteMeasurementsCsv writes, and what a spreadsheet saves from it: with or
/// without the byte-order mark, UTF-8 or else Windows-1252, CRLF, LF or CR line ends, fields
/// quoted or not, lines with nothing but separators skipped, thousands separated by a space,
/// a no-break space or a narrow no-break space ("340 017"). The header holds the eleven
/// titles, or the first ten (every row in series 1), or the first eight (no spread, one
/// readout per value, series 1). Every line is checked: UTF-8, field count, numbers
/// with a decimal comma ("-0" read as 0), integers where the table has them, values within
/// the ranges of the gas's controls and measured figures from 0 to their plausible bounds
/// above, texts of at most kMaxMeasurementTextCharacters without control characters, unique
/// numbers, a spread only for a mean of two or more readouts. An error quotes at most
/// kExcerptCharacters of the faulty text, on one line.
///
/// Memory: the text is read in place, twice: once to check every line and count the rows,
/// once to keep them in a vector of exactly that size. A line keeps only the fields a row
/// may have, plus one, however many separators it holds, and a Windows-1252 file is turned
/// into UTF-8 field by field. Apart from the rows kept, a read needs at most about twice the
/// file's size (a field and the digits of its number), whatever its shape; three times for a
/// Windows-1252 field made of the characters that take three bytes in UTF-8 ("€", "‰"):
/// `veliso_csv_bench` measures the costliest shapes.
///
/// Once `stop` is requested, the read ends at the next line with no row and the error
/// "La lecture a été interrompue.".
MeasurementCsv ReadMeasurementsCsv(std::string_view text, std::stop_token stop = {});

/// `read()`, a reading of a CSV file, or the refusal that says why it threw, in French: memory
/// ran short (std::bad_alloc), or the program failed (any other exception, its message
/// quoted). A read on a thread of its own has nothing else to catch what it throws.
template <typename Read>
MeasurementCsv ReadOrRefuse(Read&& read) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
        return MeasurementCsv{{}, std::string(kNoMemoryToRead), false};
    } catch (const std::exception& e) {
        return MeasurementCsv{{}, ProgramFault(e.what()), false};
    } catch (...) {
        return MeasurementCsv{{}, ProgramFault(""), false};
    }
}

}  // namespace veliso
