#include "tests/ui/dialog_test_support.h"
#include "ui/ervalun_dlg.h"
#include "ui/form/form_number.h"
#include "ui/geodesic_window.h"
#include "ui/help_window.h"
#include "ui/north_choice.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace dialog_testing;
using namespace dlgid;

class GeodesicWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir settingsDir_;
    Workspace work_;

    static void Set(CErvalunDlg& d, int id, const char* text) {
        Edit(d, id)->setText(QString::fromLatin1(text));
    }

    // Le-Brévent and Montenvers with the given bearings (the README example is 108 and 264).
    static void Calculate(CErvalunDlg& d, const char* bearing1, const char* bearing2) {
        const std::pair<int, const char*> fields[] = {
            {kLonDeg1, "6"},       {kLonMin1, "50"},     {kLonSec1, "15"}, {kLatDeg1, "45"},
            {kLatMin1, "56"},      {kLatSec1, "3"},      {kLonDeg2, "6"},  {kLonMin2, "55"},
            {kLonSec2, "7"},       {kLatDeg2, "45"},     {kLatMin2, "55"}, {kLatSec2, "44"},
            {kBearing1, bearing1}, {kBearing2, bearing2}};
        for (const auto& [id, text] : fields) {
            Set(d, id, text);
        }
        QTest::mouseClick(Button(d, kOk), Qt::LeftButton);
    }

    static QString Shown(CGeodesicWindow* window, const char* name) {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        return label != nullptr ? label->text() : QStringLiteral("(absent)");
    }

    static QComboBox* Combo(CGeodesicWindow* window, const char* name) {
        return window->findChild<QComboBox*>(QString::fromLatin1(name));
    }

    static QDoubleSpinBox* Spin(CGeodesicWindow* window, const char* name) {
        return window->findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase() {
        // Never the user's own settings.
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        QVERIFY(QSettings(QStringLiteral("Ervalun"), QStringLiteral("ervalun"))
                    .fileName()
                    .startsWith(settingsDir_.path()));
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         "Chamonix 45 55 25 N 6 52 10 E\nLe-Brevent 45 56 3 N 6 50 15 E\n"
                         "Montenvers 45 55 44 N 6 55 7 E\n");
    }

    void windowFollowsEachCalculationAndKeepsItsSettings() {
        CapturingSink sink;
        auto d = Open(sink);
        // The shortcut opens it, not modal, before any calculation.
        QTest::keyClick(d.get(), Qt::Key_G, Qt::ControlModifier);
        CGeodesicWindow* window = d->GeodesicWindow();
        QVERIFY(window != nullptr);
        QTRY_VERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), QStringLiteral("Contrôle géodésique"));
        QVERIFY(Shown(window, "geodesicVerdict").startsWith(QStringLiteral("Aucun calcul")));

        Calculate(*d, "108", "264");
        QVERIFY(d->GeodesicFigures().has_value());
        const double offset = d->GeodesicFigures()->offset;
        QVERIFY2(offset > 440 && offset < 490, qPrintable(QString::number(offset)));
        const QString verdict = Shown(window, "geodesicVerdict");
        QVERIFY2(verdict.startsWith(
                     QStringLiteral("Écart entre le calcul plan et le calcul géodésique : ")),
                 qPrintable(verdict));
        QVERIFY(verdict.contains(QStringLiteral("angle d'intersection faible")));
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("geodesicKnown")) != nullptr);
        QVERIFY(Shown(window, "geodesicFix").contains(QStringLiteral("N ")));
        // The form is untouched: the flat result and its name, as the solver gave them.
        QCOMPARE(Text(*d, kNearestName), QStringLiteral("Chamonix"));

        // A new calculation: the window follows.
        const QString before = Shown(window, "geodesicFix");
        Calculate(*d, "100", "250");
        QVERIFY(Shown(window, "geodesicFix") != before);

        // The bearing error and the declination are the user's, kept between runs; the
        // declination moves the geodesic fix, never the flat one.
        const QString flat = Shown(window, "geodesicFlat");
        const QString fix = Shown(window, "geodesicFix");
        const QString spread = Shown(window, "geodesicSpread");
        Spin(window, "geodesicError")->setValue(2.5);
        QVERIFY(!Spin(window, "geodesicDeclination")->isEnabled());
        Combo(window, "geodesicNorth1")->setCurrentIndex(kManualNorthChoice);
        Combo(window, "geodesicNorth2")->setCurrentIndex(kManualNorthChoice);
        Spin(window, "geodesicDeclination")->setValue(-3);
        QCOMPARE(Shown(window, "geodesicFlat"), flat);
        QVERIFY(Shown(window, "geodesicFix") != fix);
        QVERIFY(Shown(window, "geodesicSpread") != spread);
        QVERIFY2(
            Shown(window, "geodesicNorth").count(QStringLiteral("déclinaison manuelle −3,0°")) == 2,
            qPrintable(Shown(window, "geodesicNorth")));

        CapturingSink otherSink;
        CErvalunDlg next(&otherSink);
        next.OnGeodesicCheck();
        CGeodesicWindow* reopened = next.GeodesicWindow();
        QCOMPARE(Spin(reopened, "geodesicError")->value(), 2.5);
        QCOMPARE(Spin(reopened, "geodesicDeclination")->value(), -3.0);
        QCOMPARE(Combo(reopened, "geodesicNorth2")->currentIndex(), kManualNorthChoice);
        Spin(reopened, "geodesicDeclination")->setValue(0);
        Spin(reopened, "geodesicError")->setValue(1);
        Combo(reopened, "geodesicNorth1")->setCurrentIndex(kTrueNorthChoice);
        Combo(reopened, "geodesicNorth2")->setCurrentIndex(kTrueNorthChoice);

        // The help window offers it too; the context menu lists it after the about entry.
        d->OnHelp();
        auto* entry = d->HelpWindow()->findChild<QPushButton*>(QStringLiteral("helpGeodesic"));
        QVERIFY(entry != nullptr);
        window->close();
        entry->click();
        QTRY_VERIFY(window->isVisible());
        const QList<QAction*> actions = d->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->objectName(), QStringLiteral("aboutAction"));
        QCOMPARE(actions[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
    }

    void theOldDeclinationIsKeptOnceAsAManualOne() {
        struct Case {
            QVariant old;  // the value of earlier versions; invalid: none
            int north;     // both observations' choice after reading it
            double manual; // the manual declination after reading it
        };
        const Case cases[] = {{QVariant(2.5), kManualNorthChoice, 2.5},
                              {QVariant(-0.75), kManualNorthChoice, -0.75},
                              {QVariant(0.0), kTrueNorthChoice, 0.0},
                              {QVariant(QStringLiteral("abc")), kTrueNorthChoice, 0.0},
                              {QVariant(), kTrueNorthChoice, 0.0}};
        const QString oldKey = QStringLiteral("controleGeodesique/declinaison");
        for (const Case& c : cases) {
            QSettings settings(QStringLiteral("Ervalun"), QStringLiteral("ervalun"));
            settings.clear();
            if (c.old.isValid()) {
                settings.setValue(oldKey, c.old);
            }
            settings.sync();
            for (int read = 0; read < 2; ++read) {
                const GeodesicSettings loaded = GeodesicSettings::Load();
                QCOMPARE(loaded.north[0], c.north);
                QCOMPARE(loaded.north[1], c.north);
                QCOMPARE(loaded.declination, c.manual);
                QVERIFY(!QSettings(QStringLiteral("Ervalun"), QStringLiteral("ervalun"))
                             .contains(oldKey));
            }
        }
        // The window then shows it, and the check uses it.
        CapturingSink sink;
        auto d = Open(sink);
        Calculate(*d, "108", "264");
        d->OnGeodesicCheck();
        CGeodesicWindow* window = d->GeodesicWindow();
        QCOMPARE(Combo(window, "geodesicNorth1")->currentIndex(), kTrueNorthChoice);
        QVERIFY(Shown(window, "geodesicNorth").contains(QStringLiteral("vrai")));
        const QString fix = Shown(window, "geodesicFix");
        // Compass readings: each corrected by the model at its station, today.
        Combo(window, "geodesicNorth1")->setCurrentIndex(kMagneticNorthChoice);
        Combo(window, "geodesicNorth2")->setCurrentIndex(kMagneticNorthChoice);
        const QString north = Shown(window, "geodesicNorth");
        QVERIFY2(north.count(QStringLiteral(" : déclinaison ")) == 2 &&
                     north.count(QStringLiteral("(WMM2025, ")) == 2,
                 qPrintable(north));
        QVERIFY(Shown(window, "geodesicFix") != fix);
        // The table's first two rows are made true the same way.
        auto* grid = window->findChild<QTableWidget*>(QStringLiteral("bearingTable"));
        QCOMPARE(grid->item(1, 4)->text(), QStringLiteral("magnétique"));
        QCOMPARE(grid->item(1, 4)->toolTip(), north.split(QLatin1Char('\n')).value(1));
        Combo(window, "geodesicNorth1")->setCurrentIndex(kTrueNorthChoice);
        Combo(window, "geodesicNorth2")->setCurrentIndex(kTrueNorthChoice);
        QCOMPARE(Shown(window, "geodesicFix"), fix);
    }

    void resultTooltipsGiveTheWholeValueAndTheGeodesicDistance() {
        CapturingSink sink;
        auto d = Open(sink);
        for (int id : {kResLonDeg, kNearestName}) {
            QVERIFY(d->GetDlgItem(id)->toolTip().isEmpty());
        }
        Calculate(*d, "108", "264");
        const double values[] = {d->m_resLonDeg, d->m_resLonMin, d->m_resLonSec,
                                 d->m_resLatDeg, d->m_resLatMin, d->m_resLatSec};
        const int ids[] = {kResLonDeg, kResLonMin, kResLonSec, kResLatDeg, kResLatMin, kResLatSec};
        for (int i = 0; i < 6; ++i) {
            const QString tip = d->GetDlgItem(ids[i])->toolTip();
            const QString whole = QString::fromStdString(ervalun::FormatFormNumber(values[i]));
            // The seconds are cut in their box; the tooltip has every digit.
            QVERIFY2(tip.contains(whole), qPrintable(tip));
            QVERIFY2(tip.contains(QStringLiteral("Point géodésique à ")), qPrintable(tip));
        }
        QVERIFY(d->GetDlgItem(kResLonHem)->toolTip().contains(QStringLiteral("E : est")));
        QVERIFY(d->GetDlgItem(kResLatHem)->toolTip().contains(QStringLiteral("N : nord")));
        const QString name = d->GetDlgItem(kNearestName)->toolTip();
        QVERIFY2(name.contains(QStringLiteral("Chamonix")) &&
                     name.contains(QStringLiteral("du point géodésique")),
                 qPrintable(name));

        // Both points on one meridian, looking along it: the flat solver gives its midpoint,
        // the tooltip says why there is no geodesic fix.
        Set(*d, kLonMin2, "50");
        Set(*d, kLonSec2, "15");
        Set(*d, kBearing1, "0");
        Set(*d, kBearing2, "180");
        QTest::mouseClick(Button(*d, kOk), Qt::LeftButton);
        QVERIFY(d->GetDlgItem(kResLatSec)
                    ->toolTip()
                    .contains(QStringLiteral("Pas de point géodésique")));
    }
};

QTEST_MAIN(GeodesicWindowTest)
#include "geodesic_window_test.moc"
