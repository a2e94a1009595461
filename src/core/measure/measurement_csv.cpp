#include "core/measure/measurement_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "core/common/number_format.h"
#include "core/gas/gas_controls.h"

namespace veliso {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kShortColumns = kSpreadColumn;  // a file without the spread and the readout count

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

std::string Quoted(std::string_view text) {
    return "« " + std::string(text) + " »";
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

// Splits one line into its fields; on a fault returns the reason.
std::optional<std::string> SplitFields(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    std::size_t pos = 0;
    while (true) {
        std::string field;
        if (pos < line.size() && line[pos] == '"') {
            ++pos;
            while (true) {
                if (pos >= line.size()) {
                    return "guillemet non fermé";
                }
                if (line[pos] == '"') {
                    if (pos + 1 < line.size() && line[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field += line[pos++];
            }
            if (pos < line.size() && line[pos] != ';') {
                return "texte après un champ entre guillemets (champ " +
                       std::to_string(fields.size() + 1) + ")";
            }
        } else {
            const std::size_t end = std::min(line.find(';', pos), line.size());
            field = std::string(line.substr(pos, end - pos));
            if (field.find('"') != std::string::npos) {
                return "guillemet au milieu du champ " + std::to_string(fields.size() + 1);
            }
            pos = end;
        }
        fields.push_back(std::move(field));
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
    return value;
}

struct Range {
    double low;
    double high;
    bool integer;
};

// Ranges of the columns that hold numbers, those of the gas's controls where there are some.
std::optional<Range> RangeOf(int column) {
    // The measured columns take any figure that is not negative.
    constexpr double kAny = std::numeric_limits<double>::infinity();
    switch (column) {
        case kNumberColumn:
            return Range{1, 2147483647.0, true};
        case kCountColumn:
            return Range{kGasCountMin, kGasCountMax, true};
        case kTemperatureColumn:
            return Range{kGasTemperatureMin, kGasTemperatureMax, false};
        case kVolumeColumn:
            return Range{kGasVolumeMin, kGasVolumeMax, false};
        case kMassColumn:
            return Range{kGasMassMin, kGasMassMax, true};
        case kPressureColumn:
        case kWallHitsColumn:
        case kSpreadColumn:
            return Range{0, kAny, false};
        case kReadoutsColumn:
            return Range{0, 10, true};
        default:
            return std::nullopt;
    }
}

std::string RangeText(const Range& range) {
    if (std::isinf(range.high)) {
        return "est négatif";
    }
    return "est hors de " + DecimalComma(range.low) + " … " + DecimalComma(range.high);
}

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
            Fail(column, Quoted(text) + " " + RangeText(range));
            return std::nullopt;
        }
        return value;
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

std::optional<std::string> CheckHeader(const std::vector<std::string>& fields, int& columns) {
    columns = static_cast<int>(fields.size());
    if (columns != kMeasurementColumns && columns != kShortColumns) {
        return "l'en-tête a " + std::to_string(columns) + " colonnes au lieu de " +
               std::to_string(kMeasurementColumns);
    }
    for (int c = 0; c < columns; ++c) {
        if (Trim(fields[c]) != kMeasurementColumnTitles[c]) {
            return "en-tête inattendu, colonne " + std::to_string(c + 1) + " " +
                   Quoted(Trim(fields[c])) + " au lieu de " + Quoted(kMeasurementColumnTitles[c]);
        }
    }
    return std::nullopt;
}

// Reads one data line into `row`; returns the fault, if any.
std::string ReadRow(int lineNumber, const std::vector<std::string>& fields, int columns,
                    Measurement& row) {
    LineReader in(lineNumber, fields);
    if (static_cast<int>(fields.size()) != columns) {
        in.Fail(std::to_string(fields.size()) + " champs au lieu de " + std::to_string(columns));
        return in.error();
    }
    const auto number = in.Number(kNumberColumn);
    const std::string_view time = in.Text(kTimeColumn);
    if (in.error().empty() && std::any_of(time.begin(), time.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        })) {
        in.Fail("la colonne " + Quoted(kMeasurementColumnTitles[kTimeColumn]) +
                " contient un caractère de commande");
    }
    const auto count = in.Number(kCountColumn);
    const auto temperature = in.Number(kTemperatureColumn);
    const auto volume = in.Number(kVolumeColumn);
    const auto mass = in.Number(kMassColumn);
    const auto pressure = in.Number(kPressureColumn);
    const auto hits = in.Number(kWallHitsColumn, true);
    std::optional<double> spread;
    int readouts = hits ? 1 : 0;
    if (columns == kMeasurementColumns) {
        spread = in.Number(kSpreadColumn, true);
        if (const auto n = in.Number(kReadoutsColumn)) {
            readouts = static_cast<int>(*n);
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
    return in.error();
}

bool Blank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

}  // namespace

std::string DecimalComma(double value) {
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) {
        return RoundedDecimalComma(value, 17);
    }
    std::string text(buffer, end);
    return text == "-0" ? "0" : CommaFor(text);
}

std::string RoundedDecimalComma(double value, int digits) {
    if (!std::isfinite(value)) {
        return "—";
    }
    return CommaFor(FormatGeneral(value, std::clamp(digits, 1, 17)));
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
        default:
            return {};
    }
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

MeasurementCsv ReadMeasurementsCsv(std::string_view text) {
    MeasurementCsv result;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<Measurement> rows;
    std::map<int, int> lineOfNumber;
    std::vector<std::string> fields;
    int columns = 0;
    int lineNumber = 0;
    bool header = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        auto fail = [&](const std::string& reason) {
            result.error = LineFault(lineNumber, reason);
            return result;
        };
        if (!ValidUtf8(line)) {
            return fail("le texte n'est pas en UTF-8");
        }
        if (const auto fault = SplitFields(line, fields)) {
            return fail(*fault);
        }
        if (header) {
            if (const auto fault = CheckHeader(fields, columns)) {
                return fail(*fault);
            }
            header = false;
            continue;
        }
        if (Blank(fields)) {
            continue;
        }
        Measurement row;
        if (std::string fault = ReadRow(lineNumber, fields, columns, row); !fault.empty()) {
            result.error = std::move(fault);
            return result;
        }
        if (const auto seen = lineOfNumber.find(row.number); seen != lineOfNumber.end()) {
            return fail("le numéro " + std::to_string(row.number) + " est déjà celui de la ligne " +
                        std::to_string(seen->second));
        }
        lineOfNumber[row.number] = lineNumber;
        rows.push_back(std::move(row));
    }
    if (header) {
        result.error = LineFault(1, "le fichier est vide, la ligne des titres manque");
        return result;
    }
    result.rows = std::move(rows);
    return result;
}

}  // namespace veliso
