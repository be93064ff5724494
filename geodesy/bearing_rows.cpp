#include "geodesy/bearing_rows.h"

#include "data/replace_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

namespace ervalun::geodesy {

namespace {

enum Column {
    kName,
    kLatitude,
    kLongitude,
    kAzimuth,
    kSigma,
    kActive,
    kNorth,
    kDate,
    kColumnCount
};

constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "nom", "latitude", "longitude", "azimut", "sigma", "actif", "nord", "date"};

// Mistakes listed in one message at most; the rest are counted.
constexpr std::size_t kListedMistakes = 8;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = line.find(';');
        fields.push_back(Trim(line.substr(0, end)));
        if (end == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(end + 1);
    }
}

std::optional<double> ParseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string FormatNumber(double value) {
    // The shortest fixed notation that reads back as the same double: no exponent for the user.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string CleanName(const std::string& name) {
    std::string clean = name;
    for (char& c : clean) {
        if (c == ';') {
            c = ',';
        } else if (c == '\n' || c == '\r' || c == '\t') {
            c = ' ';
        }
    }
    return clean;
}

std::string Quoted(std::string_view text) {
    return "« " + std::string(text) + " »";
}

std::optional<int> ParseInteger(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// AAAA-MM-JJ, as written, or JJ/MM/AAAA, as the French write it.
std::optional<CalendarDate> ParseDate(std::string_view text) {
    const bool iso = text.size() == 10 && text[4] == '-' && text[7] == '-';
    const bool french = text.size() == 10 && text[2] == '/' && text[5] == '/';
    if (!iso && !french) {
        return std::nullopt;
    }
    const std::optional<int> year = ParseInteger(text.substr(iso ? 0 : 6, 4));
    const std::optional<int> month = ParseInteger(text.substr(iso ? 5 : 3, 2));
    const std::optional<int> day = ParseInteger(text.substr(iso ? 8 : 0, 2));
    if (!year || !month || !day) {
        return std::nullopt;
    }
    const CalendarDate date{*year, *month, *day};
    return IsValidDate(date) ? std::optional<CalendarDate>(date) : std::nullopt;
}

std::string FormatIsoDate(const CalendarDate& date) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer.data();
}

// The row of one line, or why there is none.
std::optional<BearingRow> ParseRow(const std::vector<std::string_view>& fields,
                                   const std::array<int, kColumnCount>& columns,
                                   std::string& reason) {
    auto field = [&](Column column) -> std::optional<std::string_view> {
        const int index = columns[column];
        if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) {
            return std::nullopt;
        }
        return fields[static_cast<std::size_t>(index)];
    };
    BearingRow row;
    row.name = std::string(field(kName).value_or(""));
    struct Bound {
        Column column;
        double* value;
        double limit;
        const char* what;
    };
    const Bound numbers[] = {{kLatitude, &row.latitude, 90.0, "la latitude"},
                             {kLongitude, &row.longitude, 180.0, "la longitude"},
                             {kAzimuth, &row.azimuth, 360.0, "l'azimut"}};
    for (const Bound& bound : numbers) {
        const std::optional<std::string_view> text = field(bound.column);
        if (!text || text->empty()) {
            reason = std::string(bound.what) + " manque (il faut au moins nom;latitude;"
                                               "longitude;azimut).";
            return std::nullopt;
        }
        const std::optional<double> value = ParseNumber(*text);
        if (!value) {
            reason = std::string(bound.what) + " " + Quoted(*text) +
                     " n'est pas un nombre en degrés décimaux avec un point.";
            return std::nullopt;
        }
        if (std::fabs(*value) > bound.limit) {
            reason = std::string(bound.what) + " " + Quoted(*text) + " dépasse " +
                     FormatNumber(bound.limit) + " degrés.";
            return std::nullopt;
        }
        *bound.value = *value;
    }
    if (const std::optional<std::string_view> text = field(kSigma); text && !text->empty()) {
        const std::optional<double> sigma = ParseNumber(*text);
        if (!sigma || *sigma <= 0.0 || *sigma > 90.0) {
            reason = "le sigma " + Quoted(*text) +
                     " n'est pas un nombre de degrés entre 0 et 90 (vide : la valeur par défaut).";
            return std::nullopt;
        }
        row.sigma = *sigma;
    }
    if (const std::optional<std::string_view> text = field(kActive); text && !text->empty()) {
        if (*text == "1" || *text == "oui") {
            row.active = true;
        } else if (*text == "0" || *text == "non") {
            row.active = false;
        } else {
            reason = "actif " + Quoted(*text) + " n'est ni 1 ni 0.";
            return std::nullopt;
        }
    }
    // Without the column the file is older than it: its azimuts were true.
    if (const std::optional<std::string_view> text = field(kNorth); text && !text->empty()) {
        const std::optional<NorthReference> north = ParseFrenchName(*text);
        if (!north) {
            reason = "le nord " + Quoted(*text) +
                     " n'est ni vrai, ni magnétique, ni Lambert 93, ni UTM.";
            return std::nullopt;
        }
        row.north = *north;
    }
    row.date = TodayLocal();
    if (const std::optional<std::string_view> text = field(kDate); text && !text->empty()) {
        const std::optional<CalendarDate> date = ParseDate(*text);
        if (!date) {
            reason = "la date " + Quoted(*text) + " n'est pas une date AAAA-MM-JJ ou JJ/MM/AAAA.";
            return std::nullopt;
        }
        row.date = *date;
    }
    return row;
}

} // namespace

