// The start-up's loader: read on the caller's thread or on its own, it hands the lists and the
// messages over in the order of the files; and a reading the program starts before the dialog
// exists ends the dialog's start-up as its own reading would.

#include "tests/ui/dialog_test_support.h"
#include "ui/ervalun_app.h"
#include "ui/reference_loader.h"

#include <QApplication>
#include <QtTest>

#include <thread>

using namespace dialog_testing;
using namespace dlgid;

namespace {

// What a loader hands over, one line per step, the lists with their flag and names.
QStringList HandOver(CReferenceLoader& loader) {
    TriangulationEngine engine;
    QStringList steps;
    auto names = [](int loaded, const auto& list) {
        QStringList line = {QString::number(loaded)};
        for (const auto& record : list) {
            line << QString::fromStdString(record.name);
        }
        return line.join(QLatin1Char(' '));
    };
    loader.Finish();
    loader.HandOver(
        engine, {[&](const std::string& text) {
                     steps << QString::fromStdString(text).section(QLatin1Char(':'), 0, 0);
                 },
                 [&] { steps << "positions " + names(engine.directoryLoaded, engine.directory); },
                 [&] { steps << "members " + names(engine.rosterLoaded, engine.roster); }});
    return steps;
}

} // namespace

class ReferenceLoaderTest : public QObject {
    Q_OBJECT

    FrenchLocale locale_;

private slots:
    void theListsAndMessagesComeInTheOrderOfTheFiles() {
        struct Case {
            QByteArray directory; // null: no file
            QByteArray roster;
            QStringList steps;
        };
        const Case cases[] = {
            {"b 1 0 0 N 1 0 0 E\nA 2 0 0 S 2 0 0 O\nb 3 0 0 N 3 0 0 E\n",
             "Zo\nal\nBo\n",
             {"positions 1 A b b", "members 1 Bo Zo al"}},
            {QByteArray(),
             QByteArray(),
             {"Fichier ervalun.txt absent", "positions 0", "Fichier operateurs.txt absent",
              "members 0"}},
            // The entries before the number out of range stay; the mistake is told last.
            {"L 51 30 26 N 0 7 39 W\nHaut 361 0 0 N 1 0 0 E\n",
             QByteArray(),
             {"Fichier ervalun.txt incorrect", "positions 0 L", "Fichier operateurs.txt absent",
              "members 0", "Fichier ervalun.txt, ligne 1 "}},
            {"c 1 0 0 N 1 0 0 E\n",
             "Membre\n" + QByteArray(300, 'x') + "\n",
             {"positions 1 c", "Fichier operateurs.txt incorrect", "members 0 Membre"}},
        };
        for (const Case& c : cases) {
            Workspace work;
            if (!c.directory.isNull()) {
                Workspace::Write(QStringLiteral("ervalun.txt"), c.directory);
            }
            if (!c.roster.isNull()) {
                Workspace::Write(QStringLiteral("operateurs.txt"), c.roster);
            }
            CReferenceLoader here;
            QCOMPARE(HandOver(here), c.steps);
            CReferenceLoader onItsThread;
            QVERIFY(onItsThread.Start());
            QVERIFY(!onItsThread.Start());
            QCOMPARE(HandOver(onItsThread), c.steps);
        }
    }

    void theReadingIsToldOnceWhenAskedBeforeOrAfterItEnds() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        for (const bool askFirst : {true, false}) {
            CReferenceLoader loader;
            int told = 0;
            std::thread::id where;
            auto done = [&] {
                ++told;
                where = std::this_thread::get_id();
            };
            if (askFirst) {
                loader.WhenRead(done);
            }
            QVERIFY(loader.Start());
            if (!askFirst) {
                loader.Finish();
                loader.WhenRead(done);
                // Read already: told at once, here.
                QCOMPARE(told, 1);
                QVERIFY(where == std::this_thread::get_id());
            }
            loader.Finish();
            QCOMPARE(told, 1);
            QCOMPARE(where == std::this_thread::get_id(), !askFirst);
        }
    }

    void aReadingStartedBeforeTheDialogEndsItsStartUp() {
        // As the program starts: the long files are read before the dialog is made; it shows,
        // waits with "Calculer" disabled, then shows their messages and fills its lists.
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"),
                         kDirectory + "Londres 51 30 26 N 0 7 39 W\n");
        Workspace::Write(QStringLiteral("operateurs.txt"), LongRoster(90000));
        QVERIFY(!CReferenceLoader::FilesAreShort());
        auto loader = std::make_unique<CReferenceLoader>();
        QVERIFY(loader->Start());
        CapturingSink sink;
        CErvalunDlg d(&sink, nullptr, std::move(loader));
        QVERIFY(!d.ListsReady());
        Edit(d, kLonDeg1)->setText(QStringLiteral("2"));
        QVERIFY(!Button(d, kCalculer)->isEnabled());
        d.show();
        QTRY_VERIFY(d.ListsReady());
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.messages[0].startsWith("Fichier ervalun.txt, ligne 9 : « W »"),
                 qPrintable(sink.messages[0]));
        QStringList shown = kDirectoryShown;
        shown.insert(2, QStringLiteral("Londres"));
        QCOMPARE(Items(List(d, kPosition2)), shown);
        QCOMPARE(List(d, kMembers)->count(), 90000);
        QVERIFY(Button(d, kCalculer)->isEnabled());
    }

    void theProgramReadsLongFilesBeforeQtAndRunsTheDialog() {
        Workspace work;
        Workspace::Write(QStringLiteral("ervalun.txt"), kDirectory);
        Workspace::Write(QStringLiteral("operateurs.txt"), LongRoster(90000));
        CErvalunApp app;
        app.StartReading();
        int members = -1;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<CErvalunDlg*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->ListsReady()) {
                members = List(*dialog, kMembers)->count();
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        user.start(20);
        QVERIFY(!app.InitInstance());
        QCOMPARE(members, 90000);
    }
};

QTEST_MAIN(ReferenceLoaderTest)
#include "reference_loader_test.moc"
