// The position directory "ervalun.txt" as the engine loads it: the records, their fields and
// hemispheres, what the reader refuses and the messages it gives.
#include "data/text_reader.h"
#include "engine/triangulation_engine.h"
#include "tests/support/capturing_sink.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using testing_support::CapturingSink;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

using Texts = std::vector<std::string>;

const Texts kIncorrect{"Fichier ervalun.txt incorrect"};

// An engine that sends its messages to a capturing sink, loading from "ervalun.txt".
struct DirectoryFixture {
    DirectoryFixture() { engine.messages = &sink; }
    void Load(const std::string& content) {
        WriteFile("ervalun.txt", content);
        engine.LoadPositions("ervalun.txt", &engine.directory);
    }
    Texts Names() const {
        Texts names;
        for (const KnownPosition& e : engine.directory) {
            names.push_back(e.name.str());
        }
        return names;
    }
    ScopedWorkDir dir;
    CapturingSink sink;
    TriangulationEngine engine;
};

const std::string kRefuge = "Refuge 45 12 30.5 N 6 5 0 E\n";
const std::string kCap = "Cap 10 30 0 S 2 15 0 O\n";

void ExpectRefuge(const KnownPosition& e) {
    EXPECT_EQ(e.name, "Refuge");
    EXPECT_EQ(e.latitudeDegrees, 45.0);
    EXPECT_EQ(e.latitudeMinutes, 12.0);
    EXPECT_EQ(e.latitudeSeconds, 30.5);
    EXPECT_EQ(e.longitudeDegrees, 6.0);
    EXPECT_EQ(e.longitudeMinutes, 5.0);
    EXPECT_EQ(e.longitudeSeconds, 0.0);
    const double t = 45.0 + 12.0 / 60;
    EXPECT_EQ(e.latitude, t + 30.5 / 3600);
    EXPECT_EQ(e.longitude, 6.0 + 5.0 / 60 + 0.0 / 3600);
    EXPECT_EQ(e.distance, 0.0);
}

void ExpectCap(const KnownPosition& e) {
    EXPECT_EQ(e.name, "Cap");
    EXPECT_EQ(e.latitudeDegrees, -10.0);
    EXPECT_EQ(e.latitudeMinutes, 30.0);
    EXPECT_EQ(e.latitude, -10.5);
    EXPECT_EQ(e.longitudeDegrees, -2.0);
    EXPECT_EQ(e.longitudeMinutes, 15.0);
    EXPECT_EQ(e.longitude, -2.25);
}

} // namespace

