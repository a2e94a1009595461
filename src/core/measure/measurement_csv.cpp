// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/measurement_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <stop_token>
#include <unordered_set>

#include "core/common/number_format.h"
#include "core/common/text_excerpt.h"
#include "core/gas/gas_controls.h"

namespace veliso {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kShortColumns = kSpreadColumn;  // a file without the spread and the readout count
constexpr int kSeriesless = kSeriesColumn;    // a file from before the series

// Unicode of the bytes 0x80 .. 0x9F in Windows-1252; the five it leaves unused keep their
// Latin-1 value. The other bytes are Latin-1.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Windows1252Code(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252[byte - 0x80] : byte;
}

// Appends `text`, in Windows-1252, to `utf8`. The room is made first: grown a character at a
// time, a long field would hold twice its size and, while it moves, three times.
void AppendFromWindows1252(std::string& utf8, std::string_view text) {
    std::size_t size = utf8.size();
    for (char c : text) {
        const char32_t code = Windows1252Code(c);
        size += code < 0x80 ? 1 : (code < 0x800 ? 2 : 3);
    }
    if (size > utf8.capacity()) {
        utf8.reserve(size);
    }
    for (char c : text) {
        const char32_t code = Windows1252Code(c);
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

// The length of a thousands separator at the start of `text` (a space, a no-break space or a
// narrow no-break space in UTF-8), or 0.
std::size_t ThousandsSeparator(std::string_view text) {
    for (std::string_view separator :
         {std::string_view(" "), std::string_view("\xC2\xA0"), std::string_view("\xE2\x80\xAF")}) {
        if (text.substr(0, separator.size()) == separator) {
            return separator.size();
        }
    }
    return 0;
}

std::string CommaFor(std::string text) {
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The user's text inside a message: at most kExcerptCharacters, on one line.
std::string Quoted(std::string_view text) {
    return "« " + Excerpt(text) + " »";
}

std::string CsvField(const std::string& field) {
    if (field.find_first_of(";\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string Joined(const std::vector<std::string>& fields, char separator, bool quote) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        line += quote ? CsvField(fields[i]) : fields[i];
    }
    return line;
}

std::vector<std::string> Titles() {
    return {kMeasurementColumnTitles.begin(), kMeasurementColumnTitles.end()};
}

std::string WriteTable(const std::vector<Measurement>& rows, char separator, bool quote,
                       std::string_view lineEnd) {
    std::string text = Joined(Titles(), separator, quote);
    text += lineEnd;
    for (const Measurement& row : rows) {
        text += Joined(MeasurementFields(row), separator, quote);
        text += lineEnd;
    }
    return text;
}

bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int more = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= text.size()) {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and code points beyond Unicode are not UTF-8.
        static constexpr std::uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[more] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        i += more + 1;
    }
    return true;
}

// One line cut at its ';'. Only the first `keep` fields are kept: a line of millions of
// separators costs no more memory than a short one, yet its fields are all counted and
// checked.
struct SplitLine {
    std::vector<std::string> fields;  ///< the first `keep` fields, unquoted
    std::size_t count = 0;            ///< how many fields the line has
    bool blank = true;                ///< every field empty or spaces
};

// Splits one line into `split`, turning the fields it keeps from Windows-1252 into UTF-8 when
// `windows1252` (the separators and quotes are the same bytes in both); on a fault returns the
// reason.
std::optional<std::string> SplitFields(std::string_view line, bool windows1252, std::size_t keep,
                                       SplitLine& split) {
    split.fields.clear();
    split.count = 0;
    split.blank = true;
    std::size_t pos = 0;
    std::string field;
    auto append = [&](std::string_view text) {
        if (windows1252) {
            AppendFromWindows1252(field, text);
        } else {
            field.append(text);
        }
    };
    while (true) {
        const bool kept = split.count < keep;
        field.clear();
        if (pos < line.size() && line[pos] == '"') {
            ++pos;
            while (true) {
                const std::size_t quote = line.find('"', pos);
                if (quote == std::string_view::npos) {
                    return "guillemet non fermé";
                }
                if (kept) {
                    append(line.substr(pos, quote - pos));
                }
                split.blank = split.blank && Trim(line.substr(pos, quote - pos)).empty();
                pos = quote + 1;
                if (pos < line.size() && line[pos] == '"') {
                    if (kept) {
                        field += '"';
                    }
                    split.blank = false;
                    ++pos;
                    continue;
                }
                break;
            }
            if (pos < line.size() && line[pos] != ';') {
                return "texte après un champ entre guillemets (champ " +
                       std::to_string(split.count + 1) + ")";
            }
        } else {
            const std::size_t end = std::min(line.find(';', pos), line.size());
            const std::string_view text = line.substr(pos, end - pos);
            if (text.find('"') != std::string_view::npos) {
                return "guillemet au milieu du champ " + std::to_string(split.count + 1);
            }
            if (kept) {
                append(text);
            }
            split.blank = split.blank && Trim(text).empty();
            pos = end;
        }
        if (kept) {
            split.fields.push_back(std::move(field));
        }
        ++split.count;
        if (pos >= line.size()) {
            return std::nullopt;
        }
        ++pos;  // past the ';'
    }
}

// A number with a decimal comma: [sign] digits [, digits] [e [sign] digits].
std::optional<double> ParseDecimal(std::string_view text, std::string& reason) {
    const std::string_view original = text;
    std::string plain;
    plain.reserve(text.size());
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            plain += text[i++];
        }
        return i > start;
    };
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        plain += text[i++];
    }
    bool ok = digits();
    // Thousands as spreadsheets group them: a separator, then exactly three digits.
    for (std::size_t gap; ok && (gap = ThousandsSeparator(text.substr(i))) > 0;) {
        const std::size_t start = i + gap;
        std::size_t end = start;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end - start != 3) {
            ok = false;
            break;
        }
        plain.append(text.substr(start, 3));
        i = end;
    }
    if (ok && i < text.size() && text[i] == ',') {
        plain += '.';
        ++i;
        ok = digits();
    }
    if (ok && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            plain += text[i++];
        }
        ok = digits();
    }
    if (!ok || i != text.size()) {
        reason = Quoted(original) + " n'est pas un nombre";
        if (original.find('.') != std::string_view::npos) {
            reason += " (la virgule sépare les décimales)";
        }
        return std::nullopt;
    }
    double value = 0;
    const char* first = plain.data() + (plain[0] == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(first, plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) {
        reason = Quoted(original) + " est hors de portée";
        return std::nullopt;
    }
    // "-0" is the same zero as "0": a row keeps no sign that the table would not show.
    return value == 0 ? 0.0 : value;
}

