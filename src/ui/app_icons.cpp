#include "ui/app_icons.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tessaro {

namespace {

// A candy-bar phone in a 32×32 cell: body, screen, keypad dots.
void drawPhone(QPainter& p, const QRectF& body, const QColor& screen)
{
    p.setPen(QPen(QColor(40, 40, 48), 1.5));
    p.setBrush(QColor(92, 96, 110));
    p.drawRoundedRect(body, 3, 3);
    const QRectF scr(body.left() + 2.5, body.top() + 3, body.width() - 5, body.height() * 0.38);
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(scr);
    p.setBrush(QColor(220, 220, 225));
    const qreal top = scr.bottom() + 2.5;
    const qreal step = (body.width() - 5) / 3.0;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawEllipse(QPointF(body.left() + 2.5 + step * (col + 0.5), top + row * 3.2 + 1.2), 1.0, 1.0);
}

void drawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color)
{
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF dir = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
    const QPointF normal(-dir.y(), dir.x());
    QPainterPath head;
    head.moveTo(to + dir * 3);
    head.lineTo(to - dir * 4 + normal * 4.5);
    head.lineTo(to - dir * 4 - normal * 4.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

QPixmap canvas()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

QIcon phoneCommandIcon(PhoneGlyph glyph)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawPhone(p, QRectF(3, 3, 15, 26), QColor(150, 200, 255));
    const QColor blue(30, 100, 200);
    switch (glyph) {
    case PhoneGlyph::OpenFromPhone: drawArrow(p, QPointF(19, 10), QPointF(27, 22), blue); break;
    case PhoneGlyph::SaveToPhone: drawArrow(p, QPointF(28, 22), QPointF(21, 11), QColor(20, 140, 60)); break;
    case PhoneGlyph::Restart: {
        p.setPen(QPen(QColor(200, 90, 20), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(17, 10, 12, 12), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(26.5, 6.5);
        head.lineTo(30.5, 12.5);
        head.lineTo(24.0, 12.5);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 90, 20));
        p.drawPath(head);
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

QIcon trayImage(int number)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const bool connected = number == 14;
    drawPhone(p, QRectF(8, 2, 16, 28), connected ? QColor(90, 220, 90) : QColor(150, 150, 150));
    p.end();
    return QIcon(pm);
}

} // namespace tessaro
