#include "platform/win32/Win32Platform.h"

#include <shlobj.h>
#include <windows.h>

#include <array>
#include <utility>

#include "platform/formats/CommandLine.h"
#include "platform/win32/WideText.h"

namespace dorvel::platform {
namespace {

Status LastError() { return Status::Failed(static_cast<int>(::GetLastError())); }

// A HANDLE closed when it goes.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    OwnedHandle& operator=(OwnedHandle&&) = delete;
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void reset() {
        if (valid()) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(OwnedHandle file) : file_(std::move(file)) {}
    Result<std::size_t> read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        if (!::ReadFile(file_.get(), buffer, want, &got, nullptr)) return LastError();
        return static_cast<std::size_t>(got);
    }

private:
    OwnedHandle file_;
};

class ChildProcess final : public Process::Handle {
public:
    explicit ChildProcess(HANDLE process) : process_(process) {}
    // Closing our handle leaves the program running; Windows keeps no zombie.
    std::intptr_t waitable() const override {
        return ended_ ? Process::kNothingToWaitOn : reinterpret_cast<std::intptr_t>(process_.get());
    }
    bool hasEnded() override {
        ended_ = ended_ || ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
        return ended_;
    }

private:
    OwnedHandle process_;
    bool ended_ = false;
};

std::int64_t UnixSeconds(const FILETIME& time) {
    const std::int64_t ticks =
        (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (ticks - 116'444'736'000'000'000) / 10'000'000;
}

bool WriteAll(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = data.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(data.size());
        DWORD put = 0;
        if (!::WriteFile(file, data.data(), chunk, &put, nullptr)) return false;
        data.remove_prefix(put);
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::wstring FolderPartOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// The fallback where no temporary can be made beside the file (a folder the
// user may not write): the file itself is rewritten and flushed. Not atomic,
// but the only way that saves anything there.
Status RewriteInPlace(const std::wstring& path, std::string_view contents) {
    OwnedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return LastError();
    if (!WriteAll(file.get(), contents) || !::SetEndOfFile(file.get()) ||
        !::FlushFileBuffers(file.get())) {
        return LastError();
    }
    return {};
}

struct SpecialFolderName {
    std::string_view name;
    int csidl;
};

// The shell's folders by the names the letters view's root accepts; the
// virtual ones (My Computer, Network, ...) have no file system path.
constexpr std::array kSpecialFolders{
    SpecialFolderName{"rfDesktop", CSIDL_DESKTOPDIRECTORY},
    SpecialFolderName{"rfDesktopDirectory", CSIDL_DESKTOPDIRECTORY},
    SpecialFolderName{"rfPersonal", CSIDL_PERSONAL},
    SpecialFolderName{"rfMyDocuments", CSIDL_PERSONAL},
    SpecialFolderName{"rfAppData", CSIDL_APPDATA},
    SpecialFolderName{"rfCommonDesktopDirectory", CSIDL_COMMON_DESKTOPDIRECTORY},
    SpecialFolderName{"rfCommonPrograms", CSIDL_COMMON_PROGRAMS},
    SpecialFolderName{"rfCommonStartMenu", CSIDL_COMMON_STARTMENU},
    SpecialFolderName{"rfCommonStartup", CSIDL_COMMON_STARTUP},
    SpecialFolderName{"rfFavorites", CSIDL_FAVORITES},
    SpecialFolderName{"rfFonts", CSIDL_FONTS},
    SpecialFolderName{"rfNetHood", CSIDL_NETHOOD},
    SpecialFolderName{"rfPrintHood", CSIDL_PRINTHOOD},
    SpecialFolderName{"rfPrograms", CSIDL_PROGRAMS},
    SpecialFolderName{"rfRecent", CSIDL_RECENT},
    SpecialFolderName{"rfSendTo", CSIDL_SENDTO},
    SpecialFolderName{"rfStartMenu", CSIDL_STARTMENU},
    SpecialFolderName{"rfStartup", CSIDL_STARTUP},
    SpecialFolderName{"rfTemplates", CSIDL_TEMPLATES},
};

}  // namespace

Result<std::string> Win32Platform::environment(const std::string& name) const {
    const std::wstring wideName = Wide(name);
    std::wstring value(256, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                       static_cast<DWORD>(value.size()));
        if (length == 0) {
            // An empty value is a value.
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return LastError();
            return std::string();
        }
        if (length < value.size()) {
            value.resize(length);
            return Utf8(value);
        }
        value.resize(length);
    }
}

std::string Win32Platform::homeFolder() const {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, path))) return Utf8(path);
    if (auto profile = environment("USERPROFILE"); profile && !profile->empty()) return *profile;
    return "C:\\";
}

Result<std::string> Win32Platform::specialFolder(std::string_view name) const {
    for (const auto& special : kSpecialFolders) {
        if (special.name != name) continue;
        wchar_t path[MAX_PATH] = {};
        const HRESULT got = ::SHGetFolderPathW(nullptr, special.csidl, nullptr, 0, path);
        if (FAILED(got)) return Status::Failed(kPathNotFound);
        return Utf8(path);
    }
    return Status::Failed(kPathNotFound);
}

