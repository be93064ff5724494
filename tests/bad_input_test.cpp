// Damaged, hostile or impossible files in place of the three inputs and the two outputs. In
// every case the program must go on: the reader's own message (or silence), the earlier log
// lines kept, and "map.html" either the earlier page or a whole new one.
#include "engine/calculation.h"

#include "output/map_page.h"
#include "tests/support/capturing_sink.h"
#include "tests/support/samples.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

using ervalun::kCalibrationFileName;
using ervalun::kDirectoryFileName;
using ervalun::kLogFileName;
using ervalun::kMapPageFileName;
using ervalun::kRosterFileName;
using testing_support::CapturingSink;
using testing_support::FilesIn;
using testing_support::Lines;
using testing_support::OnTheMap;
using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kHundredMegabytes = 100u * 1024u * 1024u;

const char* const kEarlierLog = "Alpha;06/03/2002;09:05:03;earlier line one\n"
                                "Bravo;07/03/2002;10:00:00;earlier line two\n";
const char* const kOldPage = "<html>page of an earlier calculation</html>\n";

using Names = std::vector<std::string>;

// head, then filler bytes up to 100 MB, then tail. A NUL filler is left to the file system as
// a hole, so the file takes no time to make; any other filler is written.
void WriteLarge(const fs::path& path, const std::string& head, char filler,
                const std::string& tail) {
    WriteFile(path, head);
    const std::uintmax_t fillTo = kHundredMegabytes - tail.size();
    if (filler == '\0') {
        fs::resize_file(path, fillTo);
    } else {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        ASSERT_NE(file, nullptr);
        const std::string block(1024 * 1024, filler);
        for (std::uintmax_t size = head.size(); size < fillTo;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uintmax_t>(block.size(), fillTo - size));
            ASSERT_EQ(std::fwrite(block.data(), 1, n, file), n);
            size += n;
        }
        std::fclose(file);
    }
    std::FILE* file = std::fopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fwrite(tail.data(), 1, tail.size(), file);
    std::fclose(file);
    ASSERT_EQ(fs::file_size(path), kHundredMegabytes);
}

// A named pipe with nobody at the other end: opening it would wait for ever.
void MakeFifo(const fs::path& path) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
}

std::string RandomBytes(std::uint32_t seed, std::size_t size) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(byte(gen));
    }
    return out;
}

// Runs one calculation over an earlier log and an earlier page, and checks what any run must
// leave: the earlier log lines and one more, and either the earlier page or a whole new one.
// Returns the output and whether the page was replaced.
CalculationOutput CalculateOverEarlierFiles(TriangulationEngine& engine, bool& pageReplaced) {
    WriteFile(kLogFileName, kEarlierLog);
    WriteFile(kMapPageFileName, kOldPage);
    const CalculationOutput out = RunCalculation(OnTheMap(), engine);

    const std::string log = ReadFile(kLogFileName);
    EXPECT_EQ(log.substr(0, std::string(kEarlierLog).size()), kEarlierLog);
    EXPECT_EQ(Lines(log).size(), 3u);
    const std::string page = ReadFile(kMapPageFileName);
    pageReplaced = page != kOldPage;
    if (pageReplaced) {
        EXPECT_EQ(Lines(page).size(), 18u);
        EXPECT_EQ(page.rfind("<!DOCTYPE html", 0), 0u);
        EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
    }
    // No temporary page is left behind.
    for (const auto& entry : fs::directory_iterator(".")) {
        EXPECT_EQ(entry.path().filename().string().find("map.html.tmp"), std::string::npos);
    }
    return out;
}

// One damaged reference file: how to make it, and what loading it must give.
struct BadFile {
    std::string what;
    std::function<void(const fs::path&)> make;
    // The message expected, or none; unset: either none or the "incorrect" one.
    std::optional<std::string> message;
    // The names expected in the list after the load, when they are known.
    std::optional<Names> names;
};

const std::string kNoMessage;

