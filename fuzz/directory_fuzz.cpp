// The position directory reader on arbitrary bytes, and the text-mode byte reader under it
// checked against a plain translation at small chunk sizes.
#include "data/position_directory.h"
#include "data/text_reader.h"
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

// Text mode as the reference files were written for: CR LF reads as LF, 0x1A ends the text.
std::string Translate(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1A) {
            break;
        }
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
            continue;
        }
        out.push_back(static_cast<char>(data[i]));
    }
    return out;
}

// Reads the whole text a byte at a time, a chunk at a time, or alternating both.
std::string ReadAll(const std::string& path, std::size_t chunk, int mode) {
    ervalun::TextReader reader(path, chunk);
    fuzz_support::Check(reader.IsOpen(), "an existing file opens");
    std::string out;
    for (bool byByte = mode != 1;; byByte = mode == 2 ? !byByte : byByte) {
        if (byByte) {
            const int c = reader.Next();
            if (c < 0) {
                break;
            }
            fuzz_support::Check(c <= 255, "a byte is 0 to 255");
            out.push_back(static_cast<char>(c));
        } else {
            const std::string_view piece = reader.TakeChunk();
            if (piece.empty()) {
                break;
            }
            out.append(piece);
        }
    }
    fuzz_support::Check(reader.Next() == -1 && reader.TakeChunk().empty(), "the end stays the end");
    return out;
}

struct Loaded {
    int flag = 0;
    std::vector<std::string> messages;
    std::vector<KnownPosition> entries;
    std::optional<ervalun::DirectoryMistake> mistake;
};

Loaded Load(const std::string& path) {
    struct Sink : MessageSink {
        void ShowMessage(const std::string& text) override { messages.push_back(text); }
        std::vector<std::string> messages;
    } sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    engine.LoadPositions(path, &engine.directory);
    return {engine.directoryLoaded, sink.messages, engine.directory, engine.directoryMistake};
}

