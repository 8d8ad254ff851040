// Moving a letter on Windows: a rename on one volume; across volumes a copy
// that arrives whole or not at all, and a source that leaves only once the
// copy is in place. A move killed between those two last steps leaves a
// note, and the next move into that folder finishes it.

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/FileSteps.h"
#include "platform/win32/OwnedHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace dorvel::platform {
namespace {

constexpr std::wstring_view kMoveTemporary = L".dorvel-move-";
// The note of a move whose copy may be in place while its source is not yet
// gone: the source's, the copy's and the copy's temporary name's exact
// paths, one a line. Its name is no
// temporary's, so that clearing those never takes it.
constexpr std::wstring_view kMoveNote = L".dorvel-moved-";

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

bool ReadAll(HANDLE file, std::string& bytes) {
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(buffer, got);
    }
}

// Byte for byte, from the start of both.
bool SameContents(HANDLE a, HANDLE b) {
    std::vector<char> left(1 << 20), right(1 << 20);
    for (;;) {
        DWORD gotLeft = 0, gotRight = 0;
        if (!::ReadFile(a, left.data(), static_cast<DWORD>(left.size()), &gotLeft, nullptr) ||
            !::ReadFile(b, right.data(), static_cast<DWORD>(right.size()), &gotRight, nullptr) ||
            gotLeft != gotRight) {
            return false;
        }
        if (gotLeft == 0) return true;
        if (std::memcmp(left.data(), right.data(), gotLeft) != 0) return false;
    }
}

// Writes the note before the copy takes its final name; held without
// sharing delete until the move ends, so that no other move finishes it.
OwnedHandle WriteNote(const std::wstring& folder, const std::wstring& from, const std::wstring& to,
                      const std::wstring& temporary) {
    const std::wstring path = folder + std::wstring(kMoveNote) + UniquePart();
    OwnedHandle note(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!note.valid()) return note;
    const std::wstring text = from + L"\n" + to + L"\n" + temporary + L"\n";
    DWORD put = 0;
    const auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!::WriteFile(note.get(), text.data(), size, &put, nullptr) || put != size ||
        !::FlushFileBuffers(note.get())) {
        GoesOnClose(note.get(), true);
        return OwnedHandle();
    }
    return note;
}

