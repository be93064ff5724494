// The dialog with a 100,000-entry directory, on the offscreen platform unless another is asked
// for: its start-up (construction, which reads and sorts both reference files and fills the
// lists, showing, and the first paint), and a user opening a position list and choosing its
// last entry.
#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kDirectoryEntries = 100000;
constexpr int kMembers = 200;

class CountingSink : public MessageSink {
public:
    void ShowMessage(const std::string&) override { ++count; }
    int count = 0;
};

bool WriteText(const char* name, const std::string& text) {
    std::FILE* f = std::fopen(name, "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// Random names of 4 to 16 letters, so that the sort has work to do.
std::string RandomName(std::mt19937& rng) {
    std::uniform_int_distribution<int> length(4, 16);
    std::uniform_int_distribution<int> letter(0, 51);
    std::string name;
    for (int i = length(rng); i > 0; --i) {
        const int l = letter(rng);
        name.push_back(static_cast<char>(l < 26 ? 'A' + l : 'a' + (l - 26)));
    }
    return name;
}

bool WriteReferenceFiles() {
    std::mt19937 rng(2002);
    std::uniform_int_distribution<int> degrees(0, 89);
    std::uniform_int_distribution<int> minutes(0, 59);
    std::string text;
    for (int i = 0; i < kDirectoryEntries; ++i) {
        text += RandomName(rng);
        text += ' ' + std::to_string(degrees(rng)) + ' ' + std::to_string(minutes(rng)) + ' ' +
                std::to_string(minutes(rng)) + " N " + std::to_string(degrees(rng)) + ' ' +
                std::to_string(minutes(rng)) + ' ' + std::to_string(minutes(rng)) + " E\n";
    }
    std::string members;
    for (int i = 0; i < kMembers; ++i) {
        members += RandomName(rng) + ' ' + RandomName(rng) + '\n';
    }
    return WriteText("ervalun.txt", text) && WriteText("operateurs.txt", members);
}

void BM_DialogStartUpWith100kDirectory(benchmark::State& state) {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    if (!folder.isValid() || !QDir::setCurrent(folder.path()) || !WriteReferenceFiles()) {
        state.SkipWithError("cannot prepare the reference files");
        return;
    }
    for (auto _ : state) {
        CountingSink sink;
        auto dialog = std::make_unique<CErvalunDlg>(&sink);
        dialog->show();
        QCoreApplication::processEvents();
        const bool loaded =
            sink.count == 0 && dialog->m_engine->directory.size() == kDirectoryEntries;
        // Closing and destroying the dialog is not part of the start-up.
        state.PauseTiming();
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!loaded) {
            state.SkipWithError("the reference files did not load");
            break;
        }
    }
    QDir::setCurrent(previous);
}
BENCHMARK(BM_DialogStartUpWith100kDirectory)->Unit(benchmark::kMillisecond);

void PressKey(QWidget* target, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

// Opening the list must not measure its 100,000 entries; choosing fills the coordinate group.
void BM_OpenLargeListAndChooseItsLastEntry(benchmark::State& state) {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    if (!folder.isValid() || !QDir::setCurrent(folder.path()) || !WriteReferenceFiles()) {
        state.SkipWithError("cannot prepare the reference files");
        return;
    }
    {
        CountingSink sink;
        CErvalunDlg dialog(&sink);
        dialog.show();
        QCoreApplication::processEvents();
        auto* list = static_cast<QComboBox*>(dialog.GetDlgItem(dlgid::kPosition2));
        list->setFocus();
        for (auto _ : state) {
            list->showPopup();
            QCoreApplication::processEvents();
            list->hidePopup();
            PressKey(list, Qt::Key_Home);
            PressKey(list, Qt::Key_End);
        }
        if (dialog.m_position2 != kDirectoryEntries - 1) {
            state.SkipWithError("the last entry was not chosen");
        }
    }
    QDir::setCurrent(previous);
}
BENCHMARK(BM_OpenLargeListAndChooseItsLastEntry)->Unit(benchmark::kMillisecond);

// The offscreen platform says at every opened list that it cannot raise it or grab the keyboard;
// said a thousand times, that would bury the figures.
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    qt_message_output(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    // No display is needed to measure the start-up.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    qInstallMessageHandler(QuietPlatformNotes);
    CErvalunApp::SetUpLook();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
