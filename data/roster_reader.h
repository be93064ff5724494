#pragma once

#include "data/read_status.h"
#include "data/records.h"

#include <string>
#include <vector>

namespace ervalun {

// The member roster "operateurs.txt": one member per line, appended to list, the whole line as
// the name (spaces and tabs included, nothing trimmed) and no role. A line of 255 bytes or more
// makes the file incorrect; the members read before it stay in the list. Read with the
// text-mode rules of TextReader.
ReadStatus ReadRoster(const std::string& fileName, std::vector<Member>& list);

} // namespace ervalun
