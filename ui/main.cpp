#include "ui/ervalun_app.h"

#include <QApplication>

namespace {
CErvalunApp theApp;
}

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    theApp.InitInstance();
    return 0;
}
