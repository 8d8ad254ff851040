#pragma once

#include "platform/Platform.h"

namespace dorvel::platform {

class Win32Platform final : public Platform {
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

// The cross-volume half of move, apart so that tests can kill it midway:
// the letter is held against writers and deleters, copied beside the target
// under a temporary name, flushed, put in place without replacing, and only
// then removed through the handle that copied it. afterCopy lets a test race
// another program against that last step.
Status CopyThenRemove(const std::string& from, const std::string& to,
                      const std::function<void()>& afterCopy = {});

// A move killed after its copy took the final name but before its source
// went leaves the letter in two places and a note in the target folder. The
// next move into that folder calls this: each source whose copy holds the
// same bytes goes, and the notes with it. folder ends with a separator.
void FinishInterruptedMoves(const std::wstring& folder);

}  // namespace dorvel::platform
