#pragma once

#include <QDialog>

class QTextBrowser;
class QVBoxLayout;

// The short French help of the "&?" button: what the tool does, the files it reads and writes.
// Not modal, so that it can stay open beside the dialog.
class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The help text, as HTML, naming the folder the program works in.
    static QString HelpHtml(const QString& folder);

    QTextBrowser* browser() const { return browser_; }
    // Holds the text, then a row for buttons; more entries can be added below the text.
    QVBoxLayout* layout() const { return layout_; }

private:
    QTextBrowser* browser_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
};
