// Makes the main dialog in the current folder, as the program would, and saves a picture:
//
//   ervalun_screenshot [--example NAME1 BEARING1 NAME2 BEARING2] [picture.png]
//       the dialog after one calculation: between the two named directory positions with the
//       given bearings, or else between two positions it chooses around a third;
//   ervalun_screenshot --context-menu picture.png
//       the screen around the dialog with a coordinate edit's own context menu open;
//   ervalun_screenshot --start-message picture.png
//       the screen around the dialog with the first start-up message box over it (start it
//       in a folder where a file is missing).
//
// The first form uses Qt's offscreen platform without a display, and sends the messages the
// dialog would show to the standard error stream. The two others picture the screen, so they
// need one (for example under xvfb-run). Qt's French texts are loaded as the program does.

#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"
#include "ui/form/form_number.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

class StderrSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "Message : %s\n", text.c_str());
    }
};

struct Plane {
    double x;
    double y;
};

Plane At(const KnownPosition& p) {
    return {p.longitude, p.latitude};
}

double Distance2(Plane a, Plane b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Compass bearing, in the flat longitude/latitude plane the solver works in, from one point
// towards another, rounded to a tenth of a degree as read on a compass.
double BearingTowards(Plane from, Plane to) {
    const double pi = std::acos(-1.0);
    double degrees = std::atan2(to.x - from.x, to.y - from.y) * 180.0 / pi;
    if (degrees < 0.0) {
        degrees += 360.0;
    }
    degrees = std::round(degrees * 10.0) / 10.0;
    return degrees >= 360.0 ? 0.0 : degrees;
}

struct Choice {
    int first = -1;
    int second = -1;
    int target = -1;
};

// A target near the middle of the directory and two observation points far from it whose
// bearing lines cross at a clear angle.
Choice ChoosePositions(const std::vector<KnownPosition>& directory) {
    Choice choice;
    const int n = static_cast<int>(directory.size());
    if (n < 3) {
        return choice;
    }
    Plane centre{0.0, 0.0};
    for (const KnownPosition& p : directory) {
        centre.x += p.longitude / n;
        centre.y += p.latitude / n;
    }
    double best = -1.0;
    for (int i = 0; i < n; ++i) {
        const double d = Distance2(At(directory[static_cast<std::size_t>(i)]), centre);
        if (best < 0.0 || d < best) {
            best = d;
            choice.target = i;
        }
    }
    const Plane t = At(directory[static_cast<std::size_t>(choice.target)]);
    best = -1.0;
    for (int i = 0; i < n; ++i) {
        const double d = Distance2(At(directory[static_cast<std::size_t>(i)]), t);
        if (i != choice.target && d > best) {
            best = d;
            choice.first = i;
        }
    }
    const Plane a = At(directory[static_cast<std::size_t>(choice.first)]);
    best = -1.0;
    for (int i = 0; i < n; ++i) {
        if (i == choice.target || i == choice.first) {
            continue;
        }
        const Plane b = At(directory[static_cast<std::size_t>(i)]);
        const double area = std::abs((a.x - t.x) * (b.y - t.y) - (a.y - t.y) * (b.x - t.x));
        if (area > best) {
            best = area;
            choice.second = i;
        }
    }
    return choice;
}

template <typename Widget> Widget* Item(CErvalunDlg& dialog, int id) {
    return static_cast<Widget*>(dialog.GetDlgItem(id));
}

void ChooseFromList(CErvalunDlg& dialog, int id, int index) {
    auto* list = Item<QComboBox>(dialog, id);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// The screen around the given windows, with a margin.
QPixmap GrabScreenAround(const QList<QWidget*>& windows) {
    QRect area;
    for (QWidget* w : windows) {
        area |= w->frameGeometry();
    }
    area.adjust(-16, -16, 16, 16);
    QScreen* screen = QGuiApplication::primaryScreen();
    area &= screen->geometry();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

bool Save(const QPixmap& picture, const QString& output) {
    if (picture.isNull() || !picture.save(output, "PNG")) {
        std::fprintf(stderr, "Impossible d'écrire %s\n", qPrintable(output));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::current().absoluteFilePath(output)));
    return true;
}

// The first start-up message box over the dialog. The boxes come once the files are read, over
// the shown dialog; a timer pictures the first and closes each.
int PictureStartMessage(const QString& output) {
    bool saved = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (!saved) {
            saved = Save(GrabScreenAround({box, box->parentWidget()->window()}), output);
        }
        box->accept();
    });
    user.start(1000);
    CErvalunDlg dialog;
    dialog.show();
    dialog.CompleteStartUp();
    user.stop();
    if (!saved) {
        std::fprintf(stderr, "Aucun message au démarrage : rien à photographier.\n");
    }
    return saved ? 0 : 1;
}

