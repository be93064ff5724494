// The dialog as a window: its template's layout, tab order and accessible names, the diagram
// after a calculation, the help window, and the about box from the context menu.

#include "tests/ui/dialog_test_support.h"
#include "ui/about_dialog.h"
#include "ui/dialog_units.h"
#include "ui/form/diagram_scale.h"
#include "ui/help_window.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <cmath>
#include <vector>

using namespace dialog_testing;
using namespace dlgid;

class DialogWindowTest : public QObject {
    Q_OBJECT

    // Made after the application, which sets the environment's locale.
    FrenchLocale locale_;

private slots:
    void templateLayoutAndAccessibility() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        const DialogUnits du(d->font());

        QCOMPARE(d->size(), QSize(du.X(308), du.Y(309)));
        // A sample of places, converted with the dialog font's own metrics.
        QCOMPARE(d->GetDlgItem(kCalculer)->geometry(), du.Rect(108, 116, 64, 64));
        QCOMPARE(d->GetDlgItem(kLatSec2)->geometry(), du.Rect(220, 253, 32, 13));
        QCOMPARE(d->GetDlgItem(kOk)->geometry(), du.Rect(252, 12, 50, 14));
        QCOMPARE(d->GetDlgItem(kParticipants)->geometry(), du.Rect(12, 124, 80, 48));
        QCOMPARE(d->GetDlgItem(kDiagram)->geometry(), du.Rect(220, 116, 64, 64));
        QCOMPARE(d->m_diagramRect, du.Rect(220, 116, 64, 64));
        QCOMPARE(d->GetDlgItem(kPosition2)->pos(), QPoint(du.X(156), du.Y(206)));
        QCOMPARE(d->findChild<QLabel*>(QStringLiteral("icon132"))->pos(),
                 QPoint(du.X(184), du.Y(136)));

        QCOMPARE(Button(*d, kCalculer)->text(), QStringLiteral("&Calculer"));
        QCOMPARE(Button(*d, kSelectOperator)->text(), QStringLiteral("Sélectionner &Opérateur"));
        QCOMPARE(Button(*d, kAddParticipant)->text(), QStringLiteral("Ajouter &Participant"));
        QCOMPARE(Button(*d, kHelp)->text(), QStringLiteral("&?"));
        QCOMPARE(Button(*d, kOk)->text(), QStringLiteral("OK"));
        QCOMPARE(Button(*d, kCancel)->text(), QStringLiteral("Annuler"));
        QVERIFY(Button(*d, kOk)->isDefault());
        for (int id : {kNearestName, kResLonDeg, kResLatSec, kResLonHem, kOperatorName}) {
            QVERIFY(Edit(*d, id)->isReadOnly());
        }
        QVERIFY(qobject_cast<QPlainTextEdit*>(d->GetDlgItem(kParticipants))->isReadOnly());
        QVERIFY(!Edit(*d, kBearing2)->isReadOnly());

