// One geodesic fix, the README example (Le-Brévent 108, Montenvers 264); and the whole check
// the window shows after a calculation, with the four fixes of the spread.
#include "geodesy/geodesic_check.h"
#include "geodesy/geodesic_fix.h"

#include <benchmark/benchmark.h>

namespace {

namespace geodesy = ervalun::geodesy;

const geodesy::Sighting kBrevent{45.934166666666667, 6.8375, 108};
const geodesy::Sighting kMontenvers{45.928888888888889, 6.9186111111111111, 264};

void BM_GeodesicFix(benchmark::State& state) {
    for (auto _ : state) {
        geodesy::GeodesicFix fix = geodesy::IntersectBearings(kBrevent, kMontenvers);
        benchmark::DoNotOptimize(fix);
    }
}
BENCHMARK(BM_GeodesicFix)->Unit(benchmark::kMicrosecond);

void BM_GeodesicCheck(benchmark::State& state) {
    geodesy::CheckInput input;
    input.first = kBrevent;
    input.second = kMontenvers;
    for (auto _ : state) {
        geodesy::CheckFigures figures = geodesy::RunCheck(input);
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_GeodesicCheck)->Unit(benchmark::kMicrosecond);

} // namespace
