#pragma once
// An operating system in memory: environment, files and folders, with
// switches that make reads fail midway and writes be refused.

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
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

    platform::Result<std::string> environment(const std::string& name) const override {
        const auto it = env.find(name);
        if (it == env.end()) return Failed(platform::kEnvironmentVariableNotFound);
        return it->second;
    }
    std::string homeFolder() const override { return home; }
    platform::Result<std::string> specialFolder(std::string_view name) const override {
        if (name == "rfDesktop") return home + "/Desktop";
        if (name == "rfPersonal") return home;
        return Failed(platform::kFileNotFound);
    }

    platform::Result<platform::EntryInfo> inspect(const std::string& path) const override {
        platform::EntryInfo info;
        if (directories.count(path) > 0) {
            info.isFolder = true;
            return info;
        }
        const auto it = files.find(path);
        if (it == files.end()) {
            return Failed(FolderThere(Parent(path)) ? platform::kFileNotFound
                                                    : platform::kPathNotFound);
        }
        info.size = static_cast<std::int64_t>(it->second.size());
        return info;
    }
    int enumerations = 0;
    platform::Status enumerateFolder(
        const std::string& path,
        const std::function<void(const platform::FolderItem&)>& onItem) override {
        ++enumerations;
        return list(path, onItem);
    }
    platform::Status list(const std::string& path,
                          const std::function<void(const platform::FolderItem&)>& onItem) const {
        if (directories.count(path) == 0) return Failed(platform::kPathNotFound);
        const std::string prefix = path == "/" ? path : path + "/";
        auto report = [&](const std::string& child, bool folder) {
            if (child.rfind(prefix, 0) != 0) return;
            const std::string name = child.substr(prefix.size());
            if (name.empty() || name.find('/') != std::string::npos) return;
            onItem(platform::FolderItem{name, folder, name.front() == '.'});
        };
        for (const auto& d : directories) report(d, true);
        for (const auto& f : files) report(f.first, false);
        return {};
    }
    platform::Result<std::unique_ptr<platform::ByteSource>> openFile(
        const std::string& path) override {
        if (directories.count(path) > 0) return Failed(platform::kAccessDenied);
        const auto it = files.find(path);
        if (it == files.end()) return inspect(path).status();
        const std::size_t limit = path == failingFile ? failAfter : std::string::npos;
        return std::unique_ptr<platform::ByteSource>(
            std::make_unique<Source>(it->second, limit, failCode));
    }
    platform::Status replaceFile(const std::string& path, std::string_view contents) override {
        if (refuseWrites || directories.count(path) > 0) return Failed(platform::kAccessDenied);
        if (!FolderThere(Parent(path))) return Failed(platform::kPathNotFound);
        ++writes;
        files[path] = std::string(contents);
        return {};
    }
    // As the real systems answer: the last level only, 3 for a missing parent,
    // 183 for a name that is taken.
    platform::Status createFolder(const std::string& path) override {
        if (inspect(path)) return Failed(platform::kAlreadyExists);
        if (!FolderThere(Parent(path))) return Failed(platform::kPathNotFound);
        directories.insert(path);
        return {};
    }
    platform::Status move(const std::string& from, const std::string& to) override {
        if (inspect(to)) return Failed(platform::kAlreadyExists);
        if (!FolderThere(Parent(to))) return Failed(platform::kPathNotFound);
        if (directories.count(from) > 0) {
            // A folder moves with everything in it.
            auto moveUnder = [&](auto& set) {
                std::vector<std::string> names;
                for (const auto& e : set) {
                    const std::string& name = KeyOf(e);
                    if (name == from || name.rfind(from + "/", 0) == 0) names.push_back(name);
                }
                return names;
            };
            for (const auto& name : moveUnder(directories)) {
                directories.erase(name);
                directories.insert(to + name.substr(from.size()));
            }
            for (const auto& name : moveUnder(files)) {
                files[to + name.substr(from.size())] = files[name];
                files.erase(name);
            }
            return {};
        }
        const auto it = files.find(from);
        if (it == files.end()) return inspect(from).status();
        files[to] = it->second;
        files.erase(from);
        return {};
    }
    platform::Result<std::string> shortPath(const std::string& path) const override {
        if (const auto info = inspect(path); !info) return info.status();
        return path;
    }

    // A program starts when its file is there, and has ended at once.
    std::vector<platform::Command> started;
    platform::Result<platform::Process> start(const platform::Command& command) override {
        if (command.arguments.empty()) return Failed(platform::kFileNotFound);
        // A shown program is looked up as the system looks up programs.
        if (command.hidden && files.count(command.arguments[0]) == 0) {
            return Failed(platform::kFileNotFound);
        }
        if (!command.hidden && failStarts) return Failed(platform::kFileNotFound);
        started.push_back(command);
        return platform::Process(std::make_unique<EndedProcess>());
    }
    bool failStarts = false;

    // A folder's notice compares what the folder holds with what it held
    // when last asked. Folders named here give none, as a network share.
    std::set<std::string> unnoticedFolders;
    int noticesMade = 0;
    std::unique_ptr<platform::FolderNotice> noticeChanges(const std::string& folder) override {
        if (unnoticedFolders.count(folder) > 0 || directories.count(folder) == 0) return nullptr;
        ++noticesMade;
        return std::make_unique<Notice>(*this, folder);
    }

private:
    class Notice final : public platform::FolderNotice {
    public:
        Notice(FakePlatform& platform, std::string folder)
            : platform_(platform), folder_(std::move(folder)), seen_(held()) {}
        bool changed() override {
            auto now = held();
            const bool differs = now != seen_;
            seen_ = std::move(now);
            return differs;
        }

    private:
        // Names, each with a mark for a folder and one for a hidden entry.
        std::vector<std::string> held() const {
            std::vector<std::string> items;
            if (platform_.list(folder_, [&](const platform::FolderItem& item) {
                    items.push_back(std::string(item.name) + (item.isFolder ? "/" : "") +
                                    (item.hidden ? "." : ""));
                })) {
                return items;
            }
            return {"\x01gone"};
        }
        FakePlatform& platform_;
        std::string folder_;
        std::vector<std::string> seen_;
    };

    static platform::Status Failed(int code) { return platform::Status::Failed(code); }
    static std::string Parent(const std::string& path) {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos) return {};
        return slash == 0 ? "/" : path.substr(0, slash);
    }
    // A relative name lives in the current directory, which is always there.
    bool FolderThere(const std::string& folder) const {
        return folder.empty() || folder == "." || directories.count(folder) > 0;
    }
    static const std::string& KeyOf(const std::string& name) { return name; }
    static const std::string& KeyOf(const std::pair<const std::string, std::string>& file) {
        return file.first;
    }

    class EndedProcess final : public platform::Process::Handle {
    public:
        std::intptr_t waitable() const override { return platform::Process::kNothingToWaitOn; }
        bool hasEnded() override { return true; }
    };

    // Hands out small pieces, so that line handling across reads is exercised.
    class Source final : public platform::ByteSource {
    public:
        Source(std::string data, std::size_t failAt, int code)
            : data_(std::move(data)), failAt_(failAt), code_(code) {}
        platform::Result<std::size_t> read(char* buffer, std::size_t size) override {
            if (at_ >= failAt_) return Failed(code_);
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
