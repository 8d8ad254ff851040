#include "ui/qt/LettersView.h"
#include "ui/qt/PathText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include "core/Messages.h"
#include "core/Texts.h"
#include "ui/qt/Artwork.h"
#include "ui/qt/ShellActions.h"

namespace dorvel::ui {
namespace {

QString FromBytes(std::string_view bytes) { return ShownPath(bytes); }

// A type's description and icon, kept per type: the database reads a type's
// description from its own file each time it is asked.
struct TypeLook {
    QString comment;
    QIcon icon;
};

const TypeLook& LookOf(const QMimeType& type, bool folder) {
    static QHash<QString, TypeLook> cache;
    const QString key = folder ? QStringLiteral("inode/directory") : type.name();
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = folder ? FallbackFolderIcon() : FallbackFileIcon();
    return *cache.insert(key, {type.comment(), icon});
}

// Paints a cell as the style's own item delegate does, without laying its
// text out for eliding and wrapping: a cell is one short line, and this is
// most of the first paint of a big folder.
class LettersCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        painter->save();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        QRect text = opt.rect.adjusted(margin, 0, -margin, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        if (opt.features & QStyleOptionViewItem::HasDecoration) {
            const QSize size = opt.decorationSize;
            const QRect icon(text.left(), text.top() + (text.height() - size.height()) / 2,
                             size.width(), size.height());
            opt.icon.paint(painter, icon, Qt::AlignCenter,
                           selected ? QIcon::Selected : QIcon::Normal);
            text.setLeft(icon.right() + 1 + 2 * margin);
        }
        const QFontMetrics& metrics = opt.fontMetrics;
        // Fractional advances, as the style's layout places a right-aligned text.
        const QFontMetricsF exact(opt.font);
        QString shown = opt.text;
        qreal width = exact.horizontalAdvance(shown);
        if (width > text.width()) {
            shown = metrics.elidedText(shown, Qt::ElideRight, text.width());
            width = exact.horizontalAdvance(shown);
        }
        const qreal x =
            opt.displayAlignment & Qt::AlignRight ? text.right() + 1 - width : text.left();
        const int baseline = text.top() + (text.height() - metrics.height()) / 2 + metrics.ascent();
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : opt.state & QStyle::State_Active   ? QPalette::Active
                                                                              : QPalette::Inactive;
        painter->setPen(
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        painter->setClipRect(text);
        painter->drawText(QPointF(x, baseline), shown);
        painter->setClipping(false);
        if (opt.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
            focus.state = opt.state | QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.direction = opt.direction;
            focus.palette = opt.palette;
            focus.fontMetrics = opt.fontMetrics;
            focus.styleObject = opt.styleObject;
            focus.backgroundColor =
                opt.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
        painter->restore();
    }
};

}  // namespace

LettersModel::LettersModel(core::FolderListing& listing, platform::Platform& platform,
                           QObject* parent)
    : QAbstractTableModel(parent), listing_(listing), platform_(platform) {}

void LettersModel::relistWith(const std::function<void()>& change) {
    beginResetModel();
    details_.clear();
    change();
    endResetModel();
}

int LettersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listing_.count());
}

int LettersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const LettersModel::Details& LettersModel::details(int row) const {
    auto it = details_.find(row);
    if (it != details_.end()) return it->second;
    Details d;
    const auto index = static_cast<std::size_t>(row);
    const bool folder = listing_.isFolder(index);
    static const QMimeDatabase mimes;
    // By name only: reading every file's contents would cost what listing saves.
    const QMimeType type = folder ? mimes.mimeTypeForName(QStringLiteral("inode/directory"))
                                  : mimes.mimeTypeForFile(FromBytes(listing_.name(index)),
                                                          QMimeDatabase::MatchExtension);
    const TypeLook& look = LookOf(type, folder);
    d.type = look.comment;
    d.icon = look.icon;
    if (const auto info = platform_.inspect(listing_.fullPath(index))) {
        if (!folder) d.size = QString::fromUtf8(core::texts::SizeText(info->size));
        const QDateTime local = QDateTime::fromSecsSinceEpoch(info->modified);
        d.modified = QString::fromUtf8(
            core::texts::ModifiedText(local.date().year(), local.date().month(), local.date().day(),
                                      local.time().hour(), local.time().minute()));
    }
    return details_.emplace(row, std::move(d)).first->second;
}

QVariant LettersModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= listing_.count()) return {};
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            switch (index.column()) {
                case NameColumn:
                    return FromBytes(listing_.name(static_cast<std::size_t>(row)));
                case SizeColumn:
                    return details(row).size;
                case TypeColumn:
                    return details(row).type;
                case ModifiedColumn:
                    return details(row).modified;
                default:
                    return {};
            }
        case Qt::DecorationRole:
            return index.column() == NameColumn ? QVariant(details(row).icon) : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant LettersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) {
        return section == SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    return section >= 0 && section < ColumnCount
               ? QString::fromUtf8(core::texts::kLetterColumns[section].caption)
               : QString();
}

Qt::ItemFlags LettersModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == NameColumn) f |= Qt::ItemIsEditable;
    return f;
}

bool LettersModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != NameColumn) return false;
    const auto row = static_cast<std::size_t>(index.row());
    const std::string newName = PathBytes(value.toString());
    if (newName == listing_.name(row)) return false;
    if (!listing_.rename(row, newName)) {
        if (onError) onError(core::texts::RenameFailedText(newName));
        return false;
    }
    // Redrawn where it stands; the next listing sorts it.
    details_.erase(index.row());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

