// The dialog's lists: choosing a directory position, giving members their roles, what missing
// or broken reference files leave, and a directory of 100,000 positions.

#include "tests/ui/dialog_test_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

using namespace dialog_testing;
using namespace dlgid;

class DialogListsTest : public QObject {
    Q_OBJECT

    // Made after the application, which sets the environment's locale.
    FrenchLocale locale_;

private slots:
    void choosingAPositionFillsItsGroup() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        CapturingSink sink;
        auto d = Open(sink);
        QCOMPARE(sink.messages, QStringList({"Fichier operateurs.txt absent"}));
        sink.messages.clear();
        Type(*d, kBearing1, QStringLiteral("12"));
        Type(*d, kBearing2, QStringLiteral("34"));

        // Cap: 10 30 0 S, 2 15 0 O in the file: positive degrees and the letters O and S.
        ChooseWithMouse(*d, kPosition1, IndexOf(kDirectoryShown, "Cap"));
        QCOMPARE(Text(*d, kLonDeg1), QStringLiteral("2"));
        QCOMPARE(Text(*d, kLonMin1), QStringLiteral("15"));
        QCOMPARE(Text(*d, kLonSec1), QStringLiteral("0"));
        QCOMPARE(List(*d, kLonHem1)->currentText(), QStringLiteral("O"));
        QCOMPARE(Text(*d, kLatDeg1), QStringLiteral("10"));
        QCOMPARE(Text(*d, kLatMin1), QStringLiteral("30"));
        QCOMPARE(List(*d, kLatHem1)->currentText(), QStringLiteral("S"));
        QCOMPARE(Text(*d, kBearing1), QStringLiteral("12"));
        QVERIFY(Button(*d, kCalculer)->isEnabled());
        // The second group is untouched.
        for (int id : {kLonDeg2, kLonMin2, kLonSec2, kLatDeg2, kLatMin2, kLatSec2}) {
            QCOMPARE(Text(*d, id), QStringLiteral("0"));
        }

        // Évry, in the second list: east and north, only the second group changes.
        ChooseWithKeys(*d, kPosition2, IndexOf(kDirectoryShown, "Évry"));
        QCOMPARE(Text(*d, kLonDeg2), QStringLiteral("2"));
        QCOMPARE(Text(*d, kLonMin2), QStringLiteral("26"));
        QCOMPARE(Text(*d, kLonSec2), QStringLiteral("59"));
        QCOMPARE(List(*d, kLonHem2)->currentText(), QStringLiteral("E"));
        QCOMPARE(Text(*d, kLatDeg2), QStringLiteral("48"));
        QCOMPARE(List(*d, kLatHem2)->currentText(), QStringLiteral("N"));
        QCOMPARE(Text(*d, kBearing2), QStringLiteral("34"));
        QCOMPARE(Text(*d, kLonMin1), QStringLiteral("15"));
        QCOMPARE(List(*d, kLatHem1)->currentText(), QStringLiteral("S"));

