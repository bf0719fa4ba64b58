#include "ui/app_icons.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace tessaro {

namespace {

// A picture drawn in a design square of `design` units.
struct Drawing {
    qreal design = 32;
    QList<QSize> sizes; // the sizes it is usually asked for, as a window icon too
    std::function<void(QPainter&)> draw;
};

// Paints a drawing at the size it is asked for, in device pixels, when it is first asked for,
// and keeps it: an icon costs nothing until it is shown and stays sharp at any screen scale.
class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(std::shared_ptr<const Drawing> drawing) : drawing_(std::move(drawing)) {}

    QIconEngine* clone() const override { return new DrawnIconEngine(drawing_); }
    QString key() const override { return QStringLiteral("tessaro-drawn"); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return drawing_->sizes; }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        const auto key = std::make_pair(side, mode);
        if (const auto kept = painted_.find(key); kept != painted_.end())
            return kept->second;
        QPixmap pm = paintNormal(side);
        if (mode != QIcon::Normal) {
            // Disabled and selected pictures as the style makes them of the normal one.
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        painted_.emplace(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * scale, mode, state);
        pm.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, pm);
    }

private:
    QPixmap paintNormal(int side) const
    {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side / drawing_->design, side / drawing_->design);
        drawing_->draw(p);
        return pm;
    }

    std::shared_ptr<const Drawing> drawing_;
    std::map<std::pair<int, QIcon::Mode>, QPixmap> painted_;
};

QIcon drawnIcon(qreal design, QList<QSize> sizes, std::function<void(QPainter&)> draw)
{
    return QIcon(
        new DrawnIconEngine(std::make_shared<const Drawing>(Drawing{design, std::move(sizes), std::move(draw)})));
}

QIcon smallIcon(std::function<void(QPainter&)> draw)
{
    return drawnIcon(32, {{16, 16}, {24, 24}, {32, 32}, {48, 48}}, std::move(draw));
}

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

const QColor kInk(40, 40, 48);

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
        p.setPen(QPen(kInk, 1.5));
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

QIcon openDocumentIcon()
{
    return smallIcon([](QPainter& p) {
        // A folder with its front flap open.
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xd9, 0xa4, 0x41));
        QPainterPath back;
        back.moveTo(3, 26);
        back.lineTo(3, 7);
        back.lineTo(11, 7);
        back.lineTo(14, 10);
        back.lineTo(25, 10);
        back.lineTo(25, 14);
        p.drawPath(back);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 12, 16, 10));
        p.setBrush(QColor(0xf2, 0xc9, 0x6b));
        QPainterPath flap;
        flap.moveTo(3, 26);
        flap.lineTo(8, 15);
        flap.lineTo(30, 15);
        flap.lineTo(25, 26);
        flap.closeSubpath();
        p.drawPath(flap);
    });
}

QIcon saveDocumentIcon()
{
    return smallIcon([](QPainter& p) {
        // A floppy disk: body, label, metal shutter.
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x3a, 0x6e, 0xb5));
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 16, 16, 12));
        p.setBrush(QColor(0xc8, 0xcc, 0xd4));
        p.drawRect(QRectF(10, 4, 11, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(17, 5.5, 2.5, 5));
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
    // The same picture as packaging/icons/org.tessaro.Tessaro.svg, in its 256-unit square. Its
    // sizes are those a window manager picks from for the window icon.
    return drawnIcon(256, {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}, [](QPainter& p) {
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
