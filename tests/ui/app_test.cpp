// The program as started: the application object runs the dialog modally, and without a sink
// of the caller's own the messages come as modal boxes over the dialog.

#include "tests/ui/dialog_test_support.h"
#include "ui/ervalun_app.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace dialog_testing;

class AppTest : public QObject {
    Q_OBJECT

    // Made after the application, which sets the environment's locale.
    FrenchLocale locale_;

private slots:
    void theApplicationRunsTheDialogAndShowsModalBoxes() {
        // The program as started: no sink of the test's own, so the messages of the missing
        // files come as real message boxes, which this timer reads and closes like a user.
        Workspace work;
        QStringList seen;
        bool dialogRan = false;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                // Centred over the dialog, which is already on screen behind it.
                const auto* owner = qobject_cast<CErvalunDlg*>(box->parentWidget());
                const QPoint offset = owner == nullptr ? QPoint(9999, 9999)
                                                       : box->frameGeometry().center() -
                                                             owner->frameGeometry().center();
                const bool centred =
                    owner != nullptr && owner->isVisible() && offset.manhattanLength() <= 2;
                seen << box->windowTitle() + " | " + box->text() + " | " +
                            QString::number(box->buttons().size()) + " " +
                            box->buttons().value(0)->text() +
                            (box->isModal() ? " | modal" : " | not modal") +
                            (centred ? " | centred" : " | not centred");
                box->button(QMessageBox::Ok)->click();
            } else if (auto* dialog = qobject_cast<CErvalunDlg*>(modal)) {
                dialogRan = dialog->isVisible() && dialog->windowTitle() == "Ervalun";
                // Enter calculates and leaves the dialog open; Escape ends it.
                QTest::keyClick(dialog, Qt::Key_Return);
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        user.start(50);
        CErvalunApp app;
        QVERIFY(!app.InitInstance());
        user.stop();
        QCOMPARE(seen, QStringList({"Ervalun | Fichier ervalun.txt absent | 1 OK | modal | centred",
                                    "Ervalun | Fichier operateurs.txt absent | 1 OK | modal | "
                                    "centred"}));
        QVERIFY(dialogRan);
        QCOMPARE(Workspace::LogLines().size(), 1);
    }
};

QTEST_MAIN(AppTest)
#include "app_test.moc"
