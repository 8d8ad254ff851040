#include "ui/win32/FolderTree.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "core/FolderEntry.h"
#include "core/FolderListing.h"
#include "core/Messages.h"
#include "core/PathRules.h"
#include "core/Texts.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ShellFolderSource.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/ShellObjects.h"

namespace dorvel::ui::win32 {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return ::CompareStringOrdinal(platform::Wide(a).c_str(), -1, platform::Wide(b).c_str(), -1,
                                  TRUE) == CSTR_EQUAL;
}

}  // namespace

FolderTree::FolderTree(platform::Platform& platform, HWND parent, int id, RECT place)
    : platform_(platform) {
    tree_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS,
        place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SHFILEINFOW info{};
    const auto images = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                         SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    folderIcon_ = info.iIcon;
    TreeView_SetImageList(tree_, images, TVSIL_NORMAL);

    const std::string desktop = platform_.specialFolder(core::kDesktopRoot).value_or("C:\\");
    // The top is the shell's desktop, by the name and icon the shell gives it.
    std::string desktopName = "Desktop";
    int desktopIcon = folderIcon_;
    if (const Pidl top = VirtualSpecialFolder(core::kDesktopRoot)) {
        SHFILEINFOW shown{};
        if (::SHGetFileInfoW(
                reinterpret_cast<const wchar_t*>(top.get()), 0, &shown, sizeof shown,
                SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) &&
            shown.szDisplayName[0] != L'\0') {
            desktopName = platform::Utf8(shown.szDisplayName);
            desktopIcon = shown.iIcon;
        }
    }
    top_ = add(TVI_ROOT, desktopName, desktop);
    TVITEMW look{};
    look.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    look.hItem = top_;
    look.iImage = desktopIcon;
    look.iSelectedImage = desktopIcon;
    TreeView_SetItem(tree_, &look);
    watch_ = std::make_unique<FolderWatch>(parent);
}

void FolderTree::showTop() {
    fill(top_);
    if ((TreeView_GetItemState(tree_, top_, TVIS_EXPANDED) & TVIS_EXPANDED) == 0) {
        TreeView_Expand(tree_, top_, TVE_EXPAND);
    }
}

// The desktop's own entries as the shell lists them (its folders, the
// user's files, My Computer, the trash, ...), folders only: My Computer
// holds the drives, and an entry outside the file system that is no folder
// of it (the trash) is a node without children or path.
void FolderTree::fillDesktop() {
    filled_[0] = true;
    core::FolderListing desktop = MakeShellListing(platform_);
    desktop.setRoot(core::kDesktopRoot);
    Pidl drives;
    {
        ITEMIDLIST* found = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &found))) {
            drives = Pidl(found);
        }
    }
    for (std::size_t i = 0; i < desktop.count(); ++i) {
        if (!desktop.isFolder(i)) continue;
        const Pidl item = ShellItemOf(desktop, i);
        if (!item) continue;
        const std::string name(desktop.displayName(i));
        HTREEITEM node = nullptr;
        if (const auto path = FileSystemPathOf(item.get())) {
            node = add(top_, name, *path);
        } else if (drives && ::ILIsEqual(item.get(), drives.get())) {
            node = computer_ = add(top_, name, std::string());
        } else {
            node = add(top_, name, std::string());
            filled_.back() = true;
            TVITEMW none{};
            none.mask = TVIF_CHILDREN | TVIF_HANDLE;
            none.hItem = node;
            TreeView_SetItem(tree_, &none);
        }
        TVITEMW look{};
        look.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        look.hItem = node;
        look.iImage = look.iSelectedImage = SmallIconOf(item.get());
        TreeView_SetItem(tree_, &look);
    }
    // Without My Computer in the list, the drives stand under the desktop.
    if (computer_ == nullptr) addDrives(top_);
}

void FolderTree::addDrives(HTREEITEM parent) {
    wchar_t drives[512] = {};
    const DWORD length = ::GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* d = drives; d < drives + length && *d != L'\0'; d += wcslen(d) + 1) {
        const std::string root = platform::Utf8(d);
        add(parent, root.substr(0, 2), root);
    }
}

