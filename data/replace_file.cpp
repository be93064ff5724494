#include "data/replace_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ervalun {

namespace {

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;
// Earlier versions named their temporary files "<name>.tmp" and up to six hexadecimal digits,
// without the writer's pid. Such a file this old is no writer's work in progress.
constexpr std::time_t kOldLeftoverAge = 10 * 60;
constexpr std::size_t kOldLeftoverDigits = 6;

bool Interrupted() {
    return errno == EINTR;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = open(path, flags, mode);
    } while (fd < 0 && Interrupted());
    return fd;
}

// Closes the descriptor it holds when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link followed to the file it finally names; false for a loop.
bool FollowLinks(std::string& path) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return true;
        }
        std::string target(static_cast<std::size_t>(std::max<off_t>(st.st_size, PATH_MAX)), '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    return false;
}

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHex(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

// Whether a process of this pid still runs (one of another user's counts as running).
bool Running(std::string_view pidText) {
    long long pid = 0;
    const auto res = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    if (res.ec != std::errc{} || pid <= 0 || pid > INT_MAX) {
        return true; // no pid of ours: leave it
    }
    if (pid == getpid()) {
        return true; // another thread of this process may be writing it
    }
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Removes from the folder the temporary files of "<base>" that their writers left when they
// died: "<base>.tmp.<pid>.<hex>" of a pid that no longer runs, and those of earlier versions
// once too old to be anyone's work in progress. A live writer's file is never touched.
void RemoveLeftovers(const std::string& folder, const std::string& base) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string prefix = base + ".tmp";
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix)) {
            continue;
        }
        std::string_view rest = name.substr(prefix.size());
        bool dead = false;
        bool old = false;
        if (rest.starts_with('.')) {
            rest.remove_prefix(1);
            const std::size_t dot = rest.find('.');
            dead = dot != std::string_view::npos && IsDigits(rest.substr(0, dot)) &&
                   IsHex(rest.substr(dot + 1)) && !Running(rest.substr(0, dot));
        } else {
            old = IsHex(rest) && rest.size() <= kOldLeftoverDigits;
        }
        if (!dead && !old) {
            continue;
        }
        struct stat st {};
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || (old && now - st.st_mtime < kOldLeftoverAge)) {
            continue;
        }
        unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// A fresh name for a temporary file beside the target; the pid tells later writers whether
// its writer still runs.
std::string TempName(const std::string& folder, const std::string& base) {
    std::random_device seed;
    char hex[16];
    const auto res = std::to_chars(hex, hex + sizeof hex, seed() & 0xFFFFFFFFu, 16);
    return folder + "/" + base + ".tmp." + std::to_string(getpid()) + "." +
           std::string(hex, res.ptr);
}

// The whole content in one write at the given offset. A short count means the disk or the file
// size limit is reached; trying the rest would fail as well (and the size limit would kill the
// program with SIGXFSZ).
bool WriteWhole(int fd, std::string_view bytes, off_t offset) {
    ssize_t written = -1;
    do {
        written = pwrite(fd, bytes.data(), bytes.size(), offset);
    } while (written < 0 && Interrupted());
    return written >= 0 && static_cast<std::size_t>(written) == bytes.size();
}

// Gives the new file the old one's owner, group and permission bits as far as this user may.
// When the group cannot be kept, the group's rights are dropped rather than handed to another
// group. False when the bits could not be set: the new file must not be more open than the old.
bool KeepAttributes(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    struct stat now {};
    if (fstat(fd, &now) != 0) {
        return false;
    }
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        // Root can give the file back to its owner; a user can at least keep a group of theirs.
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Failing too is checked right below, through the group the file then has.
            if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            }
        }
        if (fstat(fd, &now) != 0) {
            return false;
        }
        if (now.st_gid != old.st_gid) {
            mode &= static_cast<mode_t>(~S_IRWXG);
        }
    }
    return fchmod(fd, mode) == 0;
}

