// The member roster reader on arbitrary bytes, checked against the plain rule: one name per
// translated line, a line of 255 bytes or more makes the file incorrect.
#include "data/text_reader.h"
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

void CheckRoster(const std::string& bytes, const Expected& expected) {
    using fuzz_support::Check;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::string path = fuzz_support::WriteInput(data, bytes.size());

    fuzz_support::CountingSink sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    engine.LoadRoster(path, &engine.roster);

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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Expected expected = Model(data, size);
    CheckRoster(input, expected);

    // Again behind lines that end the reader's first chunk a few bytes into the input, so that
    // its line ends and carriage returns meet a chunk boundary. The lines in front are plain
    // names, known without the model.
    if (size > 0) {
        const std::size_t into = 1 + data[0] % (size < 255 ? size : 255);
        std::string padded;
        Expected behind;
        for (std::size_t left = ervalun::TextReader::kChunkSize - into; left > 0;) {
            const std::size_t line = left < 128 ? left : 128;
            behind.names.emplace_back(line - 1, 'x');
            padded.append(line - 1, 'x');
            padded.push_back('\n');
            left -= line;
        }
        behind.incorrect = expected.incorrect;
        behind.names.insert(behind.names.end(), expected.names.begin(), expected.names.end());
        CheckRoster(padded + input, behind);
    }
    return 0;
}