bool Gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Opens a letter to read and then delete it, as a name of its own: a
// symbolic link or a junction is opened as itself and refused, so that
// what goes is never a file elsewhere it points to. Other reparse points
// (a cloud file's placeholder) are files, opened through their filter.
OwnedHandle OpenLetter(const std::wstring& path) {
    constexpr DWORD kAccess = GENERIC_READ | DELETE;
    constexpr DWORD kFlags = FILE_FLAG_SEQUENTIAL_SCAN;
    OwnedHandle letter(::CreateFileW(path.c_str(), kAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     kFlags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!letter.valid()) return letter;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(letter.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
        return OwnedHandle();
    }
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return letter;
    if (tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT) {
        ::SetLastError(ERROR_CANT_ACCESS_FILE);
        return OwnedHandle();
    }
    letter.reset();
    return OwnedHandle(::CreateFileW(path.c_str(), kAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     kFlags, nullptr));
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// The source goes only when the copy, another file, holds the very same
// bytes, so that nothing is lost whatever happened since: a letter changed,
// replaced or put back stays. The times are not compared: a FAT copy keeps
// them to two seconds. A source that may not go (a read-only letter) stays,
// and the copy goes instead, as in the move itself. False while either is
// held by someone: ask again later.
bool SettleSource(const std::wstring& from, const std::wstring& to) {
    OwnedHandle source = OpenLetter(from);
    if (!source.valid()) {
        const DWORD error = ::GetLastError();
        return Gone(error) || error == ERROR_CANT_ACCESS_FILE;
    }
    OwnedHandle copy(
        ::CreateFileW(to.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!copy.valid()) return Gone(::GetLastError());
    BY_HANDLE_FILE_INFORMATION letter{}, copied{};
    if (::GetFileInformationByHandle(source.get(), &letter) &&
        ::GetFileInformationByHandle(copy.get(), &copied) && !SameIdentity(letter, copied) &&
        (copied.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
        letter.nFileSizeHigh == copied.nFileSizeHigh &&
        letter.nFileSizeLow == copied.nFileSizeLow && SameContents(source.get(), copy.get()) &&
        !GoesOnClose(source.get(), true)) {
        GoesOnClose(copy.get(), true);
    }
    return true;
}

// A killed move's note names a source that may still be there beside its
// copy, and the copy's temporary name.
void FinishMove(const std::wstring& notePath) {
    OwnedHandle note(::CreateFileW(notePath.c_str(), GENERIC_READ | DELETE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!note.valid()) return;  // a live move's, or gone
    std::string bytes;
    if (!ReadAll(note.get(), bytes)) return;
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    const auto first = text.find(L'\n');
    const auto second = first == std::wstring::npos ? first : text.find(L'\n', first + 1);
    const auto third = second == std::wstring::npos ? second : text.find(L'\n', second + 1);
    const std::wstring folder = FolderPartOf(notePath);
    const std::wstring to =
        first == std::wstring::npos ? std::wstring() : text.substr(first + 1, second - first - 1);
    // Only a move into this very folder is finished from it.
    if (third != std::wstring::npos && FolderPartOf(to) == folder) {
        if (!SettleSource(text.substr(0, first), to)) return;
        // Only ever a temporary of ours beside the note.
        const std::wstring temporary = text.substr(second + 1, third - second - 1);
        if (temporary.rfind(folder + std::wstring(kMoveTemporary), 0) == 0) {
            ::DeleteFileW(temporary.c_str());
        }
    }
    // A note that cannot be read is no use to anyone: it goes too.
    GoesOnClose(note.get(), true);
}

}  // namespace

void FinishInterruptedMoves(const std::wstring& folder) {
    const std::wstring pattern = folder + std::wstring(kMoveNote) + L"*";
    std::vector<std::wstring> notes;
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            notes.push_back(folder + found.cFileName);
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    for (const auto& note : notes) FinishMove(note);
}

Status CopyThenRemove(const std::string& fromText, const std::string& toText,
                      const std::function<void()>& afterCopy) {
    const std::wstring from = ExactPath(fromText);
    const std::wstring to = ExactPath(toText);
    const std::wstring folder = FolderPartOf(to);
    // Before the letter is held: a killed move of this very letter is
    // finished, not repeated.
    FinishInterruptedMoves(folder);
    // Nobody may write, rename or delete the letter while it is copied; one
    // that is open for writing elsewhere stays where it is. A folder does
    // not open this way, and does not move across volumes.
    OwnedHandle source = OpenLetter(from);
    if (!source.valid()) return LastError();
    BY_HANDLE_FILE_INFORMATION before{};
    if (!::GetFileInformationByHandle(source.get(), &before)) return LastError();

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
    OwnedHandle note = WriteNote(folder, from, to, temporary);
    if (!note.valid()) {
        const Status failed = LastError();
        ::DeleteFileW(temporary.c_str());
        return failed;
    }
    if (const Status placed = PutInPlace(temporary, to); !placed) {
        ::DeleteFileW(temporary.c_str());
        GoesOnClose(note.get(), true);
        return placed;
    }
    if (afterCopy) afterCopy();
    // Only now does the letter leave its folder, through the handle that
    // copied it; where it may not (a read-only letter), the copy goes
    // instead, so that the letter is in one place.
    const bool leaves = GoesOnClose(source.get(), true);
    const Status failed = leaves ? Status() : LastError();
    source.reset();
    if (!leaves) ::DeleteFileW(to.c_str());
    ::DeleteFileW(temporary.c_str());
    GoesOnClose(note.get(), true);
    return failed;
}

Status Win32Platform::move(const std::string& from, const std::string& to) {
    // A name that is taken, even by a link that points nowhere, is never
    // replaced; the rename itself does not replace either.
    FinishInterruptedMoves(FolderPartOf(ExactPath(to)));
    // Deleting again a letter left in two places by a killed move finishes
    // that move; the rename below then finds no letter, and says nothing.
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
