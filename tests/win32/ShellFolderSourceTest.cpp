// The Windows letters listing over the shell's name space: the top of the
// name space and the other folders outside the file system, the way between
// them and the file system, the shell's names and items, and the watch over
// both.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "TempDir.h"
#include "core/FolderListing.h"
#include "core/LettersWatch.h"
#include "core/Messages.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "ui/win32/LettersView.h"
#include "ui/win32/ShellFolderSource.h"
#include "ui/win32/ShellMenu.h"

using namespace dorvel;
using core::FolderListing;
using ui::win32::MakeShellListing;
namespace fs = std::filesystem;

namespace {

const ui::win32::ComApartment kCom;

std::vector<std::string> FullPaths(const FolderListing& listing) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < listing.count(); ++i) paths.push_back(listing.fullPath(i));
    return paths;
}

bool Holds(const std::vector<std::string>& paths, const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// The display name of My Computer as this system's shell gives it.
std::string MyComputerName() {
    ITEMIDLIST* item = nullptr;
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &item);
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<const wchar_t*>(item), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_DISPLAYNAME);
    ::CoTaskMemFree(item);
    return platform::Utf8(info.szDisplayName);
}

std::string DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return platform::Utf8(path);
}

}  // namespace

TEST(ShellFolderSource, TheDesktopRootListsTheTopOfTheNameSpaceFoldersFirst) {
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    EXPECT_EQ(listing.root(), "rfDesktop");
    listing.ensureListed();
    ASSERT_TRUE(listing.outsideFileSystem());
    const auto paths = FullPaths(listing);
    EXPECT_TRUE(Holds(paths, MyComputerName()))
        << "My Computer's path is a class identifier: its name stands in";
    for (const auto& path : paths) EXPECT_NE(path.rfind("::", 0), 0u) << path;
    bool filesBegun = false;
    for (std::size_t i = 0; i < listing.count(); ++i) {
        if (!listing.isFolder(i)) filesBegun = true;
        EXPECT_FALSE(filesBegun && listing.isFolder(i)) << listing.displayName(i);
    }
}

TEST(ShellFolderSource, BackspaceClimbsFromADriveToMyComputerAndTheTopAndStopsThere) {
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot("C:");
    EXPECT_EQ(listing.root(), "C:\\");
    EXPECT_FALSE(listing.outsideFileSystem());

    ASSERT_TRUE(listing.showParent());
    EXPECT_TRUE(listing.outsideFileSystem());
    EXPECT_TRUE(Holds(FullPaths(listing), "C:\\")) << "My Computer lists the drives";

    ASSERT_TRUE(listing.showParent());
    EXPECT_TRUE(Holds(FullPaths(listing), MyComputerName())) << "the top of the name space";
    EXPECT_FALSE(listing.showParent());
    EXPECT_EQ(listing.root(), "C:\\") << "the root text stays";
}

TEST(ShellFolderSource, EnteringADriveFromMyComputerListsTheFileSystemAgain) {
    fakes::TempDir dir;
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot("rfMyComputer");
    ASSERT_TRUE(listing.outsideFileSystem());
    const auto paths = FullPaths(listing);
    const auto drive = std::find(paths.begin(), paths.end(), "C:\\");
    ASSERT_NE(drive, paths.end());
    const auto index = static_cast<std::size_t>(drive - paths.begin());
    listing.select(index);
    ASSERT_TRUE(listing.selectedEntry());
    EXPECT_EQ(listing.selectedEntry()->fullPath, "C:\\");

    ASSERT_TRUE(listing.enter(index));
    EXPECT_FALSE(listing.outsideFileSystem());
    EXPECT_TRUE(Holds(FullPaths(listing), "C:\\windows")) << "the drive's own folders";
    EXPECT_FALSE(listing.selectedEntry()) << "a new folder starts without a selection";
    EXPECT_EQ(listing.root(), "rfMyComputer");
}

TEST(ShellFolderSource, ANameThatIsNoFolderKeepsRootAndListing) {
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot("rfMyComputer");
    const auto before = FullPaths(listing);
    for (const char* text : {"rfNoSuchFolder", "", "C:\\no\\such\\folder"}) {
        try {
            listing.setRoot(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const core::PlatformError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Error setting path: \"") + text + "\"");
        }
        EXPECT_EQ(listing.root(), "rfMyComputer");
        EXPECT_EQ(FullPaths(listing), before);
    }
    listing.setRoot("RFMYCOMPUTER");
    EXPECT_EQ(listing.root(), "rfMyComputer") << "the same root in other letters changes nothing";
}

TEST(ShellFolderSource, TheWatchOverTheTopOfTheNameSpaceSeesAFileOnTheDesktopAndNothingElse) {
    FolderListing letters = MakeShellListing(platform::HostPlatform());
    FolderListing shadow = MakeShellListing(platform::HostPlatform());
    letters.ensureListed();
    EXPECT_FALSE(core::OnWatchTick(letters, shadow));
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "unchanged: never re-listed";

    const fs::path desktop = platform::Wide(DesktopFolder());
    fs::create_directories(desktop);
    const fs::path extra = desktop / L"dorvel-watch-test.txt";
    {
        std::FILE* f = ::_wfopen(extra.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    const bool changed = core::OnWatchTick(letters, shadow);
    fs::remove(extra);
    EXPECT_TRUE(changed) << "a new file on the desktop shows at the top of the name space";
}

// Explorer set to hide the extensions of files, for one test.
class ExtensionsHidden {
public:
    ExtensionsHidden() {
        const DWORD hide = 1;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"HideFileExt", REG_DWORD, &hide, sizeof hide);
    }
    ~ExtensionsHidden() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"HideFileExt"); }
    ExtensionsHidden(const ExtensionsHidden&) = delete;
    ExtensionsHidden& operator=(const ExtensionsHidden&) = delete;

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
};

