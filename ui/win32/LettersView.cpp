#include "ui/win32/LettersView.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <ctime>
#include <unordered_map>

#include "core/Texts.h"
#include "platform/win32/FileSteps.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ShellMenu.h"

namespace dorvel::ui::win32 {
namespace {

enum Column { kName, kSize, kType, kModified };

// The system's icon for a name, looked up by its kind alone: nothing is
// read from the file, so one answer holds for every name of that kind.
int IconIndex(const std::string& name, bool folder) {
    static std::unordered_map<std::wstring, int> known;
    const std::wstring wide = platform::Wide(name);
    const auto dot = wide.find_last_of(L".\\/");
    std::wstring kind = folder ? L"\\" : L"";
    if (!folder && dot != std::wstring::npos && wide[dot] == L'.') {
        kind = wide.substr(dot);
        ::CharLowerBuffW(kind.data(), static_cast<DWORD>(kind.size()));
    }
    if (const auto found = known.find(kind); found != known.end()) return found->second;
    SHFILEINFOW info{};
    ::SHGetFileInfoW(wide.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                     sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    known.emplace(kind, info.iIcon);
    return info.iIcon;
}

std::wstring TypeName(const std::string& name, bool folder) {
    SHFILEINFOW info{};
    ::SHGetFileInfoW(platform::Wide(name).c_str(),
                     folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    return info.szTypeName;
}

}  // namespace

ShellListView::ShellListView(platform::Platform& platform, HWND parent, int id)
    : platform_(platform), listing_(MakeShellListing(platform)) {
    view_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
            LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_EDITLABELS,
        0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ::SetWindowLongPtrW(view_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        view_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShellListView::Procedure)));
    SHFILEINFOW info{};
    const auto images = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ListView_SetImageList(view_, images, LVSIL_SMALL);
    // A click anywhere in a row selects it, and the whole row shows it.
    ListView_SetExtendedListViewStyle(view_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    rebuildColumns();
}

void ShellListView::setRoot(const std::string& text) {
    listing_.setRoot(text);
    refill(false);
}

void ShellListView::adoptListing(core::FolderListing& listed) {
    listing_.swapListing(listed);
    refill(false);
}

void ShellListView::ensureListed() {
    listing_.ensureListed();
    refill(false);
}

void ShellListView::Relist() {
    listing_.relist();
    refill(true);
}

// Rebuilt at every listing, as the shell's own view does: widths the
// operator changed do not survive it.
void ShellListView::rebuildColumns() {
    while (ListView_DeleteColumn(view_, 0)) {
    }
    int x = 8;
    int average = 6;
    if (const HDC dc = ::GetDC(view_)) {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(view_, WM_GETFONT, 0, 0));
        const HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, L"X", 1, &size) && size.cx > 0) x = size.cx;
        TEXTMETRICW metrics{};
        if (::GetTextMetricsW(dc, &metrics) && metrics.tmAveCharWidth > 0) {
            average = metrics.tmAveCharWidth;
        }
        if (previous != nullptr) ::SelectObject(dc, previous);
        ::ReleaseDC(view_, dc);
    }
    auto insert = [&](int index, const wchar_t* title, int width, int format) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<wchar_t*>(title);
        column.cx = width;
        column.fmt = format;
        ListView_InsertColumn(view_, index, &column);
    };
    if (!details_.columns().empty()) {
        // The shell's widths, but never narrower than the caption, nor the
        // name and a time narrower than the view's own columns give them.
        int index = 0;
        for (const auto& c : details_.columns()) {
            int width = std::max(c.widthInCharacters * average,
                                 ListView_GetStringWidth(view_, c.caption.c_str()) + 16);
            if (index == 0) width = std::max(width, 25 * x);
            if (c.isDate) width = std::max(width, 14 * x);
            insert(index++, c.caption.c_str(), width, c.format);
        }
        return;
    }
    // A folder that reports no columns gets these.
    // A folder outside the file system has names only.
    const int shown = listing_.outsideFileSystem() ? 1 : 4;
    for (int index = 0; index < shown; ++index) {
        const auto& column = core::texts::kLetterColumns[index];
        insert(index, platform::Wide(column.caption).c_str(), column.widthInX * x,
               column.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
}

void ShellListView::refill(bool keepSelection) {
    const Pidl folder = ShellFolderOf(listing_);
    details_.open(folder.get());
    cells_.clear();
    rebuildColumns();
    const auto selected = listing_.selectedIndex();
    ListView_SetItemCountEx(view_, static_cast<int>(listing_.count()), LVSICF_NOSCROLL);
    ListView_SetItemState(view_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (keepSelection && selected) {
        const int row = static_cast<int>(*selected);
        ListView_SetItemState(view_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    // Emptied and refilled: back to the first row, even where the entry
    // selected again lies further down.
    if (listing_.count() > 0) ListView_EnsureVisible(view_, 0, FALSE);
    ::InvalidateRect(view_, nullptr, TRUE);
}

void ShellListView::select(std::optional<std::size_t> row) {
    listing_.select(row);
    ListView_SetItemState(view_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row) {
        const int r = static_cast<int>(*row);
        ListView_SetItemState(view_, r, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(view_, r, FALSE);
    }
}

void ShellListView::activate(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.count()) return;
    const auto index = static_cast<std::size_t>(row);
    if (listing_.enter(index)) {
        refill(false);
        return;
    }
    const Pidl item = ShellItemOf(listing_, index);
    if (!item) return;
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_IDLIST;
    open.hwnd = ::GetParent(view_);
    open.lpIDList = item.get();
    open.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExW(&open);
}

void ShellListView::contextMenu(int row, POINT at) {
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.count()) return;
    const Pidl item = ShellItemOf(listing_, static_cast<std::size_t>(row));
    if (!item) return;
    switch (ShowShellMenu(::GetParent(view_), item.get(), at)) {
        case ShellMenuResult::Rename:
            ListView_EditLabel(view_, row);
            break;
        case ShellMenuResult::Changed:
            Relist();
            break;
        default:
            break;
    }
}

void ShellListView::showProperties(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.count()) return;
    const auto index = static_cast<std::size_t>(row);
    if (listing_.outsideFileSystem()) {
        const Pidl item = ShellItemOf(listing_, index);
        if (item) RunShellVerb(::GetParent(view_), item.get(), "properties");
        return;
    }
    const std::wstring path = platform::Wide(listing_.fullPath(index));
    ::SHObjectProperties(::GetParent(view_), SHOP_FILEPATH, path.c_str(), nullptr);
}

LRESULT CALLBACK ShellListView::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<ShellListView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // Alt+Enter comes as a system key, which the view never reports.
    if (message == WM_SYSKEYDOWN && w == VK_RETURN) {
        self->showProperties(ListView_GetNextItem(window, -1, LVNI_SELECTED));
        return 0;
    }
    if (message == WM_SYSCHAR && w == L'\r') return 0;  // no beep
    // Enter opens the entry even where the window's loop handles dialog keys.
    if (message == WM_GETDLGCODE && l != 0) {
        const auto* key = reinterpret_cast<const MSG*>(l);
        if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            return ::CallWindowProcW(self->original_, window, message, w, l) | DLGC_WANTMESSAGE;
        }
    }
    // Shift+F10 and the menu key: the selected entry's menu, at its row.
    if (message == WM_CONTEXTMENU && l == -1) {
        const int row = ListView_GetNextItem(window, -1, LVNI_SELECTED);
        RECT cell{};
        if (row >= 0 && ListView_GetItemRect(window, row, &cell, LVIR_LABEL)) {
            POINT at{cell.left, cell.bottom};
            ::ClientToScreen(window, &at);
            self->contextMenu(row, at);
        }
        return 0;
    }
    return ::CallWindowProcW(self->original_, window, message, w, l);
}

