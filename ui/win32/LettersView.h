#pragma once
// The letters view: a list view in detail mode whose rows are produced on
// demand from the listing, so that a folder of 100,000 files costs only the
// rows in sight.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/FolderListing.h"
#include "core/MainForm.h"
#include "platform/Platform.h"
#include "ui/win32/ShellDetails.h"
#include "ui/win32/ShellFolderSource.h"

namespace dorvel::ui::win32 {

class ShellListView final : public core::LettersView {
public:
    ShellListView(platform::Platform& platform, HWND parent, int id);
    ShellListView(const ShellListView&) = delete;
    ShellListView& operator=(const ShellListView&) = delete;

    HWND handle() const { return view_; }

    // Throws core::PlatformError "Error setting path" when the text names no
    // folder; root and listing then stay as they were.
    void setRoot(const std::string& text) override;
    const std::string& root() const override { return listing_.root(); }
    void ensureListed() override;
    // Shows a file-system listing made before the view existed, as setting
    // its root would.
    void adoptListing(core::FolderListing& listed) override;
    // Lists the folder again, keeping the selection by position.
    void Relist() override;
    std::optional<core::FolderEntry> SelectedEntry() const override {
        return listing_.selectedEntry();
    }
    const core::FolderListing& listing() const override { return listing_; }
    void select(std::optional<std::size_t> row);

    // Enter or a double-click: a folder is shown, a file opened with its
    // program.
    void activate(int row);
    void showParent();

    // Alt+Enter: the shell's properties of the entry.
    void showProperties(int row);
    // The shell's context menu for the entry at the screen point.
    void contextMenu(int row, POINT at);
    // Where errors of the operator's actions are shown.
    std::function<void(const std::string&)> onError;

    // The parent hands over the view's WM_NOTIFY; true when it was handled.
    bool notify(const NMHDR& header, LRESULT& result);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    void refill(bool keepSelection);
    void rebuildColumns();
    void fillItem(LVITEMW& item);

    platform::Platform& platform_;
    core::FolderListing listing_;
    // The columns the shell reports for the displayed folder, and the texts
    // of the rows that have been in sight.
    ShellDetails details_;
    std::unordered_map<int, std::vector<std::wstring>> cells_;
    core::FolderListing::Mark editing_;  // the entry whose name is being typed
    HWND view_ = nullptr;
    std::wstring text_;  // the text handed out for the last row asked for
    WNDPROC original_ = nullptr;
};

}  // namespace dorvel::ui::win32
