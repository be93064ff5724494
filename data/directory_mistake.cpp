#include "data/directory_mistake.h"

#include <string_view>

namespace ervalun {

namespace {

bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t follow = 0;
        unsigned int code = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            follow = 1;
            code = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2;
            code = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3;
            code = b & 0x07u;
        } else {
            return false;
        }
        if (i + follow >= bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0u) != 0x80u) {
                return false;
            }
            code = (code << 6) | (c & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond the last code point.
        if ((follow == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (follow == 3 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += follow + 1;
    }
    return true;
}

// Bytes of the user's file as readable UTF-8 of at most maxChars characters: UTF-8 stays as it
// is, anything else is taken as Latin-1, as the dialog shows names; control bytes become
// spaces, and a cut text ends with an ellipsis.
std::string Readable(std::string_view bytes, std::size_t maxChars) {
    const bool utf8 = IsUtf8(bytes);
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool starts = !utf8 || (b & 0xC0u) != 0x80u;
        if (starts && chars == maxChars) {
            out += "…";
            break;
        }
        if (starts) {
            ++chars;
        }
        if (b < 0x20 || b == 0x7F) {
            out += ' ';
        } else if (utf8 || b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

} // namespace

std::string DirectoryMistakeMessage(const DirectoryMistake& mistake) {
    std::string text = "Fichier ervalun.txt, ligne " + std::to_string(mistake.line) + " : « " +
                       Readable(mistake.token, 20) + " » ";
    text += mistake.longitude
                ? "n'est pas une lettre de longitude (E ou O) ; cette position est lue à l'est."
                : "n'est pas une lettre de latitude (N ou S) ; cette position est lue au nord.";
    text += "\n\n" + Readable(mistake.lineText, 80) + "\n\n";
    text += "Chaque ligne donne : nom (sans espace), latitude en degrés, minutes, secondes et N "
            "ou S, puis longitude en degrés, minutes, secondes et E ou O. Un nom contenant une "
            "espace décale tous les champs suivants : remplacez l'espace par un tiret. Corrigez "
            "le fichier puis relancez Ervalun.";
    return text;
}

} // namespace ervalun
