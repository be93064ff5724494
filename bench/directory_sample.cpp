#include "bench/directory_sample.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <malloc.h>
#include <random>
#include <string_view>

namespace bench_support {

namespace {

// The pieces of the names, in UTF-8. Lead-ins come often, as in real place names, so that
// many names share their first bytes.
constexpr std::array<std::string_view, 24> kLeads = {
    "Saint-",   "Sainte-",  "Le-",       "La-",       "Les-",    "Col-de-",
    "Col-du-",  "Mont-",    "Pic-de-",   "Lac-de-",   "Refuge-", "Aiguille-",
    "Pointe-",  "Dôme-du-", "Bois-des-", "Pré-",      "Plan-",   "Croix-de-",
    "Tête-de-", "Crêt-du-", "Château-",  "Fontaine-", "Val-d'",  "Chalet-des-"};
constexpr std::array<std::string_view, 12> kCapitals = {"B", "Ch", "É", "G", "M", "P",
                                                        "R", "S",  "T", "V", "Â", "L"};
constexpr std::array<std::string_view, 40> kSyllables = {
    "ar",  "bé",    "cha", "mon", "ti",  "gnè", "ré",  "vou", "lan",  "çon",
    "ès",  "ville", "ier", "eau", "ô",   "ne",  "bri", "an",  "çois", "cé",
    "las", "mar",   "tin", "ber", "nar", "gou", "ter", "oux", "ïe",   "ûr",
    "et",  "es",    "la",  "ro",  "zé",  "fa",  "y",   "ne",  "au",   "ch"};
constexpr std::array<std::string_view, 8> kTails = {"-les-Bains", "-sur-Arve", "-d'en-Haut",
                                                    "-le-Vieux",  "-des-Prés", "-en-Forêt",
                                                    "-la-Côte",   "-du-Lac"};

constexpr std::size_t kShortestName = 4;
constexpr std::size_t kLongestName = 40;

// Cuts a name to at most kLongestName bytes without splitting a UTF-8 character.
void CutToLongest(std::string& name) {
    if (name.size() <= kLongestName) {
        return;
    }
    std::size_t end = kLongestName;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    name.resize(end);
}

std::string PlaceName(std::mt19937& rng) {
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> syllableCount(1, 5);
    auto pick = [&rng](const auto& list) -> std::string_view {
        std::uniform_int_distribution<std::size_t> at(0, list.size() - 1);
        return list[at(rng)];
    };
    std::string name;
    if (percent(rng) < 45) {
        name += pick(kLeads);
    }
    // A few names are written in lower case, which sorts them after every capital.
    if (percent(rng) < 4) {
        name += pick(kSyllables);
    } else {
        name += pick(kCapitals);
    }
    for (int i = syllableCount(rng); i > 0; --i) {
        name += pick(kSyllables);
    }
    if (percent(rng) < 15) {
        name += pick(kTails);
    }
    while (name.size() < kShortestName) {
        name += pick(kSyllables);
    }
    CutToLongest(name);
    return name;
}

void AppendInt(std::string& out, int value) {
    char buffer[16];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

// Seconds as surveyors write them: whole, or with one or two decimals.
void AppendSeconds(std::string& out, std::mt19937& rng) {
    std::uniform_int_distribution<int> hundredths(0, 5999);
    std::uniform_int_distribution<int> percent(0, 99);
    const int value = hundredths(rng);
    const int form = percent(rng);
    AppendInt(out, value / 100);
    if (form < 40) {
        return;
    }
    out.push_back('.');
    if (form < 80) {
        AppendInt(out, value % 100 / 10);
    } else {
        out.push_back(static_cast<char>('0' + value % 100 / 10));
        out.push_back(static_cast<char>('0' + value % 10));
    }
}

} // namespace

std::string RealisticDirectory(int records, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> latitude(0, 89);
    std::uniform_int_distribution<int> longitude(0, 179);
    std::uniform_int_distribution<int> minutes(0, 59);
    std::uniform_int_distribution<int> percent(0, 99);
    std::string text;
    text.reserve(static_cast<std::size_t>(records) * 44);
    for (int i = 0; i < records; ++i) {
        text += PlaceName(rng);
        text.push_back(' ');
        AppendInt(text, latitude(rng));
        text.push_back(' ');
        AppendInt(text, minutes(rng));
        text.push_back(' ');
        AppendSeconds(text, rng);
        text += percent(rng) < 33 ? " S " : " N ";
        AppendInt(text, longitude(rng));
        text.push_back(' ');
        AppendInt(text, minutes(rng));
        text.push_back(' ');
        AppendSeconds(text, rng);
        text += percent(rng) < 40 ? " O\n" : " E\n";
    }
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

std::size_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    // Small blocks come from the arenas, large ones (a big list) are mapped on their own.
    return info.uordblks + info.hblkhd;
}

} // namespace bench_support
