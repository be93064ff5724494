#include "ui/ervalun_app.h"

#include "ui/ervalun_dlg.h"
#include "ui/reference_loader.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <csignal>
#include <utility>

CErvalunApp::CErvalunApp() = default;

CErvalunApp::~CErvalunApp() = default;

void CErvalunApp::StartReading() {
    if (loader_ || CReferenceLoader::FilesAreShort()) {
        return;
    }
    auto loader = std::make_unique<CReferenceLoader>();
    // Without a thread the dialog reads them as it always does.
    if (loader->Start()) {
        loader_ = std::move(loader);
    }
}

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
    CErvalunDlg dialog(nullptr, nullptr, std::move(loader_));
    dialog.exec();
    return false;
}
