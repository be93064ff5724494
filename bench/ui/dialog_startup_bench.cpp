// The dialog on the offscreen platform unless another is asked for: its start-up
// (construction, which reads and sorts both reference files and fills the lists, showing, and
// the events that follow until it is idle) with the example files, and the same with a
// 100,000-entry directory; and a user opening a position list of 100,000 entries and choosing
// its last entry.
#include "bench/directory_sample.h"
#include "ui/ervalun_app.h"
#include "ui/ervalun_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kDirectoryEntries = 100000;
constexpr int kExampleEntries = 23;

// The folder of the example files, beside this source's folder.
const char* const kExamplesFolder = ERVALUN_EXAMPLES_DIR;

class CountingSink : public MessageSink {
public:
    void ShowMessage(const std::string&) override { ++count; }
    int count = 0;
};

// The example files, or the example roster and a generated directory of entries records.
bool WriteStartUpFiles(int entries) {
    const QString examples = QString::fromUtf8(kExamplesFolder);
    if (!QFile::copy(examples + QStringLiteral("/operateurs.txt"),
                     QStringLiteral("operateurs.txt"))) {
        return false;
    }
    if (entries == kExampleEntries) {
        return QFile::copy(examples + QStringLiteral("/ervalun.txt"),
                           QStringLiteral("ervalun.txt"));
    }
    return bench_support::WriteWholeFile("ervalun.txt",
                                         bench_support::RealisticDirectory(entries, 2002));
}

// The folder of the start-up files, made the current directory for one benchmark.
class StartUpFolder {
public:
    explicit StartUpFolder(int entries) : previous_(QDir::currentPath()) {
        ok_ = folder_.isValid() && QDir::setCurrent(folder_.path()) && WriteStartUpFiles(entries);
    }
    ~StartUpFolder() { QDir::setCurrent(previous_); }
    StartUpFolder(const StartUpFolder&) = delete;
    StartUpFolder& operator=(const StartUpFolder&) = delete;
    bool ok() const { return ok_; }

private:
    QTemporaryDir folder_;
    QString previous_;
    bool ok_ = false;
};

// Made, shown and idle: every event that came up handled, the first paint included. The files
// may still be read then, the lists still empty and "Calculer" disabled.
std::unique_ptr<CErvalunDlg> ShowAndIdle(CountingSink& sink) {
    auto dialog = std::make_unique<CErvalunDlg>(&sink);
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

// The lists filled from the files, read without a message.
bool Filled(CErvalunDlg& dialog, const CountingSink& sink, int entries) {
    const auto* list = static_cast<QComboBox*>(dialog.GetDlgItem(dlgid::kPosition2));
    return sink.count == 0 && dialog.ListsReady() && dialog.m_engine->directoryLoaded == 1 &&
           list->count() == entries && dialog.isVisible();
}

// With the timing paused: whether the files loaded, then the dialog closed and destroyed. The
// timing resumes after.
bool CheckAndClose(benchmark::State& state, std::unique_ptr<CErvalunDlg>& dialog,
                   const CountingSink& sink, int entries) {
    const bool loaded = Filled(*dialog, sink, entries);
    dialog.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    if (!loaded) {
        state.SkipWithError("the reference files did not load");
    }
    return loaded;
}

// Start-up until the dialog is shown and idle, as a user first sees it.
void BM_DialogStartUp(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    StartUpFolder folder(entries);
    if (!folder.ok()) {
        state.SkipWithError("cannot prepare the reference files");
        return;
    }
    for (auto _ : state) {
        CountingSink sink;
        std::unique_ptr<CErvalunDlg> dialog = ShowAndIdle(sink);
        // Finishing the start-up, closing and destroying the dialog are not part of this.
        state.PauseTiming();
        dialog->CompleteStartUp();
        if (!CheckAndClose(state, dialog, sink, entries)) {
            break;
        }
    }
}
BENCHMARK(BM_DialogStartUp)
    ->Arg(kExampleEntries)
    ->Arg(kDirectoryEntries)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Start-up until the lists are filled and the dialog is idle again: the files read and sorted
// (meanwhile the dialog is made and shown), then the lists filled.
void BM_DialogStartUpListsReady(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    StartUpFolder folder(entries);
    if (!folder.ok()) {
        state.SkipWithError("cannot prepare the reference files");
        return;
    }
    for (auto _ : state) {
        CountingSink sink;
        std::unique_ptr<CErvalunDlg> dialog = ShowAndIdle(sink);
        while (!dialog->ListsReady()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (!CheckAndClose(state, dialog, sink, entries)) {
            break;
        }
    }
}
BENCHMARK(BM_DialogStartUpListsReady)
    ->Arg(kExampleEntries)
    ->Arg(kDirectoryEntries)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void PressKey(QWidget* target, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

// Opening the list must not measure its 100,000 entries; choosing fills the coordinate group.
void BM_OpenLargeListAndChooseItsLastEntry(benchmark::State& state) {
    StartUpFolder folder(kDirectoryEntries);
    if (!folder.ok()) {
        state.SkipWithError("cannot prepare the reference files");
        return;
    }
    {
        CountingSink sink;
        CErvalunDlg dialog(&sink);
        dialog.show();
        QCoreApplication::processEvents();
        dialog.CompleteStartUp();
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
