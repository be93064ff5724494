// Reading a typed position: see the rules in coordinate_formats.h.
#include "geodesy/coordinate_formats.h"

#include <GeographicLib/DMS.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace ervalun::geodesy {

namespace {

using GeographicLib::DMS;
using GeographicLib::MGRS;
using GeographicLib::UTMUPS;

constexpr std::string_view kBands = "CDEFGHJKLMNPQRSTUVWX";

struct Token {
    enum Kind { Number, Word } kind = Number;
    std::string text; // as typed (a word in capitals)
    double value = 0.0;
    bool integer = true;
    bool signedNumber = false;
};

ParsedPosition Failure(std::string message) {
    ParsedPosition p;
    p.error = std::move(message);
    return p;
}

ParsedPosition Success(double latitude, double longitude, CoordinateForm form) {
    ParsedPosition p;
    p.ok = true;
    p.latitude = latitude;
    p.longitude = longitude;
    p.form = form;
    return p;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The marks that may follow a number: ° º ′ ″ ’ ” ' " (the UTF-8 ones by their bytes).
std::size_t MarkLength(std::string_view s, std::size_t i) {
    // No-break spaces too, as French text puts them before a letter or after a degree sign.
    static constexpr std::string_view kMarks[] = {"°", "º", "′",  "″",      "’",
                                                  "”", "'", "\"", "\u00a0", "\u202f"};
    for (const std::string_view mark : kMarks) {
        if (s.substr(i, mark.size()) == mark) {
            return mark.size();
        }
    }
    return 0;
}

// Numbers (optional sign, digits, optional point and digits), words of letters, marks and
// spaces skipped. None for anything else.
std::optional<std::vector<Token>> Tokenize(std::string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == ' ' || c == '\t' || c == ';') {
            ++i;
        } else if (const std::size_t mark = MarkLength(s, i); mark > 0) {
            i += mark;
        } else if (IsLetter(c)) {
            Token t{Token::Word, {}};
            while (i < s.size() && IsLetter(s[i])) {
                t.text += Upper(s[i++]);
            }
            tokens.push_back(t);
        } else if (IsDigit(c) || c == '-' || c == '+' || c == '.' || s.substr(i, 3) == "−") {
            Token t;
            std::string digits;
            if (c == '-' || c == '+' || (c != '.' && !IsDigit(c))) {
                t.signedNumber = true;
                digits += c == '+' ? "" : "-";
                t.text += c == '+' ? "+" : "-";
                i += c == '-' || c == '+' ? 1 : 3;
            }
            const std::size_t start = i;
            while (i < s.size() && (IsDigit(s[i]) || s[i] == '.')) {
                ++i;
            }
            const std::string_view body = s.substr(start, i - start);
            t.text += body;
            digits += body;
            t.integer = body.find('.') == std::string_view::npos;
            const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), t.value,
                                             std::chars_format::fixed);
            if (body.empty() || body.front() == '.' || body.back() == '.' ||
                res.ec != std::errc() || res.ptr != digits.data() + digits.size()) {
                return std::nullopt;
            }
            tokens.push_back(t);
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

std::string OutOfRange(const char* what, const std::string& typed, const char* range) {
    return std::string(what) + " hors limites : " + typed + " (" + range + ").";
}

ParsedPosition FromLambert(const Token& e, const Token& n) {
    double latitude = 0;
    double longitude = 0;
    if (!FromLambert93(e.value, n.value, latitude, longitude)) {
        return Failure("Lambert 93 hors limites : " + e.text + " " + n.text +
                       " tombe hors de la France métropolitaine, seule zone du Lambert 93.");
    }
    return Success(latitude, longitude, CoordinateForm::Lambert93);
}

ParsedPosition FromUtm(const Token& zoneToken, char band, const Token& e, const Token& n) {
    const int zone = static_cast<int>(zoneToken.value);
    if (!zoneToken.integer || zoneToken.signedNumber || zone < 1 || zone > 60) {
        return Failure(OutOfRange("Zone UTM", zoneToken.text, "de 1 à 60"));
    }
    const std::size_t bandIndex = kBands.find(band);
    if (bandIndex == std::string_view::npos) {
        return Failure("Bande UTM illisible : " + std::string(1, band) +
                       " (une lettre de C à X, sans I ni O).");
    }
    const bool northp = band >= 'N';
    double latitude = 0;
    double longitude = 0;
    try {
        UTMUPS::Reverse(zone, northp, e.value, n.value, latitude, longitude);
    } catch (const std::exception&) {
        return Failure("UTM hors limites : " + e.text + " " + n.text +
                       " ne tient pas dans la zone " + zoneToken.text + ".");
    }
    const double south = -80.0 + 8.0 * static_cast<double>(bandIndex);
    const double north = band == 'X' ? 84.0 : south + 8.0;
    constexpr double kSlack = 0.5;
    if (!(latitude >= south - kSlack && latitude <= north + kSlack)) {
        std::string message = "UTM hors limites : le point tombe hors de la bande " +
                              std::string(1, band) +
                              " ; la lettre est la bande de latitude, non l'hémisphère";
        if (latitude >= -80 && latitude <= 84) {
            const auto index = std::min<std::size_t>(static_cast<std::size_t>((latitude + 80) / 8),
                                                     kBands.size() - 1);
            message += std::string(" (ce point serait en ") + kBands[index] + ")";
        }
        return Failure(message + ".");
    }
    return Success(latitude, longitude, CoordinateForm::Utm);
}

// Zone, band, square and digits, spaces removed: "32TLR3456789012".
bool LooksLikeMgrs(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && i < 2 && IsDigit(s[i])) {
        ++i;
    }
    if (i == 0 || s.size() < i + 3 || !IsLetter(s[i]) || !IsLetter(s[i + 1]) ||
        !IsLetter(s[i + 2])) {
        return false;
    }
    const std::string digits = s.substr(i + 3);
    // At least the kilometre: a bare 100 km square is no position.
    return digits.size() >= 2 && digits.size() % 2 == 0 &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return IsDigit(c); });
}

