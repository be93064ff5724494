#include "ui/about_dialog.h"
#include "ui/dialog_units.h"
#include "ui/display_text.h"
#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"
#include "ui/form/diagram_scale.h"
#include "ui/form/form_number.h"
#include "ui/help_window.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace dlgid;

namespace {

class CapturingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override {
        messages << QString::fromUtf8(text.c_str());
    }
    QStringList messages;
};

// A fresh empty folder made the current directory for one test.
class Workspace {
public:
    Workspace() : previous_(QDir::currentPath()) {
        if (!dir_.isValid() || !QDir::setCurrent(dir_.path())) {
            qFatal("cannot make a temporary folder");
        }
    }
    ~Workspace() { QDir::setCurrent(previous_); }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    static void Write(const QString& name, const QByteArray& bytes) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0) {
            qFatal("cannot write a test file");
        }
    }
    static QByteArray Read(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QList<QByteArray> LogLines() {
        QList<QByteArray> lines = Read(QStringLiteral("ervalun.log")).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        return lines;
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Byte order: capitals, then small letters, then UTF-8 (0xC3) and Latin-1 (0xC9) accented
// names. "Zero" lies at 0 degrees 34 minutes west: its degrees are a negative zero.
const QByteArray kDirectory = "Rennes 48 6 53 N 1 40 46 O\n"
                              "Vitre 48 7 26 N 1 12 32 O\n"
                              "Dinan 48 27 20 N 2 2 50 O\n"
                              "bourg 46 12 20 N 5 13 40 E\n"
                              "\xC9tampes 48 26 6 N 2 9 41 E\n"
                              "\xC3\x89vry 48 37 46 N 2 26 59 E\n"
                              "Cap 10 30 0 S 2 15 0 O\n"
                              "Zero 45 0 0 N 0 34 0 O\n";
const QStringList kDirectoryShown = {QStringLiteral("Cap"),    QStringLiteral("Dinan"),
                                     QStringLiteral("Rennes"), QStringLiteral("Vitre"),
                                     QStringLiteral("Zero"),   QStringLiteral("bourg"),
                                     QStringLiteral("Évry"),   QStringLiteral("Étampes")};

const QByteArray kRoster = "Bravo\nalpha\n\xC9ric\nEric\nZo\xC3\xA9\nDelta\n";
const QStringList kRosterShown = {QStringLiteral("Bravo"), QStringLiteral("Delta"),
                                  QStringLiteral("Eric"),  QStringLiteral("Zoé"),
                                  QStringLiteral("alpha"), QStringLiteral("Éric")};

const int kNumericEdits[] = {kLonDeg1,   kLonMin1,   kLonSec1,   kLatDeg1,   kLatMin1,
                             kLatSec1,   kBearing1,  kLonDeg2,   kLonMin2,   kLonSec2,
                             kLatDeg2,   kLatMin2,   kLatSec2,   kBearing2,  kResLonDeg,
                             kResLonMin, kResLonSec, kResLatDeg, kResLatMin, kResLatSec};

int IndexOf(const QStringList& list, const char* utf8) {
    return static_cast<int>(list.indexOf(QString::fromUtf8(utf8)));
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    std::string previousLocale_;
    CapturingSink* sink_ = nullptr;

    // The dialog, made in the current folder, shown and active.
    std::unique_ptr<CErvalunDlg> Open(CapturingSink& sink) {
        sink_ = &sink;
        auto dialog = std::make_unique<CErvalunDlg>(&sink);
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog.get())) {
            qWarning("the dialog did not become active");
        }
        return dialog;
    }

    static QLineEdit* Edit(CErvalunDlg& d, int id) {
        return qobject_cast<QLineEdit*>(d.GetDlgItem(id));
    }
    static QComboBox* List(CErvalunDlg& d, int id) {
        return qobject_cast<QComboBox*>(d.GetDlgItem(id));
    }
    static QPushButton* Button(CErvalunDlg& d, int id) {
        return qobject_cast<QPushButton*>(d.GetDlgItem(id));
    }
    static QString Text(CErvalunDlg& d, int id) {
        if (auto* lines = qobject_cast<QPlainTextEdit*>(d.GetDlgItem(id))) {
            return lines->toPlainText();
        }
        return Edit(d, id)->text();
    }
    static QStringList Items(QComboBox* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        return items;
    }

    // Replaces an edit's text as a user does: click, select all, type.
    static void Type(CErvalunDlg& d, int id, const QString& text) {
        QLineEdit* edit = Edit(d, id);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QTest::keyClicks(edit, text);
        }
    }

    // Chooses an entry from a drop-down list with the mouse: open it, click the entry.
    static void ChooseWithMouse(CErvalunDlg& d, int id, int index) {
        QComboBox* list = List(d, id);
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        // A list opened by a click ignores a release that comes as fast as a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QModelIndex entry = list->model()->index(index, 0);
        view->scrollTo(entry);
        const QRect rect = view->visualRect(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(view->viewport()->width() / 2, rect.center().y()));
        QTRY_VERIFY(!view->window()->isVisible());
    }

    // Chooses an entry from a drop-down list with the keyboard: Home, then Down.
    static void ChooseWithKeys(CErvalunDlg& d, int id, int index) {
        QComboBox* list = List(d, id);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i) {
            QTest::keyClick(list, Qt::Key_Down);
        }
    }

    static void SelectMember(CErvalunDlg& d, int index) {
        // A member list choice does nothing by itself; only the role buttons read it.
        ChooseWithKeys(d, kMembers, index);
    }

    // The decimal degrees shown by a degrees edit and the minutes and seconds edits after it.
    static double Shown(CErvalunDlg& d, int degreesId) {
        return Text(d, degreesId).toDouble() + Text(d, degreesId + 1).toDouble() / 60.0 +
               Text(d, degreesId + 2).toDouble() / 3600.0;
    }

    static double Decimal(double deg, double min, double sec, int negative) {
        double value = 0.0;
        TriangulationEngine::DmsToDecimal(deg, min, sec, value);
        return negative ? -value : value;
    }

    // Compass bearing in the longitude/latitude plane from one point towards another.
    static double BearingTowards(double x1, double y1, double x2, double y2) {
        const double degrees = std::atan2(x2 - x1, y2 - y1) * 180.0 / std::acos(-1.0);
        return degrees < 0.0 ? degrees + 360.0 : degrees;
    }

