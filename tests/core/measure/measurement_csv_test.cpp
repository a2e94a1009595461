// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/measurement_csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <stop_token>
#include <string>

namespace veliso {
namespace {

const std::string kHeader =
    "N°;Heure;Quantité N;Température T (K);Volume V (%);Masse relative;Pression P (Pa);"
    "Chocs sur parois /s;Écart type chocs /s;Moyenne sur (s)";
const std::string kSeriesHeader = kHeader + ";Série";

class MeasurementCsvTest : public ::testing::Test {
  protected:
    std::vector<Measurement> rows;

    void SetUp() override {
        Measurement a;
        a.number = 1;
        a.time = "14:05:09";
        a.count = 100;
        a.temperature = 298;
        a.volumePercent = 100;
        a.mass = 5;
        a.pressure = 101325;
        a.wallHits = 95.2;
        a.wallHitsSpread = 7.91;
        a.readouts = 5;
        Measurement b = a;
        b.number = 4;
        b.time = "mesure \"bis\"; à froid";  // typed in a spreadsheet
        b.temperature = 10;
        b.volumePercent = 12.5;
        b.pressure = 34001;
        b.wallHits.reset();
        b.wallHitsSpread.reset();
        b.readouts = 0;
        Measurement c = a;
        c.number = 5;
        c.wallHits = 100.67;
        c.wallHitsSpread.reset();
        c.readouts = 1;
        rows = {a, b, c};
    }

    static void ExpectRefused(const std::string& text, const std::string& start) {
        const MeasurementCsv read = ReadMeasurementsCsv(text);
        EXPECT_FALSE(read.ok()) << text;
        EXPECT_TRUE(read.rows.empty());
        EXPECT_EQ(read.error.substr(0, start.size()), start) << read.error;
    }
};

TEST_F(MeasurementCsvTest, WritesWhatFrenchSpreadsheetsRead) {
    const std::string csv = WriteMeasurementsCsv(rows);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::string expected = kSeriesHeader + "\r\n" +
                                 "1;14:05:09;100;298;100;5;101325;95,2;7,91;5;1\r\n"
                                 "4;\"mesure \"\"bis\"\"; à froid\";100;10;12,5;5;34001;;;0;1\r\n"
                                 "5;14:05:09;100;298;100;5;101325;100,67;;1;1\r\n";
    EXPECT_EQ(csv.substr(3), expected);

    EXPECT_EQ(WriteMeasurementsTsv({rows[1]}),
              "N°\tHeure\tQuantité N\tTempérature T (K)\tVolume V (%)\tMasse relative\t"
              "Pression P (Pa)\tChocs sur parois /s\tÉcart type chocs /s\tMoyenne sur (s)\t"
              "Série\n"
              "4\tmesure \"bis\"; à froid\t100\t10\t12,5\t5\t34001\t\t\t0\t1\n");
}

TEST_F(MeasurementCsvTest, ExportThenImportGivesBackTheSameRows) {
    // Values whose shortest decimal form is long still read back to the same double.
    rows[0].temperature = 1.0 / 3.0 * 100;
    rows[0].wallHitsSpread = 0.1 + 0.2;
    const MeasurementCsv read = ReadMeasurementsCsv(WriteMeasurementsCsv(rows));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.rows, rows);
    EXPECT_TRUE(ReadMeasurementsCsv(WriteMeasurementsCsv({})).ok());
}

TEST_F(MeasurementCsvTest, ReadsTheFileAsASpreadsheetSavesIt) {
    // No byte-order mark, LF ends, numbers quoted, a ';' inside a quoted text, spaces
    // around fields, and the lines of separators a spreadsheet writes for empty rows.
    const std::string text =
        kHeader + "\n" +
        "\"2\";\"a;b\";100;\"298\"; 100 ;5;101325;\"95,2\";\"7,91\";5\n"
        ";;;;;;;;;\n"
        "\n"
        "3;;100;298,5;100;5;1,01325E+05;96;;1\n";  // an exponent, as earlier files had
    const MeasurementCsv read = ReadMeasurementsCsv(text);
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].number, 2);
    EXPECT_EQ(read.rows[0].time, "a;b");
    EXPECT_EQ(read.rows[0].wallHits, 95.2);
    EXPECT_EQ(read.rows[0].wallHitsSpread, 7.91);
    EXPECT_EQ(read.rows[1].temperature, 298.5);
    EXPECT_EQ(read.rows[1].pressure, 101325.0);

    // A file with the first eight columns only: one readout per value, no spread.
    const MeasurementCsv shortFile = ReadMeasurementsCsv(
        "N°;Heure;Quantité N;Température T (K);Volume V (%);Masse relative;Pression P (Pa);"
        "Chocs sur parois /s\r\n1;;50;300;100;1;51002;180\r\n2;;50;300;100;1;51002;\r\n");
    ASSERT_TRUE(shortFile.ok()) << shortFile.error;
    EXPECT_EQ(shortFile.rows[0].readouts, 1);
    EXPECT_EQ(shortFile.rows[1].readouts, 0);
    EXPECT_FALSE(shortFile.rows[1].wallHits.has_value());
}

