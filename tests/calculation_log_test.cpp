#include "output/calculation_log.h"

#include "engine/solver.h"
#include "engine/triangulation_engine.h"
#include "tests/support/locale_guard.h"
#include "tests/support/processes.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <latch>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

std::string PrintfFixed2(double v) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

Observation Point(double lonDeg, double lonMin, double lonSec, int west, double latDeg,
                  double latMin, double latSec, int south, double bearing) {
    return {{lonDeg, lonMin, lonSec, west}, {latDeg, latMin, latSec, south}, bearing};
}

// The engine's record of a point, as WriteLog takes it.
GeoPosition Position(const Observation& o, const std::string& name = "") {
    GeoPosition p;
    ervalun::Store(o, p);
    p.name = name;
    return p;
}

Member Named(const std::string& name) {
    Member m;
    m.name = name;
    return m;
}

KnownPosition Entry(const std::string& name) {
    KnownPosition k;
    k.name = name;
    return k;
}

const LocalDateTime kMarch6{2002, 3, 6, 9, 5, 3};

// The worked example: Croix chosen for the first point, the second typed by hand.
struct Example {
    Observation first = Point(2, 21, 7.5, 0, 48, 51, 24, 0, 45);
    Observation second = Point(2, 30, 0, 0, 48, 40, 0, 0, 300);
    Observation res = Point(2, 25, 12.34, 0, 48, 47, 1.2, 0, 0);
    std::string resultName;
    std::vector<KnownPosition> directory{Entry("Autre"), Entry("Croix")};
    std::vector<Member> operators{Named("Alpha")};
    std::vector<Member> participants{Named("Bravo"), Named("Charlie")};
    int selection1 = 1;
    int selection2 = -1;

    ervalun::LogRecord Record() const {
        ervalun::LogRecord r;
        if (!operators.empty()) {
            r.operatorName = operators.front().name;
        }
        r.firstName = ervalun::SelectedName(directory, selection1);
        r.first = first;
        r.secondName = ervalun::SelectedName(directory, selection2);
        r.second = second;
        r.resultName = resultName;
        r.result = res;
        r.participants = participants;
        return r;
    }
    std::string Line() const { return ervalun::FormatLogLine(kMarch6, Record()); }

    // The line as the engine appends it, from its records; at kMarch6 unless the engine given
    // has a clock of its own.
    void Write(TriangulationEngine& engine, const std::string& path = "ervalun.log") const {
        engine.WriteLog(path, Position(first), Position(second), Position(res, resultName),
                        selection1, selection2, directory, operators, participants);
    }
    void Write() const {
        TriangulationEngine engine;
        engine.clock = [] { return kMarch6; };
        Write(engine);
    }
};

const char* const kExampleLine =
    "Alpha;06/03/2002;09:05:03;Croix;2.00 21.00 7.50 E;48.00 51.00 24.00 N;45.00;POSITION2;"
    "2.00 30.00 0.00 E;48.00 40.00 0.00 N;300.00;;2.00 25.00 12.34 E;48.00 47.00 1.20 N;0.00;"
    "Bravo;Charlie;\n";

// Appends the example line `count` times from a child whose files may not grow beyond `limit`
// bytes, as on a full disk. Returns 0 when the child ran.
int AppendWithSizeLimit(const Example& ex, rlim_t limit, int count = 1) {
    if (!testing_support::LimitFileSize(limit)) {
        return 100;
    }
    for (int i = 0; i < count; ++i) {
        ex.Write();
    }
    return 0;
}

} // namespace

TEST(CalculationLog, TwoDecimalsAgreeWithPrintfInTheCLocale) {
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(ervalun::FormatFixed2(0.125), "0.12"); // exact tie, to even
    EXPECT_EQ(ervalun::FormatFixed2(0.375), "0.38");
    EXPECT_EQ(ervalun::FormatFixed2(2.675), "2.67"); // stored just below the tie
    EXPECT_EQ(ervalun::FormatFixed2(1e12), "1000000000000.00");
    EXPECT_EQ(ervalun::FormatFixed2(360), "360.00");
    EXPECT_EQ(ervalun::FormatFixed2(0), "0.00");
    EXPECT_EQ(ervalun::FormatFixed2(7.5), "7.50");

    std::vector<double> values{0.125,  2.675,  1e12,   360,        0.0,     -0.0,   0.005,
                               1.005,  0.015,  12.345, 59.995,     59.9999, 1e-320, -2.5e-3,
                               -1.125, 3.4e10, 1e300,  1.7976e308, 4.35,    0.045,  1e22};
    std::mt19937_64 gen(12345);
    std::uniform_real_distribution<double> seconds(0.0, 60.0);
    std::uniform_int_distribution<int> hundredths(0, 36000);
    for (int i = 0; i < 2000; ++i) {
        values.push_back(seconds(gen));
        // Ties and near-ties of the third decimal, the hard cases for rounding.
        values.push_back(hundredths(gen) / 100.0 + 0.005);
    }
    for (double v : values) {
        EXPECT_EQ(ervalun::FormatFixed2(v), PrintfFixed2(v)) << "value " << v;
    }
}

