#include "ui/display_text.h"

#include <QStringList>

bool IsValidUtf8(const std::string& bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned int codePoint = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            codePoint = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            codePoint = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            codePoint = c & 0x07u;
        } else {
            return false; // continuation byte first, overlong lead 0xC0/0xC1, or beyond 0xF4
        }
        if (n - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0u) != 0x80u) {
                return false;
            }
            codePoint = (codePoint << 6) | (s[i + k] & 0x3Fu);
        }
        // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
        if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
            return false;
        }
        i += length;
    }
    return true;
}

QString DisplayName(const std::string& bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (IsValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), size);
    }
    return QString::fromLatin1(bytes.data(), size);
}

QString DisplayNameLines(const std::string& text) {
    QStringList lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines << DisplayName(text.substr(start));
            break;
        }
        lines << DisplayName(text.substr(start, end - start));
        start = end + 2;
    }
    return lines.join(QLatin1Char('\n'));
}
