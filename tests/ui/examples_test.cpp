// The example working folder: its reference files load without a message, the map image
// matches its calibration, and the markers are what the map page expects.

#include "data/records.h"
#include "engine/triangulation_engine.h"

#include <QColor>
#include <QImage>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kExamples =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "examples";

class Messages : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

int CountLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

QString Path(const char* name) {
    return QString::fromStdString((kExamples / name).string());
}

} // namespace

class ExamplesTest : public QObject {
    Q_OBJECT
private slots:
    void referenceFilesLoadWhole() {
        TriangulationEngine engine;
        Messages messages;
        engine.messages = &messages;
        engine.LoadPositions((kExamples / "ervalun.txt").string(), &engine.directory);
        engine.LoadRoster((kExamples / "operateurs.txt").string(), &engine.roster);
        QVERIFY(messages.shown.empty());
        QCOMPARE(engine.directoryLoaded, 1);
        QCOMPARE(engine.rosterLoaded, 1);
        // One record a line: a name with a space or a missing final line feed would lose one.
        QCOMPARE(int(engine.directory.size()), CountLines(kExamples / "ervalun.txt"));
        QCOMPARE(int(engine.roster.size()), CountLines(kExamples / "operateurs.txt"));
        for (const KnownPosition& p : engine.directory) {
            QVERIFY2(!p.name.empty() && p.latitude > 0 && p.longitude > 0, p.name.c_str());
        }

        // The roster shows the byte order: capitals, then small letters, then accented ones.
        SortByName(engine.roster);
        auto kind = [](const Member& m) {
            const auto c = static_cast<unsigned char>(m.name.at(0));
            return c >= 0x80 ? 2 : (c >= 'a' && c <= 'z' ? 1 : 0);
        };
        QCOMPARE(kind(engine.roster.front()), 0);
        QCOMPARE(kind(engine.roster.back()), 2);
        bool small = false;
        for (const Member& m : engine.roster) {
            small = small || kind(m) == 1;
        }
        QVERIFY(small);
    }

    void mapMatchesItsCalibration() {
        TriangulationEngine engine;
        Messages messages;
        engine.messages = &messages;
        engine.LoadPositions((kExamples / "ervalun.txt").string(), &engine.directory);
        MapCalibration calibration;
        QCOMPARE(engine.LoadCalibration((kExamples / "calibration.txt").string(), calibration), 1);

        QImage map;
        QVERIFY(map.load(Path("map.jpg")));
        QCOMPARE(map.size(), QSize(calibration.imageWidth, calibration.imageHeight));

        // Each place's marker centre falls inside the image, on the place's dark dot.
        for (const KnownPosition& entry : engine.directory) {
            GeoPosition place;
            place.longitude = entry.longitude;
            place.latitude = entry.latitude;
            int left = 0, top = 0, l2 = 0, t2 = 0, l3 = 0, t3 = 0;
            QCOMPARE(engine.PlaceMarkers(place, place, place, calibration.imageWidth,
                                         calibration.imageHeight, left, top, l2, t2, l3, t3,
                                         calibration.topLeft, calibration.bottomRight),
                     1);
            const QPoint centre(left + 25, top + 25);
            QVERIFY2(map.rect().contains(centre), entry.name.c_str());
            QVERIFY2(QColor(map.pixel(centre)).lightness() < 110, entry.name.c_str());
        }
    }

    void markersAreRingsOnTransparency() {
        const std::pair<const char*, QColor> markers[] = {{"noire.gif", QColor(0, 0, 0)},
                                                          {"verte.gif", QColor(0, 128, 0)},
                                                          {"rouge.gif", QColor(255, 0, 0)}};
        for (const auto& [name, colour] : markers) {
            QImage marker;
            QVERIFY2(marker.load(Path(name)), name);
            QCOMPARE(marker.size(), QSize(50, 50));
            QCOMPARE(qAlpha(marker.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(marker.pixel(49, 49)), 0);
            // The ring, 16 pixels from the centre where the page puts the point.
            QCOMPARE(QColor(marker.pixel(25, 9)), colour);
            QCOMPARE(QColor(marker.pixel(41, 25)), colour);
            QCOMPARE(qAlpha(marker.pixel(25, 17)), 0);
        }
    }

    void sampleCalculationNamesChamonix() {
        // Bearings taken from Le-Brévent and from Montenvers towards the centre of Chamonix.
        TriangulationEngine engine;
        Messages messages;
        engine.messages = &messages;
        engine.LoadPositions((kExamples / "ervalun.txt").string(), &engine.directory);
        SortByName(engine.directory);
        auto find = [&](const std::string& name) {
            for (int i = 0; i < int(engine.directory.size()); ++i) {
                if (engine.directory[std::size_t(i)].name == name) {
                    return i;
                }
            }
            return -1;
        };
        double g[2][6] = {};
        int hem[2][2] = {};
        const int from[2] = {find("Le-Brévent"), find("Montenvers")};
        for (int k = 0; k < 2; ++k) {
            QVERIFY(from[k] >= 0);
            engine.FillFromPosition(engine.directory, from[k], g[k][0], g[k][1], g[k][2], g[k][3],
                                    g[k][4], g[k][5], hem[k][0], hem[k][1]);
        }
        double r[6] = {};
        int rw = 0, rs = 0;
        std::string name;
        engine.Triangulate(g[0][0], g[0][1], g[0][2], hem[0][0], g[0][3], g[0][4], g[0][5],
                           hem[0][1], 108.0, g[1][0], g[1][1], g[1][2], hem[1][0], g[1][3], g[1][4],
                           g[1][5], hem[1][1], 264.0, r[0], r[1], r[2], rw, r[3], r[4], r[5], rs,
                           name);
        QCOMPARE(QString::fromStdString(name), QStringLiteral("Chamonix"));
        QCOMPARE(rw, 0);
        QCOMPARE(rs, 0);
    }
};

QTEST_MAIN(ExamplesTest)
#include "examples_test.moc"
