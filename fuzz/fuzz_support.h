#pragma once

#include "engine/triangulation_engine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz_support {

// The readers take a file name, so each input goes through a file of its own process: in
// memory when /dev/shm exists, which keeps thousands of runs a second possible.
inline std::string InputPath(const char* suffix = ".txt") {
    static const std::string base = [] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/ervalun-fuzz-" + std::to_string(getpid());
    }();
    return base + suffix;
}

// Writes prefix then the input to the file at path, and returns path.
inline std::string WriteInputTo(const std::string& path, const std::uint8_t* data, std::size_t size,
                                const std::string& prefix = std::string()) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (!prefix.empty() && std::fwrite(prefix.data(), 1, prefix.size(), file) != prefix.size()) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
    return path;
}

inline std::string WriteInput(const std::uint8_t* data, std::size_t size) {
    return WriteInputTo(InputPath(), data, size);
}

// Counts the readers' messages instead of showing them.
class CountingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override {
        ++count;
        last = text;
    }
    int count = 0;
    std::string last;
};

// A broken invariant is a finding: stop with a message libFuzzer keeps beside the input.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace fuzz_support