TEST_F(MeasurementCsvTest, EveryMalformedLineIsRefusedWithItsNumberAndReason) {
    const std::string good = "1;14:05:09;100;298;100;5;101325;95,2;7,91;5\n";
    auto file = [&](const std::string& bad) { return kHeader + "\n" + good + bad + "\n"; };
    struct Case {
        std::string line;
        std::string error;
    } cases[] = {
        {"2;14:05:10;100;298;100;5;101325;95,2;7,91", "Ligne 3 : 9 champs au lieu de 10."},
        {"2;;100;298;100;5;101325;95,2;7,91;5;", "Ligne 3 : 11 champs au lieu de 10."},
        {"2;;100;chaud;100;5;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Température T (K) », « chaud » n'est pas un nombre."},
        {"2;;100;298;100;5;101325;95.2;7,91;5",
         "Ligne 3 : dans la colonne « Chocs sur parois /s », « 95.2 » n'est pas un nombre "
         "(la virgule sépare les décimales)."},
        {"2;;100;298;100;5;101 32;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Pression P (Pa) », « 101 32 » n'est pas"},
        {"2;;100;600;100;5;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Température T (K) », « 600 » est hors de 10 … 500."},
        {"2;;100;298;5;5;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Volume V (%) », « 5 » est hors de 10 … 100."},
        {"2;;100,5;298;100;5;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Quantité N », « 100,5 » n'est pas un nombre entier."},
        {"2;;100;298;100;11;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Masse relative », « 11 » est hors de 1 … 10."},
        {"0;;100;298;100;5;101325;95,2;7,91;5",
         "Ligne 3 : dans la colonne « N° », « 0 » est hors de"},
        {"2;;100;298;100;5;-3;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Pression P (Pa) », « -3 » est négatif."},
        {"2;;100;298;100;5;1e999;95,2;7,91;5",
         "Ligne 3 : dans la colonne « Pression P (Pa) », « 1e999 » est hors de portée."},
        {"2;;;298;100;5;101325;95,2;7,91;5", "Ligne 3 : la colonne « Quantité N » est vide."},
        {"1;;100;298;100;5;101325;95,2;7,91;5",
         "Ligne 3 : le numéro 1 est déjà celui de la ligne 2."},
        {"2;\"14:05;100;298;100;5;101325;95,2;7,91;5", "Ligne 3 : guillemet non fermé."},
        {"2;\"14\"h;100;298;100;5;101325;95,2;7,91;5",
         "Ligne 3 : texte après un champ entre guillemets (champ 2)."},
        {"2;14\"05;100;298;100;5;101325;95,2;7,91;5", "Ligne 3 : guillemet au milieu du champ 2."},
        {"2;14\x01"
         "05;100;298;100;5;101325;95,2;7,91;5",
         "Ligne 3 : la colonne « Heure » contient un caractère de commande."},
        {"2;\xE0 14h;100;298;100;5;101325;95,2;7,91;5", "Ligne 3 : le texte n'est pas en UTF-8."},
        {"2;;100;298;100;5;101325;95,2;7,91;1", "Ligne 3 : un écart type demande"},
        {"2;;100;298;100;5;101325;95,2;;5", "Ligne 3 : l'écart type manque"},
        {"2;;100;298;100;5;101325;;;3", "Ligne 3 : sans chocs sur parois"},
        {"2;;100;298;100;5;101325;95;;0", "Ligne 3 : des chocs sur parois demandent"},
        {"2;;100;298;100;5;101325;95;;11",
         "Ligne 3 : dans la colonne « Moyenne sur (s) », « 11 » est hors de 0 … 10."},
    };
    for (const Case& c : cases) {
        ExpectRefused(file(c.line), c.error);
    }
    // A fault after good lines and blank ones still names its own line.
    ExpectRefused(kHeader + "\n" + good + "\n;;;;;;;;;\n" + "x;;100;298;100;5;101325;;;0\n",
                  "Ligne 5 : dans la colonne « N° », « x » n'est pas un nombre.");
}

