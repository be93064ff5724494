#include "ui/ervalun_app.h"

#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <csignal>

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
    // A log or page at the file-size limit must fail its write, which the writers take back,
    // rather than end the program and lose the roll of the exercise.
    std::signal(SIGXFSZ, SIG_IGN);
    SetUpLook();
    LoadQtTranslations();
    CErvalunDlg dialog;
    dialog.exec();
    return false;
}
