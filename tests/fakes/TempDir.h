#pragma once
// A fresh folder under the system's temporary folder, removed afterwards,
// and a guard that works inside it as the current directory. Paths are
// joined by the system's own separator.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/PathRules.h"

namespace dorvel::fakes {

class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}
    // Under another folder, such as one on another file system.
    explicit TempDir(const std::string& under) {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::string candidate = core::PathRules::Host().withSeparator(under) +
                                          "dorvel-test-" + std::to_string(random() % 1'000'000'000);
            std::error_code failed;
            if (std::filesystem::create_directory(candidate, failed)) path_ = candidate;
        }
    }
    bool made() const { return !path_.empty(); }
    ~TempDir() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The name may hold `/` between its levels.
    std::string operator/(std::string name) const {
        for (char& c : name) {
            if (c == '/') c = core::PathRules::Host().separator();
        }
        return core::PathRules::Host().withSeparator(path_) + name;
    }

    void write(const std::string& name, const std::string& contents) const {
        std::ofstream(*this / name, std::ios::binary) << contents;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::string path_;
};

class InDirectory {
public:
    explicit InDirectory(const std::string& path) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~InDirectory() { std::filesystem::current_path(previous_); }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace dorvel::fakes
