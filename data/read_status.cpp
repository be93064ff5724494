#include "data/read_status.h"

namespace ervalun {

namespace {

struct Messages {
    std::string_view absent;
    std::string_view incorrect;
};

constexpr Messages kRoster{"Fichier operateurs.txt absent", "Fichier operateurs.txt incorrect"};
constexpr Messages kDirectory{"Fichier ervalun.txt absent", "Fichier ervalun.txt incorrect"};

} // namespace

std::string_view ReadMessage(ReferenceFile file, ReadStatus status) {
    const Messages& messages = file == ReferenceFile::Roster ? kRoster : kDirectory;
    switch (status) {
    case ReadStatus::Absent:
        return messages.absent;
    case ReadStatus::Incorrect:
        return messages.incorrect;
    case ReadStatus::Loaded:
        break;
    }
    return {};
}

} // namespace ervalun
