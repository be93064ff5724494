// One whole calculation as the "&Calculer" button runs it: solver, nearest name, log line,
// calibration, markers and map page, in a temporary folder. With a million-entry directory
// the nearest-name search dominates; without one the files do.
#include "engine/calculation.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace {

constexpr int kMillion = 1000000;

// A temporary folder made the current directory for one benchmark, with the example
// calibration, so that every run writes its page.
class CalculationFolder {
public:
    CalculationFolder() : previous_(std::filesystem::current_path()) {
        std::random_device rd;
        folder_ =
            std::filesystem::temp_directory_path() / ("ervalun-bench-calc-" + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        std::FILE* f = std::fopen(kCalibrationFileName, "wb");
        if (f != nullptr) {
            std::fputs("largeur 800\nhauteur 720\nouest 6 40 0 E\nnord 46 3 0 N\n"
                       "est 7 4 0 E\nsud 45 48 0 N\n",
                       f);
            std::fclose(f);
        }
    }
    ~CalculationFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(folder_, ec);
    }
    CalculationFolder(const CalculationFolder&) = delete;
    CalculationFolder& operator=(const CalculationFolder&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

// Two points of the example map whose bearings meet on it.
CalculationInput OnTheMap() {
    CalculationInput in;
    in.lonDeg1 = 6;
    in.lonMin1 = 50;
    in.latDeg1 = 45;
    in.latMin1 = 50;
    in.bearing1 = 45;
    in.lonDeg2 = 6;
    in.lonMin2 = 55;
    in.latDeg2 = 45;
    in.latMin2 = 50;
    in.bearing2 = 315;
    return in;
}

// A million entries spread over the Alps, sorted by name as the dialog leaves them.
void FillDirectory(TriangulationEngine& engine) {
    std::mt19937 rng(4242);
    std::uniform_real_distribution<double> lon(5.0, 8.0);
    std::uniform_real_distribution<double> lat(44.0, 47.0);
    engine.directory.reserve(kMillion);
    for (int i = 0; i < kMillion; ++i) {
        KnownPosition k;
        k.name = std::to_string(i);
        k.name.insert(0, 1, 'P');
        k.longitude = lon(rng);
        k.latitude = lat(rng);
        double minutes = 0.0;
        double seconds = 0.0;
        TriangulationEngine::DecimalToDms(k.longitude, k.longitudeDegrees, minutes, seconds);
        k.longitudeMinutes = minutes;
        k.longitudeSeconds = seconds;
        TriangulationEngine::DecimalToDms(k.latitude, k.latitudeDegrees, minutes, seconds);
        k.latitudeMinutes = minutes;
        k.latitudeSeconds = seconds;
        engine.directory.push_back(k);
    }
    SortByName(engine.directory);
    engine.directoryLoaded = 1;
}

void RunCalculations(benchmark::State& state, TriangulationEngine& engine) {
    CalculationFolder folder;
    Member op;
    op.name = "Lucie Payot";
    op.role = 0;
    engine.operators.push_back(op);
    CalculationInput in = OnTheMap();
    in.position1 = 0;
    for (auto _ : state) {
        const CalculationOutput out = RunCalculation(in, engine);
        benchmark::DoNotOptimize(out.nearestName.data());
    }
    if (!std::filesystem::exists(kMapPageFileName) || !std::filesystem::exists(kLogFileName)) {
        state.SkipWithError("the calculation wrote no log or no page");
    }
}

void BM_RunCalculationWithMillionEntryDirectory(benchmark::State& state) {
    TriangulationEngine engine;
    FillDirectory(engine);
    RunCalculations(state, engine);
}
BENCHMARK(BM_RunCalculationWithMillionEntryDirectory)->Unit(benchmark::kMillisecond);

void BM_RunCalculationWithoutDirectory(benchmark::State& state) {
    TriangulationEngine engine;
    RunCalculations(state, engine);
}
BENCHMARK(BM_RunCalculationWithoutDirectory)->Unit(benchmark::kMicrosecond);

} // namespace
