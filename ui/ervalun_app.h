#pragma once

#include <memory>

class CReferenceLoader;

// The application: it creates the main dialog, runs it modally and ends when it closes.
class CErvalunApp {
public:
    CErvalunApp();
    ~CErvalunApp();
    CErvalunApp(const CErvalunApp&) = delete;
    CErvalunApp& operator=(const CErvalunApp&) = delete;

    // Starts reading reference files longer than the dialog reads at once, on a thread of their
    // own, before Qt is even set up: a long directory is then read while the window is made.
    // Needs no QApplication; the dialog of InitInstance takes the reading over.
    void StartReading();

    // Returns false: there is nothing to run once the dialog is closed.
    bool InitInstance();

    // The widget style the dialog's layout was checked with, for every desktop. Needs the
    // QApplication.
    static void SetUpLook();

    // Installs Qt's own French texts (the edits' context menu, the scroll bars' menu, the
    // standard buttons), from Qt's translations folder, once. The program speaks French
    // whatever the session's language, so Qt's texts must too. Returns false when the
    // translations are not installed (package qt6-translations-l10n); Qt's texts stay English
    // then. Needs the QApplication.
    static bool LoadQtTranslations();

private:
    std::unique_ptr<CReferenceLoader> loader_;
};
