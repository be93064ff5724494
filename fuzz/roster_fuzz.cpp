// The member roster reader on arbitrary bytes, checked against the plain rule: one name per
// translated line, a line of 255 bytes or more makes the file incorrect.
#include "fuzz/fuzz_support.h"

#include <string>
#include <vector>

namespace {

struct Expected {
    bool incorrect = false;
    std::vector<std::string> names;
};

Expected Model(const std::uint8_t* data, std::size_t size) {
    Expected out;
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b == 0x1A) {
            break;
        }
        if (b == '\r' && i + 1 < size && data[i + 1] == '\n') {
            continue;
        }
        if (b == '\n') {
            out.names.push_back(line);
            line.clear();
            continue;
        }
        line.push_back(static_cast<char>(b));
        if (line.size() == 255) {
            out.incorrect = true;
            return out;
        }
    }
    // The last name counts without its line feed.
    if (!line.empty()) {
        out.names.push_back(line);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string& path = fuzz_support::WriteInput(data, size);

    fuzz_support::CountingSink sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    engine.LoadRoster(path, &engine.roster);

    const Expected expected = Model(data, size);
    if (expected.incorrect) {
        Check(engine.rosterLoaded == 0, "a long line fails the load");
        Check(sink.count == 1 && sink.last == "Fichier operateurs.txt incorrect",
              "a long line is said incorrect, once");
        Check(engine.roster.size() <= expected.names.size(), "only the lines before it stay");
    } else {
        Check(engine.rosterLoaded == 1 && sink.count == 0, "a good file loads silently");
        Check(engine.roster.size() == expected.names.size(), "one member per line");
    }
    for (std::size_t i = 0; i < engine.roster.size(); ++i) {
        Check(engine.roster[i].name == expected.names[i], "the whole line is the name");
        Check(engine.roster[i].role == -1, "a read member has no role");
    }
    return 0;
}
