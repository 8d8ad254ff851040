// Moving a letter on Windows: a rename on one volume; across volumes a copy
// that arrives whole or not at all, and a source that leaves only once the
// copy is in place.

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/FileSteps.h"
#include "platform/win32/OwnedHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace dorvel::platform {
namespace {

constexpr std::wstring_view kMoveTemporary = L".dorvel-move-";

std::wstring UniquePart() {
    static std::atomic<unsigned> counter{0};
    return std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount64()) +
           L"-" + std::to_wstring(counter++);
}

bool CopyBytes(HANDLE from, HANDLE to, std::uint64_t& copied) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            return false;
        }
        if (got == 0) return true;
        for (DWORD done = 0; done < got;) {
            DWORD put = 0;
            if (!::WriteFile(to, buffer.data() + done, got - done, &put, nullptr)) return false;
            done += put;
        }
        copied += got;
    }
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
           a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime;
}

// The copy keeps the letter's modification time and attributes, as a move
// on one volume does; it was hidden only while it was being made.
bool TakeTimeAndAttributes(HANDLE copy, const BY_HANDLE_FILE_INFORMATION& letter) {
    FILE_BASIC_INFO basic{};
    basic.LastWriteTime.LowPart = letter.ftLastWriteTime.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(letter.ftLastWriteTime.dwHighDateTime);
    basic.FileAttributes =
        letter.dwFileAttributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(copy, FileBasicInfo, &basic, sizeof basic) != 0;
}

// Gives the copy its final name in one step, never over anything that is
// there, a link that points nowhere included: a hard link is refused for any
// existing name. The temporary's name stays beside it until the source is
// gone. File systems without hard links get the plain rename.
Status PutInPlace(const std::wstring& temporary, const std::wstring& to) {
    if (::CreateHardLinkW(to.c_str(), temporary.c_str(), nullptr)) return {};
    const DWORD refused = ::GetLastError();
    if (refused == ERROR_ALREADY_EXISTS || refused == ERROR_FILE_EXISTS) {
        return Status::Failed(kAlreadyExists);
    }
    if (::MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    if (::GetLastError() == ERROR_FILE_EXISTS) return Status::Failed(kAlreadyExists);
    return LastError();
}

}  // namespace

Status CopyThenRemove(const std::string& fromText, const std::string& toText,
                      const std::function<void()>& afterCopy) {
    const std::wstring from = ExactPath(fromText);
    const std::wstring to = ExactPath(toText);
    // Nobody may write, rename or delete the letter while it is copied; one
    // that is open for writing elsewhere stays where it is. A folder does
    // not open this way, and does not move across volumes.
    OwnedHandle source(::CreateFileW(from.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source.valid()) return LastError();
    BY_HANDLE_FILE_INFORMATION before{};
    if (!::GetFileInformationByHandle(source.get(), &before)) return LastError();

    const std::wstring folder = FolderPartOf(to);
    RemoveLeftovers(folder, std::wstring(kMoveTemporary) + L"*");
    std::wstring temporary;
    OwnedHandle copy;
    for (int attempt = 0; attempt < 50 && !copy.valid(); ++attempt) {
        temporary = folder + std::wstring(kMoveTemporary) + UniquePart();
        copy = OwnedHandle(::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!copy.valid() && ::GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    if (!copy.valid()) return Status::Failed(kAlreadyExists);
    GoesOnClose(copy.get(), true);

    std::uint64_t copied = 0;
    BY_HANDLE_FILE_INFORMATION after{};
    ::SetLastError(ERROR_SUCCESS);
    const bool whole =
        CopyBytes(source.get(), copy.get(), copied) && TakeTimeAndAttributes(copy.get(), before) &&
        ::FlushFileBuffers(copy.get()) && ::GetFileInformationByHandle(source.get(), &after) &&
        SameFile(before, after) &&
        copied == ((static_cast<std::uint64_t>(after.nFileSizeHigh) << 32) | after.nFileSizeLow);
    if (!whole) {
        // The copy goes as its handle closes.
        return ::GetLastError() != ERROR_SUCCESS ? LastError() : Status::Failed(kAccessDenied);
    }
    if (!GoesOnClose(copy.get(), false)) return LastError();
    copy.reset();
    if (const Status placed = PutInPlace(temporary, to); !placed) {
        ::DeleteFileW(temporary.c_str());
        return placed;
    }
    if (afterCopy) afterCopy();
    // Only now does the letter leave its folder, through the handle that
    // copied it; where it may not (a read-only letter), the copy goes
    // instead, so that the letter is in one place.
    const bool leaves = GoesOnClose(source.get(), true);
    const Status failed = leaves ? Status() : LastError();
    if (!leaves) ::DeleteFileW(to.c_str());
    ::DeleteFileW(temporary.c_str());
    return failed;
}

Status Win32Platform::move(const std::string& from, const std::string& to) {
    // A name that is taken, even by a link that points nowhere, is never
    // replaced; the rename itself does not replace either.
    if (const auto there = inspect(to); there) return Status::Failed(kAlreadyExists);
    if (::MoveFileExW(ExactPath(from).c_str(), ExactPath(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    const DWORD failed = ::GetLastError();
    if (failed == ERROR_NOT_SAME_DEVICE) return CopyThenRemove(from, to);
    // Some systems say "file exists", others "already exists": one answer.
    if (failed == ERROR_FILE_EXISTS) return Status::Failed(kAlreadyExists);
    return Status::Failed(static_cast<int>(failed));
}

}  // namespace dorvel::platform
