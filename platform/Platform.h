#pragma once
// The operating system as the program sees it: a handful of verbs over
// plain values. PosixPlatform implements it for Linux; tests use a fake.

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dorvel::platform {

// An input/output failure, carrying the Windows error number that the
// program's messages are worded by.
class IoError : public std::runtime_error {
public:
    explicit IoError(int windowsCode)
        : std::runtime_error("I/O error " + std::to_string(windowsCode)), code_(windowsCode) {}
    int windowsCode() const { return code_; }

private:
    int code_;
};

// A file opened for one sequential read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to size bytes; 0 at the end. Throws IoError.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Nothing when the variable is unset.
    virtual std::optional<std::string> environment(const std::string& name) const = 0;
    // The user's home folder, absolute.
    virtual std::string homeFolder() const = 0;

    virtual bool isDirectory(const std::string& path) const = 0;
    // Null when the path cannot be opened as a file (missing, a directory).
    virtual std::unique_ptr<ByteSource> openForReading(const std::string& path) = 0;
    // The whole file, or nothing when it is missing or unreadable.
    virtual std::optional<std::string> readWholeFile(const std::string& path) = 0;
    // Replaces the file's contents in one step, through a symbolic link to its
    // target; false when the file may not be written or the write fails, in
    // which case the old contents are untouched.
    virtual bool replaceFile(const std::string& path, std::string_view contents) = 0;
};

// The platform the program runs on.
Platform& HostPlatform();

}  // namespace dorvel::platform