TEST_F(MeasurementCsvTest, AMeasuredColumnTakesAnyPlausibleFigure) {
    // Far beyond what the gas produces, but at the plausible bounds: read as written; -0 is
    // read as the zero the table shows.
    const MeasurementCsv read = ReadMeasurementsCsv(
        kHeader + "\n1;;100;298;100;5;1e9;1e7;1e+07;5\n2;;100;298;100;5;-0;0;;1\n");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.rows[0].pressure, kMaxPlausiblePressure);
    EXPECT_EQ(read.rows[0].wallHits, kMaxPlausibleWallHits);
    EXPECT_EQ(read.rows[0].wallHitsSpread, kMaxPlausibleWallHits);
    EXPECT_FALSE(std::signbit(read.rows[1].pressure));
}

TEST_F(MeasurementCsvTest, HugeOrOddFieldsGiveAShortOneLineError) {
    const std::string huge(1 << 20, '7');
    const std::string quote59(59, '7');
    const std::string good = "1;14:05:09;100;298;100;5;101325;95,2;7,91;5";
    auto row = [](const std::string& time, const std::string& pressure) {
        return "2;" + time + ";100;298;100;5;" + pressure + ";95,2;7,91;5";
    };
    struct Case {
        std::string file;
        std::string error;  // empty: the file is read
    } cases[] = {
        {kHeader + "\n" + row("", huge + "x"), "Ligne 2 : dans la colonne « Pression P (Pa) », « " +
                                                   quote59 + "… » n'est pas un nombre."},
        {kHeader + "\n" + row("", "1,5e9"),
         "Ligne 2 : dans la colonne « Pression P (Pa) », « 1,5e9 » dépasse "
         "1\u00a0000\u00a0000\u00a0000, bien plus "
         "que le gaz ne produit."},
        {kHeader + "\n2;;100;298;100;5;101325;1e8;;1",
         "Ligne 2 : dans la colonne « Chocs sur parois /s », « 1e8 » dépasse 10\u00a0000\u00a0000"},
        {kHeader + "\n" + row("\"" + huge + "\"", "101325"),
         "Ligne 2 : dans la colonne « Heure », « " + quote59 + "… » a plus de 80 caractères."},
        {kHeader + "\n" + row(std::string(80, 'h'), "101325"), ""},
        {kHeader + "\n" + row(std::string(40, 'h') + "é", "101325"), ""},  // é is one character
        {kHeader + "\n" + row("", "1\r2"),
         "Ligne 2 : dans la colonne « Pression P (Pa) », « 1\\r2 » n'est pas un nombre."},
        {kHeader + "\n" + row("\"a\r\"", "101325"),
         "Ligne 2 : la colonne « Heure » contient un caractère de commande."},
        {huge + kHeader.substr(kHeader.find(';')),
         "Ligne 1 : en-tête inattendu, colonne 1 « " + quote59 + "… » au lieu de « N° »."},
        {std::string(1 << 20, ';'),
         "Ligne 1 : l'en-tête a 1\u00a0048\u00a0577 colonnes au lieu de 11."},
        {kHeader + "\n" + std::string(1 << 20, ';') + "\n" + good, ""},  // a blank line
        // A number used twice is named before a later fault.
        {kHeader + "\n" + good + "\n" + good + "\nx",
         "Ligne 3 : le numéro 1 est déjà celui de la ligne 2."},
        {kHeader + "\n" + good + std::string(1 << 20, ';'),
         "Ligne 2 : 1\u00a0048\u00a0586 champs au lieu de 10."},
    };
    for (const Case& c : cases) {
        const MeasurementCsv read = ReadMeasurementsCsv(c.file);
        EXPECT_EQ(read.error.substr(0, c.error.size()), c.error);
        EXPECT_EQ(read.ok(), c.error.empty()) << read.error;
        EXPECT_LT(read.error.size(), 250u);
        EXPECT_EQ(read.error.find_first_of("\r\n"), std::string::npos);
    }
}