void ShellListView::showParent() {
    if (listing_.showParent()) refill(false);
}

void ShellListView::fillItem(LVITEMW& item) {
    const auto row = static_cast<std::size_t>(item.iItem);
    if (row >= listing_.count()) return;
    const std::string name(listing_.displayName(row));
    const bool folder = listing_.isFolder(row);
    if ((item.mask & LVIF_IMAGE) != 0) {
        // A file's icon by its kind, read from nothing; a virtual item's own.
        if (listing_.outsideFileSystem()) {
            const Pidl shellItem = ShellItemOf(listing_, row);
            item.iImage = shellItem ? SmallIconOf(shellItem.get()) : 0;
        } else {
            item.iImage = IconIndex(listing_.fullPath(row), folder);
        }
    }
    if ((item.mask & LVIF_TEXT) == 0) return;
    text_.clear();
    if (!details_.columns().empty()) {
        if (item.iSubItem == kName) {
            text_ = platform::Wide(name);
        } else {
            auto cells = cells_.find(item.iItem);
            if (cells == cells_.end()) {
                // All of a row's texts at once: the shell finds the item once.
                std::vector<std::wstring> texts(details_.columns().size());
                const Pidl child =
                    listing_.outsideFileSystem() ||
                            platform::RewrittenByPathRules(platform::Wide(listing_.name(row)))
                        ? ShellChildOf(listing_, row)
                        : details_.child(platform::Wide(listing_.name(row)));
                for (std::size_t c = 1; c < texts.size(); ++c)
                    texts[c] = details_.text(child.get(), c);
                cells = cells_.emplace(item.iItem, std::move(texts)).first;
            }
            const auto column = static_cast<std::size_t>(item.iSubItem);
            if (column < cells->second.size()) text_ = cells->second[column];
        }
        item.pszText = text_.data();
        return;
    }
    if (listing_.outsideFileSystem() && item.iSubItem != kName) {
        item.pszText = text_.data();
        return;
    }
    switch (item.iSubItem) {
        case kName:
            text_ = platform::Wide(name);
            break;
        case kSize:
            if (!folder) {
                if (const auto info = platform_.inspect(listing_.fullPath(row))) {
                    text_ = platform::Wide(
                        core::texts::SizeText(static_cast<std::uint64_t>(info->size)));
                }
            }
            break;
        case kType:
            text_ = TypeName(listing_.fullPath(row), folder);
            break;
        case kModified:
            if (const auto info = platform_.inspect(listing_.fullPath(row))) {
                const std::time_t when = static_cast<std::time_t>(info->modified);
                std::tm local{};
                localtime_s(&local, &when);
                text_ = platform::Wide(core::texts::ModifiedText(local.tm_year + 1900,
                                                                 local.tm_mon + 1, local.tm_mday,
                                                                 local.tm_hour, local.tm_min));
            }
            break;
        default:
            break;
    }
    item.pszText = text_.data();
}

