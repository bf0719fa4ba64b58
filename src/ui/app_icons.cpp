#include "ui/app_icons.h"

#include <algorithm>
#include <cmath>
#include <functional>

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

constexpr qreal kScales[] = {1.0, 1.5, 2.0, 3.0};

// An icon whose pictures `draw` paints in a design square of `design` units, rendered for each
// logical size and screen scale rather than scaled from one bitmap.
QIcon drawnIcon(qreal design, std::initializer_list<int> sizes, const std::function<void(QPainter&)>& draw)
{
    QIcon icon;
    for (const int size : sizes) {
        for (const qreal scale : kScales) {
            const int pixels = int(std::lround(size * scale));
            QPixmap pm(pixels, pixels);
            pm.setDevicePixelRatio(scale);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / design, size / design);
            draw(p);
            p.end();
            icon.addPixmap(pm);
        }
    }
    return icon;
}

QIcon smallIcon(const std::function<void(QPainter&)>& draw)
{
    return drawnIcon(32, {16, 20, 24, 32, 48}, draw);
}

} // namespace

QIcon phoneCommandIcon(PhoneGlyph glyph)
{
    return smallIcon([glyph](QPainter& p) {
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
    });
}

QIcon newDocumentIcon()
{
    return smallIcon([](QPainter& p) {
        // A white page with a folded corner and a green plus: clearly a live command.
        QPainterPath page;
        page.moveTo(6, 3);
        page.lineTo(19, 3);
        page.lineTo(26, 10);
        page.lineTo(26, 29);
        page.lineTo(6, 29);
        page.closeSubpath();
        p.setPen(QPen(QColor(40, 40, 48), 1.5));
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.setBrush(QColor(200, 210, 225));
        QPainterPath fold;
        fold.moveTo(19, 3);
        fold.lineTo(19, 10);
        fold.lineTo(26, 10);
        fold.closeSubpath();
        p.drawPath(fold);
        p.setPen(QPen(QColor(20, 140, 60), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 14), QPointF(16, 26));
        p.drawLine(QPointF(10, 20), QPointF(22, 20));
    });
}

QIcon trayImage(int number)
{
    const bool connected = number == 14;
    return smallIcon([connected](QPainter& p) {
        drawPhone(p, QRectF(8, 2, 16, 28), connected ? QColor(90, 220, 90) : QColor(150, 150, 150));
    });
}

QIcon applicationIcon()
{
    // The same picture as packaging/icons/org.tessaro.Tessaro.svg, in its 256-unit square.
    return drawnIcon(256, {16, 24, 32, 48, 64, 128, 256}, [](QPainter& p) {
        const QColor ink(0x28, 0x2a, 0x33);
        QLinearGradient body(60, 12, 196, 244);
        body.setColorAt(0, QColor(0x6f, 0x74, 0x86));
        body.setColorAt(1, QColor(0x3c, 0x40, 0x4c));
        p.setPen(QPen(ink, 6));
        p.setBrush(body);
        p.drawRoundedRect(QRectF(60, 12, 136, 232), 26, 26);
        QLinearGradient screen(0, 36, 0, 148);
        screen.setColorAt(0, QColor(0xbf, 0xe0, 0xff));
        screen.setColorAt(1, QColor(0x86, 0xbd, 0xf2));
        p.setPen(QPen(ink, 3));
        p.setBrush(screen);
        p.drawRoundedRect(QRectF(78, 36, 100, 112), 6, 6);
        // The menu tree: a root and its items.
        const QColor tree(0x1d, 0x4f, 0x8f);
        p.setPen(QPen(tree, 5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(94, 56), QPointF(94, 128));
        for (const qreal y : {78.0, 103.0, 128.0})
            p.drawLine(QPointF(94, y), QPointF(108, y));
        p.setPen(Qt::NoPen);
        p.setBrush(tree);
        p.drawRoundedRect(QRectF(88, 48, 34, 14), 3, 3);
        p.drawRoundedRect(QRectF(112, 71, 54, 14), 3, 3);
        p.drawRoundedRect(QRectF(112, 121, 50, 14), 3, 3);
        p.setBrush(QColor(0xe0, 0x70, 0x2a));
        p.drawRoundedRect(QRectF(112, 96, 44, 14), 3, 3);
        // The keypad.
        p.setBrush(QColor(0xdc, 0xdd, 0xe3));
        p.drawRoundedRect(QRectF(84, 162, 88, 14), 7, 7);
        for (const qreal y : {196.0, 222.0})
            for (const qreal x : {96.0, 128.0, 160.0})
                p.drawEllipse(QPointF(x, y), 8, 8);
    });
}

} // namespace tessaro
