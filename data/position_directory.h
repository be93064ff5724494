#pragma once

#include "data/directory_mistake.h"
#include "data/read_status.h"
#include "data/records.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ervalun {

// The position directory "ervalun.txt": records of nine fields (name, latitude degrees,
// minutes, seconds and "N"/"S", longitude degrees, minutes, seconds and "E"/"O"), separated by
// runs of spaces and line feeds, appended to list. A number outside 0..360 or a token of 255
// bytes or more makes the file incorrect; the entries completed before it stay in the list. A
// hemisphere field with another text reads as north or east, and the first such one is kept in
// mistake with its line (mistake is cleared first). Read with the text-mode rules of
// TextReader, chunkSize bytes at a time (0: the usual size; small sizes are for tests of the
// tokens that chunks cut).
ReadStatus ReadDirectory(const std::string& fileName, std::vector<KnownPosition>& list,
                         std::optional<DirectoryMistake>& mistake, std::size_t chunkSize = 0);

} // namespace ervalun
