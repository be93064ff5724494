#include "output/map_page.h"

#include "engine/triangulation_engine.h"
#include "tests/support/processes.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using testing_support::FilesIn;
using testing_support::GiveTo;
using testing_support::kCannotRunUnprivileged;
using testing_support::Lines;
using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

MapCorner Corner(double lonDeg, double lonMin, double lonSec, int west, double latDeg,
                 double latMin, double latSec, int south) {
    MapCorner c;
    c.longitudeDegrees = lonDeg;
    c.longitudeMinutes = lonMin;
    c.longitudeSeconds = lonSec;
    c.west = west;
    c.latitudeDegrees = latDeg;
    c.latitudeMinutes = latMin;
    c.latitudeSeconds = latSec;
    c.south = south;
    return c;
}

// A point given in degrees, minutes and seconds, kept as the signed decimals it is placed by.
GeoPosition At(double lonDeg, double lonMin, double lonSec, int west, double latDeg, double latMin,
               double latSec, int south) {
    GeoPosition p;
    TriangulationEngine::DmsToDecimal(lonDeg, lonMin, lonSec, p.longitude);
    TriangulationEngine::DmsToDecimal(latDeg, latMin, latSec, p.latitude);
    if (west != 0) {
        p.longitude = -p.longitude;
    }
    if (south != 0) {
        p.latitude = -p.latitude;
    }
    return p;
}

GeoPosition Decimal(double lon, double lat) {
    GeoPosition p;
    p.longitude = lon;
    p.latitude = lat;
    return p;
}

// The example map: 640 x 480, from 1 30 W / 48 10 N to 0 50 E / 47 40 N.
const MapCorner kTopLeft = Corner(1, 30, 0, 1, 48, 10, 0, 0);
const MapCorner kBottomRight = Corner(0, 50, 0, 0, 47, 40, 0, 0);

struct Offsets {
    int v[6] = {-1, -2, -3, -4, -5, -6};
};

int Place(const GeoPosition& a, const GeoPosition& b, const GeoPosition& r, int width, int height,
          const MapCorner& tl, const MapCorner& br, Offsets& o) {
    TriangulationEngine engine;
    const int placed = engine.PlaceMarkers(a, b, r, width, height, o.v[0], o.v[1], o.v[2], o.v[3],
                                           o.v[4], o.v[5], tl, br);
    // The library's own face places the same markers, or refuses alike.
    const auto markers =
        ervalun::PlaceMarkers({width, height, tl, br}, {a.longitude, a.latitude},
                              {b.longitude, b.latitude}, {r.longitude, r.latitude});
    EXPECT_EQ(markers.has_value(), placed == 1);
    if (markers && placed == 1) {
        EXPECT_EQ(
            (std::vector<int>{markers->first.left, markers->first.top, markers->second.left,
                              markers->second.top, markers->result.left, markers->result.top}),
            (std::vector<int>(o.v, o.v + 6)));
    }
    return placed;
}

const std::string kPage = ervalun::FormatMapPage(640, 480, {{1, 2}, {3, 4}, {5, 6}});

int WritePage(const std::string& name = "map.html") {
    TriangulationEngine engine;
    return engine.WriteMapPage(name, 640, 480, 1, 2, 3, 4, 5, 6);
}

// Permission bits, set-id and sticky bits of what a path names (links followed).
unsigned ModeOf(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0 ? st.st_mode & 07777u : 0xFFFFu;
}

void SetMode(const char* path, mode_t mode) {
    ASSERT_EQ(chmod(path, mode), 0) << path;
}

#define SKIP_WHEN_UNPRIVILEGED_IMPOSSIBLE(rc)                                                      \
    if ((rc) == kCannotRunUnprivileged) {                                                          \
        GTEST_SKIP() << "cannot run as an unprivileged user here; permissions NOT checked";        \
    }

} // namespace

