#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/measure/measurement.h"

namespace veliso {

/// Text of a value as French spreadsheets write it: decimal comma, no exponent, the shortest
/// digits that read back to the same double ("95,2", "101325", "0,01").
std::string DecimalComma(double value);

/// A value for reading on screen: `digits` significant digits, decimal comma ("340", "0,9987",
/// "1,5e-05" when very small or very large).
std::string RoundedDecimalComma(double value, int digits);

/// The text of one column (a MeasurementColumn) of a row, as the table shows it and the files
/// hold it; an absent value, or a column out of range, is an empty text.
std::string MeasurementField(const Measurement& row, int column);

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

/// Result of reading a CSV file: every row, or the first fault and no row.
struct MeasurementCsv {
    std::vector<Measurement> rows;
    /// Empty when the file was read; otherwise a French sentence naming the line and the
    /// reason ("Ligne 4 : dans la colonne « Température T (K) », « 600 » est hors de 10 … 500.").
    std::string error;
    bool ok() const { return error.empty(); }
};

/// Reads what WriteMeasurementsCsv writes, and what a spreadsheet saves from it: with or
/// without the byte-order mark, CRLF or LF line ends, fields quoted or not, lines with
/// nothing but separators skipped. The header holds the ten titles, or the first eight
/// (no spread, one readout per value). Every line is checked: UTF-8, field count, numbers
/// with a decimal comma, integers where the table has them, values within the ranges of the
/// gas's controls, unique numbers, a spread only for a mean of two or more readouts.
MeasurementCsv ReadMeasurementsCsv(std::string_view text);

}  // namespace veliso