        // Zero lies at 0 degrees 34 minutes west: the group shows 0 and "O", not "-0" or "E".
        ChooseWithKeys(*d, kPosition1, IndexOf(kDirectoryShown, "Zero"));
        QCOMPARE(Text(*d, kLonDeg1), QStringLiteral("0"));
        QCOMPARE(Text(*d, kLonMin1), QStringLiteral("34"));
        QCOMPARE(List(*d, kLonHem1)->currentText(), QStringLiteral("O"));
        QCOMPARE(List(*d, kLatHem1)->currentText(), QStringLiteral("N"));
        QVERIFY(sink.messages.isEmpty());
    }

    void operatorAndParticipantRoles() {
        Workspace work;
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster);
        CapturingSink sink;
        auto d = Open(sink);
        QCOMPARE(sink.messages, QStringList({"Fichier ervalun.txt absent"}));
        sink.messages.clear();
        const int bravo = IndexOf(kRosterShown, "Bravo");
        const int delta = IndexOf(kRosterShown, "Delta");
        const int eric = IndexOf(kRosterShown, "Éric");
        QPushButton* chooseOperator = Button(*d, kSelectOperator);
        QPushButton* addParticipant = Button(*d, kAddParticipant);
        const auto& roster = d->m_engine->roster;

        // No member selected: nothing happens.
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());
        QVERIFY(d->m_engine->operators.empty() && d->m_engine->participants.empty());

        // Which button does what for which member is the role rules' own test; here, that the
        // dialog applies them. Éric becomes a participant.
        SelectMember(*d, eric);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(Text(*d, kParticipants), QStringLiteral("Éric"));
        QCOMPARE(roster[static_cast<std::size_t>(eric)].role, 1);
        // A participant takes neither role again: a message, and the texts stay.
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré en tant que participant",
                                             "participant déjà enregistré"}));
        sink.messages.clear();
        QCOMPARE(Text(*d, kOperatorName), QString());
        QCOMPARE(Text(*d, kParticipants), QStringLiteral("Éric"));

        // Bravo becomes the operator (keyboard mnemonic).
        SelectMember(*d, bravo);
        QTest::keyClick(d.get(), Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(Text(*d, kOperatorName), QStringLiteral("Bravo"));
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(d->m_operatorChosen, 1);
        QCOMPARE(roster[static_cast<std::size_t>(bravo)].role, 0);

        // Once an operator exists, Delta cannot operate but can take part.
        SelectMember(*d, delta);
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré"}));
        QCOMPARE(Text(*d, kOperatorName), QStringLiteral("Bravo"));
        sink.messages.clear();
        QTest::keyClick(d.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(Text(*d, kParticipants), QStringLiteral("Éric\nDelta"));
        QVERIFY(sink.messages.isEmpty());

        // The member list keeps its selection; the texts and the engine's lists agree.
        QCOMPARE(List(*d, kMembers)->currentIndex(), delta);
        QCOMPARE(d->m_participantsText, std::string("\xC9ric\r\nDelta\r\n"));
        QCOMPARE(d->m_operatorName, std::string("Bravo"));
        QCOMPARE(d->m_engine->operators.size(), std::size_t(1));
        QCOMPARE(d->m_engine->operators[0].name, std::string("Bravo"));
        QCOMPARE(d->m_engine->operators[0].role, 0);
        QCOMPARE(d->m_engine->participants.size(), std::size_t(2));
        QCOMPARE(d->m_engine->participants[0].name, std::string("\xC9ric"));
        QCOMPARE(d->m_engine->participants[1].name, std::string("Delta"));
        QCOMPARE(d->m_engine->participants[1].role, 1);

        // The roll goes into the log, as bytes. (Enter on a focused button presses that
        // button, so the focus goes to an edit first.)
        QTest::mouseClick(Edit(*d, kBearing1), Qt::LeftButton);
        QTest::keyClick(Edit(*d, kBearing1), Qt::Key_Return);
        const QList<QByteArray> log = Workspace::LogLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].startsWith("Bravo;"));
        QVERIFY(log[0].endsWith(";\xC9ric;Delta;"));
    }

    void missingOrBrokenFilesStillOpenTheDialog() {
        {
            Workspace work;
            CapturingSink sink;
            auto d = Open(sink);
            // The directory is read first.
            QCOMPARE(sink.messages,
                     QStringList({"Fichier ervalun.txt absent", "Fichier operateurs.txt absent"}));
            sink.messages.clear();
            QVERIFY(d->isVisible());
            for (int id : {kPosition1, kPosition2, kMembers}) {
                QCOMPARE(List(*d, id)->count(), 0);
            }
            QTest::mouseClick(Button(*d, kSelectOperator), Qt::LeftButton);
            QTest::mouseClick(Button(*d, kAddParticipant), Qt::LeftButton);
            QVERIFY(sink.messages.isEmpty());
            QCOMPARE(Text(*d, kOperatorName), QString());

            // Typed coordinates calculate all the same.
            Type(*d, kLonDeg1, QStringLiteral("2"));
            Type(*d, kLatDeg1, QStringLiteral("48"));
            Type(*d, kBearing1, QStringLiteral("45"));
            Type(*d, kLonDeg2, QStringLiteral("3"));
            Type(*d, kLatDeg2, QStringLiteral("48"));
            Type(*d, kBearing2, QStringLiteral("315"));
            QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
            QCOMPARE(Text(*d, kNearestName), QStringLiteral("RESULTAT"));
            QVERIFY(std::abs(Shown(*d, kResLonDeg) - 2.5) < 1e-6);
            QVERIFY(std::abs(Shown(*d, kResLatDeg) - 48.5) < 1e-6);
            QCOMPARE(Text(*d, kResLonHem), QStringLiteral("E"));
            QCOMPARE(Workspace::LogLines().size(), 1);
            QVERIFY(sink.messages.isEmpty());
        }
        {
            Workspace work;
            Workspace::Write(QStringLiteral("ervalun.txt"), "Haut 361 0 0 N 1 0 0 E\n");
            Workspace::Write(QStringLiteral("operateurs.txt"), QByteArray(300, 'x') + "\n");
            CapturingSink sink;
            auto d = Open(sink);
            QCOMPARE(sink.messages, QStringList({"Fichier ervalun.txt incorrect",
                                                 "Fichier operateurs.txt incorrect"}));
            for (int id : {kPosition1, kPosition2, kMembers}) {
                QCOMPARE(List(*d, id)->count(), 0);
            }
            QVERIFY(!Button(*d, kCalculer)->isEnabled());
        }
        {
            // A wrong hemisphere letter is told after the messages of the files, even when the
            // directory is incorrect.
            Workspace work;
            Workspace::Write(QStringLiteral("ervalun.txt"),
                             "Londres 51 30 26 N 0 7 39 W\nHaut 361 0 0 N 1 0 0 E\n");
            CapturingSink sink;
            auto d = Open(sink);
            QCOMPARE(sink.messages.size(), 3);
            QCOMPARE(sink.messages.mid(0, 2), QStringList({"Fichier ervalun.txt incorrect",
                                                           "Fichier operateurs.txt absent"}));
            QVERIFY2(sink.messages[2].startsWith("Fichier ervalun.txt, ligne 1 : « W »"),
                     qPrintable(sink.messages[2]));
        }
    }

    void usualFilesAreReadBeforeTheDialogShows() {
        // Files of a usual size are read as the dialog is made, each message before its list.
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         kDirectory + "Londres 51 30 26 N 0 7 39 W\n");
        CapturingSink sink;
        CErvalunDlg d(&sink);
        QVERIFY(d.ListsReady());
        QCOMPARE(sink.messages.size(), 2);
        QCOMPARE(sink.messages[0], QStringLiteral("Fichier operateurs.txt absent"));
        QVERIFY2(sink.messages[1].startsWith("Fichier ervalun.txt, ligne 9 : « W »"),
                 qPrintable(sink.messages[1]));
        QStringList shown = kDirectoryShown;
        shown.insert(2, QStringLiteral("Londres"));
        QCOMPARE(Items(List(d, kPosition1)), shown);
        QCOMPARE(Items(List(d, kPosition2)), shown);
        QCOMPARE(List(d, kPosition1)->currentIndex(), -1);
        QVERIFY(!Button(d, kCalculer)->isEnabled());
        Edit(d, kLonDeg1)->setText(QStringLiteral("2"));
        QVERIFY(Button(d, kCalculer)->isEnabled());
    }

    void longFilesFillTheListsOnceRead() {
        // Long files: the dialog shows first; they are read once it is drawn, and the start-up
        // ends with their messages in the order of the files, each before its list.
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         kDirectory + "Londres 51 30 26 N 0 7 39 W\n");
        Workspace::Write(QStringLiteral("operateurs.txt"), LongRoster(90000));
        CapturingSink sink;
        auto d = std::make_unique<CErvalunDlg>(&sink);
        QVERIFY(!d->ListsReady());
        d->show();
        QCOMPARE(List(*d, kPosition1)->count(), 0);
        // A coordinate typed meanwhile does not enable "Calculer" before the lists are ready.
        Edit(*d, kLonDeg1)->setText(QStringLiteral("2"));
        QVERIFY(!Button(*d, kCalculer)->isEnabled());
        QVERIFY(sink.messages.isEmpty());

        QTRY_VERIFY(d->ListsReady());
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.messages[0].startsWith("Fichier ervalun.txt, ligne 9 : « W »"),
                 qPrintable(sink.messages[0]));
        QCOMPARE(List(*d, kMembers)->count(), 90000);
        QStringList shown = kDirectoryShown;
        shown.insert(2, QStringLiteral("Londres"));
        QCOMPARE(Items(List(*d, kPosition1)), shown);
        QCOMPARE(Items(List(*d, kPosition2)), shown);
        QCOMPARE(List(*d, kPosition1)->currentIndex(), -1);
        QVERIFY(Button(*d, kCalculer)->isEnabled());
    }

    void enterWhileTheFilesAreReadCalculatesWithThem() {
        // Enter as soon as the dialog is drawn, whether the long files are still being read or
        // not: the calculation waits for them and names the nearest known position.
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), kRoster + LongRoster(90000));
        CapturingSink sink;
        auto d = std::make_unique<CErvalunDlg>(&sink);
        QVERIFY(!d->ListsReady());
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        const std::pair<int, const char*> typed[] = {{kLonDeg1, "2"},   {kLatDeg1, "48"},
                                                     {kBearing1, "45"}, {kLonDeg2, "3"},
                                                     {kLatDeg2, "48"},  {kBearing2, "315"}};
        for (const auto& [id, text] : typed) {
            Edit(*d, id)->setText(QString::fromLatin1(text));
        }
        QTest::keyClick(Edit(*d, kBearing2), Qt::Key_Return);
        QVERIFY(d->ListsReady());
        QCOMPARE(Text(*d, kNearestName), QStringLiteral("Évry"));
        QCOMPARE(List(*d, kPosition1)->count(), kDirectoryShown.size());
        QCOMPARE(List(*d, kMembers)->count(), kRosterShown.size() + 90000);
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(Workspace::LogLines().size(), 1);
    }

    void closingWhileTheFilesAreReadWaitsForThem() {
        // A long directory is still being read when the dialog closes: the reading ends before
        // the engine goes, and nothing is shown.
        Workspace work;
        QByteArray big;
        for (int i = 0; i < 200000; ++i) {
            big += "Lieu" + QByteArray::number(i) + " 47 10 10 N 1 20 20 O\n";
        }
        Workspace::Write(QStringLiteral("ervalun.txt"), big);
        CapturingSink sink;
        auto d = std::make_unique<CErvalunDlg>(&sink);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QCoreApplication::processEvents();
        d.reset();
        QCoreApplication::processEvents();
        QVERIFY(sink.messages.isEmpty());
    }

    void aLargeDirectoryFillsBothListsAndItsLastEntryCanBeChosen() {
        // How fast this goes is measured by the dialog's benchmark; here, that it works.
        Workspace work;
        QByteArray big;
        big.reserve(100000 * 40);
        for (int i = 0; i < 100000; ++i) {
            big += "Lieu" + QByteArray::number(99999 - i) + " 47 " + QByteArray::number(i % 60) +
                   " 10 N 1 " + QByteArray::number(i % 60) + " 20 O\n";
        }
        Workspace::Write(QStringLiteral("ervalun.txt"), big);
        Workspace::Write(QStringLiteral("operateurs.txt"), big.left(1000000));
        CapturingSink sink;
        auto d = Open(sink);
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(List(*d, kPosition1)->count(), 100000);
        QCOMPARE(List(*d, kPosition2)->count(), 100000);
        QCOMPARE(List(*d, kPosition1)->itemText(0), QStringLiteral("Lieu0"));
        List(*d, kPosition1)->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(List(*d, kPosition1)->view()->window()));
        List(*d, kPosition1)->hidePopup();
        ChooseWithKeys(*d, kPosition2, 0);
        QTest::keyClick(List(*d, kPosition2), Qt::Key_End);
        QCOMPARE(List(*d, kPosition2)->currentText(), QStringLiteral("Lieu99999"));
        QCOMPARE(d->m_position2, 99999);
        // Lieu99999 is the first record of the file, whose minutes are 0.
        QCOMPARE(Text(*d, kLonMin2), QStringLiteral("0"));
        QCOMPARE(Text(*d, kLatMin2), QStringLiteral("0"));
    }
};

QTEST_MAIN(DialogListsTest)
#include "dialog_lists_test.moc"