ShellListView::ShellListView(platform::Platform& platform, QWidget* parent)
    : QTableView(parent), platform_(platform), listing_(platform), model_(nullptr) {
    model_ = new LettersModel(listing_, platform_, this);
    model_->onError = [this](const std::string& text) { report(text); };
    setModel(model_);
    setItemDelegate(new LettersCellDelegate(this));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    // Tab leaves the view as it leaves every other control; walking the
    // cells with it would change the selected letter on the way.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setSortingEnabled(false);
    // The selection stays visible while another control has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = selectionModel()->selectedRows();
        listing_.select(rows.isEmpty() ? std::nullopt
                                       : std::optional<std::size_t>(rows.first().row()));
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { activate(index.row()); });
    rebuildColumns();
}

void ShellListView::report(const std::string& text) const {
    if (onError) onError(text);
}

void ShellListView::rebuildColumns() {
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    setColumnWidth(LettersModel::NameColumn, 25 * x);
    setColumnWidth(LettersModel::SizeColumn, 10 * x);
    setColumnWidth(LettersModel::TypeColumn, 10 * x);
    setColumnWidth(LettersModel::ModifiedColumn, 14 * x);
}

void ShellListView::relistWith(const std::function<void()>& change, bool keepSelection) {
    model_->relistWith(change);
    rebuildColumns();
    const auto selected = listing_.selectedIndex();
    if (keepSelection && selected) {
        const QSignalBlocker block(selectionModel());
        const QModelIndex index = model_->index(static_cast<int>(*selected), 0);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Refilled from the top; the re-selected row is not brought into view.
    verticalScrollBar()->setValue(0);
}

void ShellListView::setRoot(const std::string& text) {
    // A root that changes nothing, or that fails, must leave the rows, the
    // selection and the scroll position alone.
    if (listing_.hasRoot(text)) return;
    if (!listing_.folderForRoot(text)) listing_.setRoot(text);  // throws the path error
    std::exception_ptr failure;
    model_->relistWith([&] {
        try {
            listing_.setRoot(text);
        } catch (const core::PlatformError&) {
            failure = std::current_exception();  // the folder vanished meanwhile
        }
    });
    rebuildColumns();
    if (failure) std::rethrow_exception(failure);
}

void ShellListView::LoadTypes() {
    QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream"));
}

void ShellListView::adoptListing(core::FolderListing& listed) {
    model_->relistWith([&] { listing_.swapListing(listed); });
    rebuildColumns();
}

void ShellListView::ensureListed() {
    model_->relistWith([this] { listing_.ensureListed(); });
    rebuildColumns();
}

void ShellListView::Relist() {
    relistWith([this] { listing_.relist(); }, true);
}

void ShellListView::activate(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.count()) return;
    const auto index = static_cast<std::size_t>(row);
    if (listing_.isFolder(index)) {
        const std::string folder = listing_.fullPath(index);
        relistWith([&] { listing_.showFolder(folder); }, false);
    } else if (const auto error = OpenWithDefaultProgram(platform_, listing_.fullPath(index))) {
        report(*error);
    }
}

void ShellListView::showParent() {
    relistWith([this] { listing_.showParent(); }, false);
}

void ShellListView::showProperties(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.count()) return;
    ShowProperties(this, platform_, listing_.entry(static_cast<std::size_t>(row)));
}

void ShellListView::keyPressEvent(QKeyEvent* event) {
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    const bool alt = event->modifiers() == Qt::AltModifier;
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState) {
        if (alt) {
            showProperties(row);
        } else if (plain) {
            activate(row);
        }
        event->accept();
        return;
    }
    if (plain && event->key() == Qt::Key_Backspace && state() != EditingState) {
        showParent();
        event->accept();
        return;
    }
    // Ctrl+Tab leaves too, as in controls where Tab itself is taken.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier) && state() != EditingState) {
        const bool back = event->key() == Qt::Key_Backtab ||
                          (event->modifiers() & Qt::ShiftModifier) != Qt::NoModifier;
        focusNextPrevChild(!back);
        event->accept();
        return;
    }
    // Home and End go to the first and the last letter, as in the desktop's
    // list views; a table's own would stay in the row.
    if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) &&
        (event->modifiers() & Qt::ControlModifier) == 0 && state() != EditingState) {
        QKeyEvent toRow(event->type(), event->key(), event->modifiers() | Qt::ControlModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QTableView::keyPressEvent(&toRow);
        event->setAccepted(toRow.isAccepted());
        return;
    }
    if (plain && event->key() == Qt::Key_F5) {
        Relist();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ShellListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    QMenu menu(this);
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const int row = index.row();
        const std::string path = listing_.fullPath(static_cast<std::size_t>(row));
        QAction* open =
            menu.addAction(QStringLiteral("Open"), this, [this, row] { activate(row); });
        menu.setDefaultAction(open);
        menu.addSeparator();
        menu.addAction(QStringLiteral("Cut"), this, [path] { CopyToClipboard(path, true); });
        menu.addAction(QStringLiteral("Copy"), this, [path] { CopyToClipboard(path, false); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Delete"), this, [this, path] {
            if (const auto error = MoveToTrash(platform_, path)) {
                report(*error);
            } else {
                Relist();
            }
        });
        menu.addAction(QStringLiteral("Rename"), this, [this, index] {
            edit(index.sibling(index.row(), LettersModel::NameColumn));
        });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Properties"), this, [this, row] { showProperties(row); });
    } else {
        menu.addAction(QStringLiteral("Paste"), this, [this] {
            std::string error;
            if (PasteInto(platform_, listing_.displayedFolder(), error)) Relist();
            if (!error.empty()) report(error);
        });
    }
    menu.exec(event->globalPos());
}

}  // namespace dorvel::ui