bool ShellListView::notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != view_) return false;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            fillItem(reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item);
            result = 0;
            return true;
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) != 0) {
                const int selected = ListView_GetNextItem(view_, -1, LVNI_SELECTED);
                listing_.select(selected < 0 ? std::nullopt : std::optional<std::size_t>(selected));
            }
            result = 0;
            return true;
        }
        case LVN_ODFINDITEMW: {
            // Typing a name's first letters selects it; rows made on demand
            // leave the search to their owner.
            const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
            result = -1;
            if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.lvfi.psz != nullptr) {
                const std::size_t start =
                    find.iStart < 0 ? 0 : static_cast<std::size_t>(find.iStart);
                if (const auto found =
                        listing_.findByPrefix(platform::Utf8(find.lvfi.psz), start)) {
                    result = static_cast<LRESULT>(*found);
                }
            }
            return true;
        }
        case LVN_ITEMACTIVATE:  // a double-click or Enter
            activate(ListView_GetNextItem(view_, -1, LVNI_FOCUSED | LVNI_SELECTED));
            result = 0;
            return true;
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            if (key.wVKey == VK_BACK) showParent();
            if (key.wVKey == VK_F5) Relist();
            if (key.wVKey == VK_F2) {
                ListView_EditLabel(view_, ListView_GetNextItem(view_, -1, LVNI_SELECTED));
            }
            result = 0;
            return true;
        }
        case NM_RCLICK: {
            const int row = ListView_GetNextItem(view_, -1, LVNI_SELECTED);
            POINT at;
            ::GetCursorPos(&at);
            contextMenu(row, at);
            result = TRUE;
            return true;
        }
        case LVN_BEGINLABELEDITW: {
            // An entry the shell does not let rename keeps its name, silently.
            const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
            const auto row = static_cast<std::size_t>(edit.item.iItem);
            result = listing_.canRename(row) ? FALSE : TRUE;
            // The watch may re-list while the name is typed: the rename goes
            // to this entry wherever it then stands.
            editing_ = listing_.markOf(row);
            return true;
        }
        case LVN_ENDLABELEDITW: {
            const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
            result = FALSE;
            if (edit.item.pszText == nullptr) return true;  // cancelled
            const std::string newName = platform::Utf8(edit.item.pszText);
            const auto row = listing_.find(editing_);
            if (!row || !listing_.rename(*row, newName)) {
                if (onError) onError(core::texts::RenameFailedText(newName));
                return true;
            }
            // Redrawn where it stands; the next listing sorts it.
            const int shown = static_cast<int>(*row);
            cells_.erase(shown);
            ListView_RedrawItems(view_, shown, shown);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace dorvel::ui::win32