struct Range {
    double low;
    double high;
    bool integer;
    bool measured;  ///< a figure the gas produced, not a setting of its controls
};

// Ranges of the columns that hold numbers: those of the gas's controls where there are
// some, the plausible bounds of the measured ones.
std::optional<Range> RangeOf(int column) {
    switch (column) {
        case kNumberColumn:
            return Range{1, kMaxMeasurementNumber, true, false};
        case kSeriesColumn:
            return Range{1, kMaxMeasurementNumber, true, false};
        case kCountColumn:
            return Range{kGasCountMin, kGasCountMax, true, false};
        case kTemperatureColumn:
            return Range{kGasTemperatureMin, kGasTemperatureMax, false, false};
        case kVolumeColumn:
            return Range{kGasVolumeMin, kGasVolumeMax, false, false};
        case kMassColumn:
            return Range{kGasMassMin, kGasMassMax, true, false};
        case kPressureColumn:
            return Range{0, kMaxPlausiblePressure, false, true};
        case kWallHitsColumn:
        case kSpreadColumn:
            return Range{0, kMaxPlausibleWallHits, false, true};
        case kReadoutsColumn:
            return Range{0, 10, true, false};
        default:
            return std::nullopt;
    }
}

// Why `value` is outside `range`, after its quoted text.
std::string OutOfRange(const Range& range, double value) {
    if (range.measured && value < range.low) {
        return "est négatif";
    }
    if (range.measured) {
        return "dépasse " + ExactScreenFigure(range.high) + ", bien plus que le gaz ne produit";
    }
    return "est hors de " + ExactScreenFigure(range.low) + " … " + ExactScreenFigure(range.high);
}

