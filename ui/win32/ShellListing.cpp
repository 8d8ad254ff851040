#include "ui/win32/ShellListing.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "core/Messages.h"
#include "platform/win32/FileSteps.h"
#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {
namespace {

bool SameRootText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

Pidl Combine(const Pidl& folder, const Pidl& child) {
    return Pidl(::ILCombine(folder.get(), child.get()));
}

}  // namespace

// A folder outside the file system, as the shell lists it.
struct ShellListing::ShellFolder {
    struct Entry {
        Pidl child;
        std::string name;
        std::string path;
        bool isFolder = false;
        bool canRename = false;
    };

    Pidl folder;  // absolute; empty for the top of the name space
    ComPtr<IShellFolder> shell;
    std::vector<Entry> entries;
    std::optional<std::size_t> selected;
    bool listed = false;

    void list();
    void describe(Entry& entry) const;
};

void ShellListing::ShellFolder::describe(Entry& entry) const {
    entry.name = DisplayNameOf(shell.get(), entry.child.get(), SHGDN_INFOLDER);
    entry.path = DisplayNameOf(shell.get(), entry.child.get(), SHGDN_FORPARSING);
    // A class identifier is no path; the item's ordinary name stands in.
    if (entry.path.empty() || entry.path.rfind("::", 0) == 0) {
        entry.path = DisplayNameOf(shell.get(), entry.child.get(), SHGDN_NORMAL);
    }
}

void ShellListing::ShellFolder::list() {
    listed = true;
    entries.clear();
    selected.reset();
    if (!shell) return;
    ComPtr<IEnumIDList> items;
    // Without SHCONTF_INCLUDEHIDDEN the shell leaves hidden items out.
    if (shell->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.out()) != S_OK ||
        !items) {
        return;  // a folder that cannot be listed shows nothing
    }
    ITEMIDLIST* child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
        Entry entry;
        entry.child = Pidl(child);
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_HIDDEN | SFGAO_CANRENAME;
        const ITEMIDLIST* one = entry.child.get();
        if (FAILED(shell->GetAttributesOf(1, &one, &attributes))) attributes = 0;
        if ((attributes & SFGAO_HIDDEN) != 0) continue;
        entry.isFolder = (attributes & SFGAO_FOLDER) != 0;
        entry.canRename = (attributes & SFGAO_CANRENAME) != 0;
        describe(entry);
        entries.push_back(std::move(entry));
    }
    // Folders first, then the shell's own order by name.
    IShellFolder* order = shell.get();
    std::stable_sort(entries.begin(), entries.end(), [order](const Entry& a, const Entry& b) {
        if (a.isFolder != b.isFolder) return a.isFolder;
        const HRESULT compared = order->CompareIDs(0, a.child.get(), b.child.get());
        return SUCCEEDED(compared) && static_cast<short>(HRESULT_CODE(compared)) < 0;
    });
}

ShellListing::ShellListing(platform::Platform& platform)
    : platform_(platform), root_(core::kDesktopRoot), files_(platform) {
    // The first root is the top of the name space, listed when asked.
    shell_ = std::make_unique<ShellFolder>();
    shell_->folder = VirtualSpecialFolder(core::kDesktopRoot);
    shell_->shell = BindFolder(shell_->folder.get());
}

ShellListing::~ShellListing() = default;

void ShellListing::setRoot(const std::string& text) {
    const bool listed = shell_ ? shell_->listed : files_.hasRoot(files_.root());
    if (listed && SameRootText(text, root_)) return;
    if (Pidl special = VirtualSpecialFolder(text)) {
        if (!BindFolder(special.get()))
            throw core::PlatformError("Error setting path: \"" + text + "\"");
        showShellFolder(std::move(special));
        root_ = text;
        return;
    }
    shownNames_.clear();
    if (files_.hasRoot(text)) {
        // The file listing kept this root while the view was elsewhere.
        const auto folder = files_.folderForRoot(text);
        if (!folder) throw core::PlatformError("Error setting path: \"" + text + "\"");
        files_.showFolder(*folder);
    } else {
        files_.setRoot(text);
    }
    shell_.reset();
    root_ = files_.root();
}

