// ervalun-fix: the flat fix of the dialog and the geodesic fix of the same two bearings, one case
// a line, or with --multi the estimate from any number of bearings, one case a group of lines,
// in the manner of the geodesy command-line tools; the bearings may be magnetic or grid ones, the
// answers a file for other tools. "ervalun-fix --help" says how.

#include "geodesy/fix_cli_north.h"
#include "geodesy/fix_cli_options.h"

#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    namespace geodesy = ervalun::geodesy;
    // The user's locale, as the dialog takes it; numbers never go through it.
    std::setlocale(LC_ALL, "");
    geodesy::FixCliOptions options;
    std::string message;
    switch (geodesy::ParseFixCliOptions(argc, argv, options, message)) {
    case geodesy::ParseOutcome::Help:
        std::fputs(geodesy::FixCliHelp(), stdout);
        return 0;
    case geodesy::ParseOutcome::Error:
        std::fprintf(stderr, "ervalun-fix : %s\n", message.c_str());
        return 2;
    case geodesy::ParseOutcome::Run:
        break;
    }
    switch (options.mode) {
    case geodesy::FixMode::DeclinationAt:
        return geodesy::RunDeclinationAt(options.atLatitude, options.atLongitude, options.date,
                                         stdout, stderr);
    case geodesy::FixMode::Multi:
    case geodesy::FixMode::Pair:
        break;
    }
    // One date for the whole input, even across midnight.
    if (!options.date) {
        options.date = geodesy::TodayLocal();
    }
    return options.mode == geodesy::FixMode::Multi
               ? geodesy::RunMultiMode(std::cin, stdout, stderr, options)
               : geodesy::RunPairMode(std::cin, stdout, stderr, options);
}
