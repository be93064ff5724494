#include "ui/dialog_units.h"

#include <QFontMetrics>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // Average width over the 52 Latin letters, rounded, as dialog templates have always done.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int total = metrics.horizontalAdvance(letters);
    baseX_ = qMax(1, (total / 26 + 1) / 2);
    baseY_ = qMax(1, metrics.height());
}

int DialogUnits::X(int units) const {
    return units * baseX_ / 4;
}

int DialogUnits::Y(int units) const {
    return units * baseY_ / 8;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}
