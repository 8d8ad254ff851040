#pragma once
// The settings dialog's folder tree: the desktop on top, with the file
// system below it, folders only, hidden ones left out, filled as the
// operator opens a branch. It follows the folder last selected.

#include <QFileSystemWatcher>
#include <QTreeWidget>
#include <functional>
#include <string>

#include "platform/Platform.h"

namespace dorvel::ui {

class FolderTree final : public QTreeWidget {
    Q_OBJECT
public:
    FolderTree(platform::Platform& platform, QWidget* parent = nullptr);

    // The full path of the selected folder, or the empty text.
    std::string selectedPath() const;
    // Expands the tree down to the folder and selects it. Throws
    // core::PlatformError "Error setting path" when the text names no folder;
    // a folder without a node (a hidden one) clears the selection.
    void setSelectedPath(const std::string& text);

    // Every change of the selection, by the operator or by setSelectedPath.
    std::function<void()> onChange;
    std::function<void(const std::string&)> onError;

    // Brings the node into view without scrolling sideways, so the names
    // and icons stay readable from their start.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QTreeWidgetItem* makeItem(const QString& text, const std::string& path);
    void fill(QTreeWidgetItem* item);
    void refill(QTreeWidgetItem* item);
    QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, std::string_view name);
    void watch(const std::string& path);

    platform::Platform& platform_;
    QTreeWidgetItem* fileSystem_ = nullptr;  // the "/" node
    QFileSystemWatcher watcher_;
};

}  // namespace dorvel::ui
