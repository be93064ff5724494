#include "ui/ervalun_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// The entries of a standard context menu as a user reads them: no mnemonic, no shortcut.
QStringList Entries(QMenu* menu) {
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
        }
    }
    return entries;
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT
private slots:
    void qtStandardMenusSpeakFrench() {
        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_fr.qm"))) {
            QSKIP(qPrintable(QStringLiteral("Qt's French translations are not installed in %1: "
                                            "install qt6-translations-l10n "
                                            "(scripts/install-deps.sh does)")
                                 .arg(folder)));
        }
        QVERIFY(CErvalunApp::LoadQtTranslations());
        // Loading again installs nothing more.
        QVERIFY(CErvalunApp::LoadQtTranslations());
        QCOMPARE(qApp->findChildren<QTranslator*>().size(), 1);

        QLineEdit edit(QStringLiteral("45"));
        edit.selectAll();
        const std::unique_ptr<QMenu> editMenu(edit.createStandardContextMenu());
        const QStringList entries = Entries(editMenu.get());
        QVERIFY2(entries.contains(QStringLiteral("Copier")), qPrintable(entries.join(", ")));
        QVERIFY2(entries.contains(QStringLiteral("Coller")), qPrintable(entries.join(", ")));
        QVERIFY2(!entries.contains(QStringLiteral("Copy")), qPrintable(entries.join(", ")));

        // The participants' box is read-only: it still offers to copy, in French.
        QPlainTextEdit lines(QStringLiteral("Lucie Payot"));
        lines.setReadOnly(true);
        const std::unique_ptr<QMenu> linesMenu(lines.createStandardContextMenu());
        QVERIFY2(Entries(linesMenu.get()).contains(QStringLiteral("Copier")),
                 qPrintable(Entries(linesMenu.get()).join(", ")));
    }
};

int main(int argc, char* argv[]) {
    // A French session, as the program's users have.
    qputenv("LC_ALL", "fr_FR.UTF-8");
    qputenv("LANG", "fr_FR.UTF-8");
    QApplication application(argc, argv);
    TranslationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "translation_test.moc"
