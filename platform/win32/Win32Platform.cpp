#include "platform/win32/Win32Platform.h"

#include <shlobj.h>
#include <windows.h>

#include <array>
#include <utility>

#include "platform/formats/CommandLine.h"
#include "platform/win32/FileSteps.h"
#include "platform/win32/OwnedHandle.h"
#include "platform/win32/WideText.h"

namespace dorvel::platform {
namespace {

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

// Some file systems hide a link whose target is gone from every call that
// asks about a name (a Linux or Samba folder); only making a file of that
// name shows that it is taken. A file made here goes again at once.
bool NameIsTaken(const std::wstring& path) {
    OwnedHandle probe(::CreateFileW(
        path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (probe.valid()) return false;
    const DWORD failed = ::GetLastError();
    return failed == ERROR_FILE_EXISTS || failed == ERROR_ALREADY_EXISTS;
}

// The file a path ends in, through any symbolic links.
std::wstring FinalPath(const std::wstring& path) {
    OwnedHandle file(::CreateFileW(path.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            file.get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
        if (length == 0) return path;
        if (length < final.size()) {
            final.resize(length);
            return final;
        }
        final.resize(length);
    }
}

constexpr std::wstring_view kSaveTemporary = L"~dorvel-save-";

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
    const std::wstring wide = ExactPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        const Status failed = LastError();
        // A link whose target is gone is there all the same, as a file.
        if (failed.code() == ERROR_FILE_NOT_FOUND && NameIsTaken(wide)) return EntryInfo{};
        return failed;
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
    std::wstring pattern = ExactPath(path);
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
    OwnedHandle file(::CreateFileW(ExactPath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return LastError();
    // A device or a pipe is no file to read whole.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) return Status::Failed(kBadFileType);
    return std::unique_ptr<ByteSource>(std::make_unique<FileSource>(std::move(file)));
}

Status Win32Platform::replaceFile(const std::string& path, std::string_view contents) {
    std::wstring target = FullPath(Wide(path));
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Status::Failed(kAccessDenied);
    }
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Status::Failed(kAccessDenied);
    if (!existed && ::GetLastError() != ERROR_FILE_NOT_FOUND) return LastError();
    // Through a symbolic link the file it names is replaced, never the link.
    if (existed) target = FinalPath(target);

    const std::wstring folder = FolderPartOf(target);
    RemoveLeftovers(folder, std::wstring(kSaveTemporary) + L"*.tmp");
    std::wstring temporary;
    OwnedHandle file;
    for (int attempt = 0; attempt < 50 && !file.valid(); ++attempt) {
        temporary = folder + std::wstring(kSaveTemporary) +
                    std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(::GetTickCount64() + attempt) + L".tmp";
        file = OwnedHandle(::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file.valid()) return existed ? RewriteInPlace(target, contents) : LastError();
    // Killed while writing, the temporary goes with our handles.
    GoesOnClose(file.get(), true);
    if (!WriteAll(file.get(), contents) || !::FlushFileBuffers(file.get()) ||
        !GoesOnClose(file.get(), false)) {
        return LastError();
    }
    file.reset();
    if (existed) {
        ::SetFileAttributesW(
            temporary.c_str(),
            attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    }
    // One rename puts the new contents in place: the name always holds the
    // old file or the new one, never nothing. A first save never replaces a
    // file made meanwhile. Virus scanners and indexers hold files for a
    // moment: a refusal for sharing is tried again.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (existed ? MOVEFILE_REPLACE_EXISTING : 0);
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(temporary.c_str(), target.c_str(), flags)) return {};
        const DWORD failed = ::GetLastError();
        const bool held = failed == ERROR_SHARING_VIOLATION || failed == ERROR_LOCK_VIOLATION ||
                          (failed == ERROR_ACCESS_DENIED && existed);
        if (!held || attempt == 9) {
            ::DeleteFileW(temporary.c_str());
            return Status::Failed(static_cast<int>(failed));
        }
        ::Sleep(static_cast<DWORD>(20 * (attempt + 1)));
    }
}

Status Win32Platform::createFolder(const std::string& path) {
    if (::CreateDirectoryW(ExactPath(path).c_str(), nullptr)) return {};
    return LastError();
}

Result<std::string> Win32Platform::shortPath(const std::string& path) const {
    // Asked of the exact name, the system gives the entry's own short name,
    // which the mail tool can open under the ordinary rules. Where it has
    // none that those rules leave alone (a device name, a name kept as it
    // is), the entry has no short form.
    const std::wstring wide = ExactPath(path);
    std::wstring shortForm(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetShortPathNameW(wide.c_str(), shortForm.data(),
                                                 static_cast<DWORD>(shortForm.size()));
        if (length == 0) return LastError();
        if (length < shortForm.size()) {
            shortForm.resize(length);
            break;
        }
        shortForm.resize(length);
    }
    shortForm = WithoutExactPrefix(std::move(shortForm));
    if (RewrittenByPathRules(shortForm)) return Status::Failed(kFileNotFound);
    return Utf8(shortForm);
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
