#pragma once
// `AvailableItemsBox`: the available mma items, 16 entries visible when dropped down; typing in
// the dropped-down list keeps the entries that hold the typed text (Backspace takes back). Its
// index is an index into the available items. Dragging the box starts a `AvailableItemDrag` of
// the entry shown; a plain click drops the list down as usual. A pick is a choice in the
// dropped-down list (mouse or Enter) or Enter on the closed box, not an arrow key or wheel
// step through it.

#include <QComboBox>
#include <QPoint>
#include <QString>

#include <vector>

#include "core/item_lists.h"

namespace tessaro {

class AvailableItemsBox : public QComboBox {
    Q_OBJECT
public:
    explicit AvailableItemsBox(QWidget* parent = nullptr);

    // Refills the box with the display names of the available items; no entry is selected
    // afterwards.
    void fill(const std::vector<ItemEntry>& available);

    // Enabled while a menu is open. Without one the box is off and, in place of an entry,
    // says that a menu comes first.
    void setMenuOpen(bool open);

    void showPopup() override;
    void hidePopup() override;
    // The text typed into the dropped-down list.
    const QString& filter() const { return filter_; }
    // What the box itself shows: "Filter: TEXT" while text is typed into the list, else the
    // current entry (or the placeholder).
    QString shownText() const;

Q_SIGNALS:
    // The user picked the entry at `index`.
    void itemPicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint pressPos_;
    bool pressed_ = false;
    // An arrow key or wheel step is moving the current entry.
    bool stepping_ = false;
    QString filter_;

    void setFilter(const QString& text);
};

} // namespace tessaro