private slots:
    void initTestCase() {
        // Every test runs under a French locale, whose decimal comma must change nothing.
        previousLocale_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                return;
            }
        }
        qWarning("no French locale here: the locale is not exercised");
    }

    void cleanupTestCase() { std::setlocale(LC_ALL, previousLocale_.c_str()); }

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

        // A button's name holds its visible text ("?" says what it does).
        for (QPushButton* button : d->findChildren<QPushButton*>()) {
            const QString shown = button->text().remove(QLatin1Char('&'));
            const QString name =
                QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
            QVERIFY2(name.contains(shown) || (shown == "?" && name == "Aide"), qPrintable(name));
        }

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
            QString text = button->text();
            text.remove(QLatin1Char('&'));
            QVERIFY2(metrics.horizontalAdvance(text) + 8 <= button->width(), qPrintable(text));
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

        // Role -1, no operator yet: Éric becomes a participant.
        SelectMember(*d, eric);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(Text(*d, kParticipants), QStringLiteral("Éric"));
        QCOMPARE(roster[static_cast<std::size_t>(eric)].role, 1);
        // Role 1, no operator: neither role again.
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré en tant que participant",
                                             "participant déjà enregistré"}));
        sink.messages.clear();
        QCOMPARE(Text(*d, kOperatorName), QString());
        QCOMPARE(Text(*d, kParticipants), QStringLiteral("Éric"));

        // Role -1, no operator: Bravo becomes the operator (keyboard mnemonic).
        SelectMember(*d, bravo);
        QTest::keyClick(d.get(), Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(Text(*d, kOperatorName), QStringLiteral("Bravo"));
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(d->m_operatorChosen, 1);
        QCOMPARE(roster[static_cast<std::size_t>(bravo)].role, 0);

        // Role -1, an operator exists: Delta cannot operate but can take part.
        SelectMember(*d, delta);
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré"}));
        QCOMPARE(Text(*d, kOperatorName), QStringLiteral("Bravo"));
        sink.messages.clear();
        QTest::keyClick(d.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(Text(*d, kParticipants), QStringLiteral("Éric\nDelta"));
        QVERIFY(sink.messages.isEmpty());

        // Role 0: the operator again, as either role.
        SelectMember(*d, bravo);
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré",
                                             "participant déjà enregistré en tant qu'opérateur"}));
        sink.messages.clear();

        // Role 1, an operator exists.
        SelectMember(*d, eric);
        QTest::mouseClick(chooseOperator, Qt::LeftButton);
        QTest::mouseClick(addParticipant, Qt::LeftButton);
        QCOMPARE(sink.messages, QStringList({"opérateur déjà enregistré en tant que participant",
                                             "participant déjà enregistré"}));

        // The member list keeps its selection; the texts and the engine's lists agree.
        QCOMPARE(List(*d, kMembers)->currentIndex(), eric);
        QCOMPARE(Text(*d, kParticipants), QStringLiteral("Éric\nDelta"));
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
            // A hemisphere letter that is not N/S or E/O is told once, with its line, after
            // the files' own messages; the directory still loads as it reads.
            Workspace work;
            Workspace::Write(QStringLiteral("ervalun.txt"),
                             "Rennes 48 6 53 N 1 40 46 O\nCol du Midi 45 52 44 N 6 53 15 E\n"
                             "Londres 51 30 26 N 0 7 39 W\n");
            CapturingSink sink;
            auto d = Open(sink);
            QCOMPARE(sink.messages.size(), 2);
            QCOMPARE(sink.messages[0], QStringLiteral("Fichier operateurs.txt absent"));
            QVERIFY2(sink.messages[1].startsWith(
                         "Fichier ervalun.txt, ligne 2 : « 52 » n'est pas une lettre de "
                         "latitude (N ou S)"),
                     qPrintable(sink.messages[1]));
            QVERIFY(sink.messages[1].contains("\n\nCol du Midi 45 52 44 N 6 53 15 E\n\n"));
            // Read out of step after the name with spaces, as the reader reads it.
            QCOMPARE(List(*d, kPosition1)->count(), 3);
        }
        {
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

    void namesShowAsUtf8OrLatin1() {
        QVERIFY(IsValidUtf8("plain"));
        QVERIFY(IsValidUtf8("Zo\xC3\xA9"));
        QVERIFY(IsValidUtf8("\xE2\x82\xAC 10"));
        QVERIFY(IsValidUtf8("\xF0\x9F\x97\xBA"));
        QVERIFY(!IsValidUtf8("Zo\xE9"));           // Latin-1
        QVERIFY(!IsValidUtf8("\xC3"));             // cut short
        QVERIFY(!IsValidUtf8("\xC0\xAF"));         // overlong
        QVERIFY(!IsValidUtf8("\xE0\x80\xAF"));     // overlong
        QVERIFY(!IsValidUtf8("\xED\xA0\x80"));     // surrogate
        QVERIFY(!IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
        QVERIFY(!IsValidUtf8("\xA9t\xE9"));        // continuation byte first
        QCOMPARE(DisplayName("Zo\xC3\xA9"), QStringLiteral("Zoé"));
        QCOMPARE(DisplayName("Zo\xE9"), QStringLiteral("Zoé"));
        QCOMPARE(DisplayName("\xC3\xA9t\xE9"), QStringLiteral("Ã©té"));
        QCOMPARE(DisplayName(std::string()), QString());
        QCOMPARE(DisplayNameLines("A\r\n\xC9ric\r\nZo\xC3\xA9\r\n"),
                 QStringLiteral("A\nÉric\nZoé"));
        QCOMPARE(DisplayNameLines("\r\n\r\n"), QStringLiteral("\n"));
    }

    void largeDirectoryOpensQuickly() {
        Workspace work;
        CapturingSink sink;
        QElapsedTimer timer;
        timer.start();
        Open(sink)->close();
        const qint64 small = timer.elapsed();

        QByteArray big;
        big.reserve(100000 * 40);
        for (int i = 0; i < 100000; ++i) {
            big += "Lieu" + QByteArray::number(99999 - i) + " 47 " + QByteArray::number(i % 60) +
                   " 10 N 1 " + QByteArray::number(i % 60) + " 20 O\n";
        }
        Workspace::Write(QStringLiteral("ervalun.txt"), big);
        Workspace::Write(QStringLiteral("operateurs.txt"), big.left(1000000));
        sink.messages.clear();
        timer.restart();
        auto d = Open(sink);
        const qint64 large = timer.elapsed();
        QVERIFY(sink.messages.isEmpty());
        QCOMPARE(List(*d, kPosition1)->count(), 100000);
        QCOMPARE(List(*d, kPosition2)->count(), 100000);
        QCOMPARE(List(*d, kPosition1)->itemText(0), QStringLiteral("Lieu0"));
        // Opening the list and choosing its last entry stay quick too.
        timer.restart();
        List(*d, kPosition1)->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(List(*d, kPosition1)->view()->window()));
        List(*d, kPosition1)->hidePopup();
        ChooseWithKeys(*d, kPosition2, 0);
        QTest::keyClick(List(*d, kPosition2), Qt::Key_End);
        const qint64 choose = timer.elapsed();
        QCOMPARE(List(*d, kPosition2)->currentText(), QStringLiteral("Lieu99999"));
        QCOMPARE(d->m_position2, 99999);
        // Lieu99999 is the first record of the file, whose minutes are 0.
        QCOMPARE(Text(*d, kLonMin2), QStringLiteral("0"));
        QCOMPARE(Text(*d, kLatMin2), QStringLiteral("0"));
        qInfo("dialog opened in %lld ms empty, %lld ms with 100000 positions; list opened and "
              "two choices in %lld ms",
              small, large, choose);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        const qint64 allowance = 3000;
#else
        const qint64 allowance = 500;
#endif
        QVERIFY2(large - small < allowance, qPrintable(QString::number(large - small)));
        QVERIFY2(choose < allowance, qPrintable(QString::number(choose)));
    }

    void helpWindowExplainsTheFiles() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        QVERIFY(d->HelpWindow() == nullptr);
        QTest::mouseClick(Button(*d, kHelp), Qt::LeftButton);
        CHelpWindow* help = d->HelpWindow();
        QVERIFY(help != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        const QString text = help->browser()->toPlainText();
        for (const char* word :
             {"ervalun.txt", "operateurs.txt", "calibration.txt", "ervalun.log", "map.html",
              "Refuge 45 12 30.5 N 6 5 0 E", "azimut", "~/Ervalun"}) {
            QVERIFY2(text.contains(QString::fromUtf8(word)), word);
        }
        // It says which folder the program works in.
        QVERIFY(text.contains(QDir::toNativeSeparators(QDir::currentPath())));
        // It closes on its own; the dialog stays.
        help->close();
        QVERIFY(!help->isVisible());
        QVERIFY(d->isVisible());
        QTest::mouseClick(Button(*d, kHelp), Qt::LeftButton);
        QCOMPARE(d->HelpWindow(), help);
        QVERIFY(help->isVisible());
    }

    void diagramIsDrawnAfterACalculation() {
        Workspace work;
        CapturingSink sink;
        auto d = Open(sink);
        QWidget* area = d->GetDlgItem(kDiagram);
        const int w = d->m_diagramRect.width();
        const int h = d->m_diagramRect.height();
        QCOMPARE(area->size(), QSize(w, h));
        const QColor yellow(255, 255, 0);

        // Before any calculation: a yellow area in a 1-pixel black frame, nothing else.
        QImage before = area->grab().toImage();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
                QCOMPARE(before.pixelColor(x, y), edge ? QColor(Qt::black) : yellow);
            }
        }

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
        QCOMPARE(after.pixelColor(w / 2, h - 3), yellow);
        QCOMPARE(after.pixelColor(0, h / 2), QColor(Qt::black));
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

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