TEST(MapPage, WorkedExampleMarkers) {
    Offsets o;
    ASSERT_EQ(Place(At(0, 45, 0, 1, 47, 58, 10, 0), At(1, 30, 0, 1, 48, 10, 0, 0),
                    At(0, 10, 0, 0, 47, 45, 20, 0), 640, 480, kTopLeft, kBottomRight, o),
              1);
    EXPECT_EQ(o.v[0], 180);
    EXPECT_EQ(o.v[1], 164);
    EXPECT_EQ(o.v[2], -25); // the top-left corner itself
    EXPECT_EQ(o.v[3], -25);
    EXPECT_EQ(o.v[4], 432);
    EXPECT_EQ(o.v[5], 369);

    // Southern and western corners: -0.5 latitude for 0 30 S; a point west of the map gets a
    // negative left, one south of it a top beyond the image.
    const MapCorner tl = Corner(1, 0, 0, 1, 0, 30, 0, 0);
    const MapCorner br = Corner(1, 0, 0, 0, 0, 30, 0, 1);
    ASSERT_EQ(Place(Decimal(0, 0), Decimal(-1.5, -1), Decimal(-0.5, -0.25), 200, 100, tl, br, o),
              1);
    EXPECT_EQ((std::vector<int>(o.v, o.v + 6)), (std::vector<int>{75, 25, -75, 125, 25, 50}));

    // Image sizes of 0: every marker sits at -25.
    ASSERT_EQ(Place(Decimal(0, 0), Decimal(-1.5, -1), Decimal(3, 3), 0, 0, tl, br, o), 1);
    EXPECT_EQ((std::vector<int>(o.v, o.v + 6)), (std::vector<int>(6, -25)));
}

TEST(MapPage, RefusesMapsWithoutAUsableRectangle) {
    const GeoPosition p = Decimal(0.05, 0.05);
    Offsets o;
    // A span of exactly 0.1 degree (6 minutes) is accepted.
    EXPECT_EQ(
        Place(p, p, p, 100, 100, Corner(0, 0, 0, 0, 0, 6, 0, 0), Corner(0, 6, 0, 0, 0, 0, 0, 0), o),
        1);
    EXPECT_EQ(o.v[0], 25);
    EXPECT_EQ(o.v[1], 25);

    const Offsets untouched;
    const std::vector<std::pair<MapCorner, MapCorner>> refused{
        {Corner(0, 0, 0, 0, 0, 6, 0, 0), Corner(0, 5, 59, 0, 0, 0, 0, 0)},      // lon span short
        {Corner(0, 0, 0, 0, 0, 5, 59, 0), Corner(0, 6, 0, 0, 0, 0, 0, 0)},      // lat span short
        {kBottomRight, kTopLeft},                                               // swapped
        {Corner(0, 50, 0, 0, 48, 10, 0, 0), Corner(1, 30, 0, 1, 47, 40, 0, 0)}, // west > east
        {Corner(1, 30, 0, 1, 47, 40, 0, 0), Corner(0, 50, 0, 0, 48, 10, 0, 0)}, // south > north
        {Corner(2, 0, 0, 0, 5, 0, 0, 0), Corner(2, 0, 0, 0, 4, 0, 0, 0)},       // no width
    };
    for (const auto& [tl, br] : refused) {
        Offsets r;
        EXPECT_EQ(Place(p, p, p, 640, 480, tl, br, r), 0);
        EXPECT_EQ((std::vector<int>(r.v, r.v + 6)),
                  (std::vector<int>(untouched.v, untouched.v + 6)));
    }
}

TEST(MapPage, FarAwayResultsSaturateInsteadOfOverflowing) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const GeoPosition p = At(0, 45, 0, 1, 47, 58, 10, 0);
    Offsets o;
    ASSERT_EQ(
        Place(p, Decimal(1e12, -1e12), Decimal(-1e12, 1e12), 640, 480, kTopLeft, kBottomRight, o),
        1);
    EXPECT_EQ(o.v[0], 180);
    EXPECT_EQ(o.v[2], kIntMax - 25);
    EXPECT_EQ(o.v[3], kIntMax - 25);
    EXPECT_EQ(o.v[4], kIntMin);
    EXPECT_EQ(o.v[5], kIntMin);

    ASSERT_EQ(Place(Decimal(inf, -inf), Decimal(nan, nan), Decimal(-inf, inf), 640, 480, kTopLeft,
                    kBottomRight, o),
              1);
    EXPECT_EQ(o.v[0], kIntMax - 25);
    EXPECT_EQ(o.v[1], kIntMax - 25);
    EXPECT_EQ(o.v[4], kIntMin);
    EXPECT_EQ(o.v[5], kIntMin);
    EXPECT_EQ(o.v[2], -25); // NaN has no position; it lands on the corner
    EXPECT_EQ(o.v[3], -25);

    // An infinite point on a zero-width image: 0 times infinity.
    ASSERT_EQ(Place(Decimal(inf, inf), p, p, 0, 0, kTopLeft, kBottomRight, o), 1);
    EXPECT_EQ(o.v[0], -25);
    EXPECT_EQ(o.v[1], -25);
}