TEST(Directory, LayoutsReadAsTheRecordsTheyHold) {
    const std::string longest(254, 'n');
    const struct {
        const char* what;
        std::string content;
        int loaded;  // 0: "incorrect", the entries read before the fault kept
        Texts names; // every "Refuge" and "Cap" must hold the example's values
    } layouts[] = {
        {"the example", kRefuge + kCap, 1, {"Refuge", "Cap"}},
        // Line feeds have no meaning of their own: one record over several lines, several on
        // one; runs of delimiters separate like one, so nothing shifts the later fields.
        {"records across lines",
         "Refuge 45\n12 30.5\nN 6 5 0\nE Cap 10 30 0 S 2 15 0 O\n",
         1,
         {"Refuge", "Cap"}},
        {"a blank line", kRefuge + "\n" + kCap, 1, {"Refuge", "Cap"}},
        {"an indented line", kRefuge + "   " + kCap, 1, {"Refuge", "Cap"}},
        {"a leading line feed", "\n" + kRefuge + kCap, 1, {"Refuge", "Cap"}},
        {"blank lines and a leading space",
         " " + kRefuge + "\n\n\n" + kCap + "\n",
         1,
         {"Refuge", "Cap"}},
        {"repeated and trailing spaces",
         "Refuge  45   12 30.5 N 6 5 0 E   \r\n\r\n  Cap 10 30 0 S 2 15 0 O \n ",
         1,
         {"Refuge", "Cap"}},
        {"CR LF line ends",
         "Refuge 45 12 30.5 N 6 5 0 E\r\nCap 10 30 0 S 2 15 0 O\r\n",
         1,
         {"Refuge", "Cap"}},
        // A hand-edited file often lacks its last line feed; fewer than nine fields at the end
        // are dropped, silently.
        {"no last line feed", kRefuge + "Cap 10 30 0 S 2 15 0 O", 1, {"Refuge", "Cap"}},
        {"eight fields at the end", kRefuge + "Cap 10 30 0 S 2 15 0", 1, {"Refuge"}},
        {"eight fields and a space", kRefuge + "Cap 10 30 0 S 2 15 0 ", 1, {"Refuge"}},
        {"one field at the end", kRefuge + "Cap", 1, {"Refuge"}},
        {"an empty file", "", 1, {}},
        {"blank lines only", "\n\n  \n", 1, {}},
        // Control-Z ends the file, also in the middle of a record, and completes a ninth token.
        {"control-Z first", "\x1A" + kRefuge, 1, {}},
        {"control-Z after a record",
         kRefuge + "Cap 10 30 0 S 2 15 0 O\x1A" + "Trop 1 2 3 N 4 5 6 E\n",
         1,
         {"Refuge", "Cap"}},
        {"control-Z inside a record", kRefuge + "Cap 10 30\x1A 0 S 2 15 0 O\n", 1, {"Refuge"}},
        // 254 bytes is the longest token; a 254-byte number reads its leading digits.
        {"254-byte tokens",
         longest + " 12" + std::string(252, 'x') + " 0 0 N 0 0 0 E\n",
         1,
         {longest}},
        {"a 255-byte name", longest + "x 1 2 3 N 4 5 6 E\n", 0, {}},
        {"a 255-byte last token", kRefuge + "A 1 2 3 N 4 5 6 " + longest + "x", 0, {"Refuge"}},
        {"a 300-digit number", kRefuge + "B 1 " + std::string(300, '7'), 0, {"Refuge"}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.what);
        DirectoryFixture f;
        f.Load(layout.content);
        EXPECT_EQ(f.engine.directoryLoaded, layout.loaded);
        EXPECT_EQ(f.sink.messages, layout.loaded == 1 ? Texts{} : kIncorrect);
        EXPECT_EQ(f.Names(), layout.names);
        for (const KnownPosition& e : f.engine.directory) {
            if (e.name == "Refuge") {
                ExpectRefuge(e);
            } else if (e.name == "Cap") {
                ExpectCap(e);
            } else if (e.name == longest) {
                EXPECT_EQ(e.latitudeDegrees, 12.0); // the rest of the number token is ignored
            }
        }
    }
}

TEST(Directory, MissingFileOrFolderIsAbsent) {
    {
        DirectoryFixture f;
        f.engine.LoadPositions("ervalun.txt", &f.engine.directory);
        EXPECT_EQ(f.sink.messages, (Texts{"Fichier ervalun.txt absent"}));
        EXPECT_EQ(f.engine.directoryLoaded, 0);
        EXPECT_TRUE(f.engine.directory.empty());
        EXPECT_FALSE(std::filesystem::exists("ervalun.txt"));
    }
    {
        // A folder must not pass for an empty directory.
        DirectoryFixture f;
        std::filesystem::create_directory("ervalun.txt");
        f.engine.LoadPositions("ervalun.txt", &f.engine.directory);
        EXPECT_EQ(f.sink.messages, (Texts{"Fichier ervalun.txt absent"}));
        EXPECT_EQ(f.engine.directoryLoaded, 0);
    }
    {
        // The texts name ervalun.txt whatever the file.
        DirectoryFixture f;
        f.engine.LoadPositions("autre.txt", &f.engine.directory);
        WriteFile("autre.txt", "A 400 0 0 N 0 0 0 E\n");
        f.engine.LoadPositions("autre.txt", &f.engine.directory);
        EXPECT_EQ(f.sink.messages,
                  (Texts{"Fichier ervalun.txt absent", "Fichier ervalun.txt incorrect"}));
    }
}

