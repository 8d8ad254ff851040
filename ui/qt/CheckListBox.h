#pragma once
// The recipient check-list: one row per recipient line with a check box in
// front. Only a click inside the check-box column or the space key toggles
// a tick; the highlight covers the text, not the box.

#include <QAbstractListModel>
#include <QListView>
#include <vector>

#include "core/RecipientList.h"

namespace dorvel::ui {

class RecipientModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RecipientModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    void setRecipients(std::vector<core::Recipient>* recipients);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void toggle(int row);

signals:
    void tickChanged(int row);

private:
    std::vector<core::Recipient>* recipients_ = nullptr;
};

class CheckListBox final : public QListView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 13;
    static constexpr int kCheckColumnWidth = 13;

    explicit CheckListBox(QWidget* parent = nullptr);

    void setRecipients(std::vector<core::Recipient>* recipients);
    RecipientModel* recipientModel() const { return model_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The recipients' fixed-pitch font.
    static QFont ListFont();
    QModelIndex checkBoxAt(const QPoint& position) const;
    bool toggleAt(const QPoint& position);

    RecipientModel* model_;
    // When the last press toggled a box: a double-click that follows the
    // second press of the same click is not counted again.
    quint64 lastTogglePress_ = 0;
    bool pressToggled_ = false;
};

}  // namespace dorvel::ui
