#include "ui/diagram_painter.h"
#include "ui/icons.h"

#include <QImage>
#include <QSet>
#include <QtTest>

namespace {

GeoPosition At(double longitude, double latitude) {
    GeoPosition p;
    p.longitude = longitude;
    p.latitude = latitude;
    return p;
}

bool OnFrame(const QImage& image, int x, int y) {
    return x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
}

} // namespace

class DiagramTest : public QObject {
    Q_OBJECT
private slots:
    void beforeCalculationOnlyYellowAndFrame() {
        // Positions are present but no result yet: nothing of them is drawn.
        const QImage image = RenderDiagram(96, 104, false, At(2, 48), At(3, 48), At(2.5, 49));
        QCOMPARE(image.size(), QSize(96, 104));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb expected = OnFrame(image, x, y) ? kDiagramFrame : kDiagramBackground;
                if (image.pixel(x, y) != expected) {
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
                }
            }
        }
    }

    void afterCalculationCrossesLinesAndFrame() {
        const QImage image = RenderDiagram(100, 100, true, At(2, 48), At(3, 48), At(2.5, 49));
        // Cross centres, and a point on each arm (arms are 5 pixels long on each side).
        QCOMPARE(image.pixel(10, 90), kFirstPointColour);
        QCOMPARE(image.pixel(6, 90), kFirstPointColour);
        QCOMPARE(image.pixel(10, 86), kFirstPointColour);
        QCOMPARE(image.pixel(90, 90), kSecondPointColour);
        QCOMPARE(image.pixel(94, 90), kSecondPointColour);
        QCOMPARE(image.pixel(50, 10), kResultColour);
        QCOMPARE(image.pixel(50, 13), kResultColour);
        // Beyond the arms the area is yellow again.
        QCOMPARE(image.pixel(10, 80), kDiagramBackground);
        QCOMPARE(image.pixel(20, 90), kDiagramBackground);
        // Halfway along each bearing line, first point -> result -> second point.
        QCOMPARE(image.pixel(30, 50), kDiagramLine);
        QCOMPARE(image.pixel(70, 50), kDiagramLine);
        // Inside the triangle and below the points: nothing drawn.
        QCOMPARE(image.pixel(50, 60), kDiagramBackground);
        QCOMPARE(image.pixel(50, 95), kDiagramBackground);
        // The frame is untouched and no blended colour exists: drawn without antialiasing.
        const QSet<QRgb> allowed = {kDiagramBackground, kDiagramFrame, kFirstPointColour,
                                    kSecondPointColour, kResultColour};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                if ((OnFrame(image, x, y) && c != kDiagramFrame) || !allowed.contains(c)) {
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3")
                                         .arg(x)
                                         .arg(y)
                                         .arg(c, 8, 16, QLatin1Char('0'))));
                }
            }
        }
    }

    void westIsMirroredAndResultLiesOnTop() {
        const QImage west = RenderDiagram(100, 100, true, At(-2, 48), At(-3, 48), At(-2.5, 49));
        QCOMPARE(west.pixel(90, 90), kFirstPointColour);
        QCOMPARE(west.pixel(10, 90), kSecondPointColour);
        QCOMPARE(west.pixel(50, 10), kResultColour);

        // Three coincident positions meet at 60 % across, 40 % down; the result is drawn last.
        const QImage same = RenderDiagram(100, 100, true, At(6, 45), At(6, 45), At(6, 45));
        QCOMPARE(same.pixel(60, 40), kResultColour);
        QCOMPARE(same.pixel(56, 40), kResultColour);
    }

    void farResultStillDraws() {
        // A result far beyond any area squeezes both known points together at (10, 90), the
        // second drawn over the first; the frame stays.
        const QImage far = RenderDiagram(100, 100, true, At(2, 48), At(3, 48), At(1e12, 1e12));
        QCOMPARE(far.pixel(10, 90), kSecondPointColour);
        QCOMPARE(far.pixel(90, 10), kResultColour);
        QCOMPARE(far.pixel(50, 50), kDiagramLine);
        // One whose scaled pixel overflows is clipped away; nothing else is disturbed.
        const QImage huge = RenderDiagram(100, 100, true, At(2, 48), At(3, 48), At(1e308, 1e308));
        QCOMPARE(huge.pixel(10, 90), kSecondPointColour);
        QCOMPARE(huge.pixel(0, 0), kDiagramFrame);
        QCOMPARE(huge.pixel(99, 99), kDiagramFrame);
        QCOMPARE(huge.pixel(50, 60), kDiagramBackground);
        // An empty area gives an empty image rather than a failure.
        QVERIFY(RenderDiagram(0, 0, true, At(2, 48), At(3, 48), At(2.5, 49)).isNull());
    }

    void iconsCarryTheMarkerColours() {
        // Each legend icon is its marker's colour on the diagram's yellow.
        const std::pair<DiagramMarker, QRgb> legend[] = {
            {DiagramMarker::FirstPoint, kFirstPointColour},
            {DiagramMarker::SecondPoint, kSecondPointColour},
            {DiagramMarker::Result, kResultColour}};
        for (const auto& [marker, colour] : legend) {
            const QImage icon = LegendIconImage(marker);
            QCOMPARE(icon.size(), QSize(32, 32));
            QCOMPARE(icon.pixel(16, 16), colour);
            QCOMPARE(icon.pixel(1, 1), kDiagramBackground);
        }
        // The application icon comes in the small sizes the desktop asks for, each with the
        // three crosses (result above, observation points below) on yellow.
        const QList<QSize> sizes = ApplicationIcon().availableSizes();
        for (const int side : {16, 32, 48, 256}) {
            QVERIFY(sizes.contains(QSize(side, side)));
            const QImage icon = ApplicationIconImage(side);
            QCOMPARE(icon.pixel(side / 2, side / 4), kResultColour);
            QCOMPARE(icon.pixel(side / 4, side * 3 / 4), kFirstPointColour);
            QCOMPARE(icon.pixel(side * 3 / 4, side * 3 / 4), kSecondPointColour);
            QCOMPARE(icon.pixel(0, 0), kDiagramBackground);
        }
    }
};

QTEST_MAIN(DiagramTest)
#include "diagram_test.moc"
