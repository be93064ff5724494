#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtTest>

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void explainsTheFilesAndNamesTheFolder() {
        CHelpWindow help;
        QCOMPARE(help.windowTitle(), QStringLiteral("Aide d'Ervalun"));
        const QString text = help.browser()->toPlainText();
        for (const char* words :
             {"ervalun.txt", "operateurs.txt", "calibration.txt", "ervalun.log", "map.html",
              "Refuge 45 12 30.5 N 6 5 0 E", "azimut", "Position proche", "RESULTAT", "~/Ervalun",
              "Contrôle géodésique", "Ctrl+G", "déclinaison magnétique"}) {
            QVERIFY2(text.contains(QString::fromUtf8(words)), words);
        }
        QVERIFY(text.contains(QDir::toNativeSeparators(QDir::currentPath())));

        // A folder name is shown as it is, never read as markup.
        QTextDocument page;
        page.setHtml(CHelpWindow::HelpHtml(QStringLiteral("/home/a<b>&%2")));
        QVERIFY(page.toPlainText().contains(QStringLiteral("/home/a<b>&%2\n")));
    }

    void entriesComeBelowTheTextInTheirOrder() {
        CHelpWindow help;
        QPushButton* first = help.AddEntry(QStringLiteral("Un"), QStringLiteral("helpOne"));
        QPushButton* second = help.AddEntry(QStringLiteral("Deux"), QStringLiteral("helpTwo"));
        auto* column = qobject_cast<QVBoxLayout*>(help.layout());
        QVERIFY(column != nullptr);
        QCOMPARE(column->indexOf(help.browser()), 0);
        QCOMPARE(column->indexOf(first), 1);
        QCOMPARE(column->indexOf(second), 2);
        QCOMPARE(column->indexOf(help.findChild<QDialogButtonBox*>()), 3);
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