std::string FormatBearingRows(const std::vector<BearingRow>& rows) {
    std::string text = "# Relevés d'Ervalun : un relevé par ligne, champs séparés par « ; ».\n"
                       "# Latitude et longitude en degrés décimaux (nord et est positifs), azimut "
                       "en degrés,\n"
                       "# sigma en degrés (vide : la valeur par défaut), actif 1 ou 0,\n"
                       "# nord vrai, magnétique, Lambert 93 ou UTM, date AAAA-MM-JJ ou "
                       "JJ/MM/AAAA.\n"
                       "# nom;latitude;longitude;azimut;sigma;actif;nord;date\n";
    for (const BearingRow& row : rows) {
        text += CleanName(row.name) + ';' + FormatNumber(row.latitude) + ';' +
                FormatNumber(row.longitude) + ';' + FormatNumber(row.azimuth) + ';' +
                (std::isfinite(row.sigma) ? FormatNumber(row.sigma) : std::string()) + ';' +
                (row.active ? '1' : '0') + ';' + std::string(FrenchName(row.north)) + ';' +
                FormatIsoDate(row.date) + '\n';
    }
    return text;
}

BearingRows ParseBearingRows(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::array<int, kColumnCount> columns = {0, 1, 2, 3, 4, 5, 6, 7};
    BearingRows result;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty()) {
            continue;
        }
        if (line.front() == '#') {
            const std::vector<std::string_view> names = Split(line.substr(1));
            if (names.front() != kColumnNames[kName]) {
                continue;
            }
            columns.fill(-1);
            for (std::size_t i = 0; i < names.size(); ++i) {
                for (int column = 0; column < kColumnCount; ++column) {
                    if (names[i] == kColumnNames[static_cast<std::size_t>(column)]) {
                        columns[static_cast<std::size_t>(column)] = static_cast<int>(i);
                    }
                }
            }
            continue;
        }
        std::string reason;
        if (std::optional<BearingRow> row = ParseRow(Split(line), columns, reason)) {
            result.rows.push_back(std::move(*row));
        } else {
            result.mistakes.push_back({number, std::move(reason)});
        }
    }
    return result;
}

BearingRows ReadBearingRowsFile(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error)) {
        return {};
    }
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file || !std::filesystem::is_regular_file(fileName, error)) {
        return {{}, {{0, "le fichier ne peut pas être lu."}}};
    }
    return ParseBearingRows(bytes.str());
}

bool WriteBearingRowsFile(const std::string& fileName, const std::vector<BearingRow>& rows) {
    return ReplaceFile(fileName, FormatBearingRows(rows));
}

std::string BearingRowsMessage(const std::string& fileName,
                               const std::vector<BearingRowsMistake>& mistakes) {
    if (mistakes.empty()) {
        return {};
    }
    if (mistakes.size() == 1 && mistakes.front().line == 0) {
        return "Fichier " + fileName + " : " + mistakes.front().reason +
               " Les relevés ajoutés repartent d'un tableau vide.";
    }
    std::string text = "Fichier " + fileName + " : " + std::to_string(mistakes.size()) +
                       (mistakes.size() == 1 ? " ligne est laissée" : " lignes sont laissées") +
                       " de côté, les autres relevés sont gardés.";
    for (std::size_t i = 0; i < mistakes.size() && i < kListedMistakes; ++i) {
        text += "\nLigne " + std::to_string(mistakes[i].line) + " : " + mistakes[i].reason;
    }
    if (mistakes.size() > kListedMistakes) {
        text += "\n(et " + std::to_string(mistakes.size() - kListedMistakes) + " autres)";
    }
    return text;
}

} // namespace ervalun::geodesy