// What a French spreadsheet makes of the file: grouped thousands, Windows-1252, old Mac line
// ends, no series column, a comma where the separator should be.
TEST_F(MeasurementCsvTest, SpreadsheetHabitsAreReadOrExplained) {
    const std::string row = "1;14:05:09;100;298;100;5;%P;95,2;7,91;5";
    auto with = [&](const std::string& pressure) {
        std::string line = row;
        return line.replace(line.find("%P"), 2, pressure);
    };
    struct Case {
        const char* name;
        std::string file;
        double pressure;  // of the first row; 0 when refused
        int series;
        std::string error;
    };
    const std::string windows =  // the titles and a note in Windows-1252, CRLF ends
        "N\xB0;Heure;Quantit\xE9 N;Temp\xE9rature T (K);Volume V (%);Masse relative;"
        "Pression P (Pa);Chocs sur parois /s;\xC9"
        "cart type chocs /s;Moyenne sur (s)\r\n"
        "1;\x96 \xE9t\xE9;100;298;100;5;101325;95,2;7,91;5\r\n";
    const Case cases[] = {
        {"space", kHeader + "\n" + with("340 017"), 340017, 1, ""},
        {"no-break space", kHeader + "\n" + with("340\u00a0017"), 340017, 1, ""},
        {"narrow no-break space", kHeader + "\n" + with("1\u202f700\u202f085,5"), 1700085.5, 1, ""},
        {"groups of three only", kHeader + "\n" + with("34 0017"), 0, 1,
         "Ligne 2 : dans la colonne « Pression P (Pa) », « 34 0017 » n'est pas un nombre."},
        {"CR line ends", kSeriesHeader + "\r" + with("101325") + ";2\r" + "\r", 101325, 2, ""},
        {"series given", kSeriesHeader + "\r\n" + with("101325") + ";3\r\n", 101325, 3, ""},
        {"series 0", kSeriesHeader + "\n" + with("101325") + ";0\n", 0, 1,
         "Ligne 2 : dans la colonne « Série », « 0 » est hors de 1 … 999\u00a0999\u00a0999."},
        {"Windows-1252", windows, 101325, 1, ""},
        {"commas between columns", "N°,Heure,Quantité N\n", 0, 1,
         "Ligne 1 : l'en-tête a 1 colonne au lieu de 11 : les colonnes doivent être séparées "
         "par des points-virgules (;)."},
        {"number beyond what a table holds", kHeader + "\n1000000000" + with("1").substr(1), 0, 1,
         "Ligne 2 : dans la colonne « N° », « 1000000000 » est hors de 1 … 999\u00a0999\u00a0999."},
    };
    for (const Case& c : cases) {
        const MeasurementCsv read = ReadMeasurementsCsv(c.file);
        EXPECT_EQ(read.error, c.error) << c.name;
        // A file that is read gives its one row, whose figures are checked.
        ASSERT_EQ(read.rows.size(), c.error.empty() ? 1u : 0u) << c.name;
        if (c.error.empty()) {
            EXPECT_EQ(read.rows[0].pressure, c.pressure) << c.name;
            EXPECT_EQ(read.rows[0].series, c.series) << c.name;
        }
        EXPECT_EQ(read.windows1252, std::string(c.name) == "Windows-1252") << c.name;
    }
    const MeasurementCsv windowsRead = ReadMeasurementsCsv(windows);
    ASSERT_EQ(windowsRead.rows.size(), 1u);
    EXPECT_EQ(windowsRead.rows[0].time, "– été");
}

TEST_F(MeasurementCsvTest, TheHeaderMustBeOurs) {
    ExpectRefused("", "Ligne 1 : le fichier est vide");
    ExpectRefused("1;14:05:09;100;298;100;5;101325;95,2;7,91;5\n",
                  "Ligne 1 : en-tête inattendu, colonne 1 « 1 » au lieu de « N° »");
    ExpectRefused("N°;Heure;Quantité N\n", "Ligne 1 : l'en-tête a 3 colonnes au lieu de 11.");
    // A file that says it is UTF-8 (its byte-order mark) must be: Latin-1 bytes, overlong
    // and surrogate forms are not.
    ExpectRefused("\xEF\xBB\xBFN\xB0;Heure\n", "Ligne 1 : le texte n'est pas en UTF-8.");
    ExpectRefused("\xEF\xBB\xBF\xC0\xAF\n", "Ligne 1 : le texte n'est pas en UTF-8.");
    ExpectRefused("\xEF\xBB\xBF\xED\xA0\x80\n", "Ligne 1 : le texte n'est pas en UTF-8.");
    ExpectRefused("\xEF\xBB\xBFN°\xE2\x82", "Ligne 1 : le texte n'est pas en UTF-8.");
}