std::string ShellListing::displayedFolder() const {
    if (!shell_) return files_.displayedFolder();
    ComPtr<IShellFolder> desktop = BindFolder(nullptr);
    if (!desktop || ILIsEmpty(shell_->folder.get())) return root_;
    return DisplayNameOf(desktop.get(), shell_->folder.get(), SHGDN_NORMAL);
}

void ShellListing::ensureListed() {
    if (!shell_) {
        shownNames_.clear();
        files_.ensureListed();
    } else if (!shell_->listed) {
        shell_->list();
    }
}

void ShellListing::relist() {
    if (!shell_) {
        shownNames_.clear();
        files_.relist();
        return;
    }
    const auto previous = shell_->selected;
    shell_->list();
    if (previous && *previous < shell_->entries.size()) shell_->selected = previous;
}

std::size_t ShellListing::count() const { return shell_ ? shell_->entries.size() : files_.count(); }

std::string ShellListing::displayName(std::size_t index) const {
    if (shell_) return shell_->entries[index].name;
    // The shell's name of a file may hide its extension, as the operator has
    // Explorer set; asked only for the rows in sight, as it is slow to get.
    if (const auto known = shownNames_.find(index); known != shownNames_.end()) {
        return known->second;
    }
    SHFILEINFOW shown{};
    std::string name;
    // A name that the path rules would rewrite (REPORT.DOC. beside
    // REPORT.DOC, con.doc) is no name the shell can be asked about: it
    // would answer for another file. It is shown as it stands.
    if (platform::RewrittenByPathRules(platform::Wide(files_.name(index)))) {
        name = std::string(files_.name(index));
    } else if (::SHGetFileInfoW(platform::Wide(files_.fullPath(index)).c_str(), 0, &shown,
                                sizeof shown, SHGFI_DISPLAYNAME) &&
               shown.szDisplayName[0] != L'\0') {
        name = platform::Utf8(shown.szDisplayName);
    } else {
        name = std::string(files_.name(index));
    }
    return shownNames_.emplace(index, std::move(name)).first->second;
}

std::string ShellListing::fullPath(std::size_t index) const {
    return shell_ ? shell_->entries[index].path : files_.fullPath(index);
}

bool ShellListing::isFolder(std::size_t index) const {
    return shell_ ? shell_->entries[index].isFolder : files_.isFolder(index);
}

core::FolderEntry ShellListing::entry(std::size_t index) const {
    return core::FolderEntry{displayName(index), fullPath(index)};
}

Pidl ShellListing::item(std::size_t index) const {
    if (index >= count()) return {};
    if (!shell_) return ParsePath(files_.fullPath(index));
    return Combine(shell_->folder, shell_->entries[index].child);
}

Pidl ShellListing::folderItem() const {
    if (shell_) return shell_->folder.clone();
    return ParsePath(files_.displayedFolder());
}

Pidl ShellListing::childItem(std::size_t index) const {
    if (index >= count()) return {};
    if (shell_) return shell_->entries[index].child.clone();
    const Pidl whole = ParsePath(files_.fullPath(index));
    if (!whole) return {};
    return Pidl(::ILClone(::ILFindLastID(whole.get())));
}

bool ShellListing::canRename(std::size_t index) const {
    if (index >= count()) return false;
    return shell_ ? shell_->entries[index].canRename : true;
}

