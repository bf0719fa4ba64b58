#pragma once
// `ComboBox1`: the available mma items, 16 entries visible when dropped down. Its index is an
// index into the available items. Dragging the box starts a `AvailableItemDrag` of the entry
// shown; a plain click drops the list down as usual.

#include <QComboBox>
#include <QPoint>

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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint pressPos_;
    bool pressed_ = false;
};

} // namespace tessaro
