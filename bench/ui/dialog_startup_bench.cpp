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

// Start-up until the dialog is shown and idle: both lists filled, every event handled.
void BM_DialogStartUp(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    if (!folder.isValid() || !QDir::setCurrent(folder.path()) || !WriteStartUpFiles(entries)) {
        state.SkipWithError("cannot prepare the reference files");
        QDir::setCurrent(previous);
        return;
    }
    for (auto _ : state) {
        CountingSink sink;
        auto dialog = std::make_unique<CErvalunDlg>(&sink);
        dialog->show();
        QCoreApplication::processEvents();
        const auto* list = static_cast<QComboBox*>(dialog->GetDlgItem(dlgid::kPosition2));
        const bool loaded = sink.count == 0 && dialog->m_engine->directoryLoaded == 1 &&
                            list->count() == entries && dialog->isVisible();
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
BENCHMARK(BM_DialogStartUp)
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
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    if (!folder.isValid() || !QDir::setCurrent(folder.path()) ||
        !WriteStartUpFiles(kDirectoryEntries)) {
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
