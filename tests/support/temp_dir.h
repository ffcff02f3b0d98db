#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "store/fs_path.h"

namespace vor3::test {

// A folder of its own for one test, removed afterwards. Names given to it
// and taken from it are UTF-8, as the program's paths are.
struct TempDir {
    std::filesystem::path path;
    // In the system's folder for temporary files, or below `base`.
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
#ifdef _WIN32
        // A new folder of a random name; another test's folder is never taken.
        std::mt19937 random(std::random_device{}());
        for (;;) {
            path = base / ("vor3-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path)) break;
        }
#else
        std::string pattern = (base / "vor3-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
#endif
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    // `name` may hold '/' between its folders; the path has the system's separator.
    std::filesystem::path at(const std::string& name) const { return (path / store::fs_path(name)).make_preferred(); }
    std::string text() const { return store::utf8_of(path); }
    std::string file(const std::string& name) const { return store::utf8_of(at(name)); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(at(name).parent_path());
        std::ofstream(at(name), std::ios::binary) << bytes;
        return file(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(at(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

}  // namespace vor3::test
