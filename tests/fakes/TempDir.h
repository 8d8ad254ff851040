#pragma once
// A fresh folder under the system's temporary folder, removed afterwards,
// and a guard that works inside it as the current directory.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace dorvel::fakes {

class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}
    // Under another folder, such as one on another file system.
    explicit TempDir(const std::string& under) {
        std::string pattern = under + "/dorvel-test-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        path_ = made != nullptr ? made : "";
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
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

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