TEST(CalculationLog, WorkedExampleLineCharacterForCharacter) {
    ScopedWorkDir dir;
    Example ex;
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), kExampleLine);

    // No operator and no participants: placeholders at both ends, nothing after the last.
    ex.operators.clear();
    ex.participants.clear();
    const std::string bare = ex.Line();
    EXPECT_EQ(bare.rfind("ID_OPERATEUR;06/03/2002;09:05:03;Croix;", 0), 0u) << bare;
    const std::string tail = "0.00;IDs_PARTICIPANTS\n";
    ASSERT_GE(bare.size(), tail.size());
    EXPECT_EQ(bare.substr(bare.size() - tail.size()), tail);
}

TEST(CalculationLog, PlaceholdersNamesLettersAndDate) {
    Example ex;
    std::vector<KnownPosition> none;
    // A selection needs a directory entry at that index; anything else gives the placeholder,
    // in the engine's line as in the formatted one.
    for (auto [sel, list] : std::vector<std::pair<int, const std::vector<KnownPosition>*>>{
             {0, &none}, {-1, &ex.directory}, {2, &ex.directory}, {-7, &ex.directory}}) {
        EXPECT_FALSE(ervalun::SelectedName(*list, sel).has_value()) << sel;
        Example each = ex;
        each.directory = *list;
        each.selection1 = each.selection2 = sel;
        const std::string line = each.Line();
        EXPECT_NE(line.find("09:05:03;POSITION1;2.00 21.00 7.50 E;"), std::string::npos) << line;
        EXPECT_NE(line.find(";45.00;POSITION2;2.00 30.00"), std::string::npos) << line;

        ScopedWorkDir dir;
        each.Write();
        EXPECT_EQ(ReadFile("ervalun.log"), line);
    }
    // Both points named from the directory.
    ex.selection2 = 0;
    const std::string both = ex.Line();
    EXPECT_NE(both.find(";Croix;2.00 21.00"), std::string::npos);
    EXPECT_NE(both.find(";45.00;Autre;2.00 30.00"), std::string::npos);

    // West and south: letters O and S, numbers stay magnitudes; one participant; a name with
    // a space and a ";" goes out unchanged; first of January just after midnight.
    ex.res = Point(0, 22, 0, 1, 10, 30, 0, 1, 0);
    ex.resultName = "Le Puy;Haut";
    ex.participants = {Named("Bravo")};
    ex.operators.clear();
    const LocalDateTime newYear{2024, 1, 1, 0, 0, 5};
    ex.selection1 = ex.selection2 = -1;
    const std::string line = ervalun::FormatLogLine(newYear, ex.Record());
    EXPECT_EQ(line, "ID_OPERATEUR;01/01/2024;00:00:05;POSITION1;2.00 21.00 7.50 E;"
                    "48.00 51.00 24.00 N;45.00;POSITION2;2.00 30.00 0.00 E;48.00 40.00 0.00 N;"
                    "300.00;Le Puy;Haut;0.00 22.00 0.00 O;10.00 30.00 0.00 S;0.00;Bravo;\n");

    // An empty result name gives two ";" in a row before its longitude.
    ex.resultName.clear();
    EXPECT_NE(ex.Line().find(";300.00;;0.00 22.00 0.00 O;"), std::string::npos);
}

TEST(CalculationLog, AppendsAfterEarlierLinesAndCreatesTheFile) {
    ScopedWorkDir dir;
    Example ex;
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), kExampleLine);

    // Earlier content, Latin-1 bytes included, stays byte for byte.
    const std::string earlier = "R\xe9gis;01/02/2001;10:00:00;old line\nsecond\n";
    WriteFile("ervalun.log", earlier);
    ex.Write();
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), earlier + kExampleLine + kExampleLine);
}

TEST(CalculationLog, UnwritableLogIsPassedOverSilently) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("ervalun.log");
    Example ex;
    TriangulationEngine engine;
    int clockReads = 0;
    engine.clock = [&] {
        ++clockReads;
        return kMarch6;
    };
    ex.Write(engine);
    EXPECT_TRUE(std::filesystem::is_directory("ervalun.log"));
    EXPECT_TRUE(std::filesystem::is_empty("ervalun.log"));
    EXPECT_EQ(clockReads, 0);
    ex.Write(engine, "no/such/folder/ervalun.log");
    EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST(CalculationLog, ConcurrentWritersNeverInterleaveLines) {
    ScopedWorkDir dir;
    // Lines far longer than a default stdio buffer, which would leave in several writes.
    Example ex;
    ex.participants.clear();
    for (int i = 0; i < 400; ++i) {
        ex.participants.push_back(Named("Participant" + std::to_string(i)));
    }
    const std::string line = ex.Line();
    ASSERT_GT(line.size(), 4096u);

    constexpr int kLinesEach = 800;
    std::latch start(2);
    auto writer = [&] {
        start.arrive_and_wait();
        for (int i = 0; i < kLinesEach; ++i) {
            ex.Write();
        }
    };
    std::thread a(writer);
    std::thread b(writer);
    a.join();
    b.join();

    std::istringstream in(ReadFile("ervalun.log"));
    std::string got;
    int count = 0;
    while (std::getline(in, got)) {
        ++count;
        ASSERT_TRUE(got + "\n" == line) << "line " << count << " was torn";
    }
    EXPECT_EQ(count, 2 * kLinesEach);
}

