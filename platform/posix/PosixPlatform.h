#pragma once

#include "platform/Platform.h"

namespace dorvel::platform {

class PosixPlatform final : public Platform {
public:
    Result<std::string> environment(const std::string& name) const override;
    std::string homeFolder() const override;
    Result<std::string> specialFolder(std::string_view name) const override;
    Result<EntryInfo> inspect(const std::string& path) const override;
    Status enumerateFolder(const std::string& path,
                           const std::function<void(const FolderItem&)>& onItem) override;
    Result<std::unique_ptr<ByteSource>> openFile(const std::string& path) override;
    Status replaceFile(const std::string& path, std::string_view contents) override;
    Status createFolder(const std::string& path) override;
    Status move(const std::string& from, const std::string& to) override;
    Result<std::string> shortPath(const std::string& path) const override;
    Result<Process> start(const Command& command) override;
    std::unique_ptr<FolderNotice> noticeChanges(const std::string& folder) override;
};

// The Windows error number that a failed call with this errno reports.
int WindowsErrorFromErrno(int error);

// The cross-file-system half of move, apart so that tests can kill it
// midway: copy beside the target, flush, put in place, and remove the source
// only when it is still the file copied, unchanged and not open elsewhere.
// afterCopy lets a test race a writer against that last step.
Status CopyThenRemove(const std::string& from, const std::string& to,
                      const std::function<void()>& afterCopy = {});

}  // namespace dorvel::platform
