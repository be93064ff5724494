// Writes cases for ervalun-fix whose answer is known: two observers either side of a midpoint
// and the true azimuths from each to a target, on the WGS84 ellipsoid. The geodesic fix of each
// case is the target; the flat fix is what the dialog would show.
//
//   ervalun_flat_error_cases facts.txt > cases.txt
//
// facts.txt gets one line per case: latitude_deg baseline_m range_m.

#include <GeographicLib/Geodesic.hpp>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("Usage : ervalun_flat_error_cases faits.txt > cas.txt\n", stderr);
        return 2;
    }
    std::FILE* facts = std::fopen(argv[1], "w");
    if (facts == nullptr) {
        std::fprintf(stderr, "Impossible d'écrire %s\n", argv[1]);
        return 1;
    }
    const GeographicLib::Geodesic& earth = GeographicLib::Geodesic::WGS84();
    const double latitudes[] = {0, 15, 30, 45, 50, 60, 70};
    const double baselines[] = {1000, 5000, 20000};
    const double ranges[] = {2000, 5000, 10000, 20000};
    const double longitude = 6.5;
    for (double lat : latitudes) {
        for (double baseline : baselines) {
            for (double range : ranges) {
                // The baseline in four orientations; the target in front of it or behind, up to
                // 60 degrees either side of its perpendicular.
                for (int orientation = 0; orientation < 4; ++orientation) {
                    const double axis = 45.0 * orientation;
                    for (int side = 0; side < 2; ++side) {
                        for (int k = -2; k <= 2; ++k) {
                            const double towards = axis + 90 + 180 * side + 30 * k;
                            double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0, latT = 0, lonT = 0;
                            earth.Direct(lat, longitude, axis, baseline / 2, lat1, lon1);
                            earth.Direct(lat, longitude, axis + 180, baseline / 2, lat2, lon2);
                            earth.Direct(lat, longitude, towards, range, latT, lonT);
                            double azi1 = 0, azi2 = 0, back = 0;
                            earth.Inverse(lat1, lon1, latT, lonT, azi1, back);
                            earth.Inverse(lat2, lon2, latT, lonT, azi2, back);
                            std::printf("%.12f %.12f %.12f %.12f %.12f %.12f\n", lat1, lon1,
                                        azi1 < 0 ? azi1 + 360 : azi1, lat2, lon2,
                                        azi2 < 0 ? azi2 + 360 : azi2);
                            std::fprintf(facts, "%g %g %g\n", lat, baseline, range);
                        }
                    }
                }
            }
        }
    }
    return std::fclose(facts) == 0 ? 0 : 1;
}
