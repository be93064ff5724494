#include "data/file_kind.h"

#include <filesystem>
#include <system_error>

namespace ervalun {

PathKind KindOfPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return PathKind::Missing;
    }
    if (status.type() == std::filesystem::file_type::regular) {
        return PathKind::RegularFile;
    }
    // Unreadable metadata counts as something else: nothing is opened.
    return PathKind::Other;
}

} // namespace ervalun
