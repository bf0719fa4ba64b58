#include "ui/phone_screen_painter.h"

#include <QPainter>
#include <QPainterPath>

namespace tessaro {

namespace {

// The phone's colours: a light screen, a dark title and softkey band, an amber selection.
const QColor kScreen(0xF4, 0xF6, 0xF8);
const QColor kBand(0x23, 0x3A, 0x5E);
const QColor kBandText(0xFF, 0xFF, 0xFF);
const QColor kText(0x1A, 0x1A, 0x1A);
const QColor kSelection(0xF2, 0xB1, 0x34);

QRect rectOf(const ScreenRect& rect)
{
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

QString textOf(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

void setPixelFont(QPainter& painter, int barHeight)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(8, barHeight * 11 / 20));
    painter.setFont(font);
}

// The picture centred in `area`, made smaller (never larger) to fit.
void drawPicture(QPainter& painter, const QImage& image, const QRect& area)
{
    QSize size = image.size();
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                       size.width(), size.height());
    painter.drawImage(target, image);
}

void drawText(QPainter& painter, const QRect& area, const QString& text, int flags)
{
    painter.drawText(area, flags, painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
}

} // namespace

IconPictures::Decoded& IconPictures::decoded(const IconLook& look)
{
    const void* key = look.gif.get();
    auto found = decoded_.find(key);
    if (found != decoded_.end())
        return found->second;
    Decoded entry;
    entry.gif = look.gif;
    if (look.gif) {
        const QByteArray bytes =
            QByteArray::fromRawData(reinterpret_cast<const char*>(look.gif->data()), qsizetype(look.gif->size()));
        entry.image = QImage::fromData(bytes, "GIF").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (!entry.image.isNull())
            entry.icon =
                QIcon(QPixmap::fromImage(entry.image.width() > 16 || entry.image.height() > 16
                                             ? entry.image.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                             : entry.image));
    }
    return decoded_.emplace(key, std::move(entry)).first->second;
}

QImage IconPictures::picture(const IconLook& look)
{
    if (look.state != IconState::Shown || !look.gif)
        return {};
    return decoded(look).image;
}

QIcon IconPictures::treeIcon(const IconLook& look)
{
    if (look.state == IconState::Shown && look.gif) {
        const Decoded& entry = decoded(look);
        if (!entry.icon.isNull())
            return entry.icon;
    }
    const IconState shown = look.state == IconState::Shown ? IconState::Unreadable : look.state;
    const int kind = look.isProblem() || shown == IconState::Unreadable ? 1 : 0;
    auto found = marks_.find(kind);
    if (found == marks_.end())
        found = marks_.emplace(kind, QIcon(QPixmap::fromImage(mark(shown, 16)))).first;
    return found->second;
}

QImage IconPictures::mark(IconState state, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool problem = state == IconState::Missing || state == IconState::Unreadable;
    const QColor line = problem ? QColor(0xC0, 0x39, 0x2B) : QColor(0x9A, 0xA0, 0xA6);
    const qreal width = std::max(1.0, size / 12.0);
    const QRectF frame(width, width, size - 2 * width, size - 2 * width);
    painter.setPen(QPen(line, width));
    painter.setBrush(problem ? QColor(0xFD, 0xED, 0xEC) : QColor(0xE8, 0xEA, 0xED));
    painter.drawRoundedRect(frame, size / 5.0, size / 5.0);
    if (problem) {
        QFont font = painter.font();
        font.setPixelSize(std::max(6, size * 3 / 4));
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(frame, Qt::AlignCenter, QStringLiteral("!"));
    }
    return image;
}

void IconPictures::clear()
{
    decoded_.clear();
}

void paintScreen(QPainter& painter, const ScreenLayout& layout, IconPictures& pictures, const QImage* animatedFrame)
{
    painter.save();
    const QRect screen(0, 0, layout.screen.width, layout.screen.height);
    painter.fillRect(screen, kScreen);
    setPixelFont(painter, layout.titleBar.height);

    const QRect titleBar = rectOf(layout.titleBar);
    painter.fillRect(titleBar, kBand);
    painter.setPen(kBandText);
    QRect titleText = titleBar.adjusted(4, 0, -4, 0);
    if (layout.pages > 1) {
        const QString page = QStringLiteral("%1/%2").arg(layout.page + 1).arg(layout.pages);
        painter.drawText(titleText, Qt::AlignRight | Qt::AlignVCenter, page);
        titleText.setRight(titleText.right() - painter.fontMetrics().horizontalAdvance(page) - 4);
    }
    drawText(painter, titleText, textOf(layout.title),
             (layout.style == MenuStyle::Grid ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);

    painter.setRenderHint(QPainter::Antialiasing);
    for (const ScreenCell& cell : layout.cells) {
        const QRect rect = rectOf(cell.rect);
        if (cell.selected) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kSelection);
            painter.drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), 4, 4);
        }
        const QRect iconArea = rectOf(cell.iconRect);
        const IconLook& look =
            cell.selected && cell.animatedLook.state == IconState::Shown ? cell.animatedLook : cell.look;
        QImage image =
            cell.selected && animatedFrame && !animatedFrame->isNull() ? *animatedFrame : pictures.picture(look);
        if (image.isNull()) {
            const int side = std::min(iconArea.width(), iconArea.height()) * 3 / 5;
            image = IconPictures::mark(look.state == IconState::Shown ? IconState::Unreadable : look.state,
                                       std::max(6, side));
        }
        drawPicture(painter, image, iconArea);
        if (layout.style == MenuStyle::List) {
            painter.setPen(kText);
            drawText(painter, rectOf(cell.textRect), textOf(cell.title), Qt::AlignLeft | Qt::AlignVCenter);
        }
    }

    const QRect softkeys = rectOf(layout.softkeyBar);
    painter.fillRect(softkeys, kBand);
    painter.setPen(kBandText);
    const QRect half(softkeys.x() + 4, softkeys.y(), softkeys.width() / 2 - 6, softkeys.height());
    drawText(painter, half, textOf(layout.leftSoftkey), Qt::AlignLeft | Qt::AlignVCenter);
    drawText(painter, half.translated(softkeys.width() / 2, 0), textOf(layout.rightSoftkey),
             Qt::AlignRight | Qt::AlignVCenter);
    painter.restore();
}

QImage renderScreen(const ScreenLayout& layout, IconPictures& pictures)
{
    QImage image(layout.screen.width, layout.screen.height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    paintScreen(painter, layout, pictures);
    painter.end();
    return image;
}

} // namespace tessaro
