#include "ui/qt/CheckListBox.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/formats/CodePages.h"
#include "ui/qt/CheckListAccessible.h"

namespace dorvel::ui {
namespace {

// A line can be megabytes long; a row shows only its start.
constexpr std::size_t kShownBytes = 1024;

class CheckRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        painter->save();

        QStyleOptionButton box;
        box.rect = QRect(option.rect.left() + 1, option.rect.top() + 1,
                         CheckListBox::kCheckColumnWidth - 2, option.rect.height() - 2);
        box.state = QStyle::State_Enabled |
                    (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On
                                                                           : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);

        QRect text = option.rect;
        text.setLeft(option.rect.left() + CheckListBox::kCheckColumnWidth + 1);
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) painter->fillRect(text, option.palette.brush(QPalette::Highlight));
        painter->setFont(option.font);
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        // The row is shorter than the font's line height: keep the baseline
        // high enough for the underscore of every L_ to show.
        const int baseline = text.bottom() - 2;
        painter->setClipRect(text);
        painter->drawText(QPoint(text.left() + 1, baseline),
                          index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.rect = text;
            focus.palette = option.palette;
            focus.state = option.state;
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), CheckListBox::kRowHeight};
    }

    // The list toggles ticks itself; the delegate's own check-box handling
    // would toggle again on release, over a wider box than the column.
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                     const QModelIndex&) override {
        return false;
    }
};

}  // namespace

void RecipientModel::setRecipients(std::vector<core::Recipient>* recipients) {
    beginResetModel();
    recipients_ = recipients;
    endResetModel();
}

int RecipientModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || recipients_ == nullptr) return 0;
    return static_cast<int>(recipients_->size());
}

QVariant RecipientModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || recipients_ == nullptr) return {};
    const core::Recipient& r = (*recipients_)[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(
                platform::Cp1251ToUtf8(std::string_view(r.line).substr(0, kShownBytes)));
        case Qt::CheckStateRole:
            return r.ticked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool RecipientModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || recipients_ == nullptr || role != Qt::CheckStateRole) return false;
    (*recipients_)[static_cast<std::size_t>(index.row())].ticked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit tickChanged(index.row());
    return true;
}

Qt::ItemFlags RecipientModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Checkable, so that screen readers say "checked" and "not checked"; the
    // view alone decides what ticks (the delegate toggles nothing).
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void RecipientModel::toggle(int row) {
    const QModelIndex i = index(row);
    setData(i, data(i, Qt::CheckStateRole).toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked,
            Qt::CheckStateRole);
}

CheckListBox::CheckListBox(QWidget* parent) : QListView(parent), model_(new RecipientModel(this)) {
    CheckListAccessible::InstallFactory();
    setModel(model_);
    // New rows are new objects to a screen reader.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!QAccessible::isActive()) return;
        static_cast<CheckListAccessible*>(QAccessible::queryAccessibleInterface(this))
            ->forgetRows();
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    });
    // A screen reader hears "checked" or "not checked" as the tick changes.
    connect(model_, &RecipientModel::tickChanged, this, [this](int row) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    });
    setItemDelegate(new CheckRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(ListFont());
}

QFont CheckListBox::ListFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void CheckListBox::setRecipients(std::vector<core::Recipient>* recipients) {
    model_->setRecipients(recipients);
}

QModelIndex CheckListBox::checkBoxAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    if (!index.isValid() || position.x() - visualRect(index).left() >= kCheckColumnWidth) return {};
    return index;
}

bool CheckListBox::toggleAt(const QPoint& position) {
    const QModelIndex index = checkBoxAt(position);
    if (!index.isValid()) return false;
    setCurrentIndex(index);
    model_->toggle(index.row());
    return true;
}

void CheckListBox::mousePressEvent(QMouseEvent* event) {
    pressToggled_ = false;
    if (event->button() == Qt::LeftButton && toggleAt(event->position().toPoint())) {
        pressToggled_ = true;
        lastTogglePress_ = event->timestamp();
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void CheckListBox::mouseReleaseEvent(QMouseEvent* event) {
    // The press of this click toggled already; the view must not act on the
    // release as if it were its own click.
    if (event->button() == Qt::LeftButton && pressToggled_) {
        pressToggled_ = false;
        event->accept();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

// A double-click toggles twice and leaves the tick as it was. Some systems
// deliver the second click as a press followed by the double-click, others
// as the double-click alone: count it once either way.
void CheckListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && checkBoxAt(event->position().toPoint()).isValid()) {
        const bool secondPressSeen = pressToggled_ && lastTogglePress_ == event->timestamp();
        if (!secondPressSeen) {
            toggleAt(event->position().toPoint());
            pressToggled_ = true;
        }
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void CheckListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid()) model_->toggle(currentIndex().row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace dorvel::ui
