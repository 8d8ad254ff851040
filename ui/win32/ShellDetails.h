#pragma once
// The columns a folder of the shell reports for its items (name, size,
// type, modification time and whatever else the shell shows by default),
// with their captions, alignments and widths, and each item's texts.

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <string>
#include <vector>

#include "ui/win32/ShellObjects.h"

namespace dorvel::ui::win32 {

class ShellDetails {
public:
    struct Column {
        std::wstring caption;
        int format = LVCFMT_LEFT;  // the list view's alignment
        int widthInCharacters = 0;
        bool isDate = false;
        UINT shellColumn = 0;
    };

    // Reads the columns of the folder; none when it reports none.
    void open(const ITEMIDLIST* folder);
    const std::vector<Column>& columns() const { return columns_; }
    // One column's text for an item of the folder, given relative to it.
    std::wstring text(const ITEMIDLIST* child, std::size_t column) const;
    // An item of the open folder by its name, found by the folder itself:
    // parsing a whole path from the desktop walks every folder above it,
    // a tenth of a second a screenful under Wine.
    Pidl child(const std::wstring& name) const;

private:
    ComPtr<IShellFolder2> folder_;
    std::vector<Column> columns_;
};

}  // namespace dorvel::ui::win32
