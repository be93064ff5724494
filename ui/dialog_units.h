#pragma once

#include <QFont>
#include <QRect>

// Converts dialog-template units to pixels with a font's own metrics: the horizontal base unit
// is the average character width, the vertical one the font height; x and width count quarters
// of the former, y and height eighths of the latter.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int baseX_ = 1;
    int baseY_ = 1;
};