HTREEITEM FolderTree::add(HTREEITEM parent, const std::string& name, const std::string& path) {
    const std::wstring text = platform::Wide(name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(paths_.size());
    insert.item.cChildren = 1;  // known once opened
    insert.item.iImage = folderIcon_;
    insert.item.iSelectedImage = folderIcon_;
    paths_.push_back(path);
    filled_.push_back(false);
    return TreeView_InsertItem(tree_, &insert);
}

void FolderTree::fill(HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!TreeView_GetItem(tree_, &data)) return;
    const auto index = static_cast<std::size_t>(data.lParam);
    if (filled_[index]) return;
    filled_[index] = true;
    if (item == top_) {
        computer_ = nullptr;
        fillDesktop();
        return;
    }
    if (item == computer_) {
        addDrives(item);
        return;
    }
    const std::string path = paths_[index];
    const auto folders = core::SubfolderNames(platform_, path);
    const core::PathRules& rules = core::PathRules::Host();
    for (const auto& name : folders) add(item, name, rules.withSeparator(path) + name);
    if (folders.empty() && item != top_) {
        TVITEMW none{};
        none.mask = TVIF_CHILDREN | TVIF_HANDLE;
        none.hItem = item;
        none.cChildren = 0;
        TreeView_SetItem(tree_, &none);
    }
}

std::string FolderTree::pathOf(HTREEITEM item) const {
    if (item == nullptr) return {};
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!TreeView_GetItem(tree_, &data)) return {};
    return paths_[static_cast<std::size_t>(data.lParam)];
}

// Drops a node's children; they are listed again when it is next opened.
void FolderTree::empty(HTREEITEM item) {
    while (const HTREEITEM child = TreeView_GetChild(tree_, item))
        TreeView_DeleteItem(tree_, child);
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_CHILDREN | TVIF_HANDLE;
    data.hItem = item;
    TreeView_GetItem(tree_, &data);
    filled_[static_cast<std::size_t>(data.lParam)] = false;
    data.mask = TVIF_CHILDREN | TVIF_HANDLE;
    data.cChildren = 1;
    TreeView_SetItem(tree_, &data);
}

