#include "data/roster_reader.h"

#include "data/text_reader.h"

#include <cstddef>

namespace ervalun {

namespace {

// 254 bytes is the longest name; a line that reaches this length makes the file incorrect.
constexpr std::size_t kNameLimit = 255;

} // namespace

ReadStatus ReadRoster(const std::string& fileName, std::vector<Member>& list) {
    TextReader reader(fileName);
    if (!reader.IsOpen()) {
        return ReadStatus::Absent;
    }
    Member working;
    char name[kNameLimit];
    std::size_t length = 0;
    for (int c = reader.Next(); c >= 0; c = reader.Next()) {
        if (c == '\n') {
            working.name.assign(name, length);
            list.push_back(working);
            length = 0;
            continue;
        }
        name[length++] = static_cast<char>(c);
        if (length == kNameLimit) {
            return ReadStatus::Incorrect;
        }
    }
    // A hand-edited file often lacks its last line feed; its last name still counts.
    if (length > 0) {
        working.name.assign(name, length);
        list.push_back(working);
    }
    return ReadStatus::Loaded;
}

} // namespace ervalun
