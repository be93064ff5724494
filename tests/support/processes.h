#pragma once

#include <filesystem>
#include <functional>
#include <sys/types.h>

namespace testing_support {

// Runs body in a forked child and returns its exit code; -1 when it died of a signal. The
// child leaves with _exit, so nothing of the test framework runs twice.
int RunInChild(const std::function<int()>& body);

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