template <typename Load>
void CheckReferenceFile(const char* fileName, const std::string& incorrect,
                        const std::vector<BadFile>& cases, Load load) {
    for (const BadFile& c : cases) {
        SCOPED_TRACE(std::string(fileName) + ": " + c.what);
        ScopedWorkDir dir;
        c.make(fileName);
        CapturingSink sink;
        TriangulationEngine engine;
        engine.messages = &sink;
        const auto [loaded, names] = load(engine);

        if (c.message.has_value()) {
            if (c.message->empty()) {
                EXPECT_TRUE(sink.messages.empty());
            } else {
                EXPECT_EQ(sink.messages, Names{*c.message});
            }
            EXPECT_EQ(loaded, c.message->empty() ? 1 : 0);
        } else if (loaded == 1) {
            EXPECT_TRUE(sink.messages.empty());
        } else {
            EXPECT_EQ(sink.messages, Names{incorrect});
        }
        if (c.names.has_value()) {
            EXPECT_EQ(names, *c.names);
        }

        // The program goes on: a calculation still logs, and the map page follows the
        // calibration alone. A directory that failed must not name the result.
        WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
        bool replaced = false;
        const CalculationOutput out = CalculateOverEarlierFiles(engine, replaced);
        EXPECT_TRUE(replaced);
        if (engine.directoryLoaded == 0) {
            EXPECT_EQ(out.nearestName, "RESULTAT");
        }
    }
}

Names DirectoryNames(const TriangulationEngine& engine) {
    Names names;
    for (const KnownPosition& k : engine.directory) {
        names.push_back(k.name.str());
    }
    return names;
}

Names RosterNames(const TriangulationEngine& engine) {
    Names names;
    for (const Member& m : engine.roster) {
        names.push_back(m.name);
    }
    return names;
}

} // namespace

TEST(BadInput, PositionDirectory) {
    const std::string absent = "Fichier ervalun.txt absent";
    const std::string incorrect = "Fichier ervalun.txt incorrect";
    const std::string alpha = "Alpha 45 50 0 N 6 50 0 E\n";
    const std::string bravo = "Bravo 45 55 0 N 6 55 0 E\n";
    const std::string nul("Al\0pha", 6);
    const std::vector<BadFile> cases = {
        {"missing", [](const fs::path&) {}, absent, Names{}},
        {"empty", [](const fs::path& p) { WriteFile(p, ""); }, kNoMessage, Names{}},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, absent, Names{}},
        {"a named pipe", MakeFifo, absent, Names{}},
        // Read through to the end: a hundred megabytes of line feeds between two records.
        {"100 MB of line feeds", [&](const fs::path& p) { WriteLarge(p, alpha, '\n', bravo); },
         kNoMessage, Names{"Alpha", "Bravo"}},
        {"100 MB ending in NUL bytes", [&](const fs::path& p) { WriteLarge(p, alpha, '\0', ""); },
         incorrect, Names{"Alpha"}},
        {"a 10,000-byte token",
         [&](const fs::path& p) { WriteFile(p, alpha + std::string(10000, 'x') + " " + bravo); },
         incorrect, Names{"Alpha"}},
        {"NUL bytes in a name",
         [&](const fs::path& p) { WriteFile(p, nul + " 45 50 0 N 6 50 0 E\n" + bravo); },
         kNoMessage, Names{nul, "Bravo"}},
        {"a 0x1A byte", [&](const fs::path& p) { WriteFile(p, alpha + "\x1a" + bravo); },
         kNoMessage, Names{"Alpha"}},
        {"a few carriage returns only",
         [](const fs::path& p) { WriteFile(p, std::string(10, '\r')); }, kNoMessage, Names{}},
        {"300 carriage returns only",
         [](const fs::path& p) { WriteFile(p, std::string(300, '\r')); }, incorrect, Names{}},
        {"random bytes", [](const fs::path& p) { WriteFile(p, RandomBytes(20020306, 65536)); },
         std::nullopt, std::nullopt},
        {"random bytes and delimiters",
         [](const fs::path& p) {
             std::string bytes = RandomBytes(7, 65536);
             for (std::size_t i = 0; i < bytes.size(); i += 7) {
                 bytes[i] = i % 3 == 0 ? '\n' : ' ';
             }
             WriteFile(p, bytes);
         },
         std::nullopt, std::nullopt},
    };
    CheckReferenceFile(kDirectoryFileName, incorrect, cases, [](TriangulationEngine& e) {
        e.LoadPositions(kDirectoryFileName, &e.directory);
        return std::make_pair(e.directoryLoaded, DirectoryNames(e));
    });
}

