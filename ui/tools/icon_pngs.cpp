// Writes the application icon as PNG pictures at the usual sizes of the hicolor theme, drawn by
// the same code as the window icon, for installation beside the SVG:
//
//   ervalun_icon_pngs <folder>     writes <folder>/<n>x<n>/apps/ervalun.png
//
// A build helper, not part of the product.

#include "ui/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage : ervalun_icon_pngs <dossier>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!root.mkpath(folder) ||
            !ApplicationIconImage(size).save(root.filePath(folder + "/ervalun.png"), "PNG")) {
            std::fprintf(stderr, "Impossible d'écrire l'icône %dx%d dans %s\n", size, size,
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
