#include "geodesy/bearing_rows.h"
#include "tests/ui/dialog_test_support.h"
#include "ui/bearing_sketch.h"
#include "ui/bearing_table.h"
#include "ui/bearings_page.h"
#include "ui/ervalun_dlg.h"
#include "ui/geodesic_window.h"
#include "ui/north_choice.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace dialog_testing;
using namespace dlgid;
namespace geodesy = ervalun::geodesy;

class BearingTableTest : public QObject {
    Q_OBJECT

    static constexpr int kNorthColumn = 4;
    static constexpr int kActiveColumn = 6;
    static constexpr int kRemarksColumn = 11;

    QTemporaryDir settingsDir_;
    Workspace work_;

    static CBearingsPage* OpenPage(CErvalunDlg& d) {
        d.OnGeodesicCheck();
        Child<QTabWidget>(d.GeodesicWindow(), "geodesicTabs")->setCurrentIndex(1);
        return d.GeodesicWindow()->Bearings();
    }

    template <typename T> static T* Child(QWidget* parent, const char* name) {
        T* child = parent->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no child %s", name);
        }
        return child;
    }

    // A row added as a user does: a name, the position typed unless empty, an azimuth.
    static void AddRow(CBearingsPage* page, const char* name, const QStringList& position,
                       const char* azimuth) {
        Child<QLineEdit>(page, "bearingName")->setText(QString::fromUtf8(name));
        const char* fields[] = {"bearingLatDeg", "bearingLatMin", "bearingLatSec", "bearingLatHem",
                                "bearingLonDeg", "bearingLonMin", "bearingLonSec", "bearingLonHem"};
        for (int i = 0; i < position.size(); ++i) {
            if (i % 4 == 3) {
                auto* hemisphere = Child<QComboBox>(page, fields[i]);
                hemisphere->setCurrentIndex(hemisphere->findText(position[i]));
            } else {
                Child<QLineEdit>(page, fields[i])->setText(position[i]);
            }
        }
        Child<QLineEdit>(page, "bearingAzimuth")->setText(QString::fromLatin1(azimuth));
        QTest::mouseClick(Child<QPushButton>(page, "bearingAdd"), Qt::LeftButton);
    }

    // Whether the sketch has pixels of the estimate's red and of the ellipse's orange.
    static std::pair<int, int> Colours(CBearingSketch* sketch) {
        QCoreApplication::processEvents();
        const QImage image = sketch->grab().toImage();
        bool red = false;
        bool orange = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red = red || (c.red() > 170 && c.green() < 40 && c.blue() < 40);
                orange = orange ||
                         (c.red() > 200 && c.green() > 100 && c.green() < 140 && c.blue() < 30);
            }
        }
        return {red ? 1 : 0, orange ? 1 : 0};
    }

    static QPoint RowCentre(CBearingsPage* page, int row) {
        auto* grid = Child<QTableWidget>(page, "bearingTable");
        return grid->visualRect(grid->model()->index(row, 0)).center();
    }

    static void Calculate(CErvalunDlg& d, const char* bearing1, const char* bearing2) {
        Edit(d, kBearing1)->setText(QString::fromLatin1(bearing1));
        Edit(d, kBearing2)->setText(QString::fromLatin1(bearing2));
        QTest::mouseClick(Button(d, kOk), Qt::LeftButton);
    }

    // The README example: Le-Brevent with 108, Montenvers with 264.
    static void CalculateExample(CErvalunDlg& d) {
        ChooseWithKeys(d, kPosition1, 4);
        ChooseWithKeys(d, kPosition2, 5);
        Calculate(d, "108", "264");
    }

