#pragma once

#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// Runs body in a forked child and returns its exit code; -1 when it died of a signal. The
// child leaves with _exit, so nothing of the test framework runs twice.
int RunInChild(const std::function<int()>& body);

// Forks count children that each run body and leave with its result; returns their ids.
std::vector<pid_t> StartChildren(int count, const std::function<int()>& body);
// Waits for every child; true when each one exited with 0.
bool AllExitedCleanly(const std::vector<pid_t>& children);

// From now on this process may grow no file beyond bytes, as on a full disk. SIGXFSZ is
// ignored, so a writer sees the short write instead of dying. False when it cannot be set.
bool LimitFileSize(rlim_t bytes);

// Who the permission tests run as. Root opens any file for writing whatever its mode, so under
// root they run as nobody, in a child; otherwise as the current user.
struct TestUser {
    uid_t uid = 0;
    gid_t gid = 0;
};
TestUser UnprivilegedUser();

// Hands a file or folder (a link itself, not its target) to that user; nothing to do unless
// running as root.
void GiveTo(const std::filesystem::path& path, const TestUser& user);

// Runs body in a child as that user, in the current folder, and returns its exit code;
// kCannotRunUnprivileged when the child could not give up root's rights or reach the folder.
constexpr int kCannotRunUnprivileged = 77;
int RunUnprivileged(const std::function<int()>& body);

} // namespace testing_support