TEST(Directory, NumberFieldsMustLieWithin0And360) {
    {
        DirectoryFixture f;
        f.Load("Haut 360 360 360 N 360 75 300 E\n");
        EXPECT_TRUE(f.sink.messages.empty());
        EXPECT_EQ(f.engine.directoryLoaded, 1);
        ASSERT_EQ(f.engine.directory.size(), 1u);
        EXPECT_EQ(f.engine.directory[0].latitudeSeconds, 360.0);
        EXPECT_EQ(f.engine.directory[0].longitudeMinutes, 75.0);
        EXPECT_EQ(f.engine.directory[0].longitudeSeconds, 300.0);
    }
    // Each of the six number fields in turn holds a bad value.
    for (const std::string bad : {"361", "-1", "-0.5", "360.001", "1e400", "-1e400"}) {
        for (int field = 0; field < 6; ++field) {
            std::string values[6] = {"1", "2", "3", "4", "5", "6"};
            values[field] = bad;
            const std::string record = "Mauvais " + values[0] + " " + values[1] + " " + values[2] +
                                       " N " + values[3] + " " + values[4] + " " + values[5] +
                                       " E\n";
            DirectoryFixture f;
            f.Load(kRefuge + record + kCap);
            EXPECT_EQ(f.sink.messages, kIncorrect) << record;
            EXPECT_EQ(f.engine.directoryLoaded, 0);
            // The entries completed before the stop stay; nothing after it is read.
            EXPECT_EQ(f.Names(), (Texts{"Refuge"})) << record;
        }
    }
}

TEST(Directory, TokensCutByTheReadChunksReadWhole) {
    // The reader takes the file 64 KiB at a time; tokens that straddle a chunk's end must read
    // as if whole, and the length limit must count both parts.
    constexpr std::size_t kChunk = 65536;
    {
        DirectoryFixture f;
        std::string text = "Nom" + std::string(kChunk - 3 - 2, ' ') + "12.75 0 0 N 0 0 0 E\n";
        f.Load(text);
        ASSERT_EQ(f.engine.directory.size(), 1u);
        EXPECT_EQ(f.engine.directory[0].name, "Nom");
        EXPECT_EQ(f.engine.directory[0].latitudeDegrees, 12.75);
    }
    const std::string longest(254, 'n');
    for (const std::size_t extra : {0, 1}) {
        DirectoryFixture f;
        const std::string name = longest + std::string(extra, 'x');
        f.Load(std::string(kChunk - 100, '\n') + name + " 1 2 3 N 4 5 6 E\n");
        EXPECT_EQ(f.engine.directoryLoaded, extra == 0 ? 1 : 0);
        if (extra == 0) {
            ASSERT_EQ(f.engine.directory.size(), 1u);
            EXPECT_EQ(f.engine.directory[0].name, name);
        }
    }
    {
        // Thousands of records of varied length, every one read back.
        std::string text;
        for (int i = 0; i < 6000; ++i) {
            text += "P" + std::to_string(i) + " " + std::to_string(i % 90) + " " +
                    std::to_string(i % 60) + " " + std::to_string(i % 60) + ".5 " +
                    (i % 2 != 0 ? "S " : "N ") + std::to_string(i % 180) + " 1 2 " +
                    (i % 3 != 0 ? "O" : "E") + (i % 5 == 0 ? "\r\n" : "\n");
        }
        ASSERT_GT(text.size(), 2 * kChunk);
        DirectoryFixture f;
        f.Load(text);
        EXPECT_EQ(f.engine.directoryLoaded, 1);
        ASSERT_EQ(f.engine.directory.size(), 6000u);
        for (int i = 0; i < 6000; ++i) {
            const KnownPosition& e = f.engine.directory[static_cast<std::size_t>(i)];
            ASSERT_EQ(e.name, "P" + std::to_string(i));
            ASSERT_EQ(e.latitudeDegrees, (i % 2 != 0 ? -1.0 : 1.0) * (i % 90)) << i;
            ASSERT_EQ(e.latitudeSeconds, i % 60 + 0.5) << i;
            ASSERT_EQ(std::signbit(e.longitude), i % 3 != 0) << i;
            ASSERT_EQ(e.longitudeSeconds, 2.0) << i;
        }
    }
}

