#pragma once
// The settings dialog's folder tree: the desktop on top, its own entries
// below it as the shell lists them (its folders, the user's files, My
// Computer with the drives, the trash), each level filled when it is first
// opened, folders only, hidden ones left out, in the listing's name order.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/win32/FolderWatch.h"

namespace dorvel::ui::win32 {

class FolderTree {
public:
    FolderTree(platform::Platform& platform, HWND parent, int id, RECT place);
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    HWND handle() const { return tree_; }
    // Lists the desktop's entries under the open top, the first time only:
    // as the dialog first opens, so that the start never waits on the shell.
    void showTop();
    // The full path of the selected folder, or the empty text.
    std::string selectedPath() const;
    // Expands the tree down to the folder and selects it. Throws
    // core::PlatformError "Error setting path" when the text names no folder;
    // a folder without a node (a hidden one) clears the selection.
    void setSelectedPath(const std::string& text);

    // Every change of the selection, by the operator or by setSelectedPath.
    std::function<void()> onChange;
    // The folder last selected changed (FolderWatch::kChanged, posted to the
    // tree's parent): its node is rebuilt and stays selected.
    void refillSelected();
    // The watch of the folder last selected ends while the dialog is closed,
    // and begins again as it opens.
    void stopWatching() { watch_->watch(""); }
    void resumeWatching() { watch_->watch(selectedPath()); }
    const std::string& watchedFolder() const { return watch_->watched(); }
    // The names of a node's children as shown, for the tests.
    std::vector<std::string> childNames(const std::string& path);

    // A right click: the node under the mouse is selected and the shell's
    // context menu for its folder opens. Its rename edits the node in place;
    // a delete removes the node, a paste rebuilds it.
    void contextMenu(POINT screen);
    // Runs one of the menu's commands on the selected folder by its verb,
    // as the menu would; for the tests.
    void runVerb(const char* verb);
    // Where a refused rename is reported.
    std::function<void(const std::string&)> onError;

    // The parent hands over the tree's WM_NOTIFY; true when it was handled.
    bool notify(const NMHDR& header, LRESULT& result);

private:
    HTREEITEM add(HTREEITEM parent, const std::string& name, const std::string& path);
    void fillDesktop();
    void addDrives(HTREEITEM parent);
    void fill(HTREEITEM item);
    std::string pathOf(HTREEITEM item) const;
    HTREEITEM childNamed(HTREEITEM parent, const std::string& path);
    void afterCommand(HTREEITEM item, int result);
    void empty(HTREEITEM item);
    bool renameNode(HTREEITEM item, const std::string& newName);

    platform::Platform& platform_;
    HWND tree_ = nullptr;
    HTREEITEM top_ = nullptr;
    HTREEITEM computer_ = nullptr;  // My Computer, whose children are the drives
    // Each node's path, indexed by the node's lParam.
    std::vector<std::string> paths_;
    std::vector<bool> filled_;
    int folderIcon_ = 0;
    // The tree may end one edit twice (the button, then the lost focus).
    bool editing_ = false;
    std::unique_ptr<FolderWatch> watch_;
};

}  // namespace dorvel::ui::win32
