#include "engine/triangulation_engine.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::CapturingSink;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

// An engine that sends its messages to a capturing sink, loading from "operateurs.txt".
struct RosterFixture {
    RosterFixture() { engine.messages = &sink; }
    void Load(const std::string& fileName = "operateurs.txt") {
        engine.LoadRoster(fileName, &engine.roster);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Member& m : engine.roster) {
            names.push_back(m.name);
        }
        return names;
    }
    ScopedWorkDir dir;
    CapturingSink sink;
    TriangulationEngine engine;
};

using Names = std::vector<std::string>;

} // namespace

TEST(Roster, OneMemberPerLineWithTheWholeLineAsName) {
    RosterFixture f;
    WriteFile("operateurs.txt", "Alpha\nBravo\nCharlie Delta\n");
    f.Load();
    EXPECT_TRUE(f.sink.messages.empty());
    EXPECT_EQ(f.engine.rosterLoaded, 1);
    EXPECT_EQ(f.Names(), (Names{"Alpha", "Bravo", "Charlie Delta"}));
    for (const Member& m : f.engine.roster) {
        EXPECT_EQ(m.role, -1);
    }
    EXPECT_TRUE(f.engine.operators.empty());
    EXPECT_TRUE(f.engine.participants.empty());
}

TEST(Roster, SpacesTabsBlankLinesAndBytesAreKeptAsRead) {
    RosterFixture f;
    WriteFile("operateurs.txt", " Alpha \n\tBravo\t\nAlpha\nAlpha \n\n\n\xC9mile\n");
    f.Load();
    EXPECT_EQ(f.engine.rosterLoaded, 1);
    EXPECT_EQ(f.Names(), (Names{" Alpha ", "\tBravo\t", "Alpha", "Alpha ", "", "", "\xC9mile"}));
}

TEST(Roster, CarriageReturnLineFeedReadsLikeLineFeed) {
    RosterFixture f;
    WriteFile("operateurs.txt", "Alpha\r\nBravo Charlie\r\n\r\nDelta\r\n");
    f.Load();
    EXPECT_EQ(f.engine.rosterLoaded, 1);
    EXPECT_EQ(f.Names(), (Names{"Alpha", "Bravo Charlie", "", "Delta"}));

    // A lone carriage return is a byte of the name.
    RosterFixture g;
    WriteFile("operateurs.txt", "Al\rpha\nBravo\r\r\n");
    g.Load();
    EXPECT_EQ(g.Names(), (Names{"Al\rpha", "Bravo\r"}));
}

TEST(Roster, ControlZEndsTheFile) {
    RosterFixture f;
    WriteFile("operateurs.txt", "Alpha\nBra\x1Avo\nCharlie\n");
    f.Load();
    EXPECT_EQ(f.engine.rosterLoaded, 1);
    EXPECT_EQ(f.Names(), (Names{"Alpha", "Bra"}));
}

TEST(Roster, LastLineWithoutLineFeedIsKept) {
    RosterFixture f;
    WriteFile("operateurs.txt", "Alpha\nBravo");
    f.Load();
    EXPECT_TRUE(f.sink.messages.empty());
    EXPECT_EQ(f.engine.rosterLoaded, 1);
    EXPECT_EQ(f.Names(), (Names{"Alpha", "Bravo"}));

    RosterFixture g;
    WriteFile("operateurs.txt", "Alpha\r\nBravo\r");
    g.Load();
    EXPECT_EQ(g.Names(), (Names{"Alpha", "Bravo\r"}));
}

TEST(Roster, NamesOf254BytesLoadAnd255AreRefused) {
    const std::string longest(254, 'n');
    {
        RosterFixture f;
        WriteFile("operateurs.txt", "Alpha\n" + longest + "\n" + longest);
        f.Load();
        EXPECT_TRUE(f.sink.messages.empty());
        EXPECT_EQ(f.engine.rosterLoaded, 1);
        EXPECT_EQ(f.Names(), (Names{"Alpha", longest, longest}));
    }
    // 255 bytes with or without a line feed after them; 254 and a CR LF is still 254.
    for (const std::string& tail :
         {longest + "x\n", longest + "x", longest + "x\r\n", std::string(600, 'n') + "\n"}) {
        RosterFixture f;
        WriteFile("operateurs.txt", "Alpha\nBravo\n" + tail + "Charlie\n");
        f.Load();
        EXPECT_EQ(f.sink.messages, (Names{"Fichier operateurs.txt incorrect"}));
        EXPECT_EQ(f.engine.rosterLoaded, 0);
        // Those before the long line stay, but the flag keeps them from use.
        EXPECT_EQ(f.Names(), (Names{"Alpha", "Bravo"}));
    }
    {
        RosterFixture f;
        WriteFile("operateurs.txt", longest + "\r\n");
        f.Load();
        EXPECT_EQ(f.engine.rosterLoaded, 1);
        EXPECT_EQ(f.Names(), (Names{longest}));
    }
}

TEST(Roster, MissingFolderAndEmptyFiles) {
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
    for (const std::string& content : {std::string(), std::string("\x1A"
                                                                  "Alpha\n")}) {
        RosterFixture f;
        WriteFile("operateurs.txt", content);
        f.Load();
        EXPECT_TRUE(f.sink.messages.empty());
        EXPECT_EQ(f.engine.rosterLoaded, 1);
        EXPECT_TRUE(f.engine.roster.empty());
    }
}

TEST(Roster, DuplicatesStayAndSortByBytes) {
    RosterFixture f;
    WriteFile("operateurs.txt", "alpha\nPortail\n\xC9mile\nBravo\nEric\nPort\nBravo\n");
    f.Load();
    ASSERT_EQ(f.engine.rosterLoaded, 1);
    SortByName(f.engine.roster);
    EXPECT_EQ(f.Names(), (Names{"Bravo", "Bravo", "Eric", "Port", "Portail", "alpha", "\xC9mile"}));
}
