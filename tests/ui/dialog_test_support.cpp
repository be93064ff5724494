#include "tests/ui/dialog_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace dialog_testing {

Workspace::Workspace() = default;

Workspace::~Workspace() = default;

void Workspace::Write(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0) {
        qFatal("cannot write a test file");
    }
}

QByteArray Workspace::Read(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> Workspace::LogLines() {
    QList<QByteArray> lines = Read(QStringLiteral("ervalun.log")).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

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

QByteArray LongRoster(int count) {
    QByteArray roster;
    roster.reserve(count * 13);
    for (int i = 0; i < count; ++i) {
        roster += "Membre" + QByteArray::number(i).rightJustified(6, '0') + '\n';
    }
    return roster;
}

int IndexOf(const QStringList& list, const char* utf8) {
    return static_cast<int>(list.indexOf(QString::fromUtf8(utf8)));
}

std::unique_ptr<CErvalunDlg> Open(CapturingSink& sink) {
    auto dialog = std::make_unique<CErvalunDlg>(&sink);
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog.get())) {
        qWarning("the dialog did not become active");
    }
    // The files may still be read; the tests start from the dialog as a user finds it then.
    dialog->CompleteStartUp();
    return dialog;
}

QLineEdit* Edit(CErvalunDlg& d, int id) {
    return qobject_cast<QLineEdit*>(d.GetDlgItem(id));
}

QComboBox* List(CErvalunDlg& d, int id) {
    return qobject_cast<QComboBox*>(d.GetDlgItem(id));
}

QPushButton* Button(CErvalunDlg& d, int id) {
    return qobject_cast<QPushButton*>(d.GetDlgItem(id));
}

QString Text(CErvalunDlg& d, int id) {
    if (auto* lines = qobject_cast<QPlainTextEdit*>(d.GetDlgItem(id))) {
        return lines->toPlainText();
    }
    return Edit(d, id)->text();
}

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

void Type(CErvalunDlg& d, int id, const QString& text) {
    QLineEdit* edit = Edit(d, id);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit, text);
    }
}

void ChooseWithMouse(CErvalunDlg& d, int id, int index) {
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

void ChooseWithKeys(CErvalunDlg& d, int id, int index) {
    QComboBox* list = List(d, id);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
}

void SelectMember(CErvalunDlg& d, int index) {
    ChooseWithKeys(d, dlgid::kMembers, index);
}

double Shown(CErvalunDlg& d, int degreesId) {
    return Text(d, degreesId).toDouble() + Text(d, degreesId + 1).toDouble() / 60.0 +
           Text(d, degreesId + 2).toDouble() / 3600.0;
}

} // namespace dialog_testing