        // The tab order of the template.
        const std::vector<int> order = {
            kMembers,      kSelectOperator, kAddParticipant, kPosition1, kLonDeg1,   kLonMin1,
            kLonSec1,      kLonHem1,        kLatDeg1,        kLatMin1,   kLatSec1,   kLatHem1,
            kBearing1,     kPosition2,      kLonDeg2,        kLonMin2,   kLonSec2,   kLonHem2,
            kLatDeg2,      kLatMin2,        kLatSec2,        kLatHem2,   kBearing2,  kCalculer,
            kNearestName,  kResLonDeg,      kResLonMin,      kResLonSec, kResLonHem, kResLatDeg,
            kResLatMin,    kResLatSec,      kResLatHem,      kOk,        kCancel,    kHelp,
            kOperatorName, kParticipants};
        d->GetDlgItem(kMembers)->setFocus();
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (!d->GetDlgItem(order[i])->isEnabled()) {
                continue; // "&Calculer", until a coordinate is entered
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     QStringLiteral("ctl%1").arg(order[i]));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d->GetDlgItem(kMembers));

        // Every input and output control has its own French name for screen readers.
        QSet<QString> names;
        for (int id : order) {
            const QString name = d->GetDlgItem(id)->accessibleName();
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(id)));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
        }
        QCOMPARE(Edit(*d, kLonDeg1)->accessibleName(),
                 QStringLiteral("1ère coordonnée, longitude, degrés"));

        // The hemisphere lists show letters but are named, and speak their items, in words;
        // the spoken item follows the list's choice.
        const std::pair<int, const char*> hemispheres[] = {
            {kLonHem1, "Hémisphère de longitude, point 1"},
            {kLatHem1, "Hémisphère de latitude, point 1"},
            {kLonHem2, "Hémisphère de longitude, point 2"},
            {kLatHem2, "Hémisphère de latitude, point 2"}};
        for (const auto& [id, listName] : hemispheres) {
            QComboBox* list = List(*d, id);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
            QVERIFY(a != nullptr);
            QCOMPARE(a->role(), QAccessible::ComboBox);
            QCOMPARE(a->text(QAccessible::Name), QString::fromUtf8(listName));
            const bool longitude = id == kLonHem1 || id == kLonHem2;
            const QStringList words =
                longitude ? QStringList{"Est", "Ouest"} : QStringList{"Nord", "Sud"};
            QCOMPARE(a->text(QAccessible::Value), words[0]);
            QCOMPARE(a->childCount(), 1);
            QAccessibleInterface* items = a->child(0);
            QCOMPARE(items->parent()->object(), list);
            QCOMPARE(items->childCount(), 2);
            ChooseWithKeys(*d, id, 1);
            QCOMPARE(list->currentText(), longitude ? QStringLiteral("O") : QStringLiteral("S"));
            QCOMPARE(a->text(QAccessible::Value), words[1]);
            for (int i = 0; i < 2; ++i) {
                QCOMPARE(items->child(i)->text(QAccessible::Name), words[i]);
                QCOMPARE(bool(items->child(i)->state().selected), i == 1);
            }
            ChooseWithKeys(*d, id, 0);
        }

        // Every text fits its box, and no two controls overlap (group frames hold them).
        const QFontMetrics metrics(d->font());
        for (QLabel* label : d->findChildren<QLabel*>()) {
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
            QVERIFY2(metrics.height() <= label->height(), qPrintable(label->text()));
        }
        for (QPushButton* button : d->findChildren<QPushButton*>()) {
            const QString text = button->text().remove(QLatin1Char('&'));
            QVERIFY2(metrics.horizontalAdvance(text) + 8 <= button->width(), qPrintable(text));
            // Its name for screen readers holds that text ("?" says what it does).
            const QString name =
                QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
            QVERIFY2(name.contains(text) || (text == "?" && name == "Aide"), qPrintable(name));
        }
        for (QGroupBox* group : d->findChildren<QGroupBox*>()) {
            QVERIFY2(metrics.horizontalAdvance(group->title()) + du.X(8) <= group->width(),
                     qPrintable(group->title()));
        }
        QList<QWidget*> controls;
        for (QWidget* w : d->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!qobject_cast<QGroupBox*>(w) && w->isVisible()) {
                QVERIFY2(d->rect().contains(w->geometry()), qPrintable(w->objectName()));
                controls << w;
            }
        }
        for (int i = 0; i < controls.size(); ++i) {
            for (int j = i + 1; j < controls.size(); ++j) {
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName() +
                                    " " + controls[i]->accessibleName()));
            }
        }

        // Before any calculation the diagram area is yellow in a black frame.
        const QImage area = d->GetDlgItem(kDiagram)->grab().toImage();
        QCOMPARE(area.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(area.pixelColor(area.width() - 1, area.height() - 1), QColor(Qt::black));
        QCOMPARE(area.pixelColor(area.width() / 2, area.height() / 2), QColor(255, 255, 0));
    }

    void diagramIsDrawnAfterACalculation() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        QWidget* area = d->GetDlgItem(kDiagram);
        const int w = d->m_diagramRect.width();
        const int h = d->m_diagramRect.height();
        QCOMPARE(area->size(), QSize(w, h));
        // Before any calculation the area is only yellow in a black frame (the template test and
        // the painter's own test look at that); a calculation draws into it.
        // Two points on one parallel sighting a point north of their middle.
        Type(*d, kLonDeg1, QStringLiteral("2"));
        Type(*d, kLatDeg1, QStringLiteral("48"));
        Type(*d, kBearing1, QStringLiteral("26.5650511770780"));
        Type(*d, kLonDeg2, QStringLiteral("3"));
        Type(*d, kLatDeg2, QStringLiteral("48"));
        Type(*d, kBearing2, QStringLiteral("333.434948822922"));
        QTest::mouseClick(Button(*d, kCalculer), Qt::LeftButton);
        QCOMPARE(d->m_calculated, 1);

        const TriangulationEngine& e = *d->m_engine;
        QVERIFY(std::abs(e.result.longitude - 2.5) < 1e-6);
        QVERIFY(std::abs(e.result.latitude - 49) < 1e-6);
        const ervalun::DiagramPoints p =
            ScaleDiagram(e.position1.longitude, e.position1.latitude, e.position2.longitude,
                         e.position2.latitude, e.result.longitude, e.result.latitude, w, h);
        // The first point at 10 % across and 90 % down, the second at 90 %, the result above.
        QCOMPARE(p.x1, static_cast<int>(0.1 * w));
        QCOMPARE(p.y2, p.y1);
        QVERIFY(p.yr < p.y1);

        const QImage after = area->grab().toImage();
        QCOMPARE(after.pixelColor(p.x1, p.y1), QColor(128, 0, 128));
        QCOMPARE(after.pixelColor(p.x2, p.y2), QColor(0, 128, 0));
        QCOMPARE(after.pixelColor(p.xr, p.yr), QColor(255, 0, 0));
        // Halfway along each line, clear of the crosses, the line is black.
        for (const QPoint& end : {QPoint(p.x1, p.y1), QPoint(p.x2, p.y2)}) {
            const QPoint mid = (end + QPoint(p.xr, p.yr)) / 2;
            bool black = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    black = black || after.pixelColor(mid.x() + dx, mid.y() + dy) == Qt::black;
                }
            }
            QVERIFY2(black, "no black line pixel halfway");
        }
        QCOMPARE(after.pixelColor(w / 2, h - 3), QColor(255, 255, 0));
        QCOMPARE(after.pixelColor(0, h / 2), QColor(Qt::black));
    }

    void helpButtonOpensOneHelpWindowBesideTheDialog() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        QVERIFY(d->HelpWindow() == nullptr);
        QTest::mouseClick(Button(*d, kHelp), Qt::LeftButton);
        CHelpWindow* help = d->HelpWindow();
        QVERIFY(help != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QVERIFY(!help->isModal());
        // What it says is the help window's own test; here, that it names this folder.
        const QString text = help->browser()->toPlainText();
        QVERIFY(text.contains(QDir::toNativeSeparators(QDir::currentPath())));
        // It closes on its own; the dialog stays.
        help->close();
        QVERIFY(!help->isVisible());
        QVERIFY(d->isVisible());
        QTest::mouseClick(Button(*d, kHelp), Qt::LeftButton);
        QCOMPARE(d->HelpWindow(), help);
        QVERIFY(help->isVisible());
    }

    void aboutBoxOpensFromTheContextMenuAndTheHelpWindow() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        QStringList seen;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QMenu* menu = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* m = qobject_cast<QMenu*>(w); m != nullptr && m->isVisible()) {
                    menu = m;
                }
            }
            if (menu != nullptr) {
                QStringList entries;
                for (QAction* a : menu->actions()) {
                    entries << a->text();
                }
                seen << "menu: " + entries.join(QStringLiteral(", "));
                // Clicked once this tick is over: the entry runs a modal box, and a timer does
                // not fire again while its own handler is still running.
                const QPoint entry = menu->actionGeometry(menu->actions().value(0)).center();
                QTimer::singleShot(
                    0, menu, [menu, entry] { QTest::mouseClick(menu, Qt::LeftButton, {}, entry); });
            } else if (auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                seen << "about: " + box->windowTitle();
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        user.start(50);

        // A right click on the dialog opens its context menu; its entry opens the about box.
        QTest::mouseClick(d->windowHandle(), Qt::RightButton, {},
                          QPoint(d->width() - 4, d->height() - 4));
        QTRY_COMPARE(seen.size(), 2);
        // The about entry comes first; the geodesic check follows it.
        const QString menu =
            QStringLiteral("menu: &A propos d'ervalun..., Contrôle &géodésique...");
        QCOMPARE(seen, QStringList({menu, "about: A propos d'Ervalun"}));

        // The Menu key: the windowing system turns it into a keyboard context-menu event for the
        // focused control, here the member list, which leaves it to the dialog.
        d->GetDlgItem(kMembers)->setFocus();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                  d->GetDlgItem(kMembers)->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(d->GetDlgItem(kMembers), &menuKey);
        QTRY_COMPARE(seen.size(), 4);
        QCOMPARE(seen.mid(2), QStringList({menu, "about: A propos d'Ervalun"}));

        // The same entry in the help window.
        QTest::mouseClick(Button(*d, kHelp), Qt::LeftButton);
        auto* entry = d->HelpWindow()->findChild<QPushButton*>(QStringLiteral("helpAbout"));
        QVERIFY(entry != nullptr);
        QCOMPARE(entry->text(), QStringLiteral("&A propos d'ervalun..."));
        QTest::mouseClick(entry, Qt::LeftButton);
        QTRY_COMPARE(seen.size(), 5);
        QCOMPARE(seen.last(), QStringLiteral("about: A propos d'Ervalun"));
        user.stop();
        // The box gave the focus back to the help window, so the next Escape closes the help
        // and not the program.
        QTRY_COMPARE(QApplication::activeWindow(), d->HelpWindow());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!d->HelpWindow()->isVisible());
        QVERIFY(d->isVisible());
    }
};

QTEST_MAIN(DialogWindowTest)
#include "dialog_window_test.moc"
