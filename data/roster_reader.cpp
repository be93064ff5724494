#include "data/text_reader.h"
#include "engine/triangulation_engine.h"

#include <cstddef>

namespace {

// 254 bytes is the longest name; a line that reaches this length makes the file incorrect.
constexpr std::size_t kNameLimit = 255;

enum class ReadStatus { Absent, Incorrect, Loaded };

// One member per line, appended to list. The whole line is the name, spaces and tabs
// included; nothing is trimmed or tested.
ReadStatus ReadRoster(const std::string& fileName, std::vector<Member>& list) {
    ervalun::TextReader reader(fileName);
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

} // namespace

void TriangulationEngine::LoadRoster(std::string fileName, std::vector<Member>* list) {
    if (list == nullptr) {
        rosterLoaded = 0;
        return;
    }
    // The file is closed before any message box holds the load.
    switch (ReadRoster(fileName, *list)) {
    case ReadStatus::Absent:
        ShowMessage("Fichier operateurs.txt absent");
        rosterLoaded = 0;
        break;
    case ReadStatus::Incorrect:
        ShowMessage("Fichier operateurs.txt incorrect");
        rosterLoaded = 0;
        break;
    case ReadStatus::Loaded:
        rosterLoaded = 1;
        break;
    }
}
