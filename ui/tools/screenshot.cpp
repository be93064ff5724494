// Makes the main dialog in the current folder, as the program would, runs one sample
// calculation between two directory positions and saves a picture of the window.
//
//   ervalun_screenshot [picture.png]
//
// Without a display it uses Qt's offscreen platform. Messages the dialog would show go to the
// standard error stream instead of waiting for a click.

#include "engine/form_number.h"
#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

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

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    CErvalunApp::SetUpLook();
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("ervalun-capture.png");

    StderrSink sink;
    CErvalunDlg dialog(&sink);
    dialog.show();
    QApplication::processEvents();

    const std::vector<KnownPosition>& directory = dialog.m_engine->directory;
    const Choice choice = dialog.m_engine->directoryLoaded ? ChoosePositions(directory) : Choice{};
    if (choice.target >= 0) {
        ChooseFromList(dialog, dlgid::kPosition1, choice.first);
        ChooseFromList(dialog, dlgid::kPosition2, choice.second);
        const Plane target = At(directory[static_cast<std::size_t>(choice.target)]);
        Item<QLineEdit>(dialog, dlgid::kBearing1)
            ->setText(QString::fromStdString(FormatFormNumber(
                BearingTowards(At(directory[static_cast<std::size_t>(choice.first)]), target))));
        Item<QLineEdit>(dialog, dlgid::kBearing2)
            ->setText(QString::fromStdString(FormatFormNumber(
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

    const QPixmap picture = dialog.grab();
    if (!picture.save(output, "PNG")) {
        std::fprintf(stderr, "Impossible d'écrire %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(QDir::current().absoluteFilePath(output)));
    return 0;
}
