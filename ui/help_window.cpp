#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Aide d'Ervalun"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    column_ = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setAccessibleName(QStringLiteral("Aide"));
    browser_->setOpenLinks(false);
    browser_->setHtml(HelpHtml(QDir::toNativeSeparators(QDir::currentPath())));
    column_->addWidget(browser_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("helpButtons"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    column_->addWidget(buttons);

    resize(560, 520);
}

QPushButton* CHelpWindow::AddEntry(const QString& text, const QString& objectName) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    ++entries_;
    column_->insertWidget(entries_, button, 0, Qt::AlignLeft);
    return button;
}

QString CHelpWindow::HelpHtml(const QString& folder) {
    // The text is a resource of the program's static library: it is linked in only when asked
    // for by name.
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)registered;
    QFile file(QStringLiteral(":/help/help.html"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.readAll()).trimmed().arg(folder.toHtmlEscaped());
}