TEST(MapPage, PageHasTheEighteenLinesOfTheTable) {
    const std::string page =
        ervalun::FormatMapPage(640, 480, {{180, 164}, {-120, -25}, {432, 369}});
    const std::vector<std::string> expected{
        R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)",
        "<html>",
        "<head>",
        "<title>Triangulation Ervalun</title>",
        R"(<meta http-equiv="content-type" content="text/html; charset=ISO-8859-1">)",
        R"(<meta name="author" content="ervalun">)",
        "</head>",
        "<body>",
        R"(<img src="./noire.gif" alt="1ere position" width="50" height="50")",
        R"(style="position:absolute;left:180px;top:164px;z-index:1">)",
        R"(<img src="./verte.gif" alt="2eme position" width="50" height="50")",
        R"(style="position:absolute;left:-120px;top:-25px;z-index:1">)",
        R"(<img src="./rouge.gif" alt="resultat" width="50" height="50")",
        R"(style="position:absolute;left:432px;top:369px;z-index:1">)",
        R"(<img src="./map.jpg" alt="carte" width="640" height="480")",
        R"(style="position:absolute;top:0px;left:0px;z-index:0">)",
        "</body>",
        "</html>",
    };
    EXPECT_EQ(Lines(page), expected);
    EXPECT_EQ(page.back(), '\n');
    EXPECT_EQ(page.find('\r'), std::string::npos);

    const std::vector<std::string> extremes =
        Lines(ervalun::FormatMapPage(4096, 0, {{kIntMin, kIntMax}, {0, 0}, {0, 0}}));
    ASSERT_EQ(extremes.size(), 18u);
    EXPECT_EQ(extremes[9],
              R"(style="position:absolute;left:-2147483648px;top:2147483647px;z-index:1">)");
    EXPECT_EQ(extremes[14], R"(<img src="./map.jpg" alt="carte" width="4096" height="0")");
}

TEST(MapPage, WriteReplacesThePageWhole) {
    ScopedWorkDir dir;
    TriangulationEngine engine;
    EXPECT_EQ(engine.WriteMapPage("map.html", 640, 480, 180, 164, -25, -25, 432, 369), 1);
    EXPECT_EQ(ReadFile("map.html"),
              ervalun::FormatMapPage(640, 480, {{180, 164}, {-25, -25}, {432, 369}}));

    // A longer earlier page leaves nothing behind.
    WriteFile("map.html", std::string(5000, 'z') + "\n");
    EXPECT_EQ(engine.WriteMapPage("map.html", 1, 2, 3, 4, 5, 6, 7, 8), 1);
    EXPECT_EQ(ReadFile("map.html"), ervalun::FormatMapPage(1, 2, {{3, 4}, {5, 6}, {7, 8}}));
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});

    // Into a subfolder: the temporary file goes beside the page, not into the current folder.
    std::filesystem::create_directory("sub");
    EXPECT_EQ(engine.WriteMapPage("sub/map.html", 1, 2, 3, 4, 5, 6, 7, 8), 1);
    EXPECT_EQ(FilesIn(dir.path() / "sub"), std::vector<std::string>{"map.html"});
}

TEST(MapPage, FailedWriteLeavesTheOldPageAndNoTemporaryFile) {
    ScopedWorkDir dir;
    TriangulationEngine engine;

    // A folder in the page's place cannot be replaced.
    std::filesystem::create_directory("map.html");
    EXPECT_EQ(engine.WriteMapPage("map.html", 640, 480, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_TRUE(std::filesystem::is_directory("map.html"));
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});

    // No folder to write into.
    EXPECT_EQ(engine.WriteMapPage("missing/map.html", 640, 480, 1, 2, 3, 4, 5, 6), 0);

    // The disk fills up halfway through the page (a file size limit stands in for it).
    std::filesystem::remove("map.html");
    const std::string old = "<html>old page</html>\n";
    WriteFile("map.html", old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int written = engine.WriteMapPage("map.html", 640, 480, 1, 2, 3, 4, 5, 6);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(ReadFile("map.html"), old);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});
}