bool SameEntries(const std::vector<KnownPosition>& a, const std::vector<KnownPosition>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    const auto same = [](double x, double y) {
        return x == y && std::signbit(x) == std::signbit(y);
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const KnownPosition& x = a[i];
        const KnownPosition& y = b[i];
        if (x.name != y.name || !same(x.latitude, y.latitude) || !same(x.longitude, y.longitude) ||
            !same(x.latitudeDegrees, y.latitudeDegrees) ||
            !same(x.latitudeMinutes, y.latitudeMinutes) ||
            !same(x.latitudeSeconds, y.latitudeSeconds) ||
            !same(x.longitudeDegrees, y.longitudeDegrees) ||
            !same(x.longitudeMinutes, y.longitudeMinutes) ||
            !same(x.longitudeSeconds, y.longitudeSeconds)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string path = fuzz_support::WriteInput(data, size);

    const std::string expected = Translate(data, size);
    const std::size_t smallChunk = size > 0 ? 2 + data[0] % 7 : 2;
    for (int mode = 0; mode < 3; ++mode) {
        Check(ReadAll(path, smallChunk, mode) == expected, "small chunks translate like the whole");
    }
    Check(ReadAll(path, ervalun::TextReader::kChunkSize, 2) == expected,
          "large chunks translate like the whole");

    const Loaded loaded = Load(path);

    // Read in chunks of a few bytes, nearly every token is cut and taken whole, none read where
    // it lies: both roads must give the same list.
    {
        std::vector<KnownPosition> list;
        std::optional<ervalun::DirectoryMistake> mistake;
        const ervalun::ReadStatus status = ervalun::ReadDirectory(path, list, mistake, smallChunk);
        Check((status == ervalun::ReadStatus::Loaded ? 1 : 0) == loaded.flag &&
                  SameEntries(list, loaded.entries),
              "small chunks read the same entries");
        Check(mistake.has_value() == loaded.mistake.has_value() &&
                  (!mistake || (mistake->line == loaded.mistake->line &&
                                mistake->token == loaded.mistake->token &&
                                mistake->lineText == loaded.mistake->lineText)),
              "small chunks note the same mistake");
    }

    // The same input behind line feeds that end the reader's first chunk a few bytes into it:
    // runs of delimiters separate like one, so the directory must be the same, token for token,
    // wherever the chunks are cut.
    if (size > 0) {
        const std::size_t into = 1 + data[0] % (size < 255 ? size : 255);
        const std::string padding(ervalun::TextReader::kChunkSize - into, '\n');
        const Loaded padded = Load(
            fuzz_support::WriteInputTo(fuzz_support::InputPath(".padded"), data, size, padding));
        Check(padded.flag == loaded.flag && padded.messages == loaded.messages &&
                  SameEntries(padded.entries, loaded.entries),
              "a chunk boundary changes nothing");
        Check(padded.mistake.has_value() == loaded.mistake.has_value() &&
                  (!loaded.mistake ||
                   (padded.mistake->line == loaded.mistake->line + padding.size() &&
                    padded.mistake->token == loaded.mistake->token &&
                    padded.mistake->lineText == loaded.mistake->lineText)),
              "a chunk boundary moves the mistake by the added lines only");
    }
    if (loaded.mistake) {
        const ervalun::DirectoryMistake& m = *loaded.mistake;
        const bool letter =
            m.longitude ? (m.token == "E" || m.token == "O") : (m.token == "N" || m.token == "S");
        Check(!letter && !m.token.empty(), "a mistake is a field that is not the right letter");
        Check(m.line >= 1 && m.line <= static_cast<std::size_t>(
                                           std::count(expected.begin(), expected.end(), '\n')) +
                                           1,
              "the mistake's line lies in the file");
        Check(m.lineText.size() <= 255 && m.lineText.find('\n') == std::string::npos,
              "the quoted line is one bounded line");
        Check(m.lineText.size() > 254 || m.lineText.find(m.token) != std::string::npos,
              "the quoted line holds the field");
        Check(!ervalun::DirectoryMistakeMessage(m).empty(), "the message is made");
    }

    if (loaded.flag == 1) {
        Check(loaded.messages.empty(), "a successful load says nothing");
    } else {
        Check(loaded.flag == 0, "the flag is 0 or 1");
        Check(loaded.messages == std::vector<std::string>{"Fichier ervalun.txt incorrect"},
              "an existing file that fails is incorrect, said once");
    }
    for (const KnownPosition& e : loaded.entries) {
        Check(!e.name.empty() && e.name.size() <= 254, "a name has 1 to 254 bytes");
        Check(e.name.view().find(' ') == std::string::npos &&
                  e.name.view().find('\n') == std::string::npos,
              "a name holds no delimiter");
        Check(e.distance == 0.0, "a fresh entry has no distance");
        for (double v :
             {e.latitudeMinutes, e.latitudeSeconds, e.longitudeMinutes, e.longitudeSeconds}) {
            Check(v >= 0.0 && v <= 360.0 && !std::signbit(v), "minutes and seconds in 0..360");
        }
        for (double v : {e.latitudeDegrees, e.longitudeDegrees}) {
            Check(std::fabs(v) <= 360.0, "degrees in 0..360 with a sign");
        }
        double lat = 0.0;
        TriangulationEngine::DmsToDecimal(std::fabs(e.latitudeDegrees), e.latitudeMinutes,
                                          e.latitudeSeconds, lat);
        double lon = 0.0;
        TriangulationEngine::DmsToDecimal(std::fabs(e.longitudeDegrees), e.longitudeMinutes,
                                          e.longitudeSeconds, lon);
        Check(e.latitude == (std::signbit(e.latitudeDegrees) ? -lat : lat),
              "the decimal latitude agrees with the degrees and their sign");
        Check(e.longitude == (std::signbit(e.longitudeDegrees) ? -lon : lon),
              "the decimal longitude agrees with the degrees and their sign");
    }
    return 0;
}
