// The main dialog's form: what it shows at start, when "&Calculer" is offered, what a
// calculation reads and writes, and how refused numbers are handled. Under a French locale,
// whose decimal comma must change nothing.

#include "tests/ui/dialog_test_support.h"
#include "ui/display_text.h"
#include "ui/form/form_number.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <memory>
#include <string>

using namespace dialog_testing;
using namespace dlgid;

namespace {

const int kNumericEdits[] = {kLonDeg1,   kLonMin1,   kLonSec1,   kLatDeg1,   kLatMin1,
                             kLatSec1,   kBearing1,  kLonDeg2,   kLonMin2,   kLonSec2,
                             kLatDeg2,   kLatMin2,   kLatSec2,   kBearing2,  kResLonDeg,
                             kResLonMin, kResLonSec, kResLatDeg, kResLatMin, kResLatSec};

double Decimal(double deg, double min, double sec, int negative) {
    double value = 0.0;
    TriangulationEngine::DmsToDecimal(deg, min, sec, value);
    return negative ? -value : value;
}

// Compass bearing in the longitude/latitude plane from one point towards another.
double BearingTowards(double x1, double y1, double x2, double y2) {
    const double degrees = std::atan2(x2 - x1, y2 - y1) * 180.0 / std::acos(-1.0);
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    // Made after the application, which sets the environment's locale.
    FrenchLocale locale_;

private slots:
    void startUpState() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
        CapturingSink sink;
        auto d = Open(sink);

        QCOMPARE(d->windowTitle(), QStringLiteral("Ervalun"));
        QVERIFY(sink.messages.isEmpty());
        QVERIFY(d->isVisible());
        QVERIFY(!Button(*d, kCalculer)->isEnabled());
        for (int id : kNumericEdits) {
            QCOMPARE(Text(*d, id), QStringLiteral("0"));
        }
        for (int id : {kLonHem1, kLonHem2}) {
            QCOMPARE(Items(List(*d, id)), QStringList({"E", "O"}));
            QCOMPARE(List(*d, id)->currentIndex(), 0);
        }
        for (int id : {kLatHem1, kLatHem2}) {
            QCOMPARE(Items(List(*d, id)), QStringList({"N", "S"}));
            QCOMPARE(List(*d, id)->currentIndex(), 0);
        }
        QCOMPARE(Text(*d, kResLonHem), QStringLiteral("E"));
        QCOMPARE(Text(*d, kResLatHem), QStringLiteral("N"));
        QCOMPARE(Text(*d, kNearestName), QString());
        QCOMPARE(Text(*d, kOperatorName), QString());
        QCOMPARE(Text(*d, kParticipants), QString());

        // Both position lists in byte order, the same in each; names shown as UTF-8 or
        // Latin-1, whichever their bytes are.
        QCOMPARE(Items(List(*d, kPosition1)), kDirectoryShown);
        QCOMPARE(Items(List(*d, kPosition2)), kDirectoryShown);
        QCOMPARE(Items(List(*d, kMembers)), kRosterShown);
        for (int id : {kPosition1, kPosition2, kMembers}) {
            QCOMPARE(List(*d, id)->currentIndex(), -1);
        }
        // An entry's index in a list is its index in the engine's list.
        QCOMPARE(d->m_engine->directory.size(), std::size_t(8));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(DisplayName(d->m_engine->directory[static_cast<std::size_t>(i)].name),
                     kDirectoryShown[i]);
        }
        QCOMPARE(d->m_engine->roster.at(5).name, std::string("\xC9ric"));
        QCOMPARE(d->m_engine->roster.at(3).name, std::string("Zo\xC3\xA9"));

