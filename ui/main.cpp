#include "ui/ervalun_app.h"

#include <QApplication>

namespace {
CErvalunApp theApp;
}

int main(int argc, char* argv[]) {
    // Long reference files are read while Qt sets up and the window is made.
    theApp.StartReading();
    QApplication application(argc, argv);
    theApp.InitInstance();
    return 0;
}