private slots:
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        // A Latin-1 name among the others.
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         "Aiguille-du-Midi 45 52 44 N 6 53 15 E\nChamonix 45 55 25 N 6 52 10 E\n"
                         "Lac-Blanc 45 58 54 N 6 53 28 E\nLe-Brevent 45 56 3 N 6 50 15 E\n"
                         "Montenvers 45 55 44 N 6 55 7 E\nD\xF4me 45 50 36 N 6 50 28 O\n");
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
    }

    void init() { QFile::remove(QString::fromLatin1(geodesy::kBearingRowsFileName)); }

    void firstTwoRowsFollowEachCalculation() {
        CapturingSink sink;
        auto d = Open(sink);
        // The window made after the calculation gets its rows.
        CalculateExample(*d);
        CBearingTable* table = OpenPage(*d)->Table();
        QCOMPARE(table->DialogRowCount(), 2);
        std::vector<geodesy::BearingRow> rows = table->Rows();
        QCOMPARE(QString::fromStdString(rows[0].name), QStringLiteral("Le-Brevent"));
        QCOMPARE(rows[1].name, std::string("Montenvers"));
        QCOMPARE(rows[0].latitude, d->m_engine->position1.latitude);
        QCOMPARE(rows[1].longitude, d->m_engine->position2.longitude);
        QCOMPARE(rows[1].azimuth, 264.0);
        // The directory was given to the estimate's next station.
        const QString next = Child<QLabel>(table->parentWidget(), "estimateNext")->text();
        QVERIFY2(next.startsWith(QStringLiteral("Prochain relevé conseillé : ")) &&
                     !next.contains(QStringLiteral("pas chargé")),
                 qPrintable(next));
        // The next calculation has the positions typed: the rows follow, named by their order.
        Calculate(*d, "100", "250");
        rows = table->Rows();
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[0].azimuth, 100.0);
        QCOMPARE(rows[0].name, std::string("Observation 1"));
        QVERIFY(!QFile::exists(QString::fromLatin1(geodesy::kBearingRowsFileName)));
    }

    void rowsAreAddedSavedAndLeftOut() {
        CapturingSink sink;
        auto d = Open(sink);
        CBearingsPage* page = OpenPage(*d);
        CBearingTable* table = page->Table();
        CalculateExample(*d);
        // A directory name fills the position, a Latin-1 one too; a typed one is read as in the
        // form.
        AddRow(page, "Dôme", {}, "40");
        AddRow(page, "Sommet", {"45", "58", "54", "N", "6", "53", "28.5", "E"}, "194.5");
        // A refused field is named beside the form, and nothing is added.
        const struct {
            QStringList position;
            const char* azimuth;
            const char* said;
        } refused[] = {
            {{}, "cent", "Azimut : « cent »"},
            {{"45", "75", "0", "N"}, "10", "Latitude, minutes : « 75 »"},
            {{"45", "0", "0", "N", "181"}, "10", "Longitude, degrés : « 181 »"},
            {{"45", "0", "0", "N", "6", "0", "0,5"}, "10", "Longitude, secondes : « 0,5 »"}};
        for (const auto& row : refused) {
            AddRow(page, "Chamonix", row.position, row.azimuth);
            const QString said = Child<QLabel>(page, "bearingMistake")->text();
            QVERIFY2(said.startsWith(QString::fromUtf8(row.said)), qPrintable(said));
        }
        const std::vector<geodesy::BearingRow>& rows = table->UserRows();
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[0].name, std::string("Dôme"));
        QVERIFY(std::fabs(rows[0].latitude - (45 + 50 / 60.0 + 36 / 3600.0)) < 1e-12);
        QVERIFY(std::fabs(rows[0].longitude + (6 + 50 / 60.0 + 28 / 3600.0)) < 1e-12);
        QCOMPARE(rows[1].longitude, 6 + 53 / 60.0 + 28.5 / 3600.0);
        QCOMPARE(rows[1].azimuth, 194.5);
        QVERIFY(std::isnan(rows[1].sigma));
        // The file holds the user's rows as they stand.
        QCOMPARE(Workspace::Read(QString::fromLatin1(geodesy::kBearingRowsFileName)).toStdString(),
                 geodesy::FormatBearingRows(rows));

        // Enter in the form adds the row, once, and leaves the window open.
        Child<QLineEdit>(page, "bearingName")->clear();
        Child<QLineEdit>(page, "bearingName")->setText(QStringLiteral("Chamonix"));
        Child<QLineEdit>(page, "bearingAzimuth")->setText(QStringLiteral("12"));
        QTest::keyClick(Child<QLineEdit>(page, "bearingAzimuth"), Qt::Key_Return);
        QCOMPARE(rows.size(), std::size_t{3});
        QVERIFY(d->GeodesicWindow()->isVisible());
        QVERIFY(!Child<QLabel>(page, "bearingMistake")->isVisible());
        QTest::mouseClick(Child<QTableWidget>(page, "bearingTable")->viewport(), Qt::LeftButton, {},
                          RowCentre(page, 4));
        QTest::mouseClick(Child<QPushButton>(page, "bearingRemove"), Qt::LeftButton);
        QCOMPARE(rows.size(), std::size_t{2});

        // Leaving a row out moves the estimate, and is saved.
        AddRow(page, "Aiguille-du-Midi", {}, "345");
        QVERIFY(page->Estimate().Found());
        const geodesy::BearingEstimate before = page->Estimate();
        auto* grid = Child<QTableWidget>(page, "bearingTable");
        grid->item(4, kActiveColumn)->setCheckState(Qt::Unchecked);
        QCOMPARE(page->Estimate().used, before.used - 1);
        QVERIFY(page->Estimate().latitude != before.latitude);
        QVERIFY(grid->item(4, kRemarksColumn)->text().contains(QStringLiteral("laissé de côté")));
        QCOMPARE(geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName).rows[2].active, false);
        QVERIFY(sink.messages.isEmpty());

        // The sketch shows the estimate (red) and, the ellipse being small at the scale of the
        // stations, its enlarged view (orange); without an estimate neither.
        auto* sketch = Child<CBearingSketch>(page, "bearingSketch");
        grid->item(4, kActiveColumn)->setCheckState(Qt::Checked);
        QCOMPARE(Colours(sketch), (std::pair<int, int>{1, 1}));
        for (int row = 0; row < grid->rowCount(); ++row) {
            grid->item(row, kActiveColumn)->setCheckState(Qt::Unchecked);
        }
        QVERIFY(!page->Estimate().Found());
        QCOMPARE(Colours(sketch), (std::pair<int, int>{0, 0}));
    }

    void estimatorSettingsAreKept() {
        CapturingSink sink;
        auto d = Open(sink);
        CBearingsPage* page = OpenPage(*d);
        CalculateExample(*d);
        AddRow(page, "Aiguille-du-Midi", {}, "345");
        // The manual declination of the dialog's observations turns their azimuths in the
        // estimate, not those the table shows.
        const double latitude = page->Estimate().latitude;
        auto* declination = Child<QDoubleSpinBox>(d->GeodesicWindow(), "geodesicDeclination");
        for (const char* name : {"geodesicNorth1", "geodesicNorth2"}) {
            Child<QComboBox>(d->GeodesicWindow(), name)->setCurrentIndex(kManualNorthChoice);
        }
        declination->setValue(2);
        QVERIFY(std::fabs(page->Estimate().latitude - latitude) > 1e-4);
        QCOMPARE(page->Table()->Rows()[1].azimuth, 264.0);
        declination->setValue(0);
        QCOMPARE(page->Estimate().latitude, latitude);
        for (const char* name : {"geodesicNorth1", "geodesicNorth2"}) {
            Child<QComboBox>(d->GeodesicWindow(), name)->setCurrentIndex(kTrueNorthChoice);
        }
        const double area = page->Estimate().ellipse.areaHectares;
        Child<QComboBox>(page, "estimateEstimator")->setCurrentIndex(1);
        Child<QComboBox>(page, "estimateConfidence")->setCurrentIndex(1);
        QCOMPARE(page->Estimate().estimator, geodesy::Estimator::Huber);
        QCOMPARE(page->Estimate().ellipse.level, 0.5);
        QVERIFY(page->Estimate().ellipse.areaHectares < area);
        CapturingSink otherSink;
        CErvalunDlg next(&otherSink);
        CBearingsPage* reopened = OpenPage(next);
        QCOMPARE(Child<QComboBox>(reopened, "estimateEstimator")->currentText(),
                 QStringLiteral("Huber"));
        QCOMPARE(Child<QComboBox>(reopened, "estimateConfidence")->currentText(),
                 QStringLiteral("50 %"));
        Child<QComboBox>(reopened, "estimateEstimator")->setCurrentIndex(0);
        Child<QComboBox>(reopened, "estimateConfidence")->setCurrentIndex(0);
    }

    void scaleBarIsARoundLengthUnderHalfTheWidth() {
        const std::pair<double, double> cases[] = {
            {0.0, 0.0},    {-5.0, 0.0},      {NAN, 0.0},        {30.0, 10.0},
            {100.0, 50.0}, {7300.0, 2000.0}, {19999.0, 5000.0}, {0.3, 0.1}};
        for (const auto& [width, bar] : cases) {
            QCOMPARE(ScaleBarMetres(width), bar);
        }
    }

    void savedRowsComeBackAndABadLineIsNamed() {
        Workspace::Write(QString::fromLatin1(geodesy::kBearingRowsFileName),
                         "# nom;latitude;longitude;azimut;sigma;actif\n"
                         "A;45.9;6.8;90;;1\nB;45,9;6.8;90;;1\nC;45.95;6.9;200;1.5;0\n");
        CapturingSink sink;
        auto d = Open(sink);
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.messages[0].contains(QStringLiteral("releves.txt")) &&
                     sink.messages[0].contains(QStringLiteral("Ligne 3 : ")),
                 qPrintable(sink.messages[0]));
        const std::vector<geodesy::BearingRow>& rows = OpenPage(*d)->Table()->UserRows();
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[0].name, std::string("A"));
        QCOMPARE(rows[1].sigma, 1.5);
        QVERIFY(!rows[1].active);
        // Written before the north column: entered as true.
        QCOMPARE(rows[0].north, geodesy::NorthReference::True);
    }

    void magneticRowsAreMadeTrueAtTheirStationAndDate() {
        CapturingSink sink;
        auto d = Open(sink);
        CBearingsPage* page = OpenPage(*d);
        // Compass readings of 7 December 2026, the form's default north.
        Child<QDateEdit>(page, "bearingDate")->setDate(QDate(2026, 12, 7));
        AddRow(page, "Le-Brevent", {}, "108");
        AddRow(page, "Montenvers", {}, "264");
        AddRow(page, "Lac-Blanc", {}, "190");
        QVERIFY(page->Estimate().Found());
        const geodesy::BearingEstimate magnetic = page->Estimate();
        std::vector<geodesy::BearingRow> rows = page->Table()->UserRows();
        const std::vector<geodesy::BearingRow> saved =
            geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName).rows;
        QCOMPARE(saved.size(), std::size_t{3});
        QCOMPARE(saved[2].north, geodesy::NorthReference::Magnetic);
        QVERIFY(saved[2].date == (geodesy::CalendarDate{2026, 12, 7}));
        auto* grid = Child<QTableWidget>(page, "bearingTable");
        QCOMPARE(grid->item(0, kNorthColumn)->text(), QStringLiteral("magnétique 07/12/2026"));
        const QString tip = grid->item(0, kNorthColumn)->toolTip();
        QVERIFY2(tip.startsWith(QStringLiteral("Le-Brevent : déclinaison")) &&
                     tip.contains(QStringLiteral("07/12/2026")),
                 qPrintable(tip));

        // The same bearings typed as true with their declination: the same estimate. As typed,
        // a different one.
        std::vector<geodesy::BearingRow> plain = rows;
        for (geodesy::BearingRow& row : rows) {
            const geodesy::NorthCorrection correction = geodesy::ToTrueNorth(
                row.azimuth, row.north, {row.name, row.latitude, row.longitude, 0.0}, row.date);
            QVERIFY(correction.ok && std::fabs(correction.correction) > 0.5);
            row.azimuth += correction.correction;
            row.north = geodesy::NorthReference::True;
        }
        for (geodesy::BearingRow& row : plain) {
            row.north = geodesy::NorthReference::True;
        }
        page->Table()->SetUserRows(rows);
        QVERIFY(std::fabs(page->Estimate().latitude - magnetic.latitude) < 1e-9);
        QVERIFY(std::fabs(page->Estimate().longitude - magnetic.longitude) < 1e-9);
        QCOMPARE(grid->item(0, kNorthColumn)->text(), QStringLiteral("vrai"));
        page->Table()->SetUserRows(plain);
        QVERIFY(std::fabs(page->Estimate().longitude - magnetic.longitude) > 1e-4);

        // A bearing that cannot be made true is left out, and says why.
        struct Case {
            geodesy::NorthReference north;
            geodesy::CalendarDate date;
            double latitude;
        };
        const Case cases[] = {{geodesy::NorthReference::Magnetic, {2031, 1, 1}, 45.9},
                              {geodesy::NorthReference::Magnetic, {2024, 12, 31}, 45.9},
                              {geodesy::NorthReference::Lambert93, {2026, 12, 7}, 30.0}};
        for (const Case& c : cases) {
            std::vector<geodesy::BearingRow> withBad = rows;
            withBad.push_back(withBad.front());
            withBad.back().north = c.north;
            withBad.back().date = c.date;
            withBad.back().latitude = c.latitude;
            page->Table()->SetUserRows(withBad);
            QCOMPARE(page->Estimate().used, magnetic.used);
            const QString remark = grid->item(3, kRemarksColumn)->text();
            const std::string reason =
                geodesy::ToTrueNorth(
                    100, c.north, {withBad.back().name, c.latitude, withBad.back().longitude, 0.0},
                    c.date)
                    .text;
            QVERIFY2(!reason.empty() && remark.startsWith(QStringLiteral("laissé de côté")) &&
                         remark.contains(QString::fromStdString(reason)),
                     qPrintable(remark));
        }
    }

    void theReasonShowsWithoutAnEstimate() {
        CapturingSink sink;
        auto d = Open(sink);
        CBearingsPage* page = OpenPage(*d);
        QCOMPARE(page->Table()->DialogRowCount(), 0);
        AddRow(page, "Chamonix", {}, "10");
        QVERIFY(!page->Estimate().Found());
        const QString shown = Child<QLabel>(page, "estimateStatus")->text();
        const std::string reason = geodesy::EstimateStatusReason(page->Estimate().status);
        QVERIFY2(!reason.empty() && shown.contains(QString::fromUtf8(reason.c_str())),
                 qPrintable(shown));
    }
};

QTEST_MAIN(BearingTableTest)
#include "bearing_table_test.moc"
