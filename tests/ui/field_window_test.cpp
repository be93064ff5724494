#include "geodesy/coordinate_formats.h"
#include "tests/ui/dialog_test_support.h"
#include "ui/bearing_table.h"
#include "ui/bearings_page.h"
#include "ui/ervalun_dlg.h"
#include "ui/geodesic_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace dialog_testing;
using namespace dlgid;
namespace geodesy = ervalun::geodesy;

// The geodesic window's tools for the field: coordinates with copy buttons, stations typed in
// any form, the export and carte.html.
class FieldWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir settingsDir_;
    Workspace work_;

    template <typename T> static T* Child(QWidget* parent, const QString& name) {
        T* child = parent->findChild<T*>(name);
        if (child == nullptr) {
            qFatal("no child %s", qPrintable(name));
        }
        return child;
    }

    // The README example, Le-Brevent with 108 and Montenvers with 264, and the window open.
    static CGeodesicWindow* CalculateExample(CErvalunDlg& d) {
        ChooseWithKeys(d, kPosition1, 4);
        ChooseWithKeys(d, kPosition2, 5);
        Edit(d, kBearing1)->setText(QStringLiteral("108"));
        Edit(d, kBearing2)->setText(QStringLiteral("264"));
        QTest::mouseClick(Button(d, kOk), Qt::LeftButton);
        d.OnGeodesicCheck();
        return d.GeodesicWindow();
    }

