#include "ui/win32/ShellFolderSource.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/FileSteps.h"
#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {
namespace {

// An item list kept in a listing's text: its bytes, end mark included.
std::string BytesOf(const ITEMIDLIST* item) {
    if (item == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(item), ::ILGetSize(item));
}

Pidl PidlOf(std::string_view bytes) {
    if (bytes.size() < sizeof(USHORT)) return {};
    auto* item = static_cast<ITEMIDLIST*>(::CoTaskMemAlloc(bytes.size()));
    if (item == nullptr) return {};
    std::memcpy(item, bytes.data(), bytes.size());
    return Pidl(item);
}

Pidl Combine(const Pidl& folder, const Pidl& child) {
    if (!folder || !child) return {};
    return Pidl(::ILCombine(folder.get(), child.get()));
}

core::FolderPlace OutsidePlace(const ITEMIDLIST* absolute) {
    return core::FolderPlace{BytesOf(absolute), true};
}

// An item with a path is a folder of the file system, listed as such.
core::FolderPlace PlaceOf(const ITEMIDLIST* absolute) {
    if (auto path = FileSystemPathOf(absolute)) return core::FolderPlace{std::move(*path)};
    return OutsidePlace(absolute);
}

struct ShellEntry {
    Pidl child;
    std::string name;
    std::string path;
    bool isFolder = false;
    bool canRename = false;
};

// The entry's names and what the shell lets the operator do with it; false
// for an entry the shell hides.
bool Describe(IShellFolder* folder, ShellEntry& entry) {
    SFGAOF attributes = SFGAO_FOLDER | SFGAO_HIDDEN | SFGAO_CANRENAME;
    const ITEMIDLIST* one = entry.child.get();
    if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) attributes = 0;
    entry.isFolder = (attributes & SFGAO_FOLDER) != 0;
    entry.canRename = (attributes & SFGAO_CANRENAME) != 0;
    entry.name = DisplayNameOf(folder, entry.child.get(), SHGDN_INFOLDER);
    entry.path = DisplayNameOf(folder, entry.child.get(), SHGDN_FORPARSING);
    // A class identifier is no path; the item's ordinary name stands in.
    if (entry.path.empty() || entry.path.rfind("::", 0) == 0) {
        entry.path = DisplayNameOf(folder, entry.child.get(), SHGDN_NORMAL);
    }
    return (attributes & SFGAO_HIDDEN) == 0;
}

void Add(core::FolderContents& contents, const ShellEntry& entry) {
    const std::string key = BytesOf(entry.child.get());
    contents.add(core::OutsideEntry{entry.name, entry.path, key, entry.isFolder, entry.canRename});
}

}  // namespace

std::optional<core::FolderPlace> ShellFolderSource::placeForRoot(const std::string& text) const {
    const Pidl special = VirtualSpecialFolder(text);
    if (!special || !BindFolder(special.get())) return std::nullopt;
    return OutsidePlace(special.get());
}

bool ShellFolderSource::list(const core::FolderPlace& place, core::FolderContents& contents) {
    if (!place.outside) return FileSystemSource::list(place, contents);
    const Pidl folder = PidlOf(place.folder);
    const ComPtr<IShellFolder> shell = BindFolder(folder.get());
    if (!folder || !shell) return false;
    ComPtr<IEnumIDList> items;
    // Without SHCONTF_INCLUDEHIDDEN the shell leaves hidden items out.
    if (shell->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.out()) != S_OK ||
        !items) {
        return false;
    }
    std::vector<ShellEntry> entries;
    ITEMIDLIST* child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
        ShellEntry entry;
        entry.child = Pidl(child);
        if (Describe(shell.get(), entry)) entries.push_back(std::move(entry));
    }
    // Folders first, then the shell's own order by name.
    IShellFolder* order = shell.get();
    std::stable_sort(
        entries.begin(), entries.end(), [order](const ShellEntry& a, const ShellEntry& b) {
            if (a.isFolder != b.isFolder) return a.isFolder;
            const HRESULT compared = order->CompareIDs(0, a.child.get(), b.child.get());
            return SUCCEEDED(compared) && static_cast<short>(HRESULT_CODE(compared)) < 0;
        });
    for (const auto& entry : entries) Add(contents, entry);
    contents.keepOrder();
    return true;
}

std::string ShellFolderSource::title(const core::FolderPlace& place) const {
    if (!place.outside) return place.folder;
    const Pidl folder = PidlOf(place.folder);
    const ComPtr<IShellFolder> desktop = BindFolder(nullptr);
    std::string name;
    if (folder && desktop) name = DisplayNameOf(desktop.get(), folder.get(), SHGDN_NORMAL);
    return name.empty() ? std::string(core::kDesktopRoot) : name;
}