bool ShellListing::rename(std::size_t index, std::string_view newName) {
    if (!shell_) {
        // A name typed over a shown name without its extension keeps the
        // extension, as a rename in Explorer does.
        const std::string shown = displayName(index);
        const std::string_view file = files_.name(index);
        std::string target(newName);
        if (shown != file && file.substr(0, shown.size()) == shown) {
            target.append(file.substr(shown.size()));
        }
        shownNames_.erase(index);
        return files_.rename(index, target);
    }
    if (index >= count() || !shell_->shell) return false;
    auto& entry = shell_->entries[index];
    if (newName == entry.name) return true;
    ITEMIDLIST* renamed = nullptr;
    if (FAILED(shell_->shell->SetNameOf(nullptr, entry.child.get(),
                                        platform::Wide(std::string(newName)).c_str(),
                                        SHGDN_INFOLDER, &renamed))) {
        return false;
    }
    if (renamed != nullptr) entry.child = Pidl(renamed);
    shell_->describe(entry);
    return true;
}

bool ShellListing::enter(std::size_t index) {
    if (index >= count() || !isFolder(index)) return false;
    if (!shell_) {
        shownNames_.clear();
        files_.showFolder(files_.fullPath(index));
        return true;
    }
    showItem(Combine(shell_->folder, shell_->entries[index].child));
    return true;
}

bool ShellListing::showParent() {
    shownNames_.clear();
    if (!shell_) {
        if (files_.showParent()) return true;
        // Above a drive or a share the name space goes on: My Computer, the
        // network, and the desktop at the top.
        Pidl top = ParsePath(files_.displayedFolder());
        if (!top || ILIsEmpty(top.get())) return false;
        ::ILRemoveLastID(top.get());
        showShellFolder(std::move(top));
        return true;
    }
    if (ILIsEmpty(shell_->folder.get())) return false;
    Pidl parent = shell_->folder.clone();
    ::ILRemoveLastID(parent.get());
    showItem(std::move(parent));
    return true;
}

std::optional<std::size_t> ShellListing::selectedIndex() const {
    return shell_ ? shell_->selected : files_.selectedIndex();
}

void ShellListing::select(std::optional<std::size_t> index) {
    if (!shell_) {
        files_.select(index);
        return;
    }
    shell_->selected = index && *index < shell_->entries.size() ? index : std::nullopt;
}

std::optional<core::FolderEntry> ShellListing::selectedEntry() const {
    const auto index = selectedIndex();
    if (!index) return std::nullopt;
    return entry(*index);
}

void ShellListing::showItem(Pidl absolute) {
    shownNames_.clear();
    if (const auto path = FileSystemPathOf(absolute.get())) {
        files_.showFolder(*path);
        shell_.reset();
        return;
    }
    showShellFolder(std::move(absolute));
}

void ShellListing::showShellFolder(Pidl absolute) {
    auto folder = std::make_unique<ShellFolder>();
    folder->shell = BindFolder(absolute.get());
    folder->folder = std::move(absolute);
    folder->list();
    shell_ = std::move(folder);
}

void ShellListing::listSameFolderAs(const ShellListing& other) {
    if (!other.shell_) {
        shell_.reset();
        shownNames_.clear();
        files_.showFolder(other.files_.displayedFolder());
        return;
    }
    if (!shell_ || !::ILIsEqual(shell_->folder.get(), other.shell_->folder.get())) {
        showShellFolder(other.shell_->folder.clone());
        return;
    }
    shell_->list();
}

bool ShellListing::sameEntriesAs(const ShellListing& other) const {
    if (!shell_ && !other.shell_) return files_.sameEntriesAs(other.files_);
    if (count() != other.count()) return false;
    for (std::size_t i = 0; i < count(); ++i) {
        if (fullPath(i) != other.fullPath(i)) return false;
    }
    return true;
}

bool OnWatchTick(const ShellListing& letters, ShellListing& shadow) {
    // The displayed folder rather than the root: after the operator enters a
    // subfolder, comparing it with the root would re-list it every second.
    shadow.listSameFolderAs(letters);
    return !shadow.sameEntriesAs(letters);
}

}  // namespace dorvel::ui::win32