// A file without a name in the folder; -1 with errno set when none can be made.
int OpenUnnamed(const std::string& folder) {
    return OpenRetrying(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool NoUnnamedFiles(int error) {
    // An old kernel takes O_TMPFILE for a plain open of the folder; a file system may lack it.
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A new named file in the folder; -1 with errno set when none can be made.
int OpenNamed(const std::string& folder, const std::string& base, std::string& name) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = TempName(folder, base);
        // O_EXCL: never open a file that already exists, another writer's or anyone else's.
        const int fd =
            OpenRetrying(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives the unnamed file a temporary name beside the target, through /proc, which needs no
// privilege. False when it cannot (no /proc): the caller writes a named file instead.
bool NameUnnamed(int fd, const std::string& folder, const std::string& base, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = TempName(folder, base);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// Rewrites an open file in place: the new bytes over the old, then the length cut. Over an
// old content at least as long no new space is needed, so a full disk rarely stops it half
// way; when something does, the old bytes are written back (when the file can be read).
bool RewriteInPlace(int fd, const std::string& bytes, off_t oldSize) {
    const std::size_t overlap = std::min(static_cast<std::size_t>(oldSize), bytes.size());
    std::string saved(overlap, '\0');
    ssize_t got = -1;
    do {
        got = pread(fd, saved.data(), overlap, 0);
    } while (got < 0 && Interrupted());
    const bool canRestore = got >= 0 && static_cast<std::size_t>(got) == overlap;
    if (WriteWhole(fd, bytes, 0) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0) {
        return fsync(fd) == 0;
    }
    if (canRestore && WriteWhole(fd, saved, 0)) {
        // Nothing more can be done when even this fails; the caller reports the page unwritten.
        if (ftruncate(fd, oldSize) != 0) {
        }
    }
    return false;
}

} // namespace

bool ReplaceFile(const std::string& fileName, const std::string& bytes) {
    struct stat st {};
    const bool isLink = lstat(fileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    // Only a regular file is replaced: a folder, a device or a pipe stays as it is (opening one
    // for writing may block or act on a device).
    const bool exists = stat(fileName.c_str(), &st) == 0;
    if (exists ? !S_ISREG(st.st_mode) : errno != ENOENT) {
        return false;
    }

    // Opening the file for writing puts the user's rights to the test: a file they made
    // read-only keeps its content. Through a link to no file yet, the file is made there, with
    // the kernel's rules on following links. Nothing is truncated here. Read access, when
    // granted, lets an in-place rewrite put the old bytes back on failure.
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int create = isLink && !exists ? O_CREAT : 0;
    int pageFd = -1;
    if (exists || isLink) {
        pageFd = OpenRetrying(fileName.c_str(), O_RDWR | kFlags | create, 0666);
        if (pageFd < 0 && (errno == EACCES || errno == EPERM)) {
            pageFd = OpenRetrying(fileName.c_str(), O_WRONLY | kFlags | create, 0666);
        }
        if (pageFd < 0) {
            return false;
        }
    }
    Descriptor page(pageFd);
    struct stat old {};
    std::string target = fileName;
    if (page.get() >= 0) {
        struct stat resolved {};
        // The file opened must be the one the links lead to now, and a regular file.
        if (fstat(page.get(), &old) != 0 || !S_ISREG(old.st_mode) || !FollowLinks(target) ||
            stat(target.c_str(), &resolved) != 0 || resolved.st_dev != old.st_dev ||
            resolved.st_ino != old.st_ino) {
            return false;
        }
    }
    // A file made through a dangling link above goes again if nothing came of it, unless
    // another writer has put its own in its place meanwhile.
    const auto failed = [&] {
        struct stat now {};
        if (create != 0 && stat(target.c_str(), &now) == 0 && now.st_dev == old.st_dev &&
            now.st_ino == old.st_ino) {
            unlink(target.c_str());
        }
        return false;
    };

    const std::string folder = FolderOf(target);
    const std::string base = BaseOf(target);
    RemoveLeftovers(folder, base);

    for (const bool unnamed : {true, false}) {
        std::string tempName;
        Descriptor file(unnamed ? OpenUnnamed(folder) : OpenNamed(folder, base, tempName));
        if (file.get() < 0) {
            const int error = errno;
            if (unnamed && NoUnnamedFiles(error)) {
                continue;
            }
            // No new file may be made in this folder, while the file itself may be written:
            // the only way left to rewrite it is in place (open, truncate, write), as the
            // user's choice of rights asks. A reader may then catch it half written.
            if ((error == EACCES || error == EPERM) && page.get() >= 0) {
                return RewriteInPlace(page.get(), bytes, old.st_size);
            }
            return failed();
        }
        const auto removeNamed = [&] {
            if (!tempName.empty()) {
                unlink(tempName.c_str());
            }
        };
        // On disk before the rename, so a power cut cannot leave an empty file in its place.
        if (!WriteWhole(file.get(), bytes, 0) ||
            (page.get() >= 0 && !KeepAttributes(file.get(), old)) || fsync(file.get()) != 0) {
            file.Close();
            removeNamed();
            return failed();
        }
        if (unnamed && !NameUnnamed(file.get(), folder, base, tempName)) {
            continue;
        }
        if (!file.Close() || std::rename(tempName.c_str(), target.c_str()) != 0) {
            removeNamed();
            return failed();
        }
        return true;
    }
    return failed();
}

} // namespace ervalun