// A count in a message, its thousands grouped ("1 048 577 colonnes").
std::string Count(std::size_t n) {
    return GroupedThousands(std::to_string(n));
}

constexpr std::string_view kInterrupted = "La lecture a été interrompue.";

// Why a file is refused, as one French sentence: "Ligne 4 : <reason>."
std::string LineFault(int lineNumber, const std::string& reason) {
    return "Ligne " + std::to_string(lineNumber) + " : " + reason + ".";
}

class LineReader {
  public:
    LineReader(int lineNumber, const std::vector<std::string>& fields)
        : line_(lineNumber), fields_(fields) {}

    const std::string& error() const { return error_; }

    std::string_view Text(int column) const {
        return column < static_cast<int>(fields_.size()) ? Trim(fields_[column])
                                                         : std::string_view();
    }

    // The number in `column`; absent and no fault when the field is empty and `optional`.
    std::optional<double> Number(int column, bool optional = false) {
        if (!error_.empty()) {
            return std::nullopt;
        }
        const std::string_view text = Text(column);
        if (text.empty()) {
            if (!optional) {
                Fail("la colonne " + Quoted(kMeasurementColumnTitles[column]) + " est vide");
            }
            return std::nullopt;
        }
        std::string reason;
        const std::optional<double> value = ParseDecimal(text, reason);
        if (!value) {
            Fail(column, reason);
            return std::nullopt;
        }
        const Range range = *RangeOf(column);
        if (range.integer && *value != std::floor(*value)) {
            Fail(column, Quoted(text) + " n'est pas un nombre entier");
            return std::nullopt;
        }
        if (*value < range.low || *value > range.high) {
            Fail(column, Quoted(text) + " " + OutOfRange(range, *value));
            return std::nullopt;
        }
        return value;
    }

    // The text of a text column: at most kMaxMeasurementTextCharacters characters, none of
    // them a control character (the table shows one line per row).
    std::string_view TextField(int column) {
        const std::string_view text = Text(column);
        if (!error_.empty()) {
            return {};
        }
        if (CharacterCount(text) > kMaxMeasurementTextCharacters) {
            Fail(column, Quoted(text) + " a plus de " +
                             std::to_string(kMaxMeasurementTextCharacters) + " caractères");
        } else if (std::any_of(text.begin(), text.end(), [](char c) {
                       return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                   })) {
            Fail("la colonne " + Quoted(kMeasurementColumnTitles[column]) +
                 " contient un caractère de commande");
        }
        return text;
    }

    void Fail(const std::string& reason) {
        if (error_.empty()) {
            error_ = LineFault(line_, reason);
        }
    }
    void Fail(int column, const std::string& reason) {
        Fail("dans la colonne " + Quoted(kMeasurementColumnTitles[column]) + ", " + reason);
    }

  private:
    int line_;
    const std::vector<std::string>& fields_;
    std::string error_;
};

