// A fuzz target without libFuzzer: each file named on the command line, and each file of each
// folder named, goes once through the target's checks, in name order. A broken check aborts;
// no input at all is an error too, so that a wrong path cannot pass for a clean run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool IsKind(const std::string& path, mode_t kind) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes.append(buffer, got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        if (IsKind(path, S_IFDIR)) {
            DIR* dir = opendir(path.c_str());
            for (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr; entry != nullptr;
                 entry = readdir(dir)) {
                const std::string file = path + "/" + entry->d_name;
                if (IsKind(file, S_IFREG)) {
                    inputs.push_back(file);
                }
            }
            if (dir != nullptr) {
                closedir(dir);
            }
        } else if (IsKind(path, S_IFREG)) {
            inputs.push_back(path);
        } else {
            std::fprintf(stderr, "Ni fichier ni dossier : %s\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "Aucune entrée à rejouer.\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    std::string bytes;
    for (const std::string& path : inputs) {
        if (!ReadWhole(path, bytes)) {
            std::fprintf(stderr, "Illisible : %s\n", path.c_str());
            return 2;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu entrées rejouées.\n", inputs.size());
    return 0;
}