TEST(MapPage, PageTheUserMadeReadOnlyIsKept) {
    ScopedWorkDir dir;
    const auto user = testing_support::UnprivilegedUser();
    // The folder is the user's, so only the page's own mode stands in the way.
    GiveTo(dir.path(), user);
    const std::string old = "<html>old page</html>\n";
    WriteFile("map.html", old);
    GiveTo("map.html", user);
    SetMode("map.html", 0444);
    const int rc = testing_support::RunUnprivileged([] { return WritePage(); });
    SKIP_WHEN_UNPRIVILEGED_IMPOSSIBLE(rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile("map.html"), old);
    EXPECT_EQ(ModeOf("map.html"), 0444u);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});
}

TEST(MapPage, ReplacedPageKeepsModeOwnerAndGroupNewPageFollowsTheUmask) {
    ScopedWorkDir dir;
    for (mode_t mode : {0600, 0640, 0604, 0664}) {
        WriteFile("map.html", "old\n");
        SetMode("map.html", mode);
        ASSERT_EQ(WritePage(), 1);
        EXPECT_EQ(ReadFile("map.html"), kPage);
        EXPECT_EQ(ModeOf("map.html"), mode);
    }
    for (mode_t mask : {077, 022}) {
        std::filesystem::remove("map.html");
        const mode_t saved = umask(mask);
        const int written = WritePage();
        umask(saved);
        ASSERT_EQ(written, 1);
        EXPECT_EQ(ModeOf("map.html"), 0666u & ~mask);
    }
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});
    if (geteuid() != 0) {
        GTEST_SKIP() << "not root: owner and group of someone else's page NOT checked";
    }

    // Root rewriting a user's page leaves it the user's.
    const auto user = testing_support::UnprivilegedUser();
    ASSERT_EQ(chown("map.html", user.uid, user.gid), 0);
    SetMode("map.html", 0640);
    ASSERT_EQ(WritePage(), 1);
    struct stat st {};
    ASSERT_EQ(stat("map.html", &st), 0);
    EXPECT_EQ(st.st_uid, user.uid);
    EXPECT_EQ(st.st_gid, user.gid);
    EXPECT_EQ(st.st_mode & 07777u, 0640u);

    // A user who cannot give the new page the old page's group (root's) takes the group's
    // rights away rather than hand them to a group of their own.
    GiveTo(dir.path(), user);
    ASSERT_EQ(chown("map.html", user.uid, 0), 0);
    SetMode("map.html", 0660);
    const int rc = testing_support::RunUnprivileged([] { return WritePage(); });
    SKIP_WHEN_UNPRIVILEGED_IMPOSSIBLE(rc);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadFile("map.html"), kPage);
    ASSERT_EQ(stat("map.html", &st), 0);
    EXPECT_EQ(st.st_mode & 07777u, 0600u);
}

