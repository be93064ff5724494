#include "tests/ui/dialog_test_support.h"
#include "ui/ervalun_dlg.h"
#include "ui/form/form_number.h"
#include "ui/geodesic_window.h"
#include "ui/help_window.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
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
        Spin(window, "geodesicDeclination")->setValue(-3);
        QCOMPARE(Shown(window, "geodesicFlat"), flat);
        QVERIFY(Shown(window, "geodesicFix") != fix);
        QVERIFY(Shown(window, "geodesicSpread") != spread);
        QCOMPARE(d->GeodesicFigures()->input.declination, -3.0);

        CapturingSink otherSink;
        CErvalunDlg next(&otherSink);
        next.OnGeodesicCheck();
        CGeodesicWindow* reopened = next.GeodesicWindow();
        QCOMPARE(Spin(reopened, "geodesicError")->value(), 2.5);
        QCOMPARE(Spin(reopened, "geodesicDeclination")->value(), -3.0);
        Spin(reopened, "geodesicDeclination")->setValue(0);
        Spin(reopened, "geodesicError")->setValue(1);

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
