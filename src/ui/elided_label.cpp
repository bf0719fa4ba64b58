#include "ui/elided_label.h"

#include <QPainter>
#include <QStyle>

namespace tessaro {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
}

QString ElidedLabel::shownText() const
{
    const int room = contentsRect().width() - 2 * margin() - 2 * indent();
    return fontMetrics().elidedText(text(), Qt::ElideRight, qMax(0, room));
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QSize full = QLabel::minimumSizeHint();
    const int few = fontMetrics().horizontalAdvance(QStringLiteral("Wwww…"));
    return {qMin(full.width(), few), full.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QString shown = shownText();
    setToolTip(shown == text() ? QString() : text());
    style()->drawItemText(&painter, contentsRect(), int(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), shown, foregroundRole());
}

} // namespace tessaro