void FolderTree::refillSelected() {
    const HTREEITEM item = TreeView_GetSelection(tree_);
    if (item == nullptr) return;
    const bool expanded = (TreeView_GetItemState(tree_, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    empty(item);
    fill(item);
    if (expanded) TreeView_Expand(tree_, item, TVE_EXPAND);
}

void FolderTree::contextMenu(POINT screen) {
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(tree_, &hit.pt);
    const HTREEITEM item = TreeView_HitTest(tree_, &hit);
    if (item == nullptr) return;
    TreeView_SelectItem(tree_, item);
    const auto result = ShowShellMenu(::GetParent(tree_), pathOf(item), screen);
    afterCommand(item, static_cast<int>(result));
}

void FolderTree::runVerb(const char* verb) {
    const HTREEITEM item = TreeView_GetSelection(tree_);
    if (item == nullptr) return;
    const auto result = RunShellVerb(::GetParent(tree_), pathOf(item), verb);
    afterCommand(item, static_cast<int>(result));
}

void FolderTree::afterCommand(HTREEITEM item, int result) {
    switch (static_cast<ShellMenuResult>(result)) {
        case ShellMenuResult::Rename:
            ::SetFocus(tree_);
            TreeView_EditLabel(tree_, item);
            break;
        case ShellMenuResult::Changed: {
            // A folder deleted goes from the tree; one pasted into is rebuilt.
            const auto info = platform_.inspect(pathOf(item));
            if (!info || !info->isFolder) {
                TreeView_DeleteItem(tree_, item);
            } else {
                const bool expanded =
                    (TreeView_GetItemState(tree_, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
                empty(item);
                fill(item);
                if (expanded) TreeView_Expand(tree_, item, TVE_EXPAND);
            }
            break;
        }
        default:
            break;
    }
}

bool FolderTree::renameNode(HTREEITEM item, const std::string& newName) {
    const core::PathRules& rules = core::PathRules::Host();
    const std::string old = rules.withoutTrailingSeparators(pathOf(item));
    if (newName.empty() || newName == "." || newName == ".." ||
        newName.find_first_of("\\/") != std::string::npos) {
        return false;
    }
    const std::string renamed = rules.withSeparator(rules.folderOf(old)) + newName;
    if (!platform_.move(old, renamed).ok()) return false;
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    TreeView_GetItem(tree_, &data);
    paths_[static_cast<std::size_t>(data.lParam)] = renamed;
    // The folders below it now have other paths: they are listed again.
    const bool expanded = (TreeView_GetItemState(tree_, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    empty(item);
    if (expanded) TreeView_Expand(tree_, item, TVE_EXPAND);
    return true;
}

std::vector<std::string> FolderTree::childNames(const std::string& path) {
    std::vector<std::string> names;
    const HTREEITEM selected = TreeView_GetSelection(tree_);
    if (selected == nullptr || pathOf(selected) != path) return names;
    fill(selected);
    for (HTREEITEM child = TreeView_GetChild(tree_, selected); child != nullptr;
         child = TreeView_GetNextSibling(tree_, child)) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_HANDLE;
        data.hItem = child;
        data.pszText = text;
        data.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree_, &data);
        names.push_back(platform::Utf8(text));
    }
    return names;
}

std::string FolderTree::selectedPath() const { return pathOf(TreeView_GetSelection(tree_)); }

HTREEITEM FolderTree::childNamed(HTREEITEM parent, const std::string& path) {
    fill(parent);
    for (HTREEITEM child = TreeView_GetChild(tree_, parent); child != nullptr;
         child = TreeView_GetNextSibling(tree_, child)) {
        const std::string candidate = pathOf(child);
        const std::string withSeparator = core::PathRules::Host().withSeparator(candidate);
        if (EqualIgnoringCase(candidate, path) ||
            (path.size() > withSeparator.size() &&
             EqualIgnoringCase(withSeparator, path.substr(0, withSeparator.size())))) {
            return child;
        }
    }
    // A drive's folders are under My Computer.
    if (parent == top_ && computer_ != nullptr) return computer_;
    return nullptr;
}

void FolderTree::setSelectedPath(const std::string& text) {
    showTop();
    const core::PathRules& rules = core::PathRules::Host();
    const auto info = platform_.inspect(text);
    if (!rules.isWholePath(text) || !info || !info->isFolder) {
        throw core::PlatformError(core::texts::ErrorSettingPathText(text));
    }
    const std::string folder = rules.withoutTrailingSeparators(text);
    // Down from the desktop's own folders or from the drive.
    HTREEITEM node = top_;
    if (!EqualIgnoringCase(folder, pathOf(top_))) {
        HTREEITEM next = childNamed(top_, folder);
        while (next != nullptr) {
            node = next;
            if (EqualIgnoringCase(rules.withoutTrailingSeparators(pathOf(node)), folder)) break;
            TreeView_Expand(tree_, node, TVE_EXPAND);
            next = childNamed(node, folder);
        }
        if (!EqualIgnoringCase(rules.withoutTrailingSeparators(pathOf(node)), folder)) {
            node = nullptr;  // a hidden folder has no node
        }
    }
    TreeView_SelectItem(tree_, node);
    if (node != nullptr) TreeView_EnsureVisible(tree_, node);
}

bool FolderTree::notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tree_) return false;
    switch (header.code) {
        case TVN_ITEMEXPANDINGW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (change.action == TVE_EXPAND) fill(change.itemNew.hItem);
            result = FALSE;
            return true;
        }
        case TVN_SELCHANGEDW:
            watch_->watch(selectedPath());
            if (onChange) onChange();
            result = 0;
            return true;
        case NM_RCLICK: {
            POINT at;
            ::GetCursorPos(&at);
            contextMenu(at);
            result = TRUE;
            return true;
        }
        case TVN_BEGINLABELEDITW: {
            // The desktop and the drives keep their names.
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            const std::string path = pathOf(edit.item.hItem);
            const bool refused = edit.item.hItem == top_ || core::PathRules::Host().isTop(path);
            editing_ = !refused;
            result = refused ? TRUE : FALSE;
            return true;
        }
        case TVN_ENDLABELEDITW: {
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            result = FALSE;
            if (!editing_) return true;
            editing_ = false;
            if (edit.item.pszText == nullptr) return true;  // cancelled
            const std::string newName = platform::Utf8(edit.item.pszText);
            if (!renameNode(edit.item.hItem, newName)) {
                if (onError) onError(core::texts::RenameFailedText(newName));
                return true;
            }
            result = TRUE;  // the node takes the new text
            if (edit.item.hItem == TreeView_GetSelection(tree_)) {
                watch_->watch(selectedPath());
                if (onChange) onChange();
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace dorvel::ui::win32