ParsedPosition FromMgrs(const std::string& text) {
    try {
        int zone = 0;
        bool northp = false;
        double x = 0;
        double y = 0;
        int precision = 0;
        MGRS::Reverse(text, zone, northp, x, y, precision, true);
        double latitude = 0;
        double longitude = 0;
        UTMUPS::Reverse(zone, northp, x, y, latitude, longitude, true);
        return Success(latitude, longitude,
                       precision >= 5 ? CoordinateForm::Mgrs1m : CoordinateForm::Mgrs10m);
    } catch (const std::exception&) {
        return Failure("MGRS illisible : " + text +
                       " (zone, bande, carré de 100 km puis autant de chiffres pour l'est que "
                       "pour le nord, par exemple 32TLR3456789012).");
    }
}

struct Half {
    std::vector<Token> numbers;
    char letter = 0;
};

// One side of a sexagesimal position, checked then decoded by GeographicLib.
std::optional<std::string> CheckHalf(const Half& half) {
    const char* names[] = {"Degrés", "Minutes", "Secondes"};
    for (std::size_t k = 0; k < half.numbers.size(); ++k) {
        const Token& t = half.numbers[k];
        if (t.signedNumber) {
            return "Position illisible : " + t.text +
                   " porte un signe et une lettre d'hémisphère ; gardez la lettre seule.";
        }
        if (k + 1 < half.numbers.size() && !t.integer) {
            return "Position illisible : seul le dernier nombre de " + std::string(1, half.letter) +
                   " peut avoir des décimales (" + t.text + ").";
        }
        if (k > 0 && t.value >= 60) {
            return OutOfRange(names[k], t.text, "moins de 60");
        }
    }
    return std::nullopt;
}

std::string DmsText(const Half& half) {
    static constexpr const char* kSymbols[] = {"d", "'", "\""};
    std::string s;
    for (std::size_t k = 0; k < half.numbers.size(); ++k) {
        s += half.numbers[k].text;
        s += kSymbols[k];
    }
    return s + (half.letter == 'O' ? 'W' : half.letter);
}

ParsedPosition FromHalves(const Half& a, const Half& b) {
    const auto isLat = [](char c) { return c == 'N' || c == 'S'; };
    if (isLat(a.letter) == isLat(b.letter)) {
        return Failure("Position illisible : il faut une lettre N ou S pour la latitude et une "
                       "lettre E ou O pour la longitude.");
    }
    const Half& lat = isLat(a.letter) ? a : b;
    const Half& lon = isLat(a.letter) ? b : a;
    for (const Half* h : {&lat, &lon}) {
        if (auto error = CheckHalf(*h)) {
            return Failure(*error);
        }
    }
    double latitude = 0;
    double longitude = 0;
    try {
        DMS::flag ind = DMS::NONE;
        latitude = DMS::Decode(DmsText(lat), ind);
        longitude = DMS::Decode(DmsText(lon), ind);
    } catch (const std::exception&) {
        return Failure(UnreadablePositionMessage());
    }
    if (!(std::fabs(latitude) <= 90)) {
        return Failure(OutOfRange("Latitude", DmsText(lat), "au plus 90°"));
    }
    if (!(std::fabs(longitude) <= 180)) {
        return Failure(OutOfRange("Longitude", DmsText(lon), "au plus 180°"));
    }
    static constexpr CoordinateForm kForms[] = {CoordinateForm::Decimal,
                                                CoordinateForm::DegreesMinutes,
                                                CoordinateForm::DegreesMinutesSeconds};
    return Success(latitude, longitude, kForms[lat.numbers.size() - 1]);
}

