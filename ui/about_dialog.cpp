#include "ui/about_dialog.h"

#include "ui/dialog_units.h"
#include "ui/icons.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("A propos d'Ervalun"));
    const QIcon icon = ApplicationIcon();
    setWindowIcon(icon);
    setModal(true);

    // The box is measured with the main dialog's font, as that dialog's template is; a window
    // does not inherit it by itself. The owner may be a window of the dialog (the help window),
    // so the font is taken from the outermost owner.
    QWidget* owner = parent;
    while (owner != nullptr && owner->parentWidget() != nullptr) {
        owner = owner->parentWidget();
    }
    if (owner) {
        setFont(owner->font());
    }
    // The template's controls are siblings placed in dialog units.
    const DialogUnits du(font());
    setFixedSize(du.X(235), du.Y(103));

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("aboutIcon"));
    // An icon control takes the icon's own size, whatever the template says.
    iconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
    iconLabel->setGeometry(du.X(11), du.Y(17), kIconSize, kIconSize);

    auto* version = new QLabel(QStringLiteral("Ervalun version 1.0"), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(du.Rect(40, 10, 119, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* group = new QGroupBox(QStringLiteral("A propos"), this);
    group->setObjectName(QStringLiteral("aboutGroup"));
    group->setGeometry(du.Rect(10, 48, 218, 50));

    // Made after the group so that it lies above the frame.
    auto* sentence = new QLabel(QStringLiteral("Ervalun permet de calculer une position à partir "
                                               "de 2 points orientés chacun par un azimut obtenu "
                                               "à la boussole"),
                                this);
    sentence->setObjectName(QStringLiteral("aboutText"));
    sentence->setTextFormat(Qt::PlainText);
    sentence->setWordWrap(true);
    sentence->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sentence->setGeometry(du.Rect(16, 60, 208, 20));

    ok->setFocus();
}

void RunAboutBox(QWidget* opener) {
    QWidget* window = opener != nullptr ? opener->window() : nullptr;
    {
        CAboutDlg about(window);
        about.exec();
    }
    // Left to itself the focus may go to another window of the program, or to none; the next
    // Escape must reach the window the user was in.
    if (window != nullptr && window->isVisible()) {
        window->activateWindow();
    }
}

QAction* CreateAboutAction(QWidget* parent) {
    auto* action = new QAction(QString::fromUtf8(kAboutEntryText), parent);
    action->setObjectName(QStringLiteral("aboutAction"));
    QObject::connect(action, &QAction::triggered, parent, [parent] { RunAboutBox(parent); });
    return action;
}