TEST(MapPage, LinkedPageIsWrittenWhereTheLinkPoints) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("pages");
    WriteFile("pages/real.html", "old\n");
    SetMode("pages/real.html", 0600);
    std::filesystem::create_symlink("pages/real.html", "map.html");
    ASSERT_EQ(WritePage(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink("map.html"));
    EXPECT_EQ(std::filesystem::read_symlink("map.html"), "pages/real.html");
    EXPECT_EQ(ReadFile("pages/real.html"), kPage);
    EXPECT_EQ(ModeOf("pages/real.html"), 0600u);

    // A chain of links, the last relative to its own folder.
    WriteFile("pages/real.html", "old\n");
    std::filesystem::create_symlink("real.html", "pages/link.html");
    std::filesystem::create_symlink(dir.path() / "pages/link.html", "chain.html");
    ASSERT_EQ(WritePage("chain.html"), 1);
    EXPECT_EQ(ReadFile("pages/real.html"), kPage);
    EXPECT_TRUE(std::filesystem::is_symlink("pages/link.html"));
    EXPECT_TRUE(std::filesystem::is_symlink("chain.html"));

    // A link to where no page is yet: the page is made there.
    std::filesystem::create_symlink("pages/new.html", "fresh.html");
    ASSERT_EQ(WritePage("fresh.html"), 1);
    EXPECT_TRUE(std::filesystem::is_symlink("fresh.html"));
    EXPECT_EQ(ReadFile("pages/new.html"), kPage);

    // When the page cannot be written there (a full disk), no empty file stays behind.
    std::filesystem::create_symlink("pages/none.html", "full.html");
    EXPECT_EQ(testing_support::RunInChild([] {
                  return testing_support::LimitFileSize(100) ? WritePage("full.html") : 100;
              }),
              0);
    EXPECT_FALSE(std::filesystem::exists("pages/none.html"));

    // A link to something that is no page is left alone, and so is what it points to.
    std::filesystem::create_symlink("/dev/null", "nowhere.html");
    EXPECT_EQ(WritePage("nowhere.html"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink("nowhere.html"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    EXPECT_EQ(FilesIn(dir.path()),
              (std::vector<std::string>{"chain.html", "fresh.html", "full.html", "map.html",
                                        "nowhere.html", "pages"}));
    EXPECT_EQ(FilesIn(dir.path() / "pages"),
              (std::vector<std::string>{"link.html", "new.html", "real.html"}));
}

TEST(MapPage, WritablePageInAFolderTheUserCannotWriteIsRewrittenInPlace) {
    ScopedWorkDir dir;
    const auto user = testing_support::UnprivilegedUser();
    WriteFile("map.html", std::string(3000, 'z') + "\n"); // longer than the page
    WriteFile("short.html", "<p>\n");
    const std::string old = "<p>old page</p>\n";
    WriteFile("full.html", old);
    for (const char* name : {"map.html", "short.html", "full.html"}) {
        GiveTo(name, user);
        SetMode(name, 0640);
    }
    // Root's folder is closed to nobody already; an ordinary user closes their own.
    if (geteuid() != 0) {
        SetMode(".", 0555);
    }
    const int rc = testing_support::RunUnprivileged([] {
        const int written =
            WritePage("map.html") + 2 * WritePage("short.html") + 4 * WritePage("new.html");
        // The disk fills up in the middle: the old page is written back.
        return testing_support::LimitFileSize(100) ? written + 8 * WritePage("full.html") : 100;
    });
    SetMode(".", 0755);
    SKIP_WHEN_UNPRIVILEGED_IMPOSSIBLE(rc);
    EXPECT_EQ(rc, 3); // both pages rewritten; no new page where no file may be made
    EXPECT_EQ(ReadFile("map.html"), kPage);
    EXPECT_EQ(ReadFile("short.html"), kPage);
    EXPECT_EQ(ReadFile("full.html"), old);
    EXPECT_EQ(ModeOf("map.html"), 0640u);
    EXPECT_EQ(FilesIn(dir.path()),
              (std::vector<std::string>{"full.html", "map.html", "short.html"}));
}

TEST(MapPage, KilledWriterLeavesNoTemporaryFileAndLeftoversOfDeadWritersAreCleared) {
    ScopedWorkDir dir;
    const std::string old = "<html>old page</html>\n";
    WriteFile("map.html", old);
    // A file size limit of 0 with SIGXFSZ's default action kills the writer at its first byte.
    const int rc = testing_support::RunInChild([] {
        rlimit zero{0, 0};
        std::signal(SIGXFSZ, SIG_DFL);
        if (setrlimit(RLIMIT_FSIZE, &zero) != 0) {
            return 100;
        }
        WritePage();
        return 101;
    });
    EXPECT_EQ(rc, -1) << "the writer was not killed";
    EXPECT_EQ(ReadFile("map.html"), old);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"map.html"});

    // Temporary files of writers that died are cleared by the next write; those of a live
    // process (pid 1, this one) and files that only look alike stay.
    const pid_t gone = fork();
    if (gone == 0) {
        _exit(0);
    }
    ASSERT_GT(gone, 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string deadTemp = "map.html.tmp." + std::to_string(gone) + ".1f2e";
    const std::string ownTemp = "map.html.tmp." + std::to_string(getpid()) + ".5";
    WriteFile(deadTemp, "<html>cut");
    WriteFile("map.html.tmp.1.77", "live");
    WriteFile(ownTemp, "ours");
    WriteFile("map.html.tmp.notes", "the user's");
    WriteFile("other.html.tmp." + std::to_string(gone) + ".1", "another page's");
    // Earlier versions named them with hexadecimal digits only: cleared once too old for any
    // writer to be still at work on them.
    WriteFile("map.html.tmp3fa9c1", "<html>cut");
    WriteFile("map.html.tmpa2b", "recent");
    std::filesystem::last_write_time("map.html.tmp3fa9c1",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(1));
    ASSERT_EQ(WritePage(), 1);
    EXPECT_EQ(ReadFile("map.html"), kPage);
    EXPECT_EQ(FilesIn(dir.path()),
              (std::vector<std::string>{"map.html", "map.html.tmp.1.77", ownTemp,
                                        "map.html.tmp.notes", "map.html.tmpa2b",
                                        "other.html.tmp." + std::to_string(gone) + ".1"}));
}