private slots:
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         "Aiguille-du-Midi 45 52 44 N 6 53 15 E\nChamonix 45 55 25 N 6 52 10 E\n"
                         "Lac-Blanc 45 58 54 N 6 53 28 E\nLe-Brevent 45 56 3 N 6 50 15 E\n"
                         "Montenvers 45 55 44 N 6 55 7 E\nD\xF4me 45 50 36 N 6 50 28 O\n");
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
    }

    void init() {
        QFile::remove(QStringLiteral("releves.txt"));
        QFile::remove(QStringLiteral("carte.html"));
        QDir().rmdir(QStringLiteral("carte.html"));
    }

    void coordinatesAreShownAndCopied() {
        CapturingSink sink;
        auto d = Open(sink);
        CGeodesicWindow* window = CalculateExample(*d);
        // A third bearing, for an estimate.
        auto* page = window->Bearings();
        Child<QLineEdit>(page, QStringLiteral("bearingName"))->setText(QStringLiteral("Lac-Blanc"));
        Child<QLineEdit>(page, QStringLiteral("bearingAzimuth"))->setText(QStringLiteral("175"));
        QTest::mouseClick(Child<QPushButton>(page, QStringLiteral("bearingAdd")), Qt::LeftButton);
        const geodesy::BearingEstimate& estimate = window->Bearings()->Estimate();
        QVERIFY(estimate.Found());
        const auto& fix = d->GeodesicWindow()->Scene().geodesicFix;
        QVERIFY(fix.has_value());
        auto* choice = Child<QComboBox>(window, QStringLiteral("coordinatePoint"));
        const struct {
            const char* point;
            double latitude;
            double longitude;
        } points[] = {{"Estimation", estimate.latitude, estimate.longitude},
                      {"Point géodésique", fix->latitude, fix->longitude},
                      {"Station Montenvers", d->m_engine->position2.latitude,
                       d->m_engine->position2.longitude}};
        for (const auto& point : points) {
            const int index = choice->findText(QString::fromUtf8(point.point));
            QVERIFY2(index >= 0, point.point);
            choice->setCurrentIndex(index);
            const auto& forms = geodesy::AllCoordinateForms();
            QCOMPARE(forms.size(), std::size_t{7});
            for (std::size_t i = 0; i < forms.size(); ++i) {
                const QString expected = QString::fromStdString(
                    geodesy::FormatCoordinate(point.latitude, point.longitude, forms[i]));
                auto* value = Child<QLineEdit>(window, QStringLiteral("coordinate%1").arg(i));
                QCOMPARE(value->text(), expected);
                QGuiApplication::clipboard()->clear();
                QTest::mouseClick(
                    Child<QPushButton>(window, QStringLiteral("coordinateCopy%1").arg(i)),
                    Qt::LeftButton);
                QCOMPARE(QGuiApplication::clipboard()->text(), expected);
            }
        }
        // carte.html follows the calculation, with the stations' names.
        const QByteArray html = Workspace::Read(QStringLiteral("carte.html"));
        QVERIFY(html.contains("Le-Brevent") && html.contains("Montenvers") &&
                html.contains("Lac-Blanc"));
        QVERIFY(sink.messages.isEmpty());
    }

    void stationsAreTypedInAnyForm() {
        CapturingSink sink;
        auto d = Open(sink);
        d->OnGeodesicCheck();
        CBearingsPage* page = d->GeodesicWindow()->Bearings();
        const double lat = 45.9236;
        const double lon = 6.8694;
        const QString typed[] = {
            QString::fromStdString(
                geodesy::FormatCoordinate(lat, lon, geodesy::CoordinateForm::Utm)),
            QString::fromStdString(
                geodesy::FormatCoordinate(lat, lon, geodesy::CoordinateForm::Mgrs1m)),
            QString::fromStdString(
                geodesy::FormatCoordinate(lat, lon, geodesy::CoordinateForm::Lambert93)),
            QStringLiteral("45 56 3 N 6 50 15 E"), QStringLiteral("45.9236 6.8694")};
        auto* position = Child<QLineEdit>(page, QStringLiteral("bearingPosition"));
        auto* read = Child<QLabel>(page, QStringLiteral("bearingPositionRead"));
        std::size_t added = 0;
        for (const QString& text : typed) {
            const geodesy::ParsedPosition expected = geodesy::ParseCoordinate(text.toStdString());
            QVERIFY2(expected.ok, qPrintable(text));
            Child<QLineEdit>(page, QStringLiteral("bearingName"))->setText(QStringLiteral("Poste"));
            position->setText(text);
            // Shown before it is used, with the form it was read in.
            QVERIFY2(read->text().startsWith(QStringLiteral("Lu : ")) &&
                         read->text().contains(
                             QString::fromStdString(geodesy::CoordinateFormName(expected.form))),
                     qPrintable(read->text()));
            Child<QLineEdit>(page, QStringLiteral("bearingAzimuth"))->setText(QStringLiteral("30"));
            QTest::mouseClick(Child<QPushButton>(page, QStringLiteral("bearingAdd")),
                              Qt::LeftButton);
            const auto& rows = page->Table()->UserRows();
            QCOMPARE(rows.size(), ++added);
            QCOMPARE(rows.back().latitude, expected.latitude);
            QCOMPARE(rows.back().longitude, expected.longitude);
            QVERIFY(position->text().isEmpty());
        }
        // Unreadable: the reader's French message, naming the forms, and nothing added.
        for (const char* text : {"quarante-cinq nord", "45,9 6,8"}) {
            position->setText(QString::fromUtf8(text));
            Child<QLineEdit>(page, QStringLiteral("bearingAzimuth"))->setText(QStringLiteral("30"));
            QTest::mouseClick(Child<QPushButton>(page, QStringLiteral("bearingAdd")),
                              Qt::LeftButton);
            const QString said = Child<QLabel>(page, QStringLiteral("bearingMistake"))->text();
            const std::string error = geodesy::ParseCoordinate(text).error;
            QVERIFY2(!error.empty() && said.contains(QString::fromStdString(error)),
                     qPrintable(said));
            QCOMPARE(page->Table()->UserRows().size(), added);
            QVERIFY(Child<QLabel>(page, QStringLiteral("bearingPositionRead"))->isVisibleTo(page));
        }
        // A text in no form says which forms are taken.
        position->setText(QStringLiteral("quarante-cinq nord"));
        QTest::mouseClick(Child<QPushButton>(page, QStringLiteral("bearingAdd")), Qt::LeftButton);
        const QString said = Child<QLabel>(page, QStringLiteral("bearingMistake"))->text();
        QVERIFY2(said.contains(QStringLiteral("UTM")) && said.contains(QStringLiteral("MGRS")) &&
                     said.contains(QStringLiteral("Lambert 93")),
                 qPrintable(said));
    }

    void theSceneIsExported() {
        CapturingSink sink;
        auto d = Open(sink);
        CGeodesicWindow* window = CalculateExample(*d);
        QTemporaryDir out;
        const struct {
            const char* name;
            const char* filter;
            const char* written;
            const char* marker;
        } cases[] = {
            {"sans-suffixe", "GPS (GPX) (*.gpx)", "sans-suffixe.gpx", "<gpx"},
            {"terrain.kml", "GPS (GPX) (*.gpx)", "terrain.kml", "<kml"},
            {"zone", "SIG (GeoJSON) (*.geojson *.json)", "zone.geojson", "FeatureCollection"}};
        for (const auto& c : cases) {
            QVERIFY(window->Export(out.filePath(QString::fromLatin1(c.name)),
                                   QString::fromLatin1(c.filter)));
            QFile file(out.filePath(QString::fromLatin1(c.written)));
            QVERIFY2(file.open(QIODevice::ReadOnly), c.written);
            const QByteArray text = file.readAll();
            QVERIFY2(text.contains(c.marker) && text.contains("Montenvers"), c.written);
        }
        QVERIFY(sink.messages.isEmpty());
        const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (!xmllint.isEmpty()) {
            QCOMPARE(QProcess::execute(xmllint, {QStringLiteral("--noout"),
                                                 out.filePath(QStringLiteral("sans-suffixe.gpx"))}),
                     0);
        }
        // A folder that does not exist: told in French, nothing pretended.
        QVERIFY(!window->Export(out.filePath(QStringLiteral("absent/x.gpx"))));
        QCOMPARE(sink.messages.size(), 1);
    }

    void anUnwrittenMapIsToldWhenOpened() {
        // A folder where the page should be: it cannot be written.
        QVERIFY(QDir().mkdir(QStringLiteral("carte.html")));
        CapturingSink sink;
        auto d = Open(sink);
        CGeodesicWindow* window = CalculateExample(*d);
        QVERIFY(sink.messages.isEmpty());
        window->OpenMap();
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.messages[0].startsWith(QStringLiteral("La carte n'a pas pu être écrite")),
                 qPrintable(sink.messages[0]));
    }
};

QTEST_MAIN(FieldWindowTest)
#include "field_window_test.moc"
