// The generated directory as a file, and its load and sort alone, for profilers:
//   ervalun_directory_tool generate FILE [RECORDS]   writes the benchmarks' directory
//   ervalun_directory_tool load FILE                 loads it once
//   ervalun_directory_tool load-sort FILE [ORDER]    loads it and sorts it by name once; ORDER,
//                                                    when given, receives the sorted entries, one
//                                                    a line (name, then the decimal latitude and
//                                                    longitude), to compare two builds' orders
#include "bench/directory_sample.h"
#include "engine/triangulation_engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "generate") == 0) {
        const int records = argc >= 4 ? std::atoi(argv[3]) : 1000000;
        if (records < 0 ||
            !bench_support::WriteWholeFile(argv[2], bench_support::RealisticDirectory(records))) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    const bool sort = argc >= 3 && argc <= 4 && std::strcmp(argv[1], "load-sort") == 0;
    if (sort || (argc == 3 && std::strcmp(argv[1], "load") == 0)) {
        TriangulationEngine engine;
        engine.LoadPositions(argv[2], &engine.directory);
        if (engine.directoryLoaded != 1) {
            return 1;
        }
        if (sort) {
            SortByName(engine.directory);
        }
        if (argc == 4) {
            std::FILE* order = std::fopen(argv[3], "wb");
            if (order == nullptr) {
                return 1;
            }
            // %a: every bit of the coordinates, whatever the locale.
            for (const KnownPosition& entry : engine.directory) {
                std::fprintf(order, "%s %a %a\n", entry.name.c_str(), entry.latitude,
                             entry.longitude);
            }
            std::fclose(order);
        }
        std::printf("%zu entries, first %s, last %s\n", engine.directory.size(),
                    engine.directory.empty() ? "" : engine.directory.front().name.c_str(),
                    engine.directory.empty() ? "" : engine.directory.back().name.c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: %s generate FILE [RECORDS] | load FILE | load-sort FILE [ORDER]\n",
                 argv[0]);
    return 2;
}
