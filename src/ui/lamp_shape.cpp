#include "ui/lamp_shape.h"

#include <QPainter>

namespace tessaro {

LampShape::LampShape(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statusLamp"));
    setMinimumSize(14, 14);
}

void LampShape::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void LampShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = std::min(width(), height()) - 4;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    p.setPen(QPen(color_.darker(160), 1));
    p.setBrush(color_);
    p.drawEllipse(r);
}

} // namespace tessaro
