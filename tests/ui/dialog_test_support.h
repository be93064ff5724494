#pragma once

// What the dialog's tests share: a work folder, a message sink, the French locale, sample
// reference files and the gestures of a user on the dialog's controls.

#include "tests/support/locale_guard.h"
#include "tests/support/work_dir.h"
#include "ui/ervalun_dlg.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace dialog_testing {

// Keeps every message the dialog would show, in order.
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
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    static void Write(const QString& name, const QByteArray& bytes);
    static QByteArray Read(const QString& name);
    // The lines of "ervalun.log", without their line feeds.
    static QList<QByteArray> LogLines();

private:
    testing_support::ScopedWorkDir dir_;
};

// The process locale French for the life of the object, when the machine has one: the dialog
// must not read or show a decimal comma.
using testing_support::FrenchLocale;

// Byte order: capitals, then small letters, then UTF-8 (0xC3) and Latin-1 (0xC9) accented
// names. "Zero" lies at 0 degrees 34 minutes west: its degrees are a negative zero.
extern const QByteArray kDirectory;
extern const QStringList kDirectoryShown;
extern const QByteArray kRoster;
extern const QStringList kRosterShown;

int IndexOf(const QStringList& list, const char* utf8);

// A roster of `count` members "Membre000000", "Membre000001"...: from some 81,000 of them the
// reference files are long enough to be read in the background once the dialog is shown.
QByteArray LongRoster(int count);

// The dialog, made in the current folder, shown and active, its start-up complete.
std::unique_ptr<CErvalunDlg> Open(CapturingSink& sink);

QLineEdit* Edit(CErvalunDlg& d, int id);
QComboBox* List(CErvalunDlg& d, int id);
QPushButton* Button(CErvalunDlg& d, int id);
// The text of an edit, or of the participants' lines.
QString Text(CErvalunDlg& d, int id);
QStringList Items(QComboBox* list);

// Replaces an edit's text as a user does: click, select all, type.
void Type(CErvalunDlg& d, int id, const QString& text);
// Chooses an entry from a drop-down list with the mouse: open it, click the entry.
void ChooseWithMouse(CErvalunDlg& d, int id, int index);
// Chooses an entry from a drop-down list with the keyboard: Home, then Down.
void ChooseWithKeys(CErvalunDlg& d, int id, int index);
// A member list choice does nothing by itself; only the role buttons read it.
void SelectMember(CErvalunDlg& d, int index);

// The decimal degrees shown by a degrees edit and the minutes and seconds edits after it.
double Shown(CErvalunDlg& d, int degreesId);

} // namespace dialog_testing
