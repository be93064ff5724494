#include "ui/display_text.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace {

// The bytes as UTF-8, or nothing when they are not UTF-8 (a sequence cut short, overlong, a
// surrogate or beyond U+10FFFF). Stateless: a sequence cut short at the end is an error, not
// the start of more to come. A byte order mark at the start is dropped.
std::optional<QString> DecodeUtf8(std::string_view bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    return DecodeUtf8(bytes).has_value();
}

QString DisplayName(std::string_view bytes) {
    if (std::optional<QString> text = DecodeUtf8(bytes)) {
        return *text;
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
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
