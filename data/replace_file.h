#pragma once

#include <string>

namespace ervalun {

// Replaces the content of a file with the given bytes. Returns true when the new content is in
// place. What it keeps:
// - A reader sees the old content or the whole new one, never a part: the new content goes to a
//   file without a name in the same folder (where the file system has none, to
//   "<name>.tmp.<pid>.<hex>"), is flushed to disk and renamed over the old.
// - A file the user cannot open for writing keeps its content; so does one that is no regular
//   file. A failed write leaves the old content and no temporary file; a writer killed in the
//   middle leaves no named file in the common case.
// - The new file keeps the old one's permission bits, and its owner and group as far as this
//   user may give them (when the group cannot be kept, its rights are dropped rather than given
//   to another group). A file made anew follows the umask.
// - A symbolic link stays a link: the file it points to is replaced, in its own folder.
// - In a folder where no file may be made, a writable file is rewritten in place.
// - Temporary files that writers which died left beside the file are removed.
bool ReplaceFile(const std::string& fileName, const std::string& bytes);

} // namespace ervalun
