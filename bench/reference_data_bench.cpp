// Load and sort times of the reference files at a size far beyond real use, and the cost of
// one calculation's nearest-name search over them.
#include "engine/triangulation_engine.h"
#include "tests/support/capturing_sink.h"
#include "tests/support/samples.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace {

constexpr int kDirectoryRecords = 1000000;
constexpr int kRosterNames = 100000;

void AppendNumber(std::string& out, double value) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void AppendNumber(std::string& out, int value) {
    char buffer[16];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void WriteWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    }
    if (f != nullptr) {
        std::fclose(f);
    }
}

// The two generated files, in a temporary folder removed at exit.
struct Files {
    Files() {
        std::random_device rd;
        folder = std::filesystem::temp_directory_path() / ("ervalun-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(folder);
        directory = (folder / "ervalun.txt").string();
        roster = (folder / "operateurs.txt").string();

        std::mt19937 rng(12345);
        std::uniform_int_distribution<int> degrees(0, 89);
        std::uniform_int_distribution<int> minutes(0, 59);
        std::uniform_real_distribution<double> seconds(0.0, 59.99);
        std::uniform_int_distribution<int> coin(0, 1);
        std::string text;
        text.reserve(static_cast<std::size_t>(kDirectoryRecords) * 48);
        for (int i = 0; i < kDirectoryRecords; ++i) {
            text += testing_support::RandomName(rng);
            for (int part = 0; part < 2; ++part) {
                text.push_back(' ');
                AppendNumber(text, degrees(rng));
                text.push_back(' ');
                AppendNumber(text, minutes(rng));
                text.push_back(' ');
                AppendNumber(text, static_cast<int>(seconds(rng) * 100) / 100.0);
                text.push_back(' ');
                text += part == 0 ? (coin(rng) != 0 ? "S" : "N") : (coin(rng) != 0 ? "O" : "E");
            }
            text.push_back('\n');
        }
        WriteWhole(directory, text);
        directoryBytes = static_cast<std::int64_t>(text.size());

        text.clear();
        for (int i = 0; i < kRosterNames; ++i) {
            text += testing_support::RandomName(rng);
            text += " ";
            text += testing_support::RandomName(rng);
            text.push_back('\n');
        }
        WriteWhole(roster, text);
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

void BM_DirectoryLoad(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        engine.messages = &sink;
        engine.LoadPositions(files.directory, &engine.directory);
        if (engine.directoryLoaded != 1 || engine.directory.size() != kDirectoryRecords) {
            state.SkipWithError("directory did not load");
            break;
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
}
BENCHMARK(BM_DirectoryLoad)->Unit(benchmark::kMillisecond);

void BM_DirectoryLoadAndSort(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    for (auto _ : state) {
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        engine.messages = &sink;
        engine.LoadPositions(files.directory, &engine.directory);
        if (engine.directoryLoaded != 1) {
            state.SkipWithError("directory did not load");
            break;
        }
        SortByName(engine.directory);
        benchmark::DoNotOptimize(engine.directory.data());
        state.PauseTiming();
        {
            std::vector<KnownPosition> discard;
            discard.swap(engine.directory);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * files.directoryBytes);
}
BENCHMARK(BM_DirectoryLoadAndSort)->Unit(benchmark::kMillisecond);

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

// One calculation with the nearest-name search over the million entries.
void BM_TriangulateNearestOverMillion(benchmark::State& state) {
    const Files& files = GeneratedFiles();
    TriangulationEngine engine;
    testing_support::CapturingSink sink;
    engine.messages = &sink;
    engine.LoadPositions(files.directory, &engine.directory);
    if (engine.directoryLoaded != 1) {
        state.SkipWithError("directory did not load");
        return;
    }
    SortByName(engine.directory);
    double lonDeg = 0, lonMin = 0, lonSec = 0, latDeg = 0, latMin = 0, latSec = 0;
    int west = 0, south = 0;
    std::string name;
    for (auto _ : state) {
        const int found =
            engine.Triangulate(6, 5, 0, 0, 45, 12, 30.5, 0, 45, 7, 0, 0, 0, 45, 0, 0, 0, 315,
                               lonDeg, lonMin, lonSec, west, latDeg, latMin, latSec, south, name);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(name.data());
    }
    state.SetItemsProcessed(state.iterations() * kDirectoryRecords);
    state.SetLabel("nearest: " + name);
}
BENCHMARK(BM_TriangulateNearestOverMillion)->Unit(benchmark::kMillisecond);

} // namespace
