// The whole-file replacement under the map page: the temporary file beside the page, links,
// modes, owners, a full disk, a killed writer and the leftovers of dead ones.
#include "output/map_page.h"

#include "engine/triangulation_engine.h"
#include "tests/support/processes.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using testing_support::FilesIn;
using testing_support::GiveTo;
using testing_support::kCannotRunUnprivileged;
using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

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

TEST(ReplaceFile, WriteReplacesThePageWhole) {
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

TEST(ReplaceFile, FailedWriteLeavesTheOldPageAndNoTemporaryFile) {
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

TEST(ReplaceFile, PageTheUserMadeReadOnlyIsKept) {
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

TEST(ReplaceFile, ReplacedPageKeepsModeOwnerAndGroupNewPageFollowsTheUmask) {
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

TEST(ReplaceFile, LinkedPageIsWrittenWhereTheLinkPoints) {
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

TEST(ReplaceFile, WritablePageInAFolderTheUserCannotWriteIsRewrittenInPlace) {
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

TEST(ReplaceFile, KilledWriterLeavesNoTemporaryFileAndLeftoversOfDeadWritersAreCleared) {
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
