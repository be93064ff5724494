#pragma once

#include "geodesy/magnetic_model.h"
#include "geodesy/north_reference.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The bearings the user adds in the geodesic window, kept in a plain text file of the working
// folder that the user may read and edit:
//
//   # Relevés d'Ervalun : un relevé par ligne, ...
//   # nom;latitude;longitude;azimut;sigma;actif;nord;date
//   Le-Brevent;45.934166667;6.8375;108;;1;magnétique;2026-12-07
//
// Fields are separated by ";"; latitude and longitude are signed decimal degrees (north and east
// positive) with a decimal point, the azimut in degrees, sigma in degrees or empty for the
// default, actif 1 or 0 (oui/non, empty: 1), nord the north the azimut is read from ("vrai",
// "magnétique", "Lambert 93", "UTM"), date the day of the observation, written AAAA-MM-JJ (it
// sorts and cannot be mistaken for a month first), read also as JJ/MM/AAAA. A file without a
// nord column was written when every azimut was entered as true: its rows are "vrai". An empty
// date is the day the file is read. The last comment line that starts with "nom" names
// the columns of the lines after it, so that columns may be added or moved: unknown columns are
// ignored, sigma and actif may be missing. A line that cannot be read is left out, with its
// number in the message, and the others are kept.

namespace ervalun::geodesy {

inline constexpr char kBearingRowsFileName[] = "releves.txt";

struct BearingRow {
    std::string name; // UTF-8; ";" and line breaks are written as "," and spaces
    double latitude = 0.0;
    double longitude = 0.0;
    double azimuth = 0.0;
    double sigma = std::numeric_limits<double>::quiet_NaN(); // NaN: the default
    bool active = true;
    // Rows of files from before the north column were true bearings; the form sets its own.
    NorthReference north = NorthReference::True;
    CalendarDate date; // of the observation, for the magnetic model

    bool operator==(const BearingRow&) const = default;
};

struct BearingRowsMistake {
    int line = 0;       // from 1
    std::string reason; // in French, without the line number
};

struct BearingRows {
    std::vector<BearingRow> rows;
    std::vector<BearingRowsMistake> mistakes;
};

// The text of the file: the comment header, then one line per row, "\n" line ends. Numbers keep
// every digit they need to be read back the same.
std::string FormatBearingRows(const std::vector<BearingRow>& rows);

// Reads the text of the file (UTF-8, with or without a byte order mark, LF or CR LF).
BearingRows ParseBearingRows(std::string_view text);

// Reads the file. A missing file gives no row and no mistake; one that cannot be read gives a
// mistake on line 0.
BearingRows ReadBearingRowsFile(const std::string& fileName);

// Writes the file whole (the old content stays if that fails); returns whether it did.
bool WriteBearingRowsFile(const std::string& fileName, const std::vector<BearingRow>& rows);

// The message telling the user which lines were left out and why; empty without mistakes.
std::string BearingRowsMessage(const std::string& fileName,
                               const std::vector<BearingRowsMistake>& mistakes);

} // namespace ervalun::geodesy