std::optional<core::FolderPlace> ShellFolderSource::parentOf(const core::FolderPlace& place) const {
    if (!place.outside) {
        // Above a drive or a share the name space goes on: My Computer, the
        // network, and the desktop at the top.
        Pidl top = ParsePath(place.folder);
        if (!top || ILIsEmpty(top.get())) return std::nullopt;
        ::ILRemoveLastID(top.get());
        return OutsidePlace(top.get());
    }
    Pidl parent = PidlOf(place.folder);
    if (!parent || ILIsEmpty(parent.get())) return std::nullopt;
    ::ILRemoveLastID(parent.get());
    return PlaceOf(parent.get());
}

std::optional<core::FolderPlace> ShellFolderSource::childOf(const core::FolderPlace& place,
                                                            std::string_view key) const {
    if (!place.outside) return std::nullopt;
    const Pidl child = Combine(PidlOf(place.folder), PidlOf(key));
    if (!child) return std::nullopt;
    return PlaceOf(child.get());
}

bool ShellFolderSource::rename(const core::FolderPlace& place, std::string_view key,
                               std::string_view newName, core::FolderContents& renamed) {
    if (!place.outside) return false;
    const Pidl folder = PidlOf(place.folder);
    const ComPtr<IShellFolder> shell = BindFolder(folder.get());
    ShellEntry entry;
    entry.child = PidlOf(key);
    if (!folder || !shell || !entry.child) return false;
    ITEMIDLIST* now = nullptr;
    if (FAILED(shell->SetNameOf(nullptr, entry.child.get(), platform::Wide(newName).c_str(),
                                SHGDN_INFOLDER, &now))) {
        return false;
    }
    if (now != nullptr) entry.child = Pidl(now);
    // Hidden by its new name, it still keeps its row until the next listing.
    (void)Describe(shell.get(), entry);
    Add(renamed, entry);
    return true;
}

std::string ShellFolderSource::shownName(const std::string& fullPath, std::string_view name) const {
    // A name that the path rules would rewrite (REPORT.DOC. beside
    // REPORT.DOC, con.doc) is no name the shell can be asked about: it
    // would answer for another file. It is shown as it stands.
    if (platform::RewrittenByPathRules(platform::Wide(name))) {
        return std::string(name);
    }
    // What SHGFI_DISPLAYNAME answers, asked of the folder itself: parsing
    // the whole path from the desktop for every row is slow under Wine.
    const auto cut = fullPath.find_last_of("\\/");
    if (cut != std::string::npos) {
        std::string folder = fullPath.substr(0, cut);
        if (folder.empty() || folder.back() == ':') folder += '\\';
        if (folder != boundFolder_) {
            boundFolder_ = folder;
            const Pidl parsed = ParsePath(folder);
            bound_ = parsed ? BindFolder(parsed.get()) : ComPtr<IShellFolder>();
        }
        Pidl child;
        std::wstring wide = platform::Wide(fullPath.substr(cut + 1));
        if (bound_ && SUCCEEDED(bound_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr,
                                                         child.out(), nullptr))) {
            std::string shown = DisplayNameOf(bound_.get(), child.get(), SHGDN_INFOLDER);
            if (!shown.empty()) return shown;
        }
    }
    return std::string(name);
}

core::FolderListing MakeShellListing(platform::Platform& platform) {
    return core::FolderListing(platform, std::make_unique<ShellFolderSource>(platform));
}

Pidl ShellItemOf(const core::FolderListing& listing, std::size_t index) {
    if (index >= listing.count()) return {};
    if (!listing.outsideFileSystem()) return ParsePath(listing.fullPath(index));
    return Combine(PidlOf(listing.place().folder), PidlOf(listing.sourceKey(index)));
}

Pidl ShellFolderOf(const core::FolderListing& listing) {
    if (listing.outsideFileSystem()) return PidlOf(listing.place().folder);
    return ParsePath(listing.displayedFolder());
}

Pidl ShellChildOf(const core::FolderListing& listing, std::size_t index) {
    if (index >= listing.count()) return {};
    if (listing.outsideFileSystem()) return PidlOf(listing.sourceKey(index));
    const Pidl whole = ParsePath(listing.fullPath(index));
    if (!whole) return {};
    return Pidl(::ILClone(::ILFindLastID(whole.get())));
}

}  // namespace dorvel::ui::win32
