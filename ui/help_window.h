#pragma once

#include <QDialog>

class QPushButton;
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

    // A button below the text, after those added before it, for the owner to connect.
    QPushButton* AddEntry(const QString& text, const QString& objectName);

private:
    QTextBrowser* browser_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    int entries_ = 0;
};
