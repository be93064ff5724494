#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A fresh empty folder made the current directory for the life of the object.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);
// The lines of a text, without their line feeds.
std::vector<std::string> Lines(const std::string& text);
// The names of what a folder holds, sorted.
std::vector<std::string> FilesIn(const std::filesystem::path& dir);

} // namespace testing_support
