#include "ui/wrapping_command_button.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionToolButton>

#include <algorithm>

#include "ui/mnemonics.h"

namespace tessaro {

namespace {

// Room around the contents, between the icon and the texts and between caption and note.
constexpr int kMargin = 6;
constexpr int kIconGap = 8;
constexpr int kLineGap = 2;
// Wrapped texts are measured in a rectangle this high: never the limit.
constexpr int kTall = 10000;
constexpr int kNoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// The widest word of `text` (mnemonic marks left out) in `metrics`.
int widestWord(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& word : withoutMnemonics(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

WrappingCommandButton::WrappingCommandButton(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setText(caption);
    setIconSize(QSize(20, 20));
    // The panel shows under the pointer, so the button is told when it comes and goes.
    setAttribute(Qt::WA_Hover);
    // Buttons are fixed in height and no narrower than their hint; this one gives way in width
    // and grows in height as its texts wrap.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void WrappingCommandButton::setNote(const QString& note)
{
    if (note == note_)
        return;
    note_ = note;
    updateGeometry();
    update();
}

QFont WrappingCommandButton::captionFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

int WrappingCommandButton::textFlags() const
{
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this))
        flags |= Qt::TextHideMnemonic;
    return flags;
}

int WrappingCommandButton::textWidth(int width) const
{
    return std::max(1, width - 2 * kMargin - iconSize().width() - kIconGap);
}

int WrappingCommandButton::captionHeight(int width) const
{
    return QFontMetrics(captionFont()).boundingRect(QRect(0, 0, width, kTall), textFlags(), text()).height();
}

int WrappingCommandButton::noteHeight(int width) const
{
    if (note_.isEmpty())
        return 0;
    return kLineGap + fontMetrics().boundingRect(QRect(0, 0, width, kTall), kNoteFlags, note_).height();
}

QSize WrappingCommandButton::sizeHint() const
{
    const QFontMetrics caption(captionFont());
    const int texts =
        std::max(caption.size(Qt::TextShowMnemonic, text()).width(), fontMetrics().size(0, note_).width());
    const int width = 2 * kMargin + iconSize().width() + kIconGap + texts;
    return {width, heightForWidth(width)};
}

QSize WrappingCommandButton::minimumSizeHint() const
{
    const int texts = std::max(widestWord(QFontMetrics(captionFont()), text()), widestWord(fontMetrics(), note_));
    // The height is the least it ever needs, on one line each; a narrower button asks for more
    // through heightForWidth().
    return {2 * kMargin + iconSize().width() + kIconGap + texts, sizeHint().height()};
}

int WrappingCommandButton::heightForWidth(int width) const
{
    const int room = textWidth(width);
    return 2 * kMargin + std::max(iconSize().height(), captionHeight(room) + noteHeight(room));
}

void WrappingCommandButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The tool bar's look: a panel only under the pointer or while pressed. The texts stand on
    // the view's background, so they take its colours.
    QStyleOptionToolButton panel;
    panel.initFrom(this);
    panel.state |= QStyle::State_AutoRaise;
    if (isDown())
        panel.state |= QStyle::State_Sunken;
    else if (isEnabled() && underMouse())
        panel.state |= QStyle::State_Raised;
    if (panel.state & (QStyle::State_Sunken | QStyle::State_Raised))
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &panel, &painter, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }

    const QRect inside = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QPixmap picture =
        icon().pixmap(iconSize(), devicePixelRatioF(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    painter.drawPixmap(inside.topLeft(), picture);

    const int left = inside.left() + iconSize().width() + kIconGap;
    const int room = textWidth(width());
    const int captionTall = captionHeight(room);
    painter.setFont(captionFont());
    style()->drawItemText(&painter, QRect(left, inside.top(), room, captionTall), textFlags(), palette(), isEnabled(),
                          text(), QPalette::Text);
    if (note_.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::PlaceholderText));
    painter.drawText(QRect(left, inside.top() + captionTall + kLineGap, room, kTall), kNoteFlags, note_);
}

} // namespace tessaro
