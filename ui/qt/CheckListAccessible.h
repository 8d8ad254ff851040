#pragma once
// What a screen reader is told of the recipient list: a list of check
// boxes, one per row, named by the recipient line, checked when ticked,
// whose one action ticks or unticks. Qt's own view of a list says "list
// item" and, on Linux, never passes on that a row can be checked, so an
// unticked row sounds like any other.

#include <QAccessibleWidget>
#include <vector>

namespace dorvel::ui {

class CheckListBox;

class CheckListAccessible final : public QAccessibleWidget {
public:
    explicit CheckListAccessible(CheckListBox* list);
    ~CheckListAccessible() override;

    // Installed once: Qt then asks it for every check list's interface.
    static void InstallFactory();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessible::State state() const override;

    CheckListBox* list() const;
    // The rows' interfaces are made once each and dropped when the rows
    // change, so that a reader's cached objects stay valid between calls.
    void forgetRows();

private:
    // Registered ids, 0 for a row not asked for yet.
    mutable std::vector<QAccessible::Id> rows_;
};

}  // namespace dorvel::ui
