#include "ui/up_down_arrows.h"

#include <QToolButton>

namespace tessaro {

namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow, const char* name)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    // The number field keeps the focus while the arrows are used.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(makeArrow(this, Qt::UpArrow, "Up")),
      down_(makeArrow(this, Qt::DownArrow, "Down"))
{
    connect(up_, &QToolButton::clicked, this, &UpDownArrows::upClicked);
    connect(down_, &QToolButton::clicked, this, &UpDownArrows::downClicked);
}

void UpDownArrows::resizeEvent(QResizeEvent*)
{
    // The upper half for up, the lower half (with any odd pixel) for down.
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace tessaro
