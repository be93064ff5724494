#include "geodesy/bearing_rows.h"
#include "tests/support/locale_guard.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

using geodesy::BearingRow;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Rows compare equal with NaN sigmas as equal.
void ExpectSameRows(const std::vector<BearingRow>& got, const std::vector<BearingRow>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].name, expected[i].name);
        EXPECT_EQ(got[i].latitude, expected[i].latitude);
        EXPECT_EQ(got[i].longitude, expected[i].longitude);
        EXPECT_EQ(got[i].azimuth, expected[i].azimuth);
        EXPECT_TRUE(got[i].sigma == expected[i].sigma ||
                    (std::isnan(got[i].sigma) && std::isnan(expected[i].sigma)));
        EXPECT_EQ(got[i].active, expected[i].active);
        EXPECT_EQ(got[i].north, expected[i].north);
        EXPECT_EQ(got[i].date, expected[i].date);
    }
}

// A row; one read without a north or a date is true, of the day it is read.
BearingRow Row(const char* name, double latitude, double longitude, double azimuth, double sigma,
               bool active, geodesy::NorthReference north = geodesy::NorthReference::True,
               geodesy::CalendarDate date = geodesy::TodayLocal()) {
    return {name, latitude, longitude, azimuth, sigma, active, north, date};
}

TEST(BearingRows, EveryDigitAndFlagReadsBackUnderAnyLocale) {
    testing_support::FrenchLocale french;
    using geodesy::NorthReference;
    const std::vector<BearingRow> rows = {
        {"Le-Brévent",
         45.93416666666667,
         6.8375,
         108.0,
         kNaN,
         true,
         NorthReference::Magnetic,
         {2026, 12, 7}},
        {"Sud-Ouest",
         -33.000000123456789,
         -70.1,
         359.99999999999994,
         0.25,
         false,
         NorthReference::Lambert93,
         {2025, 1, 1}},
        {"", 1e-7, -0.0, 0.0, 12.5, true, NorthReference::Utm, {2029, 12, 31}},
        {"Vrai", 1, 2, 3, kNaN, true, NorthReference::True, {2024, 2, 29}},
    };
    const std::string text = geodesy::FormatBearingRows(rows);
    // Readable: a decimal point, no exponent, the columns named in a comment.
    EXPECT_NE(text.find("# nom;latitude;longitude;azimut;sigma;actif;nord;date\n"),
              std::string::npos);
    EXPECT_NE(text.find(";1;magnétique;2026-12-07\n"), std::string::npos) << text;
    EXPECT_NE(text.find(";0.0000001;"), std::string::npos) << text;
    for (const std::string& line : testing_support::Lines(text)) {
        EXPECT_TRUE(line.starts_with('#') || line.find(',') == std::string::npos) << line;
    }
    const geodesy::BearingRows read = geodesy::ParseBearingRows(text);
    EXPECT_TRUE(read.mistakes.empty());
    ExpectSameRows(read.rows, rows);

    // A name cannot break its line nor shift the columns.
    const geodesy::BearingRows odd =
        geodesy::ParseBearingRows(geodesy::FormatBearingRows({Row("a;b\nc", 1, 2, 3, kNaN, true)}));
    ASSERT_EQ(odd.rows.size(), 1u);
    EXPECT_EQ(odd.rows[0].name, "a,b c");
    EXPECT_EQ(odd.rows[0].azimuth, 3.0);
}

