// The many-bearing estimate from 10 and 50 bearings, by maximum likelihood and by Andrews'
// estimator, with and without the leave-one-out re-estimates; and the next-station suggestion
// over a generated directory of 100,000 known positions.
#include "bench/directory_sample.h"
#include "engine/triangulation_engine.h"
#include "geodesy/bearing_estimate.h"
#include "tests/support/capturing_sink.h"

#include <GeographicLib/Geodesic.hpp>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

// n stations 2 to 20 km around a target in the Alps, bearings with errors of about 2 degrees.
std::vector<geodesy::BearingInput> Bearings(int n) {
    std::mt19937_64 gen(static_cast<unsigned>(n));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 2.0);
    const GeographicLib::Geodesic& earth = GeographicLib::Geodesic::WGS84();
    std::vector<geodesy::BearingInput> bearings;
    for (int i = 0; i < n; ++i) {
        geodesy::BearingInput b;
        double azi = 0.0, back = 0.0;
        earth.Direct(45.9, 6.87, 360.0 * unit(gen), 2000 + 18000 * unit(gen), b.latitude,
                     b.longitude, azi);
        earth.Inverse(b.latitude, b.longitude, 45.9, 6.87, b.azimuth, back);
        b.azimuth += noise(gen);
        bearings.push_back(b);
    }
    return bearings;
}

// Arguments: number of bearings, estimator, leave-one-out (0 or 1).
void BM_Estimate(benchmark::State& state) {
    const std::vector<geodesy::BearingInput> bearings = Bearings(static_cast<int>(state.range(0)));
    geodesy::EstimateOptions options;
    options.estimator = static_cast<geodesy::Estimator>(state.range(1));
    options.leaveOneOut = state.range(2) != 0;
    for (auto _ : state) {
        geodesy::BearingEstimate e = geodesy::EstimatePosition(bearings, options);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_Estimate)
    ->ArgNames({"n", "estimator", "loo"})
    ->ArgsProduct({{10, 50}, {0, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The generated directory, loaded the way the program loads it.
const std::vector<KnownPosition>& Directory() {
    static const std::vector<KnownPosition> list = [] {
        const std::filesystem::path file =
            std::filesystem::temp_directory_path() / "ervalun-bench-next-station.txt";
        bench_support::WriteWholeFile(file.string(), bench_support::RealisticDirectory(100000));
        TriangulationEngine engine;
        testing_support::CapturingSink sink;
        engine.messages = &sink;
        engine.LoadPositions(file.string(), &engine.directory);
        std::error_code ec;
        std::filesystem::remove(file, ec);
        return engine.directory;
    }();
    return list;
}

void BM_SuggestNextStation(benchmark::State& state) {
    const std::vector<KnownPosition>& directory = Directory();
    // Bearings on a target by one of the entries, so that some lie within 50 km.
    std::vector<geodesy::BearingInput> bearings = Bearings(4);
    const double dLat = directory.front().latitude - 45.9;
    const double dLon = directory.front().longitude - 6.87;
    for (geodesy::BearingInput& b : bearings) {
        b.latitude += dLat;
        b.longitude += dLon;
    }
    const geodesy::BearingEstimate e = geodesy::EstimatePosition(bearings, {});
    for (auto _ : state) {
        geodesy::NextStation next = geodesy::SuggestNextStation(e, bearings, {}, directory);
        benchmark::DoNotOptimize(next);
    }
    state.counters["entries"] = static_cast<double>(directory.size());
}
BENCHMARK(BM_SuggestNextStation)->Unit(benchmark::kMillisecond);

} // namespace
