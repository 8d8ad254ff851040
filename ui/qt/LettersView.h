#pragma once
// The letters view: paints a folder listing as a detail view and forwards
// the operator's keys and clicks. Rows are made only for what is in sight;
// size, type, date and icon are looked up per visible row and kept.

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/FolderListing.h"
#include "core/MainForm.h"
#include "platform/Platform.h"

namespace dorvel::ui {

class LettersModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, TypeColumn, ModifiedColumn, ColumnCount };

    LettersModel(core::FolderListing& listing, platform::Platform& platform,
                 QObject* parent = nullptr);

    // Runs a change of the listing as one reset of the model.
    void relistWith(const std::function<void()>& change);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Where a refused rename is reported.
    std::function<void(const std::string&)> onError;

private:
    struct Details {
        QString size, type, modified;
        QIcon icon;
    };
    const Details& details(int row) const;

    core::FolderListing& listing_;
    platform::Platform& platform_;
    mutable std::unordered_map<int, Details> details_;  // rows that have been in sight
};

class ShellListView final : public QTableView, public core::LettersView {
    Q_OBJECT
public:
    ShellListView(platform::Platform& platform, QWidget* parent = nullptr);

    // Throws core::PlatformError "Error setting path" when the text names no
    // folder; root and listing then stay as they were.
    void setRoot(const std::string& text) override;
    const std::string& root() const override { return listing_.root(); }
    void ensureListed() override;
    // Shows a listing made before the view existed, as setting its root would.
    void adoptListing(core::FolderListing& listed) override;
    // Loads the file types that the type column shows; the first paint of
    // any view needs them, so a start can load them while it waits.
    static void LoadTypes();

    void Relist() override;
    std::optional<core::FolderEntry> SelectedEntry() const override {
        return listing_.selectedEntry();
    }
    core::FolderEntry Entry(std::size_t i) const { return listing_.entry(i); }
    std::size_t Count() const { return listing_.count(); }
    const core::FolderListing& listing() const override { return listing_; }

    // Enter on a folder shows it; on a file opens it with its default program.
    void activate(int row);
    void showParent();
    void showProperties(int row);

    // Where errors of the operator's actions are shown.
    std::function<void(const std::string&)> onError;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void relistWith(const std::function<void()>& change, bool keepSelection);
    void rebuildColumns();
    void report(const std::string& text) const;

    platform::Platform& platform_;
    core::FolderListing listing_;
    LettersModel* model_;
};

}  // namespace dorvel::ui
