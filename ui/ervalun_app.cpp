#include "ui/ervalun_app.h"

#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

void CErvalunApp::SetUpLook() {
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(style);
    }
}

bool CErvalunApp::LoadQtTranslations() {
    const QString objectName = QStringLiteral("ervalunQtTranslations");
    if (qApp->findChild<QTranslator*>(objectName, Qt::FindDirectChildrenOnly) != nullptr) {
        return true;
    }
    auto* translator = new QTranslator(qApp);
    translator->setObjectName(objectName);
    if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

bool CErvalunApp::InitInstance() {
    SetUpLook();
    LoadQtTranslations();
    CErvalunDlg dialog;
    dialog.exec();
    return false;
}