TEST(Directory, LoneCarriageReturnBelongsToItsToken) {
    // It spoils a hemisphere letter, is skipped at the start of a number and kept in a name.
    DirectoryFixture g;
    g.Load("Re\rfuge \r45 12 30.5 S\r 6 5 0 O\r\r\n");
    ASSERT_EQ(g.engine.directory.size(), 1u);
    EXPECT_EQ(g.engine.directory[0].name, "Re\rfuge");
    EXPECT_EQ(g.engine.directory[0].latitudeDegrees, 45.0);
    EXPECT_GT(g.engine.directory[0].latitude, 0.0);
    EXPECT_GT(g.engine.directory[0].longitude, 0.0);
}

TEST(Directory, LenientFieldsReadAsBefore) {
    // A name with a space is two tokens and puts the record out of step.
    DirectoryFixture f;
    f.Load("Mont Blanc 45 50 0 N 6 51 0 E\n");
    EXPECT_EQ(f.engine.directoryLoaded, 1);
    ASSERT_EQ(f.engine.directory.size(), 1u);
    const KnownPosition& e = f.engine.directory[0];
    EXPECT_EQ(e.name, "Mont");
    EXPECT_EQ(e.latitudeDegrees, 0.0); // "Blanc"
    EXPECT_EQ(e.latitudeMinutes, 45.0);
    EXPECT_EQ(e.latitudeSeconds, 50.0);
    EXPECT_EQ(e.longitudeDegrees, 0.0); // "N"
    EXPECT_EQ(e.longitudeMinutes, 6.0);
    EXPECT_EQ(e.longitudeSeconds, 51.0);

    // Decimal comma, text, "W", "s" and other letters.
    DirectoryFixture g;
    g.Load("Virgule 30,5 abc 1e1x s 2.5e-1 +3 .5 W\nNord 1 0 0 N 1 0 0 E\n");
    EXPECT_EQ(g.engine.directoryLoaded, 1);
    ASSERT_EQ(g.engine.directory.size(), 2u);
    const KnownPosition& v = g.engine.directory[0];
    EXPECT_EQ(v.latitudeDegrees, 30.0);
    EXPECT_EQ(v.latitudeMinutes, 0.0);
    EXPECT_EQ(v.latitudeSeconds, 10.0);
    EXPECT_EQ(v.longitudeDegrees, 0.25);
    EXPECT_EQ(v.longitudeMinutes, 3.0);
    EXPECT_EQ(v.longitudeSeconds, 0.5);
    EXPECT_GT(v.latitude, 0.0);
    EXPECT_GT(v.longitude, 0.0);
}

TEST(Directory, NegativeZeroDegreesKeepTheirHemisphere) {
    DirectoryFixture f;
    f.Load("Zero 0 22 0 S 0 34 0 O\nMoins -0 22 0 N -0 34 0 E\nCap 10 30 0 S 2 15 0 O\n");
    ASSERT_EQ(f.engine.directoryLoaded, 1);
    ASSERT_EQ(f.engine.directory.size(), 3u);

    const KnownPosition& zero = f.engine.directory[0];
    EXPECT_TRUE(std::signbit(zero.latitudeDegrees));
    EXPECT_TRUE(std::signbit(zero.longitudeDegrees));
    EXPECT_EQ(zero.latitude, -(22.0 / 60));
    EXPECT_EQ(zero.longitude, -(34.0 / 60));

    double lonDeg = 9, lonMin = 9, lonSec = 9, latDeg = 9, latMin = 9, latSec = 9;
    int lonHem = 9, latHem = 9;
    ASSERT_EQ(f.engine.FillFromPosition(f.engine.directory, 0, lonDeg, lonMin, lonSec, latDeg,
                                        latMin, latSec, lonHem, latHem),
              1);
    EXPECT_EQ(lonHem, 1);
    EXPECT_EQ(latHem, 1);
    EXPECT_EQ(lonDeg, 0.0);
    EXPECT_FALSE(std::signbit(lonDeg));
    EXPECT_FALSE(std::signbit(latDeg));
    EXPECT_EQ(lonMin, 34.0);
    EXPECT_EQ(latMin, 22.0);

    // "-0" with "N" and "E" is north and east, in the decimals and in the form alike.
    const KnownPosition& minus = f.engine.directory[1];
    EXPECT_FALSE(std::signbit(minus.latitudeDegrees));
    EXPECT_GT(minus.latitude, 0.0);
    ASSERT_EQ(f.engine.FillFromPosition(f.engine.directory, 1, lonDeg, lonMin, lonSec, latDeg,
                                        latMin, latSec, lonHem, latHem),
              1);
    EXPECT_EQ(lonHem, 0);
    EXPECT_EQ(latHem, 0);
}

