#pragma once

#include <QDialog>

class QAction;

// The text of the entry that opens the about box, for whichever menu offers it.
inline constexpr char kAboutEntryText[] = "&A propos d'ervalun...";

// The about box: the program's name, version and what it does. OK, Enter and Escape close it;
// its result means nothing.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

// Runs the about box modally over the window of opener, destroys it, and gives the focus back
// to that window, wherever the window system would put it.
void RunAboutBox(QWidget* opener);

// An action carrying the entry text that runs the about box over parent (RunAboutBox). The
// action belongs to parent.
QAction* CreateAboutAction(QWidget* parent);
