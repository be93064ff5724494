// The generated directory as a file, and its load and sort alone, for profilers:
//   ervalun_directory_tool generate FILE [RECORDS]   writes the benchmarks' directory
//   ervalun_directory_tool load-sort FILE            loads it and sorts it by name once
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
    if (argc == 3 && std::strcmp(argv[1], "load-sort") == 0) {
        TriangulationEngine engine;
        engine.LoadPositions(argv[2], &engine.directory);
        if (engine.directoryLoaded != 1) {
            return 1;
        }
        SortByName(engine.directory);
        std::printf("%zu entries, first %s, last %s\n", engine.directory.size(),
                    engine.directory.empty() ? "" : engine.directory.front().name.c_str(),
                    engine.directory.empty() ? "" : engine.directory.back().name.c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: %s generate FILE [RECORDS] | load-sort FILE\n", argv[0]);
    return 2;
}
