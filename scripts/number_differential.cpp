// The number readers on many texts, every result written out bit for bit: built once against
// each of two trees by scripts/number-differential.sh, the two outputs must be the same bytes.
// Compiles against a tree whose whole-word readers are declared in output/calibration.h as well
// as one where they have their own header.
//
// Usage: number_differential SEED COUNT WORKDIR FILE...  (the files: read whole, by line and by
// word, and as a directory and a calibration file). Results on stdout, figures on stderr.

#include "data/directory_number.h"
#include "data/position_directory.h"
#include "output/calibration.h"
#include "ui/form/form_number.h"
#if __has_include("data/whole_number.h")
#include "data/whole_number.h"
#endif

#include <bit>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::mt19937_64 rng;
std::size_t textCount = 0;
std::size_t fileCount = 0;

std::size_t Below(std::size_t n) {
    return static_cast<std::size_t>(rng() % n);
}

std::string Bits(double v) {
    char buffer[20];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, std::bit_cast<std::uint64_t>(v), 16);
    return std::string(buffer, r.ptr);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f || c == '\\') {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02x", u);
            out += buffer;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Every string reader on one text. A value not written keeps its sentinel.
void Text(const std::string& text) {
    ++textCount;
    const double sentinel = std::bit_cast<double>(std::uint64_t{0x7ff4dead0000beef});
    double form = sentinel;
    const auto formStatus = static_cast<int>(ervalun::ParseFormNumber(text, form));
    int whole = -12345;
    const bool wholeOk = ervalun::ParseWholeInt(text, whole);
    double real = sentinel;
    const bool realOk = ervalun::ParseWholeReal(text, real);
    std::printf("%s|D %s|F %d %s|I %d %d|R %d %s\n", Escaped(text).c_str(),
                Bits(ervalun::ParseDirectoryNumber(text)).c_str(), formStatus, Bits(form).c_str(),
                wholeOk ? 1 : 0, whole, realOk ? 1 : 0, Bits(real).c_str());
}

// The file readers on one content.
void File(const std::string& workdir, const std::string& content) {
    ++fileCount;
    const std::string path = workdir + "/input.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    std::vector<KnownPosition> list;
    std::optional<ervalun::DirectoryMistake> mistake;
    const auto status = static_cast<int>(ervalun::ReadDirectory(path, list, mistake));
    std::printf("FILE %zu directory %d %zu", fileCount, status, list.size());
    for (const KnownPosition& e : list) {
        std::printf(" [%s", Escaped(e.name).c_str());
        for (double v :
             {e.latitude, e.longitude, e.latitudeDegrees, e.latitudeMinutes, e.latitudeSeconds,
              e.longitudeDegrees, e.longitudeMinutes, e.longitudeSeconds}) {
            std::printf(" %s", Bits(v).c_str());
        }
        std::printf("]");
    }
    if (mistake) {
        std::printf(" mistake %zu %s", mistake->line, Escaped(mistake->token).c_str());
    }
    MapCalibration cal;
    std::printf(" calibration %d %d %d", ervalun::ReadCalibration(path, cal) ? 1 : 0,
                cal.imageWidth, cal.imageHeight);
    for (const MapCorner* c : {&cal.topLeft, &cal.bottomRight}) {
        for (double v : {c->longitudeDegrees, c->longitudeMinutes, c->longitudeSeconds,
                         c->latitudeDegrees, c->latitudeMinutes, c->latitudeSeconds}) {
            std::printf(" %s", Bits(v).c_str());
        }
        std::printf(" %d %d", c->west, c->south);
    }
    std::printf("\n");
}

std::string Digits(std::size_t n, bool leadingZeros) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(static_cast<char>('0' + Below(10)));
    }
    if (leadingZeros && !s.empty() && Below(3) == 0) {
        s.insert(0, std::string(1 + Below(30), '0'));
    }
    return s;
}

// A number-like text: surroundings, signs, points, exponents small, huge and tiny.
std::string NumberLike() {
    static const char* const kBefore[] = {"", "", "", "", " ", "\t", "\v\f\r", "\n", "  \t"};
    static const char* const kSign[] = {"", "", "", "-", "+", "+-", "-+", "--"};
    static const char* const kExponent[] = {"1",       "8",
                                            "15",      "22",
                                            "23",      "300",
                                            "307",     "308",
                                            "309",     "310",
                                            "320",     "323",
                                            "324",     "325",
                                            "330",     "340",
                                            "400",     "999",
                                            "4000",    "99999",
                                            "1000000", "99999999999999999999"};
    static const char* const kAfter[] = {"",   "",  "",   "",    " ",   "\t", "x",  "e",
                                         "E+", ".", ",5", "1.2", "inf", "\n", " 7", "\0"};
    std::string s = kBefore[Below(std::size(kBefore))];
    s += kSign[Below(std::size(kSign))];
    const std::size_t digits = Below(4) == 0 ? Below(40) : Below(18);
    s += Digits(digits, true);
    if (Below(2) == 0) {
        s += '.';
        s += Digits(Below(4) == 0 ? Below(40) : Below(18), false);
    }
    if (Below(3) == 0) {
        s += Below(2) == 0 ? 'e' : 'E';
        s += kSign[Below(std::size(kSign) - 3)];
        s += Below(2) == 0 ? kExponent[Below(std::size(kExponent))] : Digits(Below(4), false);
    }
    const char* after = kAfter[Below(std::size(kAfter))];
    s += after[0] == '\0' && Below(2) == 0 ? std::string(1, '\0') : std::string(after);
    return s;
}

