#pragma once

#include <string_view>

namespace ervalun {

// How reading a reference file ended.
enum class ReadStatus { Absent, Incorrect, Loaded };

enum class ReferenceFile { Roster, Directory };

// The message shown for a file that did not load: "Fichier operateurs.txt absent" and the like,
// naming the usual file whatever file was read. Empty for a file that loaded.
std::string_view ReadMessage(ReferenceFile file, ReadStatus status);

} // namespace ervalun
