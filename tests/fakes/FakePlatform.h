#pragma once
// An operating system in memory: environment, files and folders, with
// switches that make reads fail midway and writes be refused.

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include <vector>

#include "core/Messages.h"
#include "platform/Platform.h"

namespace dorvel::fakes {

class FakePlatform final : public platform::Platform {
public:
    std::map<std::string, std::string> env;
    std::map<std::string, std::string> files;
    std::set<std::string> directories;
    std::string home = "/home/operator";
    // A read of this file fails with the error once this many bytes were read.
    std::string failingFile;
    std::size_t failAfter = 0;
    int failCode = 30;
    bool refuseWrites = false;
    int writes = 0;

    std::optional<std::string> environment(const std::string& name) const override {
        const auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }
    std::string homeFolder() const override { return home; }
    bool isDirectory(const std::string& path) const override { return directories.count(path) > 0; }

    std::unique_ptr<platform::ByteSource> openForReading(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return nullptr;
        const std::size_t limit = path == failingFile ? failAfter : std::string::npos;
        return std::make_unique<Source>(it->second, limit, failCode);
    }
    std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit) override {
        const auto it = files.find(path);
        if (it == files.end() || it->second.size() > limit) return std::nullopt;
        return it->second;
    }
    bool enumerateFolder(const std::string& path,
                         const std::function<void(const platform::FolderItem&)>& onItem) override {
        if (directories.count(path) == 0) return false;
        const std::string prefix = path == "/" ? path : path + "/";
        auto report = [&](const std::string& child, bool folder) {
            if (child.rfind(prefix, 0) != 0) return;
            const std::string name = child.substr(prefix.size());
            if (name.empty() || name.find('/') != std::string::npos) return;
            onItem(platform::FolderItem{name, folder, name.front() == '.'});
        };
        for (const auto& d : directories) report(d, true);
        for (const auto& f : files) report(f.first, false);
        return true;
    }
    bool exists(const std::string& path) const override {
        return files.count(path) > 0 || directories.count(path) > 0;
    }
    std::optional<platform::FileDetails> fileDetails(const std::string& path) const override {
        if (!exists(path)) return std::nullopt;
        platform::FileDetails d;
        d.isFolder = directories.count(path) > 0;
        if (!d.isFolder) d.size = static_cast<std::int64_t>(files.at(path).size());
        return d;
    }
    std::optional<std::string> specialFolder(std::string_view name) const override {
        if (name == "rfDesktop") return home + "/Desktop";
        return std::nullopt;
    }
    int renameNoReplace(const std::string& from, const std::string& to) override {
        if (exists(to)) return 183;
        const auto it = files.find(from);
        if (it == files.end()) return 2;
        files[to] = it->second;
        files.erase(from);
        return 0;
    }
    std::vector<std::vector<std::string>> started;
    bool failStarts = false;
    bool startDetached(const std::vector<std::string>& argv, const std::string&) override {
        if (failStarts) return false;
        started.push_back(argv);
        return true;
    }

    bool isFile(const std::string& path) const override { return files.count(path) > 0; }
    // As the real systems answer: the last level only, 3 for a missing parent,
    // 183 for a name that is taken.
    int createDirectory(const std::string& path) override {
        if (exists(path)) return 183;
        const auto slash = path.rfind('/');
        const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
        if (slash == std::string::npos || directories.count(parent) == 0) return 3;
        directories.insert(path);
        return 0;
    }
    bool moveNoReplace(const std::string& from, const std::string& to) override {
        return renameNoReplace(from, to) == 0;
    }
    // A program starts when its file is there; it has ended at once, so the
    // child is collected when released.
    std::optional<Child> startProcess(const std::vector<std::string>& argv) override {
        if (argv.empty() || files.count(argv[0]) == 0) return std::nullopt;
        started.push_back(argv);
        return Child{static_cast<int>(1000 + started.size()), -1};
    }
    bool release(const Child& child) override { return child.pid > 0; }

    bool replaceFile(const std::string& path, std::string_view contents) override {
        if (refuseWrites || directories.count(path) > 0) return false;
        ++writes;
        files[path] = std::string(contents);
        return true;
    }

private:
    // Hands out small pieces, so that line handling across reads is exercised.
    class Source final : public platform::ByteSource {
    public:
        Source(std::string data, std::size_t failAt, int code)
            : data_(std::move(data)), failAt_(failAt), code_(code) {}
        std::size_t read(char* buffer, std::size_t size) override {
            if (at_ >= failAt_) throw platform::IoError(code_);
            std::size_t n = std::min({size, data_.size() - at_, std::size_t{7}});
            if (failAt_ != std::string::npos) n = std::min(n, failAt_ - at_);
            std::memcpy(buffer, data_.data() + at_, n);
            at_ += n;
            return n;
        }

    private:
        std::string data_;
        std::size_t failAt_;
        int code_;
        std::size_t at_ = 0;
    };
};

// Records what would have been shown.
class RecordingMessages final : public core::Messages {
public:
    std::vector<std::string> errors, informations, platformErrors;
    void error(const std::string& text) override { errors.push_back(text); }
    void information(const std::string& text) override { informations.push_back(text); }
    void platformError(const std::string& text) override { platformErrors.push_back(text); }
};

}  // namespace dorvel::fakes