Result<EntryInfo> Win32Platform::inspect(const std::string& path) const {
    if (path.empty()) return Status::Failed(kPathNotFound);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return LastError();
    }
    EntryInfo info;
    info.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.modified = UnixSeconds(data.ftLastWriteTime);
    info.permissions = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    if (info.isFolder) info.permissions |= 0111;
    return info;
}

Status Win32Platform::enumerateFolder(const std::string& path,
                                      const std::function<void(const FolderItem&)>& onItem) {
    std::wstring pattern = Wide(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE find =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        // A folder with nothing in it at all (a drive's root) finds nothing.
        const Status failed = LastError();
        if (failed.code() == ERROR_FILE_NOT_FOUND && inspect(path)) return {};
        return failed;
    }
    std::string name;
    do {
        const wchar_t* n = found.cFileName;
        if (n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0'))) continue;
        name = Utf8(n);
        onItem(FolderItem{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0});
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return {};
}

Result<std::unique_ptr<ByteSource>> Win32Platform::openFile(const std::string& path) {
    OwnedHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return LastError();
    // A device or a pipe is no file to read whole.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) return Status::Failed(kBadFileType);
    return std::unique_ptr<ByteSource>(std::make_unique<FileSource>(std::move(file)));
}

Status Win32Platform::replaceFile(const std::string& path, std::string_view contents) {
    // A whole path: ReplaceFileW is not to be trusted with a relative one
    // (Wine answers 267 for .\dorvel.ini).
    const std::wstring target = FullPath(Wide(path));
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Status::Failed(kAccessDenied);
    }
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Status::Failed(kAccessDenied);
    if (!existed && ::GetLastError() != ERROR_FILE_NOT_FOUND) return LastError();

    std::wstring folder = FolderPartOf(target);
    wchar_t temporary[MAX_PATH + 16] = {};
    if (::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"dvl", 0, temporary) == 0) {
        return existed ? RewriteInPlace(target, contents) : LastError();
    }
    {
        OwnedHandle file(::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() || !WriteAll(file.get(), contents) || !::FlushFileBuffers(file.get())) {
            const Status failed = LastError();
            file.reset();
            ::DeleteFileW(temporary);
            return failed;
        }
    }
    // The new contents take the old file's place in one step, keeping its
    // attributes and rights; a first save never replaces a file made meanwhile.
    const BOOL placed = existed ? ::ReplaceFileW(target.c_str(), temporary, nullptr,
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                : ::MoveFileExW(temporary, target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed) {
        const Status failed = LastError();
        ::DeleteFileW(temporary);
        return failed;
    }
    return {};
}

Status Win32Platform::createFolder(const std::string& path) {
    if (::CreateDirectoryW(Wide(path).c_str(), nullptr)) return {};
    return LastError();
}

Status Win32Platform::move(const std::string& from, const std::string& to) {
    // Without the replace flag the move never replaces; across volumes a file
    // is copied and its source deleted only once the copy is whole.
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                      MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    // Some systems say "file exists", others "already exists": one answer.
    if (::GetLastError() == ERROR_FILE_EXISTS) return Status::Failed(kAlreadyExists);
    return LastError();
}

Result<std::string> Win32Platform::shortPath(const std::string& path) const {
    const std::wstring wide = Wide(path);
    std::wstring shortForm(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetShortPathNameW(wide.c_str(), shortForm.data(),
                                                 static_cast<DWORD>(shortForm.size()));
        if (length == 0) return LastError();
        if (length < shortForm.size()) {
            shortForm.resize(length);
            return Utf8(shortForm);
        }
        shortForm.resize(length);
    }
}

Result<Process> Win32Platform::start(const Command& command) {
    if (command.arguments.empty() && command.windowsCommandLine.empty()) {
        return Status::Failed(kFileNotFound);
    }
    std::wstring line =
        Wide(command.windowsCommandLine.empty() ? WindowsCommandLine(command.arguments)
                                                : command.windowsCommandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = command.hidden ? SW_HIDE : SW_SHOW;
    PROCESS_INFORMATION started{};
    const std::wstring folder = Wide(command.workingDirectory);
    const std::wstring program = Wide(command.windowsProgram);
    // The line reaches the program as it stands; where no program is named
    // apart, the system finds it in the line.
    if (!::CreateProcessW(program.empty() ? nullptr : program.c_str(), line.data(), nullptr,
                          nullptr, FALSE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                          &startup, &started)) {
        return LastError();
    }
    ::CloseHandle(started.hThread);
    return Process(std::make_unique<ChildProcess>(started.hProcess));
}

Platform& HostPlatform() {
    static Win32Platform platform;
    return platform;
}

}  // namespace dorvel::platform