TEST(BearingRows, ColumnsFollowTheLastHeaderAndUnknownOnesAreIgnored) {
    struct Case {
        const char* text;
        std::vector<BearingRow> rows;
    };
    const Case cases[] = {
        // No header: the default order; sigma and actif may be missing.
        {"A;1;2;3\nB;4;5;6;;0\n", {Row("A", 1, 2, 3, kNaN, true), Row("B", 4, 5, 6, kNaN, false)}},
        // Byte order mark, CR LF, blanks around fields, a plus sign, oui/non.
        {"\xEF\xBB\xBF"
         "A ; +1.5 ;2;3; 2 ;non\r\n\r\nB;4;5;6;;oui\r\n",
         {Row("A", 1.5, 2, 3, 2, false), Row("B", 4, 5, 6, kNaN, true)}},
        // Columns added and moved by a later version.
        {"# nom;date;nord;azimut;latitude;longitude;actif;sigma\nA;2026-12-07;vrai;3;1;2;0;4\n",
         {Row("A", 1, 2, 3, 4, false, geodesy::NorthReference::True, {2026, 12, 7})}},
        // A file from before the north column: its azimuts were entered as true.
        {"# nom;latitude;longitude;azimut;sigma;actif\nA;1;2;3;;1\n",
         {Row("A", 1, 2, 3, kNaN, true)}},
        // The date as the French write it, the north in any case, without its accent.
        {"# nom;latitude;longitude;azimut;nord;date\nA;1;2;3;MAGNETIQUE;07/12/2026\n"
         "B;1;2;3;Lambert 93;2026-01-31\n",
         {Row("A", 1, 2, 3, kNaN, true, geodesy::NorthReference::Magnetic, {2026, 12, 7}),
          Row("B", 1, 2, 3, kNaN, true, geodesy::NorthReference::Lambert93, {2026, 1, 31})}},
        // Trailing fields beyond the header are ignored.
        {"# nom;latitude;longitude;azimut\nA;1;2;3;x;y;z\n", {Row("A", 1, 2, 3, kNaN, true)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const geodesy::BearingRows read = geodesy::ParseBearingRows(c.text);
        EXPECT_TRUE(read.mistakes.empty()) << read.mistakes.front().reason;
        ExpectSameRows(read.rows, c.rows);
    }
}

TEST(BearingRows, ABadLineIsNamedAndTheOthersAreKept) {
    struct Case {
        const char* line;
        const char* reason; // part of the reason given
    };
    const Case cases[] = {
        {"A;45,5;6;90", "« 45,5 » n'est pas un nombre"},
        {"A;91;6;90", "la latitude « 91 » dépasse 90"},
        {"A;45;-180.5;90", "la longitude « -180.5 » dépasse 180"},
        {"A;45;6", "l'azimut manque"},
        {"A;45;6;nan", "« nan » n'est pas un nombre"},
        {"A;45;6;90;0", "le sigma « 0 »"},
        {"A;45;6;90;;peut-être", "actif « peut-être »"},
        {"A;45;6;1e999", "« 1e999 » n'est pas un nombre"},
        {"A;45;6;90;;1;boussole", "le nord « boussole »"},
        {"A;45;6;90;;1;magnétique;31/02/2026", "la date « 31/02/2026 »"},
        {"A;45;6;90;;1;vrai;2026-7-1", "la date « 2026-7-1 »"},
        {"A;45;6;90;;1;vrai;12/07/26", "la date « 12/07/26 »"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string text = std::string("# commentaire\nB;1;2;3\n") + c.line + "\nC;4;5;6\n";
        const geodesy::BearingRows read = geodesy::ParseBearingRows(text);
        ASSERT_EQ(read.rows.size(), 2u);
        EXPECT_EQ(read.rows[0].name, "B");
        EXPECT_EQ(read.rows[1].name, "C");
        ASSERT_EQ(read.mistakes.size(), 1u);
        EXPECT_EQ(read.mistakes[0].line, 3);
        EXPECT_NE(read.mistakes[0].reason.find(c.reason), std::string::npos)
            << read.mistakes[0].reason;
        const std::string message = geodesy::BearingRowsMessage("releves.txt", read.mistakes);
        EXPECT_NE(message.find("releves.txt"), std::string::npos);
        EXPECT_NE(message.find("Ligne 3 : "), std::string::npos) << message;
    }
    EXPECT_TRUE(geodesy::BearingRowsMessage("releves.txt", {}).empty());
}

TEST(BearingRows, TheFileIsWrittenWholeAndReadBack) {
    testing_support::ScopedWorkDir dir;
    EXPECT_TRUE(geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName).rows.empty());
    const std::vector<BearingRow> rows = {
        Row("A", 45.5, 6.25, 90, 3, false, geodesy::NorthReference::Magnetic, {2027, 3, 4})};
    ASSERT_TRUE(geodesy::WriteBearingRowsFile(geodesy::kBearingRowsFileName, rows));
    ExpectSameRows(geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName).rows, rows);
    EXPECT_EQ(testing_support::FilesIn(dir.path()), std::vector<std::string>{"releves.txt"});
    // A folder in its place cannot be read: said, never thrown.
    testing_support::ScopedWorkDir other;
    std::filesystem::create_directory(geodesy::kBearingRowsFileName);
    const geodesy::BearingRows read = geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName);
    EXPECT_TRUE(read.rows.empty());
    ASSERT_EQ(read.mistakes.size(), 1u);
    EXPECT_EQ(read.mistakes[0].line, 0);
}

} // namespace