TEST(Directory, FillFromPositionWritesMagnitudesAndHemispheres) {
    DirectoryFixture f;
    f.Load(kRefuge + kCap);
    ASSERT_EQ(f.engine.directory.size(), 2u);

    double lonDeg = 0, lonMin = 0, lonSec = 0, latDeg = 0, latMin = 0, latSec = 0;
    int lonHem = 7, latHem = 7;
    ASSERT_EQ(f.engine.FillFromPosition(f.engine.directory, 1, lonDeg, lonMin, lonSec, latDeg,
                                        latMin, latSec, lonHem, latHem),
              1);
    EXPECT_EQ(lonDeg, 2.0);
    EXPECT_EQ(lonMin, 15.0);
    EXPECT_EQ(lonSec, 0.0);
    EXPECT_EQ(lonHem, 1);
    EXPECT_EQ(latDeg, 10.0);
    EXPECT_EQ(latMin, 30.0);
    EXPECT_EQ(latSec, 0.0);
    EXPECT_EQ(latHem, 1);

    ASSERT_EQ(f.engine.FillFromPosition(f.engine.directory, 0, lonDeg, lonMin, lonSec, latDeg,
                                        latMin, latSec, lonHem, latHem),
              1);
    EXPECT_EQ(lonDeg, 6.0);
    EXPECT_EQ(lonMin, 5.0);
    EXPECT_EQ(lonHem, 0);
    EXPECT_EQ(latDeg, 45.0);
    EXPECT_EQ(latSec, 30.5);
    EXPECT_EQ(latHem, 0);

    // An index outside the list writes nothing.
    for (const int index :
         {-1, 2, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        double a = 8, b = 8, c = 8, d = 8, e = 8, g = 8;
        int h1 = 8, h2 = 8;
        EXPECT_EQ(f.engine.FillFromPosition(f.engine.directory, index, a, b, c, d, e, g, h1, h2),
                  0);
        EXPECT_TRUE(a == 8 && b == 8 && c == 8 && d == 8 && e == 8 && g == 8 && h1 == 8 && h2 == 8);
    }
}

TEST(Directory, DuplicatesStayAndTheOrderIsByBytes) {
    DirectoryFixture f;
    f.Load("alpha 1 0 0 N 1 0 0 E\nPortail 2 0 0 N 2 0 0 E\n\xC9mile 3 0 0 N 3 0 0 E\n"
           "Bravo 4 0 0 N 4 0 0 E\nEric 5 0 0 N 5 0 0 E\nPort 6 0 0 N 6 0 0 E\n"
           "Bravo 7 0 0 N 7 0 0 E\n");
    ASSERT_EQ(f.engine.directoryLoaded, 1);
    SortByName(f.engine.directory);
    EXPECT_EQ(f.Names(), (Texts{"Bravo", "Bravo", "Eric", "Port", "Portail", "alpha", "\xC9mile"}));
    // Each entry kept its own coordinates through the sort.
    EXPECT_EQ(f.engine.directory[3].latitudeDegrees, 6.0);
    EXPECT_EQ(f.engine.directory[6].longitude, 3.0);
}

TEST(Directory, FirstHemisphereMistakeIsKeptWithItsLine) {
    // Well-formed files, a record over several lines included, note nothing.
    for (const std::string& content :
         {kRefuge + kCap, std::string("Refuge 45\n12 30.5\r\nN 6 5 0\nE\n")}) {
        DirectoryFixture f;
        f.Load(content);
        EXPECT_FALSE(f.engine.directoryMistake.has_value()) << content;
    }

    // An English "W" is still read as east, as before, and the first wrong letter is noted
    // with its line; the reader shows nothing itself.
    DirectoryFixture w;
    w.Load(kRefuge + "\r\n\nOuest 45 0 0 N 1 0 0 W\r\nSud 45 0 0 s 1 0 0 E\n");
    EXPECT_TRUE(w.sink.messages.empty());
    EXPECT_EQ(w.engine.directoryLoaded, 1);
    ASSERT_EQ(w.engine.directory.size(), 3u);
    EXPECT_GT(w.engine.directory[1].longitude, 0.0);
    ASSERT_TRUE(w.engine.directoryMistake.has_value());
    EXPECT_EQ(w.engine.directoryMistake->line, 4u);
    EXPECT_EQ(w.engine.directoryMistake->token, "W");
    EXPECT_TRUE(w.engine.directoryMistake->longitude);
    EXPECT_EQ(w.engine.directoryMistake->lineText, "Ouest 45 0 0 N 1 0 0 W");
    // Loading again starts afresh.
    w.Load(kRefuge);
    EXPECT_FALSE(w.engine.directoryMistake.has_value());

    // A name with a space shifts the fields: the latitude letter field then holds a number.
    // Lines are counted across the reader's chunks; the mistake is kept when a value out of
    // range then makes the file incorrect.
    std::string big;
    while (big.size() < 3 * ervalun::TextReader::kChunkSize) {
        big += kRefuge;
    }
    const std::size_t line = big.size() / kRefuge.size() + 1;
    DirectoryFixture s;
    s.Load(big + "Col du Midi 45 52 44 N 6 53 15 E\nX 400 0 0 N 0 0 0 E\n");
    EXPECT_EQ(s.sink.messages, kIncorrect);
    ASSERT_TRUE(s.engine.directoryMistake.has_value());
    EXPECT_EQ(s.engine.directoryMistake->line, line);
    EXPECT_EQ(s.engine.directoryMistake->token, "52");
    EXPECT_FALSE(s.engine.directoryMistake->longitude);
    EXPECT_EQ(s.engine.directoryMistake->lineText, "Col du Midi 45 52 44 N 6 53 15 E");
}

TEST(Directory, EveryLoadedEntryHoldsItsInvariant) {
    // Random files made of the bytes that matter to the reader: whatever they hold, each entry
    // read has its values in range and decimals that agree with the degrees and their sign.
    std::mt19937 rng(7);
    // Small digits and many spaces, so that many records complete within 0 to 360.
    const std::string alphabet = "0123012301239.-+e      \n\n\r\tSSOONEx";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 1500);
    ScopedWorkDir dir;
    std::size_t entries = 0;
    for (int round = 0; round < 100; ++round) {
        std::string text;
        const int n = length(rng);
        for (int k = 0; k < n; ++k) {
            text.push_back(alphabet[pick(rng)]);
        }
        if (round % 4 == 0) {
            text.insert(text.size() / 2, "\x1A");
        }
        WriteFile("ervalun.txt", text);
        CapturingSink sink;
        TriangulationEngine engine;
        engine.messages = &sink;
        engine.LoadPositions("ervalun.txt", &engine.directory);
        if (engine.directoryLoaded == 1) {
            EXPECT_TRUE(sink.messages.empty());
        } else {
            EXPECT_EQ(sink.messages, kIncorrect);
        }
        entries += engine.directory.size();
        for (const KnownPosition& e : engine.directory) {
            EXPECT_FALSE(e.name.empty());
            for (const double v :
                 {e.latitudeMinutes, e.latitudeSeconds, e.longitudeMinutes, e.longitudeSeconds}) {
                EXPECT_TRUE(v >= 0.0 && v <= 360.0 && !std::signbit(v)) << v;
            }
            double lat = 0.0;
            TriangulationEngine::DmsToDecimal(std::fabs(e.latitudeDegrees), e.latitudeMinutes,
                                              e.latitudeSeconds, lat);
            EXPECT_EQ(e.latitude, std::signbit(e.latitudeDegrees) ? -lat : lat);
            EXPECT_EQ(std::signbit(e.latitude), std::signbit(e.latitudeDegrees));
            double lon = 0.0;
            TriangulationEngine::DmsToDecimal(std::fabs(e.longitudeDegrees), e.longitudeMinutes,
                                              e.longitudeSeconds, lon);
            EXPECT_EQ(e.longitude, std::signbit(e.longitudeDegrees) ? -lon : lon);
            EXPECT_EQ(std::signbit(e.longitude), std::signbit(e.longitudeDegrees));
        }
    }
    // The files must have made entries, or nothing was checked.
    EXPECT_GT(entries, 100u);
}
