#pragma once

#include "platform/Platform.h"

namespace dorvel::platform {

class PosixPlatform final : public Platform {
public:
    std::optional<std::string> environment(const std::string& name) const override;
    std::string homeFolder() const override;
    bool isDirectory(const std::string& path) const override;
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override;
    std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit) override;
    bool replaceFile(const std::string& path, std::string_view contents) override;
    bool enumerateFolder(const std::string& path,
                         const std::function<void(const FolderItem&)>& onItem) override;
    bool exists(const std::string& path) const override;
    std::optional<FileDetails> fileDetails(const std::string& path) const override;
    std::optional<std::string> specialFolder(std::string_view name) const override;
    int renameNoReplace(const std::string& from, const std::string& to) override;
    bool startDetached(const std::vector<std::string>& argv,
                       const std::string& workingDirectory) override;
    bool isFile(const std::string& path) const override;
    int createDirectory(const std::string& path) override;
    bool moveNoReplace(const std::string& from, const std::string& to) override;
    std::optional<Child> startProcess(const std::vector<std::string>& argv) override;
    bool release(const Child& child) override;
};

// The Windows error number that a failed call with this errno reports.
int WindowsErrorFromErrno(int error);

// The cross-file-system half of moveNoReplace, apart so that tests can kill
// it midway: copy beside the target, flush, put in place, and remove the
// source only when it is still the file copied, unchanged and not open
// elsewhere. afterCopy lets a test race a writer against that last step.
bool CopyThenRemove(const std::string& from, const std::string& to,
                    const std::function<void()>& afterCopy = {});

}  // namespace dorvel::platform
