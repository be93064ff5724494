#include "tests/support/processes.h"

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

int RunInChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::vector<pid_t> StartChildren(int count, const std::function<int()>& body) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            _exit(body());
        }
        if (pid > 0) {
            children.push_back(pid);
        }
    }
    return children;
}

bool AllExitedCleanly(const std::vector<pid_t>& children) {
    bool clean = true;
    for (const pid_t pid : children) {
        int status = 0;
        clean = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                clean;
    }
    return clean;
}

bool LimitFileSize(rlim_t bytes) {
    const rlimit limit{bytes, bytes};
    return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

TestUser UnprivilegedUser() {
    if (geteuid() != 0) {
        return {geteuid(), getegid()};
    }
    const passwd* nobody = getpwnam("nobody");
    return nobody != nullptr ? TestUser{nobody->pw_uid, nobody->pw_gid} : TestUser{65534, 65534};
}

void GiveTo(const std::filesystem::path& path, const TestUser& user) {
    if (geteuid() == 0 && lchown(path.c_str(), user.uid, user.gid) != 0) {
        throw std::runtime_error("cannot hand over " + path.string());
    }
}

int RunUnprivileged(const std::function<int()>& body) {
    const TestUser user = UnprivilegedUser();
    return RunInChild([&] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 ||
                               setuid(user.uid) != 0 || geteuid() == 0)) {
            return kCannotRunUnprivileged;
        }
        if (access(".", R_OK | X_OK) != 0) {
            return kCannotRunUnprivileged;
        }
        return body();
    });
}

} // namespace testing_support