bool IsHemisphere(const Token& t) {
    return t.kind == Token::Word && t.text.size() == 1 &&
           std::string_view("NSEOW").find(t.text[0]) != std::string_view::npos;
}

// Numbers with their letters, the letter after (45 56 3 N) or before (N 45 56 3) each side.
std::optional<std::pair<Half, Half>> SplitHalves(const std::vector<Token>& tokens) {
    const bool letterFirst = tokens.front().kind == Token::Word;
    std::vector<Half> halves(1);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Number) {
            halves.back().numbers.push_back(t);
            continue;
        }
        if (!IsHemisphere(t)) {
            return std::nullopt;
        }
        if (letterFirst && !halves.back().numbers.empty()) {
            halves.emplace_back();
        }
        halves.back().letter = t.text[0];
        if (!letterFirst && i + 1 < tokens.size()) {
            halves.emplace_back();
        }
    }
    if (halves.size() != 2) {
        return std::nullopt;
    }
    for (const Half& h : halves) {
        if (h.letter == 0 || h.numbers.empty() || h.numbers.size() > 3) {
            return std::nullopt;
        }
    }
    return std::make_pair(halves[0], halves[1]);
}

ParsedPosition FromTwoNumbers(const Token& a, const Token& b) {
    if (std::fabs(a.value) <= 90 && std::fabs(b.value) <= 180) {
        return Success(a.value, b.value, CoordinateForm::Decimal);
    }
    if (a.value >= 0 && a.value <= 1400000 && b.value >= 5900000 && b.value <= 7300000) {
        return FromLambert(a, b);
    }
    if (std::fabs(a.value) > 90 && std::fabs(a.value) < 1000) {
        return Failure(OutOfRange("Latitude", a.text, "de -90 à 90"));
    }
    if (std::fabs(b.value) > 180 && std::fabs(b.value) < 1000) {
        return Failure(OutOfRange("Longitude", b.text, "de -180 à 180"));
    }
    return Failure(UnreadablePositionMessage());
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::string UnreadablePositionMessage() {
    return "Position illisible : écrivez des degrés décimaux (45.9342 6.8375), des degrés et "
           "minutes (45° 56.05′ N 6° 50.25′ E), des degrés, minutes et secondes "
           "(45 56 3 N 6 50 15 E), de l'UTM (32T 334567 5089012), du MGRS (32TLR3456789012) ou "
           "du Lambert 93 (L93 1001234 6543210).";
}

ParsedPosition ParseCoordinate(std::string_view text) {
    const std::string s = Trimmed(text);
    if (s.find(',') != std::string::npos) {
        return Failure("Position illisible : les nombres s'écrivent avec un point décimal, "
                       "jamais une virgule (45.9342 6.8375, et non 45,9342 6,8375).");
    }
    std::string upper;
    std::string compact;
    for (const char c : s) {
        upper += Upper(c);
        if (c != ' ') {
            compact += Upper(c);
        }
    }
    for (const std::string_view prefix : {"LAMBERT93", "L93"}) {
        if (compact.rfind(prefix, 0) == 0) {
            std::string rest = upper;
            std::size_t skipped = 0;
            std::size_t i = 0;
            while (skipped < prefix.size()) {
                skipped += rest[i++] != ' ';
            }
            const auto tokens = Tokenize(std::string_view(rest).substr(i));
            if (!tokens || tokens->size() != 2 || (*tokens)[0].kind != Token::Number ||
                (*tokens)[1].kind != Token::Number) {
                return Failure("Lambert 93 illisible : écrivez L93 puis l'est et le nord en "
                               "mètres (L93 1001234 6543210).");
            }
            return FromLambert((*tokens)[0], (*tokens)[1]);
        }
    }
    if (LooksLikeMgrs(compact)) {
        return FromMgrs(compact);
    }
    const auto tokens = Tokenize(s);
    if (!tokens || tokens->empty()) {
        return Failure(UnreadablePositionMessage());
    }
    const std::vector<Token>& t = *tokens;
    if (t.size() == 4 && t[0].kind == Token::Number && t[1].kind == Token::Word &&
        t[1].text.size() == 1 && t[2].kind == Token::Number && t[3].kind == Token::Number) {
        return FromUtm(t[0], t[1].text[0], t[2], t[3]);
    }
    if (t.size() == 2 && t[0].kind == Token::Number && t[1].kind == Token::Number) {
        return FromTwoNumbers(t[0], t[1]);
    }
    if (const auto halves = SplitHalves(t)) {
        return FromHalves(halves->first, halves->second);
    }
    return Failure(UnreadablePositionMessage());
}

} // namespace ervalun::geodesy
