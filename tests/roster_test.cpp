// The member roster "operateurs.txt" as the engine loads it: one member per line, the whole
// line as the name, and the messages of a file that is missing or incorrect.
#include "engine/triangulation_engine.h"
#include "tests/support/capturing_sink.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::CapturingSink;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

using Names = std::vector<std::string>;

// An engine that sends its messages to a capturing sink, loading from "operateurs.txt".
struct RosterFixture {
    RosterFixture() { engine.messages = &sink; }
    void Load(const std::string& fileName = "operateurs.txt") {
        engine.LoadRoster(fileName, &engine.roster);
    }
    Names Read() const {
        Names names;
        for (const Member& m : engine.roster) {
            names.push_back(m.name);
        }
        return names;
    }
    ScopedWorkDir dir;
    CapturingSink sink;
    TriangulationEngine engine;
};

} // namespace

TEST(Roster, FilesReadAsTheNamesTheyHold) {
    const std::string longest(254, 'n');
    const struct {
        const char* what;
        std::string content;
        int loaded;  // 0: "incorrect", the names read before the fault kept
        Names names; // in file order, none with a role
    } files[] = {
        {"one member per line",
         "Alpha\nBravo\nCharlie Delta\n",
         1,
         {"Alpha", "Bravo", "Charlie Delta"}},
        // Spaces, tabs, blank lines and bytes are kept as read; nothing is trimmed.
        {"spaces, tabs and blank lines",
         " Alpha \n\tBravo\t\nAlpha\nAlpha \n\n\n\xC9mile\n",
         1,
         {" Alpha ", "\tBravo\t", "Alpha", "Alpha ", "", "", "\xC9mile"}},
        {"CR LF line ends",
         "Alpha\r\nBravo Charlie\r\n\r\nDelta\r\n",
         1,
         {"Alpha", "Bravo Charlie", "", "Delta"}},
        {"lone carriage returns", "Al\rpha\nBravo\r\r\n", 1, {"Al\rpha", "Bravo\r"}},
        {"control-Z", "Alpha\nBra\x1Avo\nCharlie\n", 1, {"Alpha", "Bra"}},
        {"control-Z first",
         "\x1A"
         "Alpha\n",
         1,
         {}},
        {"no last line feed", "Alpha\nBravo", 1, {"Alpha", "Bravo"}},
        {"a lone carriage return last", "Alpha\r\nBravo\r", 1, {"Alpha", "Bravo\r"}},
        {"an empty file", "", 1, {}},
        // 254 bytes is the longest name, with or without a line feed, or with a CR LF.
        {"254-byte names", "Alpha\n" + longest + "\n" + longest, 1, {"Alpha", longest, longest}},
        {"a 254-byte name and CR LF", longest + "\r\n", 1, {longest}},
        {"255 bytes and a line feed",
         "Alpha\nBravo\n" + longest + "x\nCharlie\n",
         0,
         {"Alpha", "Bravo"}},
        {"255 bytes last", "Alpha\nBravo\n" + longest + "x", 0, {"Alpha", "Bravo"}},
        {"255 bytes and CR LF",
         "Alpha\nBravo\n" + longest + "x\r\nCharlie\n",
         0,
         {"Alpha", "Bravo"}},
        {"600 bytes",
         "Alpha\nBravo\n" + std::string(600, 'n') + "\nCharlie\n",
         0,
         {"Alpha", "Bravo"}},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        RosterFixture f;
        WriteFile("operateurs.txt", file.content);
        f.Load();
        EXPECT_EQ(f.engine.rosterLoaded, file.loaded);
        EXPECT_EQ(f.sink.messages,
                  file.loaded == 1 ? Names{} : Names{"Fichier operateurs.txt incorrect"});
        EXPECT_EQ(f.Read(), file.names);
        for (const Member& m : f.engine.roster) {
            EXPECT_EQ(m.role, -1);
        }
        EXPECT_TRUE(f.engine.operators.empty());
        EXPECT_TRUE(f.engine.participants.empty());
    }
}

TEST(Roster, MissingFileOrFolderIsAbsent) {
    {
        RosterFixture f;
        f.Load();
        EXPECT_EQ(f.sink.messages, (Names{"Fichier operateurs.txt absent"}));
        EXPECT_EQ(f.engine.rosterLoaded, 0);
        EXPECT_TRUE(f.engine.roster.empty());
        EXPECT_FALSE(std::filesystem::exists("operateurs.txt"));
    }
    {
        // A folder of that name cannot be read as a roster: it must not pass for an empty one.
        RosterFixture f;
        std::filesystem::create_directory("operateurs.txt");
        f.Load();
        EXPECT_EQ(f.sink.messages, (Names{"Fichier operateurs.txt absent"}));
        EXPECT_EQ(f.engine.rosterLoaded, 0);
    }
    {
        // The texts name operateurs.txt whatever the file.
        RosterFixture f;
        f.Load("autre.txt");
        EXPECT_EQ(f.sink.messages, (Names{"Fichier operateurs.txt absent"}));
        WriteFile("autre.txt", std::string(300, 'x'));
        f.Load("autre.txt");
        EXPECT_EQ(f.sink.messages,
                  (Names{"Fichier operateurs.txt absent", "Fichier operateurs.txt incorrect"}));
    }
}

TEST(Roster, DuplicatesStayAndSortByBytes) {
    RosterFixture f;
    WriteFile("operateurs.txt", "alpha\nPortail\n\xC9mile\nBravo\nEric\nPort\nBravo\n");
    f.Load();
    ASSERT_EQ(f.engine.rosterLoaded, 1);
    SortByName(f.engine.roster);
    EXPECT_EQ(f.Read(), (Names{"Bravo", "Bravo", "Eric", "Port", "Portail", "alpha", "\xC9mile"}));
}