TEST(BadInput, MemberRoster) {
    const std::string absent = "Fichier operateurs.txt absent";
    const std::string incorrect = "Fichier operateurs.txt incorrect";
    const std::string nul("Al\0pha", 6);
    const std::vector<BadFile> cases = {
        {"missing", [](const fs::path&) {}, absent, Names{}},
        {"empty", [](const fs::path& p) { WriteFile(p, ""); }, kNoMessage, Names{}},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, absent, Names{}},
        {"a named pipe", MakeFifo, absent, Names{}},
        // Every byte belongs to a name, so a hundred megabytes can only hold a line far too
        // long: the load stops at its 255th byte, without reading the rest.
        {"100 MB ending in NUL bytes",
         [](const fs::path& p) { WriteLarge(p, "Alpha\nBravo\n", '\0', "Charlie\n"); }, incorrect,
         Names{"Alpha", "Bravo"}},
        {"a 10,000-byte line",
         [](const fs::path& p) { WriteFile(p, "Alpha\n" + std::string(10000, 'x') + "\nBravo\n"); },
         incorrect, Names{"Alpha"}},
        {"NUL bytes in a name", [&](const fs::path& p) { WriteFile(p, nul + "\nBravo\n"); },
         kNoMessage, Names{nul, "Bravo"}},
        {"a 0x1A byte",
         [](const fs::path& p) {
             WriteFile(p, "Alpha\n\x1a"
                          "Bravo\n");
         },
         kNoMessage, Names{"Alpha"}},
        {"a few carriage returns only",
         [](const fs::path& p) { WriteFile(p, std::string(10, '\r')); }, kNoMessage,
         Names{std::string(10, '\r')}},
        {"300 carriage returns only",
         [](const fs::path& p) { WriteFile(p, std::string(300, '\r')); }, incorrect, Names{}},
        {"random bytes", [](const fs::path& p) { WriteFile(p, RandomBytes(20020306, 65536)); },
         std::nullopt, std::nullopt},
    };
    CheckReferenceFile(kRosterFileName, incorrect, cases, [](TriangulationEngine& e) {
        e.LoadRoster(kRosterFileName, &e.roster);
        return std::make_pair(e.rosterLoaded, RosterNames(e));
    });
}

