#include "ui/available_items_box.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QWheelEvent>

#include "ui/drag_objects.h"

namespace tessaro {

AvailableItemsBox::AvailableItemsBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("availableItems"));
    setMaxVisibleItems(16);
    // A plain list popup: styles that show every entry at once would drop the box down to
    // the screen's full height.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    view()->installEventFilter(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!stepping_)
            Q_EMIT itemPicked(index);
    });
}

void AvailableItemsBox::setMenuOpen(bool open)
{
    setEnabled(open);
    // The entries are there all along (the profile's items), but none is picked and the box is
    // off until a menu is open: blank, it would look broken.
    setPlaceholderText(open ? QString() : tr("Open a menu first"));
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

void AvailableItemsBox::showPopup()
{
    setFilter({});
    QComboBox::showPopup();
}

void AvailableItemsBox::hidePopup()
{
    QComboBox::hidePopup();
    setFilter({});
}

QString AvailableItemsBox::shownText() const
{
    if (!filter_.isEmpty())
        return tr("Filter: %1").arg(filter_);
    return currentIndex() >= 0 ? currentText() : placeholderText();
}

void AvailableItemsBox::paintEvent(QPaintEvent* event)
{
    if (filter_.isEmpty()) {
        QComboBox::paintEvent(event);
        return;
    }
    // The list drops down below (or above) the box, which stays in sight: what was typed is
    // shown there, where the entry would be.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = shownText();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void AvailableItemsBox::setFilter(const QString& text)
{
    filter_ = text;
    update();
    auto* list = qobject_cast<QListView*>(view());
    if (!list)
        return;
    int first = -1;
    for (int row = 0; row < count(); ++row) {
        const bool shown = itemText(row).contains(text, Qt::CaseInsensitive);
        list->setRowHidden(row, !shown);
        if (shown && first < 0)
            first = row;
    }
    if (!text.isEmpty() && first >= 0)
        list->setCurrentIndex(model()->index(first, modelColumn()));
}

bool AvailableItemsBox::eventFilter(QObject* watched, QEvent* event)
{
    // Typing in the dropped-down list keeps only the entries that hold what was typed.
    if (watched == view() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace && !filter_.isEmpty()) {
            setFilter(filter_.chopped(1));
            return true;
        }
        const QString typed = key->text();
        if (!typed.isEmpty() && typed.at(0).isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            setFilter(filter_ + typed);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
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
