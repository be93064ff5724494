#include "ui/about_dialog.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void showsItsTexts() {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("A propos d'Ervalun"));
        auto* version = about.findChild<QLabel*>(QStringLiteral("aboutVersion"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Ervalun version 1.0"));
        auto* group = about.findChild<QGroupBox*>(QStringLiteral("aboutGroup"));
        QVERIFY(group);
        QCOMPARE(group->title(), QStringLiteral("A propos"));
        auto* text = about.findChild<QLabel*>(QStringLiteral("aboutText"));
        QVERIFY(text);
        QCOMPARE(text->text(),
                 QStringLiteral("Ervalun permet de calculer une position à partir de 2 points "
                                "orientés chacun par un azimut obtenu à la boussole"));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("aboutOk"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        auto* icon = about.findChild<QLabel*>(QStringLiteral("aboutIcon"));
        QVERIFY(icon);
        QVERIFY(!icon->pixmap().isNull());

        // Every control lies inside the box, and the sentence fits its place without clipping.
        for (QWidget* w : about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(about.rect().contains(w->geometry()), qPrintable(w->objectName()));
        }
        QVERIFY(text->heightForWidth(text->width()) <= text->height());
        QVERIFY(group->geometry().contains(text->geometry()));
        QCOMPARE(QString::fromUtf8(kAboutEntryText), QStringLiteral("&A propos d'ervalun..."));
    }

    void okEnterAndEscapeClose() {
        CAboutDlg about;
        about.open();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("aboutOk")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));

        about.open();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Rejected));

        about.open();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void entryOpensTheBoxModallyAndOkClosesIt() {
        QWidget owner;
        // The box is laid out in its owner's font, not the application's.
        QFont ownerFont = owner.font();
        ownerFont.setPointSize(ownerFont.pointSize() + 4);
        owner.setFont(ownerFont);
        owner.show();
        QAction* entry = CreateAboutAction(&owner);
        QCOMPARE(entry->text(), QStringLiteral("&A propos d'ervalun..."));
        QCOMPARE(entry->parent(), &owner);

        QString seenTitle;
        bool seenModal = false;
        QFont seenFont;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (box) {
                seenTitle = box->windowTitle();
                seenModal = box->isModal() && box->parentWidget() == &owner;
                seenFont = box->font();
                QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("aboutOk")),
                                  Qt::LeftButton);
            }
        });
        // Should the box not be found, close whatever is still open so the test cannot hang.
        QTimer::singleShot(10000, this, [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<CAboutDlg*>(w)) {
                    box->reject();
                }
            }
        });
        entry->trigger(); // returns once the modal box is closed
        QCOMPARE(seenTitle, QStringLiteral("A propos d'Ervalun"));
        QVERIFY(seenModal);
        QCOMPARE(seenFont, ownerFont);
        // The box was destroyed when it closed.
        QVERIFY(owner.findChildren<CAboutDlg*>().isEmpty());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
