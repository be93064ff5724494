// The directory's load and sort, and one calculation's nearest-name search over it, at a
// million records, each beside the work it is measured against: `wc -w` on the same file, then
// `LC_ALL=C sort -k1,1`, and a bare loop computing the same distances. Wall time throughout,
// since the sort may use both cores. scripts/bench-peers.sh runs them side by side.
#include "bench/directory_sample.h"
#include "bench/peer_command.h"
#include "engine/triangulation_engine.h"
#include "tests/support/capturing_sink.h"
#include "tests/support/samples.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kDirectoryRecords = 1000000;
constexpr int kRosterNames = 100000;

// The two generated files, in a temporary folder removed at exit.
struct Files {
    Files() {
        std::random_device rd;
        folder = std::filesystem::temp_directory_path() / ("ervalun-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(folder);
        directory = (folder / "ervalun.txt").string();
        roster = (folder / "operateurs.txt").string();

        std::string text = bench_support::RealisticDirectory(kDirectoryRecords);
        directoryBytes = static_cast<std::int64_t>(text.size());
        bench_support::WriteWholeFile(directory, text);

        std::mt19937 rng(12345);
        text.clear();
        for (int i = 0; i < kRosterNames; ++i) {
            text += testing_support::RandomName(rng);
            text += " ";
            text += testing_support::RandomName(rng);
            text.push_back('\n');
        }
        bench_support::WriteWholeFile(roster, text);
        rosterBytes = static_cast<std::int64_t>(text.size());
    }
    ~Files() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    std::filesystem::path folder;
    std::string directory;
    std::string roster;
    std::int64_t directoryBytes = 0;
    std::int64_t rosterBytes = 0;
};

const Files& GeneratedFiles() {
    static const Files files;
    return files;
}

// Loads the generated directory into engine; false when it did not load whole.
bool LoadDirectory(TriangulationEngine& engine, testing_support::CapturingSink& sink) {
    engine.messages = &sink;
    engine.LoadPositions(GeneratedFiles().directory, &engine.directory);
    return engine.directoryLoaded == 1 && engine.directory.size() == kDirectoryRecords;
}

// The heap a loaded list holds, per entry, and the file's bytes per record beside it.
void CountMemory(benchmark::State& state, bool sort) {
    const std::size_t before = bench_support::HeapBytesInUse();
    {
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        if (LoadDirectory(engine, sink)) {
            if (sort) {
                SortByName(engine.directory);
            }
            const double held = static_cast<double>(bench_support::HeapBytesInUse() - before);
            state.counters["bytes_per_entry"] = held / kDirectoryRecords;
        }
    }
    state.counters["file_bytes_per_record"] =
        static_cast<double>(GeneratedFiles().directoryBytes) / kDirectoryRecords;
}

// The load, and the sort by name after it when asked, as the dialog's start-up runs them.
void LoadDirectoryRounds(benchmark::State& state, bool sort) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        if (!LoadDirectory(engine, sink)) {
            state.SkipWithError("directory did not load");
            break;
        }
        if (sort) {
            SortByName(engine.directory);
        }
        benchmark::DoNotOptimize(engine.directory.data());
        state.PauseTiming(); // the list's destruction is not part of the load
        {
            std::vector<KnownPosition> discard;
            discard.swap(engine.directory);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * files.directoryBytes);
    CountMemory(state, sort);
}

void BM_DirectoryLoad(benchmark::State& state) {
    LoadDirectoryRounds(state, false);
}
BENCHMARK(BM_DirectoryLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer of the load: counting the words of the same file.
void BM_PeerWordCount(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        if (!bench_support::RunQuietly({"wc", "-w", files.directory})) {
            state.SkipWithError("wc -w failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * files.directoryBytes);
}
BENCHMARK(BM_PeerWordCount)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DirectoryLoadAndSort(benchmark::State& state) {
    LoadDirectoryRounds(state, true);
}
BENCHMARK(BM_DirectoryLoadAndSort)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its peer: counting the words, then sorting the lines by their first field, byte-wise.
void BM_PeerWordCountThenSort(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        if (!bench_support::RunQuietly({"wc", "-w", files.directory}) ||
            !bench_support::RunQuietly({"sort", "-k1,1", files.directory})) {
            state.SkipWithError("wc -w or sort failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * files.directoryBytes);
}
BENCHMARK(BM_PeerWordCountThenSort)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RosterLoadAndSort(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        engine.messages = &sink;
        engine.LoadRoster(files.roster, &engine.roster);
        if (engine.rosterLoaded != 1 || engine.roster.size() != kRosterNames) {
            state.SkipWithError("roster did not load");
            break;
        }
        SortByName(engine.roster);
        benchmark::DoNotOptimize(engine.roster.data());
    }
    state.SetBytesProcessed(state.iterations() * files.rosterBytes);
}
BENCHMARK(BM_RosterLoadAndSort)->Unit(benchmark::kMillisecond);

// One calculation whose fix lies among the entries.
int Calculate(TriangulationEngine& engine, std::string& name) {
    double lonDeg = 0, lonMin = 0, lonSec = 0, latDeg = 0, latMin = 0, latSec = 0;
    int west = 0, south = 0;
    return engine.Triangulate(6, 5, 0, 0, 45, 12, 30.5, 0, 45, 7, 0, 0, 0, 45, 0, 0, 0, 315, lonDeg,
                              lonMin, lonSec, west, latDeg, latMin, latSec, south, name);
}

// The loaded and sorted million-entry directory, shared by the nearest-name search and its peer,
// with that calculation run once.
TriangulationEngine* SortedDirectory() {
    static TriangulationEngine* engine = [] {
        auto* e = new TriangulationEngine;
        static testing_support::CapturingSink sink;
        if (!LoadDirectory(*e, sink)) {
            return static_cast<TriangulationEngine*>(nullptr);
        }
        SortByName(e->directory);
        std::string name;
        Calculate(*e, name);
        return e;
    }();
    return engine;
}

// The calculation through Triangulate, which measures every entry's distance and names the
// nearest.
void BM_NearestPosition(benchmark::State& state) {
    TriangulationEngine* engine = SortedDirectory();
    if (engine == nullptr) {
        state.SkipWithError("directory did not load");
        return;
    }
    std::string name;
    for (auto _ : state) {
        const int found = Calculate(*engine, name);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(name.data());
    }
    state.SetItemsProcessed(state.iterations() * kDirectoryRecords);
    state.SetLabel("nearest: " + name);
}
BENCHMARK(BM_NearestPosition)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its peer: the bare loop over the same entries that computes and stores each distance, as
// sqrt(dx * dx + dy * dy) from the same fix, and does nothing else (no minimum, no choice).
void BM_PeerDistanceLoop(benchmark::State& state) {
    TriangulationEngine* engine = SortedDirectory();
    if (engine == nullptr) {
        state.SkipWithError("directory did not load");
        return;
    }
    // The fix of that calculation.
    const double x = engine->result.longitude;
    const double y = engine->result.latitude;
    std::vector<KnownPosition>& directory = engine->directory;
    for (auto _ : state) {
        for (KnownPosition& e : directory) {
            const double dx = x - e.longitude;
            const double dy = y - e.latitude;
            e.distance = std::sqrt(dx * dx + dy * dy);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kDirectoryRecords);
}
BENCHMARK(BM_PeerDistanceLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