TEST(CalculationLog, LineIsTheSameUnderAFrenchLocale) {
    Example ex;
    ex.first.longitude.seconds = 7.25;
    const std::string inC = ex.Line();
    testing_support::FrenchLocale fr;
    if (!fr.ok()) {
        GTEST_SKIP() << "fr_FR.UTF-8 locale not available; locale independence NOT checked";
    }
    ASSERT_TRUE(fr.WritesDecimalComma()) << "the French locale did not take effect";
    EXPECT_EQ(ex.Line(), inC);
    EXPECT_EQ(ervalun::FormatFixed2(2.675), "2.67");

    ScopedWorkDir dir;
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), inC);
}

TEST(CalculationLog, ClockFollowsTheTimeZoneSetAfterStartUp) {
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";

    auto hourIn = [](const char* tz, int& utcHour) {
        setenv("TZ", tz, 1);
        for (;;) {
            const std::time_t before = std::time(nullptr);
            const LocalDateTime local = ervalun::CurrentLocalDateTime();
            if (std::time(nullptr) == before) {
                std::tm utc{};
                gmtime_r(&before, &utc);
                utcHour = utc.tm_hour;
                return local;
            }
        }
    };
    int utcHour = 0;
    const LocalDateTime utc = hourIn("UTC0", utcHour);
    EXPECT_EQ(utc.hour, utcHour);
    // Five hours east of Greenwich (POSIX writes the offset with the opposite sign).
    const LocalDateTime east = hourIn("EST-5", utcHour);
    EXPECT_EQ(east.hour, (utcHour + 5) % 24);
    EXPECT_GE(east.year, 2000);
    EXPECT_TRUE(east.month >= 1 && east.month <= 12 && east.day >= 1 && east.day <= 31);

    if (old != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(CalculationLog, LineIsAppendedWholeOrNotAtAll) {
    ScopedWorkDir dir;
    Example ex;
    const std::string line = ex.Line();
    const std::string earlier = "R\xe9gis;01/02/2001;10:00:00;old line\n";
    WriteFile("ervalun.log", earlier);
    // Part of the line fits, one byte fits, nothing fits, all but its line feed fits.
    for (std::size_t room : {line.size() / 2, std::size_t{1}, std::size_t{0}, line.size() - 1}) {
        ASSERT_EQ(testing_support::RunInChild(
                      [&] { return AppendWithSizeLimit(ex, earlier.size() + room); }),
                  0);
        EXPECT_EQ(ReadFile("ervalun.log"), earlier) << room << " bytes of room";
    }
    ASSERT_EQ(testing_support::RunInChild(
                  [&] { return AppendWithSizeLimit(ex, earlier.size() + line.size()); }),
              0);
    EXPECT_EQ(ReadFile("ervalun.log"), earlier + line);

    // With room again the next line stands on its own.
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), earlier + line + line);

    // A line cut off where nothing could take it back (a writer killed in the middle, or a
    // file edited without its last line feed) is ended first; the new record never joins it.
    const std::string cut = earlier + "Alpha;06/03/2002;09:0";
    WriteFile("ervalun.log", cut);
    ex.Write();
    EXPECT_EQ(ReadFile("ervalun.log"), cut + "\n" + line);
}

TEST(CalculationLog, ConcurrentWritersOnAFullDiskLeaveOnlyWholeLines) {
    ScopedWorkDir dir;
    Example ex;
    const std::string line = ex.Line();
    // Room for 100 lines and a third; four processes try 60 lines each.
    constexpr int kWriters = 4;
    constexpr std::size_t kRoomInLines = 100;
    const rlim_t limit = line.size() * kRoomInLines + line.size() / 3;
    const std::vector<pid_t> children = testing_support::StartChildren(
        kWriters, [&] { return AppendWithSizeLimit(ex, limit, 60); });
    ASSERT_EQ(children.size(), static_cast<std::size_t>(kWriters));
    ASSERT_TRUE(testing_support::AllExitedCleanly(children));
    const std::vector<std::string> lines = testing_support::Lines(ReadFile("ervalun.log"));
    EXPECT_EQ(ReadFile("ervalun.log").size(), line.size() * kRoomInLines);
    ASSERT_EQ(lines.size(), kRoomInLines);
    for (const std::string& got : lines) {
        ASSERT_EQ(got + "\n", line);
    }
}
