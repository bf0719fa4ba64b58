#include "ui/drag_objects.h"

namespace tessaro {

AvailableItemDrag::AvailableItemDrag(std::string displayText, size_t index)
    : displayText_(std::move(displayText)), index_(index)
{
    setData(QString::fromLatin1(mimeType()), QByteArray::number(static_cast<qulonglong>(index)));
    setText(QString::fromStdString(displayText_));
}

TreeNodeDrag::TreeNodeDrag(MenuNode* node, const QObject* origin) : node_(node), origin_(origin)
{
    setData(QString::fromLatin1(mimeType()), QByteArray());
}

} // namespace tessaro
