#include "ui/ervalun_app.h"

#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

void CErvalunApp::SetUpLook() {
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(style);
    }
}

bool CErvalunApp::InitInstance() {
    SetUpLook();
    CErvalunDlg dialog;
    dialog.exec();
    return false;
}
