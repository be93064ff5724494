// One whole calculation as the "&Calculer" button runs it: solver, nearest name, log line,
// calibration, markers and map page, in a temporary folder. With a million-entry directory
// the nearest-name search dominates; without one the files do.
#include "engine/calculation.h"
#include "engine/coordinates.h"
#include "tests/support/samples.h"
#include "tests/support/work_dir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

constexpr int kMillion = 1000000;

// A million entries spread over the Alps, sorted by name as the dialog leaves them.
void FillDirectory(TriangulationEngine& engine) {
    std::mt19937 rng(4242);
    std::uniform_real_distribution<double> lon(5.0, 8.0);
    std::uniform_real_distribution<double> lat(44.0, 47.0);
    engine.directory.reserve(kMillion);
    for (int i = 0; i < kMillion; ++i) {
        KnownPosition k;
        std::string name = std::to_string(i);
        name.insert(0, 1, 'P');
        k.name = name;
        k.longitude = lon(rng);
        k.latitude = lat(rng);
        double minutes = 0.0;
        double seconds = 0.0;
        ervalun::DecimalToDms(k.longitude, k.longitudeDegrees, minutes, seconds);
        k.longitudeMinutes = minutes;
        k.longitudeSeconds = seconds;
        ervalun::DecimalToDms(k.latitude, k.latitudeDegrees, minutes, seconds);
        k.latitudeMinutes = minutes;
        k.latitudeSeconds = seconds;
        engine.directory.push_back(k);
    }
    SortByName(engine.directory);
    engine.directoryLoaded = 1;
}

void RunCalculations(benchmark::State& state, TriangulationEngine& engine) {
    // A folder of its own with the example calibration, so that every run writes its page.
    testing_support::ScopedWorkDir folder;
    testing_support::WriteFile(ervalun::kCalibrationFileName, testing_support::kExampleCalibration);
    Member op;
    op.name = "Lucie Payot";
    op.role = 0;
    engine.operators.push_back(op);
    CalculationInput in = testing_support::OnTheMap();
    in.selection1 = 0;
    for (auto _ : state) {
        const CalculationOutput out = RunCalculation(in, engine);
        benchmark::DoNotOptimize(out.nearestName.data());
    }
    if (!std::filesystem::exists(ervalun::kMapPageFileName) ||
        !std::filesystem::exists(ervalun::kLogFileName)) {
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