std::optional<std::string> CheckHeader(const SplitLine& line, int& columns) {
    const std::vector<std::string>& fields = line.fields;
    if (line.count != kMeasurementColumns && line.count != kSeriesless &&
        line.count != kShortColumns) {
        std::string fault = "l'en-tête a " + Count(line.count) +
                            (line.count > 1 ? " colonnes" : " colonne") + " au lieu de " +
                            std::to_string(kMeasurementColumns);
        if (line.count == 1) {
            fault += " : les colonnes doivent être séparées par des points-virgules (;)";
        }
        return fault;
    }
    columns = static_cast<int>(line.count);
    for (int c = 0; c < columns; ++c) {
        if (Trim(fields[c]) != kMeasurementColumnTitles[c]) {
            return "en-tête inattendu, colonne " + std::to_string(c + 1) + " " +
                   Quoted(Trim(fields[c])) + " au lieu de " + Quoted(kMeasurementColumnTitles[c]);
        }
    }
    return std::nullopt;
}

// Reads one data line into `row`; returns the fault, if any.
std::string ReadRow(int lineNumber, const SplitLine& line, int columns, Measurement& row) {
    LineReader in(lineNumber, line.fields);
    if (line.count != static_cast<std::size_t>(columns)) {
        in.Fail(Count(line.count) + " champs au lieu de " + std::to_string(columns));
        return in.error();
    }
    const auto number = in.Number(kNumberColumn);
    const std::string_view time = in.TextField(kTimeColumn);
    const auto count = in.Number(kCountColumn);
    const auto temperature = in.Number(kTemperatureColumn);
    const auto volume = in.Number(kVolumeColumn);
    const auto mass = in.Number(kMassColumn);
    const auto pressure = in.Number(kPressureColumn);
    const auto hits = in.Number(kWallHitsColumn, true);
    std::optional<double> spread;
    int readouts = hits ? 1 : 0;
    if (columns >= kSeriesless) {
        spread = in.Number(kSpreadColumn, true);
        if (const auto n = in.Number(kReadoutsColumn)) {
            readouts = static_cast<int>(*n);
        }
    }
    int series = 1;
    if (columns == kMeasurementColumns) {
        if (const auto n = in.Number(kSeriesColumn)) {
            series = static_cast<int>(*n);
        }
    }
    if (!in.error().empty()) {
        return in.error();
    }
    if (!hits && (readouts != 0 || spread)) {
        in.Fail("sans chocs sur parois, l'écart type doit être vide et la moyenne sur 0 s");
    } else if (hits && readouts == 0) {
        in.Fail("des chocs sur parois demandent une moyenne sur 1 s au moins");
    } else if (spread && readouts < 2) {
        in.Fail("un écart type demande une moyenne sur 2 s au moins");
    } else if (!spread && readouts >= 2) {
        in.Fail("l'écart type manque pour une moyenne sur " + std::to_string(readouts) + " s");
    }
    row.number = static_cast<int>(*number);
    row.time = std::string(time);
    row.count = static_cast<int>(*count);
    row.temperature = *temperature;
    row.volumePercent = *volume;
    row.mass = static_cast<int>(*mass);
    row.pressure = *pressure;
    row.wallHits = hits;
    row.wallHitsSpread = spread;
    row.readouts = readouts;
    row.series = series;
    return in.error();
}

// The first row, in file order, whose number an earlier row already has, as its fault.
// `numbers` holds (number, line) of the rows read so far; it is sorted here.
std::optional<std::string> RepeatedNumber(std::vector<std::pair<int, int>>& numbers) {
    std::sort(numbers.begin(), numbers.end());
    std::optional<std::pair<int, int>> repeat;  // index of the first use, line of the repeat
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        const bool secondOfItsNumber = numbers[i].first == numbers[i - 1].first &&
                                       (i == 1 || numbers[i - 2].first != numbers[i].first);
        if (secondOfItsNumber && (!repeat || numbers[i].second < repeat->second)) {
            repeat = {static_cast<int>(i - 1), numbers[i].second};
        }
    }
    if (!repeat) {
        return std::nullopt;
    }
    const auto& [number, firstLine] = numbers[repeat->first];
    return LineFault(repeat->second, "le numéro " + std::to_string(number) +
                                         " est déjà celui de la ligne " +
                                         std::to_string(firstLine));
}