// A coordinate edit's own context menu, open over the dialog.
int PictureContextMenu(const QString& output) {
    StderrSink sink;
    CErvalunDlg dialog(&sink);
    dialog.show();
    dialog.CompleteStartUp();
    // The window must be on screen, and drawn, before its menu is.
    {
        QEventLoop wait;
        QTimer::singleShot(1000, &wait, &QEventLoop::quit);
        wait.exec();
    }
    auto* edit = Item<QLineEdit>(dialog, dlgid::kLatSec1);
    edit->setText(QStringLiteral("30.5"));
    edit->setFocus();
    edit->selectAll();
    bool saved = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QMenu* menu = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* m = qobject_cast<QMenu*>(w); m != nullptr && m->isVisible()) {
                menu = m;
            }
        }
        if (menu != nullptr) {
            saved = Save(GrabScreenAround({&dialog, menu}), output);
            menu->close();
        }
    });
    user.start(1000);
    const QPoint at(edit->width() / 2, edit->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
    QApplication::sendEvent(edit, &event);
    // The menu pops up and the call returns: wait for the picture, ten seconds at most.
    QEventLoop wait;
    QObject::connect(&user, &QTimer::timeout, &wait, [&] {
        if (saved) {
            wait.quit();
        }
    });
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    wait.exec();
    user.stop();
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    const bool onScreen = !args.isEmpty() && (args[0] == QLatin1String("--context-menu") ||
                                              args[0] == QLatin1String("--start-message"));
    if (!onScreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    CErvalunApp::SetUpLook();
    CErvalunApp::LoadQtTranslations();
    if (onScreen) {
        if (args.size() != 2) {
            std::fprintf(stderr, "Usage : ervalun_screenshot %s image.png\n", qPrintable(args[0]));
            return 2;
        }
        return args[0] == QLatin1String("--context-menu") ? PictureContextMenu(args[1])
                                                          : PictureStartMessage(args[1]);
    }

    QStringList example;
    if (!args.isEmpty() && args[0] == QLatin1String("--example")) {
        if (args.size() < 5) {
            std::fprintf(stderr, "Usage : ervalun_screenshot --example NOM1 AZIMUT1 NOM2 "
                                 "AZIMUT2 [image.png]\n");
            return 2;
        }
        example = args.mid(1, 4);
        args = args.mid(5);
    }
    const QString output = args.value(0, QStringLiteral("ervalun-capture.png"));

    StderrSink sink;
    CErvalunDlg dialog(&sink);
    dialog.show();
    dialog.CompleteStartUp();
    QApplication::processEvents();

    const std::vector<KnownPosition>& directory = dialog.m_engine->directory;
    if (!example.isEmpty()) {
        auto* list = Item<QComboBox>(dialog, dlgid::kPosition1);
        for (int k = 0; k < 2; ++k) {
            const int index = list->findText(example[2 * k]);
            if (index < 0) {
                std::fprintf(stderr, "Pas de position « %s » dans ervalun.txt.\n",
                             qPrintable(example[2 * k]));
                return 1;
            }
            ChooseFromList(dialog, k == 0 ? dlgid::kPosition1 : dlgid::kPosition2, index);
            Item<QLineEdit>(dialog, k == 0 ? dlgid::kBearing1 : dlgid::kBearing2)
                ->setText(example[2 * k + 1]);
        }
    } else if (const Choice choice =
                   dialog.m_engine->directoryLoaded ? ChoosePositions(directory) : Choice{};
               choice.target >= 0) {
        ChooseFromList(dialog, dlgid::kPosition1, choice.first);
        ChooseFromList(dialog, dlgid::kPosition2, choice.second);
        const Plane target = At(directory[static_cast<std::size_t>(choice.target)]);
        Item<QLineEdit>(dialog, dlgid::kBearing1)
            ->setText(QString::fromStdString(ervalun::FormatFormNumber(
                BearingTowards(At(directory[static_cast<std::size_t>(choice.first)]), target))));
        Item<QLineEdit>(dialog, dlgid::kBearing2)
            ->setText(QString::fromStdString(ervalun::FormatFormNumber(
                BearingTowards(At(directory[static_cast<std::size_t>(choice.second)]), target))));
    } else {
        std::fprintf(stderr,
                     "Moins de trois positions connues : calcul sur des valeurs saisies.\n");
        const std::pair<int, const char*> typed[] = {
            {dlgid::kLonDeg1, "2"}, {dlgid::kLatDeg1, "48"}, {dlgid::kBearing1, "45"},
            {dlgid::kLonDeg2, "3"}, {dlgid::kLatDeg2, "48"}, {dlgid::kBearing2, "315"},
        };
        for (const auto& [id, text] : typed) {
            Item<QLineEdit>(dialog, id)->setText(QString::fromUtf8(text));
        }
    }

    // The roll: the first member operates, the next two take part.
    const int members = Item<QComboBox>(dialog, dlgid::kMembers)->count();
    for (int i = 0; i < members && i < 3; ++i) {
        Item<QComboBox>(dialog, dlgid::kMembers)->setCurrentIndex(i);
        Item<QPushButton>(dialog, i == 0 ? dlgid::kSelectOperator : dlgid::kAddParticipant)
            ->click();
    }

    auto* calculer = Item<QPushButton>(dialog, dlgid::kCalculer);
    (calculer->isEnabled() ? calculer : Item<QPushButton>(dialog, dlgid::kOk))->click();
    QApplication::processEvents();

    return Save(dialog.grab(), output) ? 0 : 1;
}
