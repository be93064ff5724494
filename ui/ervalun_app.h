#pragma once

// The application: it creates the main dialog, runs it modally and ends when it closes.
class CErvalunApp {
public:
    // Returns false: there is nothing to run once the dialog is closed.
    bool InitInstance();

    // The widget style the dialog's layout was checked with, for every desktop. Needs the
    // QApplication.
    static void SetUpLook();
};