TEST(ShellFolderSource, AFileShowsTheShellsNameAndARenameKeepsTheHiddenExtension) {
    fakes::TempDir dir;
    dir.write("REPORT.DOC", "report");
    dir.write("MEMO.DOC", "memo");
    const ExtensionsHidden hidden;
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot(dir.path());
    ASSERT_EQ(listing.count(), 2u);
    EXPECT_EQ(listing.displayName(1), "REPORT");
    EXPECT_EQ(listing.fullPath(1), dir / "REPORT.DOC") << "the path keeps the whole name";

    EXPECT_TRUE(listing.rename(1, "LETTER"));
    EXPECT_EQ(dir.read("LETTER.DOC"), "report");
    EXPECT_EQ(listing.displayName(1), "LETTER");
    EXPECT_EQ(listing.fullPath(1), dir / "LETTER.DOC");
    EXPECT_FALSE(listing.rename(1, "MEMO")) << "never over another file";
    EXPECT_EQ(dir.read("MEMO.DOC"), "memo");
}

TEST(ProgramFile, CarriesItsIconForExplorerInBothSizes) {
    const std::wstring program = fs::path(DORVEL_PROGRAM).wstring();
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(::ExtractIconExW(program.c_str(), 0, &large, &small, 1), 2u);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(large, &info));
    BITMAP picture{};
    ::GetObjectW(info.hbmColor, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, 32);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(large);
    ::DestroyIcon(small);
}

// A letter whose name ends in a dot, beside its twin without one: each row
// shows its own name, not the twin's as the shell would give it, and the
// shell is never asked about it.
TEST(ShellFolderSource, ANameThePathRulesWouldRewriteIsShownAsItStands) {
    fakes::TempDir dir;
    dir.write("REPORT.DOC", "the twin");
    const HANDLE dotted = ::CreateFileW((L"\\\\?\\" + platform::Wide(dir / "REPORT.DOC.")).c_str(),
                                        GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(dotted, INVALID_HANDLE_VALUE);
    ::CloseHandle(dotted);
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot(dir.path());
    ASSERT_EQ(listing.count(), 2u);
    EXPECT_EQ(listing.displayName(0), "REPORT.DOC");
    EXPECT_EQ(listing.displayName(1), "REPORT.DOC.");
    EXPECT_EQ(listing.fullPath(1), dir / "REPORT.DOC.");
    // The shell would answer for the twin: the dotted letter has no shell
    // item, so no menu, detail or default action can reach the twin.
    EXPECT_TRUE(ui::win32::ShellChildOf(listing, 0));
    EXPECT_FALSE(ui::win32::ShellChildOf(listing, 1));
    EXPECT_FALSE(ui::win32::ShellItemOf(listing, 1));
    ::DeleteFileW((L"\\\\?\\" + platform::Wide(dir / "REPORT.DOC.")).c_str());
}

// The shell's items of a folder outside the file system: what its menus,
// icons and columns are asked about.
TEST(ShellFolderSource, AnEntryOutsideTheFileSystemIsTheShellsOwnItem) {
    FolderListing listing = MakeShellListing(platform::HostPlatform());
    listing.setRoot("rfMyComputer");
    const auto paths = FullPaths(listing);
    const auto drive = std::find(paths.begin(), paths.end(), "C:\\");
    ASSERT_NE(drive, paths.end());
    const auto index = static_cast<std::size_t>(drive - paths.begin());

    const ui::win32::Pidl folder = ui::win32::ShellFolderOf(listing);
    const ui::win32::Pidl myComputer = ui::win32::VirtualSpecialFolder("rfMyComputer");
    ASSERT_TRUE(folder);
    EXPECT_TRUE(::ILIsEqual(folder.get(), myComputer.get()));
    const ui::win32::Pidl item = ui::win32::ShellItemOf(listing, index);
    ASSERT_TRUE(item);
    EXPECT_EQ(ui::win32::FileSystemPathOf(item.get()), "C:\\");
    const ui::win32::Pidl child = ui::win32::ShellChildOf(listing, index);
    ASSERT_TRUE(child);
    const ui::win32::Pidl whole(::ILCombine(folder.get(), child.get()));
    EXPECT_TRUE(::ILIsEqual(whole.get(), item.get())) << "the child is relative to the folder";
    EXPECT_FALSE(ui::win32::ShellItemOf(listing, listing.count())) << "past the last entry";

    // The watch follows the operator into the drive and back out of it.
    FolderListing shadow = MakeShellListing(platform::HostPlatform());
    EXPECT_FALSE(core::OnWatchTick(listing, shadow));
    EXPECT_TRUE(shadow.outsideFileSystem());
    ASSERT_TRUE(listing.enter(index));
    EXPECT_FALSE(core::OnWatchTick(listing, shadow));
    EXPECT_FALSE(shadow.outsideFileSystem());
    EXPECT_EQ(shadow.displayedFolder(), "C:\\");
    ASSERT_TRUE(listing.showParent());
    EXPECT_FALSE(core::OnWatchTick(listing, shadow));
    EXPECT_TRUE(shadow.outsideFileSystem());
}
