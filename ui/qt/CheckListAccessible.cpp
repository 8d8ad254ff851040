#include "ui/qt/CheckListAccessible.h"

#include <QItemSelectionModel>
#include <QPointer>

#include "ui/qt/CheckListBox.h"

namespace dorvel::ui {
namespace {

class RowAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RowAccessible(CheckListBox* list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return !list_.isNull() && row_ < rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return list_.isNull() ? nullptr : list_->window()->windowHandle();
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) return {};
        return index().data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = list_->visualRect(index());
        return QRect(list_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        s.checkable = true;
        s.checked = index().data(Qt::CheckStateRole).toInt() == Qt::Checked;
        s.selected = list_->selectionModel()->isSelected(index());
        s.focused = list_->hasFocus() && list_->currentIndex() == index();
        const QRect shown = list_->viewport()->rect();
        if (!shown.intersects(list_->visualRect(index()))) s.offscreen = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        // The row's action ticks it, as Space does; it never just selects.
        if (name == toggleAction() && isValid()) list_->recipientModel()->toggle(row_);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    int rowCount() const { return list_->model()->rowCount(); }
    QModelIndex index() const { return list_->model()->index(row_, 0); }

    QPointer<CheckListBox> list_;
    int row_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<CheckListBox*>(object)) return new CheckListAccessible(list);
    return nullptr;
}

}  // namespace

CheckListAccessible::CheckListAccessible(CheckListBox* list)
    : QAccessibleWidget(list, QAccessible::List) {}

CheckListAccessible::~CheckListAccessible() { forgetRows(); }

void CheckListAccessible::InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

CheckListBox* CheckListAccessible::list() const { return static_cast<CheckListBox*>(widget()); }

int CheckListAccessible::childCount() const { return list()->model()->rowCount(); }

QAccessibleInterface* CheckListAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    if (rows_.size() < static_cast<std::size_t>(childCount())) rows_.resize(childCount(), 0);
    QAccessible::Id& id = rows_[static_cast<std::size_t>(index)];
    if (id == 0) id = QAccessible::registerAccessibleInterface(new RowAccessible(list(), index));
    return QAccessible::accessibleInterface(id);
}

int CheckListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) return -1;
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] == id) return static_cast<int>(i);
    }
    return -1;
}

QAccessibleInterface* CheckListAccessible::focusChild() const {
    const QModelIndex current = list()->currentIndex();
    return list()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}

QAccessible::State CheckListAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = false;
    return s;
}

void CheckListAccessible::forgetRows() {
    for (const QAccessible::Id id : rows_) {
        if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }
    rows_.clear();
}

}  // namespace dorvel::ui
