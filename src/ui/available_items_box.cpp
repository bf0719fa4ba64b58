#include "ui/available_items_box.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "ui/drag_objects.h"

namespace tessaro {

AvailableItemsBox::AvailableItemsBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("availableItems"));
    setMaxVisibleItems(16);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!stepping_)
            Q_EMIT itemPicked(index);
    });
}

void AvailableItemsBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex() >= 0) {
        Q_EMIT itemPicked(currentIndex());
        event->accept();
        return;
    }
    stepping_ = true;
    QComboBox::keyPressEvent(event);
    stepping_ = false;
}

void AvailableItemsBox::wheelEvent(QWheelEvent* event)
{
    stepping_ = true;
    QComboBox::wheelEvent(event);
    stepping_ = false;
}

void AvailableItemsBox::fill(const std::vector<ItemEntry>& available)
{
    const QSignalBlocker block(this);
    clear();
    for (const ItemEntry& e : available)
        addItem(QString::fromStdString(e.displayName));
    setCurrentIndex(-1);
}

void AvailableItemsBox::mousePressEvent(QMouseEvent* event)
{
    // The list drops down on release, so that pressing and moving can start a drag instead.
    if (event->button() == Qt::LeftButton && currentIndex() >= 0) {
        pressed_ = true;
        pressPos_ = event->position().toPoint();
        event->accept();
        return;
    }
    QComboBox::mousePressEvent(event);
}

void AvailableItemsBox::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ && (event->position().toPoint() - pressPos_).manhattanLength()
                        >= QApplication::startDragDistance()) {
        pressed_ = false;
        auto* drag = new QDrag(this);
        drag->setMimeData(new AvailableItemDrag(currentText().toStdString(),
                                            static_cast<size_t>(currentIndex())));
        drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
        return;
    }
    QComboBox::mouseMoveEvent(event);
}

void AvailableItemsBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressed_) {
        pressed_ = false;
        showPopup();
        event->accept();
        return;
    }
    QComboBox::mouseReleaseEvent(event);
}

} // namespace tessaro