// A read aside ends when it is asked to, and whatever it throws becomes a refusal in French.
TEST_F(MeasurementCsvTest, AReadStopsWhenAskedAndAFailureIsARefusal) {
    const std::string file = WriteMeasurementsCsv(rows);
    std::stop_source stop;
    stop.request_stop();
    const MeasurementCsv stopped = ReadMeasurementsCsv(file, stop.get_token());
    EXPECT_EQ(stopped.error, "La lecture a été interrompue.");
    EXPECT_TRUE(stopped.rows.empty());

    struct Case {
        const char* name;
        std::function<MeasurementCsv()> read;
        std::string error;
    } cases[] = {
        {"read", [&] { return ReadMeasurementsCsv(file); }, ""},
        {"no memory", []() -> MeasurementCsv { throw std::bad_alloc(); },
         "La mémoire manque pour lire ce fichier."},
        {"a fault", []() -> MeasurementCsv { throw std::length_error("vector::reserve"); },
         "La lecture a échoué sur une erreur du programme : « vector::reserve »."},
        {"anything", []() -> MeasurementCsv { throw 42; },
         "La lecture a échoué sur une erreur du programme."},
    };
    for (const Case& c : cases) {
        const MeasurementCsv read = ReadOrRefuse(c.read);
        EXPECT_EQ(read.error, c.error) << c.name;
        EXPECT_EQ(read.rows.size(), c.error.empty() ? rows.size() : 0u) << c.name;
    }
}

// The table shows figures as they are read, numbers and times as they are; the width of a
// column follows from the shapes of its texts.
TEST_F(MeasurementCsvTest, TheTableShowsGroupedFiguresAndKnowsTheirShapes) {
    const std::string nb = "\u00a0";
    rows[0].number = 9;
    rows[0].pressure = 100000;
    rows[0].wallHitsSpread = 0.0001;
    rows[1].number = 100000;
    rows[1].pressure = 1.2e9;
    rows[2].number = 12;
    rows[2].time = "";
    rows[2].pressure = 101325;
    rows[2].wallHits = 12000;
    const std::string shown[] = {"9",    "14:05:09", "100", "298", "100", "5", "100" + nb + "000",
                                 "95,2", "0,0001",   "5",   "1"};
    for (int c = 0; c < kMeasurementColumns; ++c) {
        EXPECT_EQ(MeasurementScreenField(rows[0], c), shown[c]) << c;
    }
    using Shapes = std::vector<std::string>;
    const std::pair<int, Shapes> shapes[] = {
        {kNumberColumn, {"0", "00", "000000"}},
        {kTimeColumn, {"00:00:00", "mesure \"bis\"; à froid", ""}},
        {kPressureColumn, {"0" + nb + "000" + nb + "000" + nb + "000", "000" + nb + "000"}},
        {kWallHitsColumn, {"", "00" + nb + "000", "00,0"}},
        {kSpreadColumn, {"", "0,0000"}},
        {kReadoutsColumn, {"0"}},
    };
    for (const auto& [column, expected] : shapes) {
        Shapes got = ScreenFieldShapes(rows, column);
        Shapes sorted = expected;
        std::sort(got.begin(), got.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(got, sorted) << column;
    }
}

// Every figure a file holds is plain digits, as spreadsheets show them side by side, and
// reads back to the same double.
TEST(DecimalCommaTest, ShortestDigitsWithACommaNeverAnExponent) {
    const std::pair<double, std::string> cases[] = {
        {95.2, "95,2"},
        {101325, "101325"},
        {100000, "100000"},  // once "1e+05", its shortest form
        {1e9, "1000000000"},
        {0.0001, "0,0001"},  // once "1e-04"
        {0.1 + 0.2, "0,30000000000000004"},
        {-0.0, "0"},
        {1e-20, "0," + std::string(19, '0') + "1"},
        {DBL_TRUE_MIN, "0," + std::string(323, '0') + "5"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(DecimalComma(value), text) << value;
    }
    EXPECT_EQ(DecimalComma(-DBL_MAX).size(), 310u);
}

}  // namespace
}  // namespace veliso
