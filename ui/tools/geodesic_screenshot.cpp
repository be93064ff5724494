// Makes the main dialog in the current folder, runs the README example (Le-Brévent with a
// bearing of 108, Montenvers with 264) and saves a picture of the "Contrôle géodésique" window.
// With --releves, two more bearings are added in its table (compass readings from Aiguille-du-Midi
// and Lac-Blanc) and the picture shows that page; with --coordonnees, the same bearings and the
// page of the estimate's coordinates.
//
//   ervalun_geodesic_screenshot [picture.png] [--releves | --coordonnees]
//
// Run it in a copy of examples/. Without a display it uses Qt's offscreen platform.

#include "ui/bearing_table.h"
#include "ui/bearings_page.h"
#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"
#include "ui/geodesic_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>
#include <cstring>

namespace {

class StderrSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "Message : %s\n", text.c_str());
    }
};

bool Choose(CErvalunDlg& dialog, int listId, const char* name) {
    auto* list = static_cast<QComboBox*>(dialog.GetDlgItem(listId));
    const int index = list->findText(QString::fromUtf8(name));
    if (index < 0) {
        return false;
    }
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

// Adds a bearing in the window's table as a user does: the station's name, then the azimuth, a
// compass reading of a fixed day so that the picture does not change with the date.
void AddBearing(CGeodesicWindow& window, const char* name, const char* azimuth) {
    window.findChild<QDateEdit*>(QStringLiteral("bearingDate"))->setDate(QDate(2026, 12, 7));
    window.findChild<QLineEdit*>(QStringLiteral("bearingName"))->setText(QString::fromUtf8(name));
    window.findChild<QLineEdit*>(QStringLiteral("bearingAzimuth"))
        ->setText(QString::fromLatin1(azimuth));
    window.findChild<QPushButton*>(QStringLiteral("bearingAdd"))->click();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    CErvalunApp::SetUpLook();
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("geodesic-check.png");
    const bool coordinates = argc > 2 && std::strcmp(argv[2], "--coordonnees") == 0;
    const bool bearings = coordinates || (argc > 2 && std::strcmp(argv[2], "--releves") == 0);

    StderrSink sink;
    CErvalunDlg dialog(&sink);
    dialog.show();
    dialog.CompleteStartUp();
    QApplication::processEvents();
    if (!Choose(dialog, dlgid::kPosition1, "Le-Brévent") ||
        !Choose(dialog, dlgid::kPosition2, "Montenvers")) {
        std::fputs("Le-Brévent et Montenvers introuvables : lancer dans une copie de examples/.\n",
                   stderr);
        return 1;
    }
    static_cast<QLineEdit*>(dialog.GetDlgItem(dlgid::kBearing1))->setText(QStringLiteral("108"));
    static_cast<QLineEdit*>(dialog.GetDlgItem(dlgid::kBearing2))->setText(QStringLiteral("264"));
    static_cast<QPushButton*>(dialog.GetDlgItem(dlgid::kCalculer))->click();
    dialog.OnGeodesicCheck();
    CGeodesicWindow* window = dialog.GeodesicWindow();
    if (bearings) {
        if (window->Bearings()->Table()->UserRows().empty()) {
            // Read on a compass: about 3° less than the true bearings.
            AddBearing(*window, "Aiguille-du-Midi", "342");
            AddBearing(*window, "Lac-Blanc", "191");
        }
        window->findChild<QTabWidget*>(QStringLiteral("geodesicTabs"))
            ->setCurrentIndex(coordinates ? 2 : 1);
    }
    QApplication::processEvents();

    const QPixmap picture = window->grab();
    if (!picture.save(output, "PNG")) {
        std::fprintf(stderr, "Impossible d'écrire %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(QDir::current().absoluteFilePath(output)));
    return 0;
}