        // The focus starts on the members list.
        QCOMPARE(QApplication::focusWidget(), d->GetDlgItem(kMembers));
        QCOMPARE(d->m_calculated, 0);
        QCOMPARE(d->m_operatorChosen, 0);
    }

    void calculerFollowsTheCoordinateEdits() {
        Workspace work;
        // Empty reference files load without a message.
        Workspace::Write(QStringLiteral("ervalun.txt"), "");
        Workspace::Write(QStringLiteral("operateurs.txt"), "");
        CapturingSink sink;
        auto d = Open(sink);
        QPushButton* calculer = Button(*d, kCalculer);
        QVERIFY(!calculer->isEnabled());

        Type(*d, kLatMin1, QStringLiteral("1"));
        QVERIFY(calculer->isEnabled());
        Type(*d, kLatMin1, QStringLiteral("0"));
        QVERIFY(!calculer->isEnabled());

        // Only the exact text "0" counts as nothing entered.
        for (const char* text : {"", "0.0", "00", " 0", "x"}) {
            Type(*d, kLatSec2, QString::fromUtf8(text));
            QVERIFY2(calculer->isEnabled(), text);
            Type(*d, kLatSec2, QStringLiteral("0"));
            QVERIFY(!calculer->isEnabled());
        }

        // The bearings alone never offer a calculation.
        Type(*d, kBearing1, QStringLiteral("45"));
        Type(*d, kBearing2, QStringLiteral("315"));
        QVERIFY(!calculer->isEnabled());

        // After a calculation the button is off until an edit changes with a coordinate set.
        Type(*d, kLonDeg2, QStringLiteral("3"));
        QVERIFY(calculer->isEnabled());
        QTest::mouseClick(calculer, Qt::LeftButton);
        QVERIFY(!calculer->isEnabled());
        Type(*d, kBearing1, QStringLiteral("46"));
        QVERIFY(calculer->isEnabled());
        QVERIFY2(sink.messages.isEmpty(), qPrintable(sink.messages.join(" | ")));
    }

    void calculationFillsTheResultAndLogs() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
        CapturingSink sink;
        auto d = Open(sink);

        // Dinan and Vitre sight Rennes.
        const int dinan = IndexOf(kDirectoryShown, "Dinan");
        const int vitre = IndexOf(kDirectoryShown, "Vitre");
        const int rennes = IndexOf(kDirectoryShown, "Rennes");
        ChooseWithMouse(*d, kPosition1, dinan);
        ChooseWithKeys(*d, kPosition2, vitre);
        QCOMPARE(List(*d, kPosition1)->currentIndex(), dinan);
        QCOMPARE(List(*d, kPosition2)->currentIndex(), vitre);
        const auto& dir = d->m_engine->directory;
        const KnownPosition& target = dir[static_cast<std::size_t>(rennes)];
        const KnownPosition& from1 = dir[static_cast<std::size_t>(dinan)];
        const KnownPosition& from2 = dir[static_cast<std::size_t>(vitre)];
        const QString bearing1 = QString::fromStdString(ervalun::FormatFormNumber(
            BearingTowards(from1.longitude, from1.latitude, target.longitude, target.latitude)));
        const QString bearing2 = QString::fromStdString(ervalun::FormatFormNumber(
            BearingTowards(from2.longitude, from2.latitude, target.longitude, target.latitude)));
        Type(*d, kBearing1, bearing1);
        Type(*d, kBearing2, bearing2);
        QVERIFY(Button(*d, kCalculer)->isEnabled());
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());

        // The same calculation done directly on an engine with the form's values.
        TriangulationEngine check;
        check.directory = dir;
        check.directoryLoaded = 1;
        double r[6] = {};
        int west = 0, south = 0;
        std::string name;
        check.Triangulate(2, 2, 50, 1, 48, 27, 20, 0, bearing1.toDouble(), 1, 12, 32, 1, 48, 7, 26,
                          0, bearing2.toDouble(), r[0], r[1], r[2], west, r[3], r[4], r[5], south,
                          name);
        const int results[] = {kResLonDeg, kResLonMin, kResLonSec,
                               kResLatDeg, kResLatMin, kResLatSec};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(Text(*d, results[i]), QString::fromStdString(ervalun::FormatFormNumber(r[i])));
        }
        // Both bearings aim at Rennes, so the result is Rennes, in the west and the north.
        QCOMPARE(Text(*d, kNearestName), QStringLiteral("Rennes"));
        QCOMPARE(Text(*d, kResLonHem), QStringLiteral("O"));
        QCOMPARE(Text(*d, kResLatHem), QStringLiteral("N"));
        QVERIFY(std::abs(Decimal(r[0], r[1], r[2], 1) - target.longitude) < 1e-9);
        QVERIFY(std::abs(Decimal(r[3], r[4], r[5], 0) - target.latitude) < 1e-9);

        QCOMPARE(d->m_calculated, 1);
        QCOMPARE(List(*d, kPosition1)->currentIndex(), -1);
        QCOMPARE(List(*d, kPosition2)->currentIndex(), -1);
        QVERIFY(!Button(*d, kCalculer)->isEnabled());
        // The points keep their values.
        QCOMPARE(Text(*d, kLonMin1), QStringLiteral("2"));
        QCOMPARE(Text(*d, kBearing2), bearing2);

        QList<QByteArray> log = Workspace::LogLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].startsWith("ID_OPERATEUR;"));
        QVERIFY(log[0].contains(";Dinan;2.00 2.00 50.00 O;48.00 27.00 20.00 N;"));
        QVERIFY(log[0].contains(";Vitre;1.00 12.00 32.00 O;"));
        QVERIFY(log[0].endsWith(";IDs_PARTICIPANTS"));

        // Again without touching the form: same result; the selections were cleared.
        const QString seconds = Text(*d, kResLatSec);
        QTest::mouseClick(Button(*d, kOk), Qt::LeftButton);
        QCOMPARE(Text(*d, kResLatSec), seconds);
        log = Workspace::LogLines();
        QCOMPARE(log.size(), 2);
        QVERIFY(log[1].contains(";POSITION1;") && log[1].contains(";POSITION2;"));
        QVERIFY(!QFile::exists(QStringLiteral("map.html")));

        // The same name chosen again fills its group again.
        Type(*d, kLonDeg1, QStringLiteral("9"));
        ChooseWithKeys(*d, kPosition1, dinan);
        QCOMPARE(Text(*d, kLonDeg1), QStringLiteral("2"));

        // A result in the west and the south: letters O and S, numbers without sign.
        for (int id :
             {kLonMin1, kLonSec1, kLatMin1, kLatSec1, kLonMin2, kLonSec2, kLatMin2, kLatSec2}) {
            Type(*d, id, QStringLiteral("0"));
        }
        Type(*d, kLonDeg1, QStringLiteral("40"));
        Type(*d, kLatDeg1, QStringLiteral("20"));
        QTest::keyClick(List(*d, kLonHem1), Qt::Key_End);
        QTest::keyClick(List(*d, kLatHem1), Qt::Key_End);
        Type(*d, kLonDeg2, QStringLiteral("41"));
        Type(*d, kLatDeg2, QStringLiteral("20"));
        QTest::keyClick(List(*d, kLonHem2), Qt::Key_End);
        QTest::keyClick(List(*d, kLatHem2), Qt::Key_End);
        Type(*d, kBearing1, QStringLiteral("225"));
        Type(*d, kBearing2, QStringLiteral("135"));
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QCOMPARE(Text(*d, kResLonHem), QStringLiteral("O"));
        QCOMPARE(Text(*d, kResLatHem), QStringLiteral("S"));
        for (int id : results) {
            QVERIFY(!Text(*d, id).startsWith(QLatin1Char('-')));
        }
        // From 40 O 20 S towards the south-west and from 41 O 20 S towards the south-east.
        QVERIFY2(std::abs(Shown(*d, kResLonDeg) - 40.5) < 1e-6,
                 qPrintable(Text(*d, kResLonDeg) + " " + Text(*d, kResLonMin) + " " +
                            Text(*d, kResLonSec) + " " + List(*d, kLonHem1)->currentText()));
        QVERIFY(std::abs(Shown(*d, kResLatDeg) - 20.5) < 1e-6);
        QCOMPARE(Workspace::LogLines().size(), 3);
    }

    void everyInputReachesTheCalculation() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), "");
        Workspace::Write(QStringLiteral("operateurs.txt"), "");
        CapturingSink sink;
        auto d = Open(sink);
        // A distinct value in each of the fourteen edits, distinct letters in the four lists.
        const int inputs[] = {kLonDeg1, kLonMin1,  kLonSec1, kLatDeg1, kLatMin1,
                              kLatSec1, kBearing1, kLonDeg2, kLonMin2, kLonSec2,
                              kLatDeg2, kLatMin2,  kLatSec2, kBearing2};
        for (int i = 0; i < 14; ++i) {
            Type(*d, inputs[i], QString::number(i + 1) + QStringLiteral(".5"));
        }
        QTest::keyClick(List(*d, kLatHem1), Qt::Key_End);
        QTest::keyClick(List(*d, kLonHem2), Qt::Key_End);
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());

        const GeoPosition& p1 = d->m_engine->position1;
        const GeoPosition& p2 = d->m_engine->position2;
        const double seen[] = {p1.longitudeDegrees, p1.longitudeMinutes, p1.longitudeSeconds,
                               p1.latitudeDegrees,  p1.latitudeMinutes,  p1.latitudeSeconds,
                               p1.bearing,          p2.longitudeDegrees, p2.longitudeMinutes,
                               p2.longitudeSeconds, p2.latitudeDegrees,  p2.latitudeMinutes,
                               p2.latitudeSeconds,  p2.bearing};
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(seen[i], i + 1.5);
            QCOMPARE(Text(*d, inputs[i]), QString::number(i + 1) + QStringLiteral(".5"));
        }
        QCOMPARE(p1.west, 0);
        QCOMPARE(p1.south, 1);
        QCOMPARE(p2.west, 1);
        QCOMPARE(p2.south, 0);
        // The form, loaded again after the calculation, shows the same letters.
        QCOMPARE(List(*d, kLonHem1)->currentText(), QStringLiteral("E"));
        QCOMPARE(List(*d, kLatHem1)->currentText(), QStringLiteral("S"));
        QCOMPARE(List(*d, kLonHem2)->currentText(), QStringLiteral("O"));
        QCOMPARE(List(*d, kLatHem2)->currentText(), QStringLiteral("N"));
    }

    void enterCalculatesAndStaysOpenEscapeClosesAndWritesNothing() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), "");
        Workspace::Write(QStringLiteral("operateurs.txt"), "");
        CapturingSink sink;
        {
            auto d = Open(sink);
            // Enter calculates even while "&Calculer" is off, and the dialog stays.
            QVERIFY(!Button(*d, kCalculer)->isEnabled());
            QTest::keyClick(Edit(*d, kBearing1), Qt::Key_Return);
            QVERIFY(d->isVisible());
            QCOMPARE(d->m_calculated, 1);
            QCOMPARE(Text(*d, kNearestName), QStringLiteral("RESULTAT"));
            QCOMPARE(Workspace::LogLines().size(), 1);
            Type(*d, kLonDeg1, QStringLiteral("2"));
            QTest::keyClick(Edit(*d, kLonDeg1), Qt::Key_Enter);
            QVERIFY(d->isVisible());
            QCOMPARE(Workspace::LogLines().size(), 2);
            // The mnemonic of "&Calculer" as well.
            Type(*d, kLonDeg1, QStringLiteral("3"));
            QTest::keyClick(d.get(), Qt::Key_C, Qt::AltModifier);
            QTRY_COMPARE(Workspace::LogLines().size(), 3);
        }
        QVERIFY(QFile::remove(QStringLiteral("ervalun.log")));

        // Escape, "Annuler" and the close box each end the dialog and write nothing.
        for (int way = 0; way < 3; ++way) {
            auto d = Open(sink);
            Type(*d, kLonDeg1, QStringLiteral("2"));
            Type(*d, kBearing1, QStringLiteral("45"));
            if (way == 0) {
                QTest::keyClick(Edit(*d, kBearing1), Qt::Key_Escape);
            } else if (way == 1) {
                QTest::mouseClick(Button(*d, kCancel), Qt::LeftButton);
            } else {
                d->close();
            }
            QVERIFY(!d->isVisible());
            QCOMPARE(d->result(), int(QDialog::Rejected));
            QCOMPARE(d->m_calculated, 0);
        }
        QVERIFY(!QFile::exists(QStringLiteral("ervalun.log")));
        QVERIFY(!QFile::exists(QStringLiteral("map.html")));
        QVERIFY(sink.messages.isEmpty());
    }

    void refusedNumbersShowAMessageAndTheCommandGoesOn() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
        CapturingSink sink;
        auto d = Open(sink);

        // 75 minutes is within the bounds.
        Type(*d, kLonMin1, QStringLiteral("75"));
        Type(*d, kBearing2, QStringLiteral("  12.5 "));
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(d->m_lonMin1, 75.0);
        QCOMPARE(d->m_bearing2, 12.5);
        QCOMPARE(Text(*d, kBearing2), QStringLiteral("12.5"));
        QCOMPARE(Workspace::LogLines().size(), 1);

        // Letters in an edit: the message, the focus there, the later fields as they were,
        // and the calculation still runs.
        Type(*d, kLatDeg1, QStringLiteral("4a"));
        Type(*d, kBearing2, QStringLiteral("30"));
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"Entrez un nombre."}));
        QCOMPARE(QApplication::focusWidget(), d->GetDlgItem(kLatDeg1));
        QCOMPARE(d->m_bearing2, 12.5);
        QCOMPARE(Workspace::LogLines().size(), 2);
        QCOMPARE(d->m_calculated, 1);
        // The form shows the fields again: the refused text is replaced by the last value.
        QCOMPARE(Text(*d, kLatDeg1), QStringLiteral("0"));
        QCOMPARE(Text(*d, kBearing2), QStringLiteral("12.5"));
        sink.messages.clear();

        // Out of range, empty, a zero that does not begin with 0, a decimal comma.
        const std::pair<const char*, const char*> refused[] = {
            {"361", "Entrez un nombre compris entre 0 et 360."},
            {"-1", "Entrez un nombre compris entre 0 et 360."},
            {"", "Entrez un nombre."},
            {".0", "Entrez un nombre."},
            {"12,5", "Entrez un nombre."},
        };
        for (const auto& [text, message] : refused) {
            Type(*d, kLatSec2, QString::fromUtf8(text));
            QTest::keyClick(Edit(*d, kLatSec2), Qt::Key_Return);
            QCOMPARE(sink.messages, QStringList({QString::fromUtf8(message)}));
            QCOMPARE(QApplication::focusWidget(), d->GetDlgItem(kLatSec2));
            sink.messages.clear();
        }

        // A refused edit also holds back a member choice: the index read is the previous one,
        // here none, so no role is given.
        SelectMember(*d, 0);
        Type(*d, kBearing1, QStringLiteral("abc"));
        QTest::mouseClick(Button(*d, kSelectOperator), Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"Entrez un nombre."}));
        QVERIFY(d->m_engine->operators.empty());
        QCOMPARE(Text(*d, kOperatorName), QString());
        sink.messages.clear();
    }

    void aResultBeyond360DoesNotBlockTheForm() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
        CapturingSink sink;
        auto d = Open(sink);

        // Two nearly parallel bearings put the crossing far beyond 360 degrees.
        Type(*d, kLonDeg2, QStringLiteral("10"));
        Type(*d, kBearing1, QStringLiteral("45"));
        Type(*d, kBearing2, QStringLiteral("45.001"));
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());
        QVERIFY2(d->m_resLonDeg > 360.0 || d->m_resLatDeg > 360.0,
                 qPrintable(Text(*d, kResLonDeg) + " " + Text(*d, kResLatDeg)));

        // The form still stores past the result edits: positions and roles work.
        ChooseWithKeys(*d, kPosition1, IndexOf(kDirectoryShown, "Rennes"));
        QCOMPARE(Text(*d, kLatDeg1), QStringLiteral("48"));
        QCOMPARE(d->m_position1, IndexOf(kDirectoryShown, "Rennes"));
        SelectMember(*d, IndexOf(kRosterShown, "Delta"));
        QTest::mouseClick(Button(*d, kSelectOperator), Qt::LeftButton);
        QCOMPARE(Text(*d, kOperatorName), QStringLiteral("Delta"));
        QVERIFY(sink.messages.isEmpty());
    }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