// Bytes of the number alphabet and a few others, in any order.
std::string Jumble() {
    static const std::string kAlphabet = "0123456789012345+-..eE \t\rxXpPinfatyINF,_\xc3\xa9";
    std::string s;
    const std::size_t n = Below(24);
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(kAlphabet[Below(kAlphabet.size())]);
    }
    return s;
}

// A double of any magnitude as C++ writes it, in one of its notations.
std::string Formatted() {
    double v = 0.0;
    do {
        v = std::bit_cast<double>(rng());
    } while (v != v);
    if (Below(3) == 0) {
        v = static_cast<double>(Below(361000)) / 1000.0;
    }
    static const std::chars_format kFormats[] = {
        std::chars_format::general, std::chars_format::scientific, std::chars_format::fixed};
    char buffer[800];
    const std::chars_format format = kFormats[Below(3)];
    const auto r = Below(2) == 0 ? std::to_chars(buffer, buffer + sizeof buffer, v, format)
                                 : std::to_chars(buffer, buffer + sizeof buffer, v, format,
                                                 static_cast<int>(Below(25)));
    return std::string(buffer, r.ptr);
}

// Long digit strings around the directory's 254-byte token limit and the reader's word limit.
std::string Long() {
    const std::size_t n = 240 + Below(30);
    std::string s = Below(2) == 0 ? "" : "0.";
    s += Digits(n - s.size(), false);
    if (Below(2) == 0) {
        s += "e-" + std::to_string(Below(700));
    }
    return s;
}

std::string Generated() {
    switch (Below(10)) {
    case 0:
    case 1:
        return Jumble();
    case 2:
    case 3:
        return Formatted();
    case 4:
        return Long();
    default:
        return NumberLike();
    }
}

// A directory or calibration file made of generated tokens among names and letters.
std::string GeneratedFile() {
    static const char* const kDelimiters[] = {" ", " ", "\n", "  ", " \n ", "\r\n", "\t"};
    static const char* const kWords[] = {"Nom", "N", "S", "E", "O", "W", "largeur", "x"};
    std::string s;
    const std::size_t tokens = Below(60);
    for (std::size_t i = 0; i < tokens; ++i) {
        if (Below(4) == 0) {
            s += kWords[Below(std::size(kWords))];
        } else {
            std::string t = Below(3) == 0 ? Generated() : Formatted();
            for (char& c : t) {
                c = c == ' ' || c == '\n' || c == '\t' || c == '\0' ? '_' : c;
            }
            s += t.empty() ? "0" : t;
        }
        s += kDelimiters[Below(std::size(kDelimiters))];
    }
    return s;
}

void Pieces(const std::string& content) {
    Text(content);
    std::istringstream lines(content);
    for (std::string line; std::getline(lines, line);) {
        Text(line);
    }
    std::istringstream words(content);
    for (std::string word; words >> word;) {
        Text(word);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fputs("usage: number_differential SEED COUNT WORKDIR FILE...\n", stderr);
        return 2;
    }
    rng.seed(std::stoull(argv[1]));
    const std::size_t count = std::stoull(argv[2]);
    const std::string workdir = argv[3];

    for (const char* text : {"",
                             "0",
                             "-0",
                             "+0",
                             "00",
                             ".0",
                             "0.",
                             ".",
                             "-",
                             "+",
                             "e5",
                             "1e-400",
                             "-1e-400",
                             "1e400",
                             "-1e400",
                             "1e-324",
                             "2e-324",
                             "2.4703282292062327e-324",
                             "2.4703282292062328e-324",
                             "4.9406564584124654e-324",
                             "2.2250738585072011e-308",
                             "2.2250738585072014e-308",
                             "1.7976931348623157e308",
                             "1.7976931348623158e308",
                             "1.7976931348623159e308",
                             "179769313486231580793728971405301e276",
                             "0e99999999999",
                             "0.0000e-99999999999",
                             "360",
                             "360.0000000000000001",
                             "360.00000000001",
                             "359.9999",
                             "inf",
                             "-inf",
                             "nan",
                             "infinity",
                             "NaN",
                             "0x10",
                             "0x1p3",
                             "1e",
                             "1e+",
                             "1E-x",
                             "1.2.3",
                             "30,5",
                             " 45 ",
                             "\t45\t",
                             "\v\f\r45",
                             "+-1",
                             "-+1",
                             "++1",
                             "1 2",
                             "2147483647",
                             "2147483648",
                             "-2147483648",
                             "-2147483649",
                             "+2147483647",
                             "007",
                             "1_000"}) {
        Text(text);
    }
    Text(std::string("5\0", 2));
    Text(std::string(253, '9'));
    Text(std::string(254, '9'));
    Text(std::string(255, '9'));
    Text(std::string(400, '9'));
    Text("0." + std::string(400, '0') + "1");
    Text("0." + std::string(400, '0') + "1e400");
    Text(std::string(400, '0') + "1e-400");

    for (int i = 4; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(in), {}};
        Pieces(content);
        File(workdir, content);
    }
    for (std::size_t i = 0; i < count; ++i) {
        Text(Generated());
    }
    for (std::size_t i = 0; i < count / 100; ++i) {
        const std::string content = GeneratedFile();
        Pieces(content);
        File(workdir, content);
    }
    std::fprintf(stderr, "%zu texts, %zu files\n", textCount, fileCount);
    return 0;
}
