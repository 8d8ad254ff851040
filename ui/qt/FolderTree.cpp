#include "ui/qt/FolderTree.h"

#include "ui/qt/Artwork.h"
#include "ui/qt/PathText.h"

#include <QScrollBar>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <algorithm>
#include <filesystem>

#include "core/FolderListing.h"
#include "core/Messages.h"
#include "core/Texts.h"
#include "ui/qt/ShellActions.h"

namespace dorvel::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

std::string PathOf(const QTreeWidgetItem* item) {
    return item == nullptr ? std::string() : item->data(0, kPathRole).toByteArray().toStdString();
}

QIcon FolderIcon() {
    static const QIcon icon = [] {
        QIcon themed = QIcon::fromTheme(QStringLiteral("folder"));
        return themed.isNull() ? FallbackFolderIcon() : themed;
    }();
    return icon;
}

}  // namespace

FolderTree::FolderTree(platform::Platform& platform, QWidget* parent)
    : QTreeWidget(parent), platform_(platform) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setColumnCount(1);
    // Hidden, the header still has a name for screen readers: not "1".
    setHeaderLabel(QString::fromUtf8(core::texts::kFolderTreeName));
    setAccessibleName(QString::fromUtf8(core::texts::kFolderTreeName));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);

    const std::string desktop = platform_.specialFolder(core::kDesktopRoot).value_or("/");
    auto* top = makeItem(QStringLiteral("Desktop"), desktop);
    addTopLevelItem(top);
    top->setData(0, kFilledRole, true);
    const std::string home = platform_.homeFolder();
    fileSystem_ = makeItem(QStringLiteral("/"), "/");
    top->addChild(fileSystem_);
    if (home != "/") top->addChild(makeItem(QStringLiteral("Home"), home));
    if (desktop != home) {
        auto* desktopFolder = makeItem(ShownPath(desktop.substr(desktop.rfind('/') + 1)), desktop);
        top->addChild(desktopFolder);
    }
    top->setExpanded(true);

    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { fill(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) watch(PathOf(current));
        if (onChange) onChange();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString&) {
        // The folder last selected changed: rebuild its node, same selection.
        if (QTreeWidgetItem* item = currentItem()) refill(item);
    });
}

QTreeWidgetItem* FolderTree::makeItem(const QString& text, const std::string& path) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kFilledRole, false);
    item->setIcon(0, FolderIcon());
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FolderTree::fill(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const std::string path = PathOf(item);
    const auto folders = core::SubfolderNames(platform_, path);
    const std::string prefix = path == "/" ? path : path + "/";
    for (const auto& name : folders) {
        item->addChild(makeItem(ShownPath(name), prefix + name));
    }
    if (folders.empty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTree::refill(QTreeWidgetItem* item) {
    const QSignalBlocker block(this);
    const bool expanded = item->isExpanded();
    qDeleteAll(item->takeChildren());
    item->setData(0, kFilledRole, false);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    fill(item);
    item->setExpanded(expanded);
    setCurrentItem(item);
}

QTreeWidgetItem* FolderTree::childNamed(QTreeWidgetItem* parent, std::string_view name) {
    fill(parent);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const std::string path = PathOf(child);
        if (std::string_view(path).substr(path.rfind('/') + 1) == name) return child;
    }
    return nullptr;
}

void FolderTree::watch(const std::string& path) {
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    if (!path.empty()) watcher_.addPath(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string FolderTree::selectedPath() const { return PathOf(currentItem()); }

void FolderTree::setSelectedPath(const std::string& text) {
    if (text.empty() || text.front() != '/' || !platform_.inspect(text)) {
        throw core::PlatformError(core::texts::ErrorSettingPathText(text));
    }
    const std::string normal = std::filesystem::path(text).lexically_normal().string();
    QTreeWidgetItem* item = fileSystem_;
    std::string_view rest = normal;
    while (item != nullptr && !rest.empty()) {
        while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
        if (rest.empty()) break;
        const auto slash = rest.find('/');
        item = childNamed(item, rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    if (item == nullptr) {
        setCurrentItem(nullptr);  // a hidden folder, or a file: no node
        clearSelection();
        return;
    }
    for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent())
        up->setExpanded(true);
    setCurrentItem(item);
    scrollTo(indexFromItem(item), QAbstractItemView::PositionAtCenter);
}

void FolderTree::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTreeWidget::scrollTo(index, hint);
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void FolderTree::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = itemAt(event->pos());
    if (item == nullptr) return;
    setCurrentItem(item);
    const std::string path = PathOf(item);
    QMenu menu(this);
    menu.setDefaultAction(menu.addAction(QStringLiteral("Open"), this, [this, path] {
        if (const auto error = OpenWithDefaultProgram(platform_, path); error && onError)
            onError(*error);
    }));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cut"), this, [path] { CopyToClipboard(path, true); });
    menu.addAction(QStringLiteral("Copy"), this, [path] { CopyToClipboard(path, false); });
    menu.addAction(QStringLiteral("Paste"), this, [this, item, path] {
        std::string error;
        if (PasteInto(platform_, path, error)) refill(item);
        if (!error.empty() && onError) onError(error);
    });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Delete"), this, [this, item, path] {
        if (const auto error = MoveToTrash(platform_, path)) {
            if (onError) onError(*error);
        } else {
            delete item;
        }
    });
    menu.addAction(QStringLiteral("Properties"), this, [this, path] {
        ShowProperties(this, platform_, core::FolderEntry{path.substr(path.rfind('/') + 1), path});
    });
    menu.exec(event->globalPos());
}

}  // namespace dorvel::ui
