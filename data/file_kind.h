#pragma once

#include <string>

namespace ervalun {

// What stands at a path, links followed. The readers and the log touch regular files only:
// opening a named pipe waits for a writer or a reader that may never come, and a device such
// as /dev/zero never ends.
enum class PathKind { Missing, RegularFile, Other };

PathKind KindOfPath(const std::string& path);

} // namespace ervalun