TEST(BadInput, MapCalibration) {
    const std::string good = testing_support::kExampleCalibration;
    struct Case {
        std::string what;
        std::function<void(const fs::path&)> make;
        int usable;
    };
    const std::vector<Case> cases = {
        {"missing", [](const fs::path&) {}, 0},
        {"empty", [](const fs::path& p) { WriteFile(p, ""); }, 0},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, 0},
        {"a named pipe", MakeFifo, 0},
        // Read through a hundred megabytes of blanks to the 24 tokens at the end.
        {"100 MB of blanks before the tokens",
         [&](const fs::path& p) { WriteLarge(p, "", ' ', good); }, 1},
        {"100 MB of NUL bytes after the tokens",
         [&](const fs::path& p) { WriteLarge(p, good, '\0', ""); }, 1},
        {"100 MB of NUL bytes", [](const fs::path& p) { WriteLarge(p, "", '\0', ""); }, 0},
        {"a 10,000-byte label",
         [&](const fs::path& p) {
             WriteFile(p, std::string(10000, 'x') + " 800" + good.substr(11));
         },
         0},
        {"a NUL byte in a number",
         [](const fs::path& p) {
             WriteFile(p, std::string("largeur 8\0"
                                      "00",
                                      12) +
                              std::string(testing_support::kExampleCalibration).substr(11));
         },
         0},
        {"a 0x1A byte in a number",
         [](const fs::path& p) {
             WriteFile(p, "largeur 800\nhauteur 720\nouest 6 40 0 E\nnord 46\x1a 3 0 N\n"
                          "est 7 4 0 E\nsud 45 48 0 N\n");
         },
         0},
        {"carriage returns only", [](const fs::path& p) { WriteFile(p, std::string(300, '\r')); },
         0},
        {"carriage returns as line ends",
         [](const fs::path& p) {
             WriteFile(p, "largeur 800\rhauteur 720\rouest 6 40 0 E\rnord 46 3 0 N\r"
                          "est 7 4 0 E\rsud 45 48 0 N\r");
         },
         1},
        {"random bytes", [](const fs::path& p) { WriteFile(p, RandomBytes(20020306, 65536)); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedWorkDir dir;
        c.make(kCalibrationFileName);
        CapturingSink sink;
        TriangulationEngine engine;
        engine.messages = &sink;
        bool replaced = false;
        CalculateOverEarlierFiles(engine, replaced);
        EXPECT_EQ(engine.calibrationLoaded, c.usable);
        EXPECT_EQ(replaced, c.usable == 1);
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST(BadInput, OutputsThatCannotBeWritten) {
    {
        SCOPED_TRACE("a folder in place of the log");
        ScopedWorkDir dir;
        fs::create_directory(kLogFileName);
        WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
        TriangulationEngine engine;
        const CalculationOutput out = RunCalculation(OnTheMap(), engine);
        EXPECT_EQ(out.resLonMin, 52.0);
        EXPECT_TRUE(fs::is_directory(kLogFileName));
        EXPECT_TRUE(fs::is_empty(kLogFileName));
        EXPECT_EQ(Lines(ReadFile(kMapPageFileName)).size(), 18u);
    }
    {
        SCOPED_TRACE("a named pipe in place of the log");
        ScopedWorkDir dir;
        MakeFifo(kLogFileName);
        WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
        TriangulationEngine engine;
        RunCalculation(OnTheMap(), engine);
        EXPECT_EQ(fs::status(kLogFileName).type(), fs::file_type::fifo);
        EXPECT_EQ(Lines(ReadFile(kMapPageFileName)).size(), 18u);
    }
    if (fs::exists("/dev/full")) {
        SCOPED_TRACE("a log that links to a full device");
        ScopedWorkDir dir;
        fs::create_symlink("/dev/full", kLogFileName);
        WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
        TriangulationEngine engine;
        RunCalculation(OnTheMap(), engine);
        RunCalculation(OnTheMap(), engine);
        EXPECT_TRUE(fs::is_symlink(kLogFileName));
        EXPECT_EQ(Lines(ReadFile(kMapPageFileName)).size(), 18u);
    }
    {
        SCOPED_TRACE("a folder in place of the page");
        ScopedWorkDir dir;
        fs::create_directory(kMapPageFileName);
        WriteFile(fs::path(kMapPageFileName) / "inside.txt", "kept");
        WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
        WriteFile(kLogFileName, kEarlierLog);
        TriangulationEngine engine;
        RunCalculation(OnTheMap(), engine);
        EXPECT_TRUE(fs::is_directory(kMapPageFileName));
        EXPECT_EQ(ReadFile(fs::path(kMapPageFileName) / "inside.txt"), "kept");
        const std::string log = ReadFile(kLogFileName);
        EXPECT_EQ(log.substr(0, std::string(kEarlierLog).size()), kEarlierLog);
        EXPECT_EQ(Lines(log).size(), 3u);
        // The temporary page was removed after the failed rename.
        EXPECT_EQ(FilesIn("."), (Names{kCalibrationFileName, kLogFileName, kMapPageFileName}));
    }
    {
        SCOPED_TRACE("a page that links to a full device stays a link, and nothing is written");
        ScopedWorkDir dir;
        if (fs::exists("/dev/full")) {
            fs::create_symlink("/dev/full", kMapPageFileName);
            WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
            TriangulationEngine engine;
            RunCalculation(OnTheMap(), engine);
            EXPECT_TRUE(fs::is_symlink(kMapPageFileName));
            EXPECT_TRUE(fs::is_character_file(kMapPageFileName));
            EXPECT_EQ(Lines(ReadFile(kLogFileName)).size(), 1u);
            EXPECT_EQ(FilesIn("."), (Names{kCalibrationFileName, kLogFileName, kMapPageFileName}));
        }
    }
}
