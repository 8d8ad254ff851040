#include "ui/win32/ShellDetails.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace dorvel::ui::win32 {
namespace {

std::wstring Text(STRRET& value, const ITEMIDLIST* item) {
    wchar_t* text = nullptr;
    if (FAILED(::StrRetToStrW(&value, item, &text))) return {};
    std::wstring result = text;
    ::CoTaskMemFree(text);
    return result;
}

int ListViewFormat(int shellFormat) {
    switch (shellFormat & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT:
            return LVCFMT_RIGHT;
        case LVCFMT_CENTER:
            return LVCFMT_CENTER;
        default:
            return LVCFMT_LEFT;
    }
}

}  // namespace

void ShellDetails::open(const ITEMIDLIST* folder) {
    columns_.clear();
    folder_.reset();
    ComPtr<IShellFolder> shell = BindFolder(folder);
    if (!shell || FAILED(shell->QueryInterface(IID_IShellFolder2, folder_.outVoid()))) {
        folder_.reset();
        return;
    }
    // The columns the shell shows by default, in its order; a shell that
    // does not say which are shown by default shows them all.
    for (UINT column = 0; column < 64; ++column) {
        SHELLDETAILS details{};
        if (FAILED(folder_->GetDetailsOf(nullptr, column, &details))) break;
        SHCOLSTATEF state = 0;
        if (SUCCEEDED(folder_->GetDefaultColumnState(column, &state)) &&
            (state & SHCOLSTATE_ONBYDEFAULT) == 0) {
            continue;
        }
        columns_.push_back(Column{Text(details.str, nullptr), ListViewFormat(details.fmt),
                                  details.cxChar,
                                  (state & SHCOLSTATE_TYPEMASK) == SHCOLSTATE_TYPE_DATE, column});
    }
}

Pidl ShellDetails::child(const std::wstring& name) const {
    Pidl item;
    if (!folder_ || name.empty() ||
        FAILED(folder_->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(name.c_str()),
                                         nullptr, item.out(), nullptr))) {
        return {};
    }
    return item;
}

std::wstring ShellDetails::text(const ITEMIDLIST* child, std::size_t column) const {
    if (!folder_ || child == nullptr || column >= columns_.size()) return {};
    SHELLDETAILS details{};
    if (FAILED(folder_->GetDetailsOf(child, columns_[column].shellColumn, &details))) return {};
    return Text(details.str, child);
}

}  // namespace dorvel::ui::win32