// Reads the lines of `text` (without its byte-order mark), in UTF-8 or else in Windows-1252:
// returns the first fault, or an empty text. Every row is appended to `rows` when it is given,
// and counted in `count`.
std::string ReadLines(std::string_view text, bool windows1252, std::vector<Measurement>* rows,
                      std::size_t& count, const std::stop_token& stop) {
    std::vector<std::pair<int, int>> numbers;  // (number, line) of each row, on the first pass
    SplitLine fields;
    int columns = 0;
    int lineNumber = 0;
    bool header = true;
    count = 0;
    std::size_t pos = 0;
    // Lines end at LF or CRLF; in a file without any LF, at CR (old Mac files).
    const char lineEnd = text.find('\n') == std::string_view::npos ? '\r' : '\n';
    while (pos < text.size()) {
        if (stop.stop_requested()) {
            return std::string(kInterrupted);
        }
        const std::size_t end = std::min(text.find(lineEnd, pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // A fault of this line; a repeated number on an earlier line comes first.
        auto fail = [&](std::string fault) {
            return RepeatedNumber(numbers).value_or(std::move(fault));
        };
        if (!windows1252 && !ValidUtf8(line)) {
            return fail(LineFault(lineNumber, "le texte n'est pas en UTF-8"));
        }
        // One field more than a line may have tells a longer line from a good one.
        const std::size_t keep = (header ? kMeasurementColumns : columns) + 1;
        if (const auto fault = SplitFields(line, windows1252, keep, fields)) {
            return fail(LineFault(lineNumber, *fault));
        }
        if (header) {
            if (const auto fault = CheckHeader(fields, columns)) {
                return fail(LineFault(lineNumber, *fault));
            }
            header = false;
            continue;
        }
        if (fields.blank) {
            continue;
        }
        Measurement row;
        if (std::string fault = ReadRow(lineNumber, fields, columns, row); !fault.empty()) {
            return fail(std::move(fault));
        }
        ++count;
        if (rows != nullptr) {
            rows->push_back(std::move(row));
        } else {
            numbers.emplace_back(row.number, lineNumber);
        }
    }
    if (header) {
        return LineFault(1, "le fichier est vide, la ligne des titres manque");
    }
    return RepeatedNumber(numbers).value_or("");
}

// The number a column holds, for every column but the time.
std::optional<double> NumberOf(const Measurement& row, int column) {
    switch (column) {
        case kNumberColumn:
            return row.number;
        case kSeriesColumn:
            return row.series;
        case kCountColumn:
            return row.count;
        case kTemperatureColumn:
            return row.temperature;
        case kVolumeColumn:
            return row.volumePercent;
        case kMassColumn:
            return row.mass;
        case kPressureColumn:
            return row.pressure;
        case kWallHitsColumn:
            return row.wallHits;
        case kSpreadColumn:
            return row.wallHitsSpread;
        case kReadoutsColumn:
            return row.readouts;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string DecimalComma(double value) {
    if (value == 0) {
        return "0";  // −0 too: the table and the files show no signed zero
    }
    // The shortest digits that read back to `value`, written out in full: 326 characters at
    // most (a subnormal's).
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return CommaFor(std::string(buffer, error == std::errc() ? end : buffer));
}

std::string MeasurementField(const Measurement& row, int column) {
    auto optional = [](const std::optional<double>& v) { return v ? DecimalComma(*v) : ""; };
    switch (column) {
        case kNumberColumn:
            return std::to_string(row.number);
        case kTimeColumn:
            return row.time;
        case kCountColumn:
            return std::to_string(row.count);
        case kTemperatureColumn:
            return DecimalComma(row.temperature);
        case kVolumeColumn:
            return DecimalComma(row.volumePercent);
        case kMassColumn:
            return std::to_string(row.mass);
        case kPressureColumn:
            return DecimalComma(row.pressure);
        case kWallHitsColumn:
            return optional(row.wallHits);
        case kSpreadColumn:
            return optional(row.wallHitsSpread);
        case kReadoutsColumn:
            return std::to_string(row.readouts);
        case kSeriesColumn:
            return std::to_string(row.series);
        default:
            return {};
    }
}

std::string MeasurementScreenField(const Measurement& row, int column) {
    switch (column) {
        case kNumberColumn:
        case kTimeColumn:
        case kSeriesColumn:
            return MeasurementField(row, column);
        default:
            const std::optional<double> value = NumberOf(row, column);
            return value ? ExactScreenFigure(*value) : "";
    }
}

std::vector<std::string> ScreenFieldShapes(const std::vector<Measurement>& rows, int column) {
    std::set<std::string> shapes;
    auto add = [&](const Measurement& row) {
        std::string text = MeasurementScreenField(row, column);
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; }, '0');
        shapes.insert(std::move(text));
    };
    if (column == kTimeColumn) {
        for (const Measurement& row : rows) {
            add(row);
        }
    } else {
        // A figure's shape follows from its sign, its power of ten and its count of digits:
        // one row of each is written out.
        std::unordered_set<int> seen;
        for (const Measurement& row : rows) {
            int key = -1;  // no figure
            if (const std::optional<double> value = NumberOf(row, column)) {
                char buffer[40];
                const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *value,
                                                        std::chars_format::scientific);
                const std::string_view text(buffer, error == std::errc() ? end : buffer);
                const std::size_t e = std::min(text.find('e'), text.size());
                int power = 0;
                if (e < text.size()) {
                    const std::size_t from = e + (text[e + 1] == '+' ? 2 : 1);
                    std::from_chars(text.data() + from, text.data() + text.size(), power);
                }
                // At most 17 digits and a point or a sign; powers from -324 to 308.
                key = ((power + 400) * 32 + static_cast<int>(e)) * 2 + (*value < 0 ? 1 : 0);
            }
            if (seen.insert(key).second) {
                add(row);
            }
        }
    }
    return {shapes.begin(), shapes.end()};
}

std::vector<std::string> MeasurementFields(const Measurement& row) {
    std::vector<std::string> fields;
    fields.reserve(kMeasurementColumns);
    for (int column = 0; column < kMeasurementColumns; ++column) {
        fields.push_back(MeasurementField(row, column));
    }
    return fields;
}

std::string WriteMeasurementsCsv(const std::vector<Measurement>& rows) {
    return std::string(kByteOrderMark) + WriteTable(rows, ';', true, "\r\n");
}

std::string WriteMeasurementsTsv(const std::vector<Measurement>& rows) {
    return WriteTable(rows, '\t', false, "\n");
}

std::string ProgramFault(std::string_view what) {
    return what.empty() ? "La lecture a échoué sur une erreur du programme."
                        : "La lecture a échoué sur une erreur du programme : " + Quoted(what) + ".";
}

MeasurementCsv ReadMeasurementsCsv(std::string_view text, std::stop_token stop) {
    MeasurementCsv result;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    } else {
        // No mark saying it is UTF-8, and titles that are not: a spreadsheet's Windows-1252
        // file, whose fields are turned into UTF-8 one by one as they are read. (A file whose
        // titles are UTF-8 is read as UTF-8, and a stray byte further on is a fault of its
        // line.)
        result.windows1252 = !ValidUtf8(text.substr(0, text.find_first_of("\r\n")));
    }
    // The first pass checks every line and counts the rows; the second keeps them in a vector
    // of their exact number, so that they take no more room than themselves.
    std::size_t count = 0;
    result.error = ReadLines(text, result.windows1252, nullptr, count, stop);
    if (result.ok()) {
        result.rows.reserve(count);
        result.error = ReadLines(text, result.windows1252, &result.rows, count, stop);
        if (!result.ok()) {
            result.rows = {};  // interrupted
        }
    }
    return result;
}

}  // namespace veliso
