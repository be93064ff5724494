#pragma once

#include <string>
#include <vector>

// The shell tools the benchmarks measure Ervalun against, run as a user would run them.

namespace bench_support {

// Runs the program args[0] (looked up in PATH) with its arguments, under LC_ALL=C, its
// standard output sent to /dev/null, and waits for it; true when it ran and exited with 0.
bool RunQuietly(const std::vector<std::string>& args);

} // namespace bench_support
