#include "ui/progress_win.h"

#include <algorithm>

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tessaro {

void centreOn(QWidget* window, QWidget* owner)
{
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

TProgressWin::TProgressWin(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TProgressWin"));
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label1"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setFixedSize(320, sizeHint().height());
}

void TProgressWin::setCaption(const std::string& caption)
{
    // Redrawn only when the text changes.
    if (caption == caption_)
        return;
    caption_ = caption;
    const QString text = QString::fromStdString(caption);
    setWindowTitle(text);
    label_->setText(text);
    if (isVisible())
        label_->repaint();
}

void TProgressWin::setBar(int bar, int percent)
{
    if (bar != 0)
        return;
    percent = std::clamp(percent, 0, 100);
    if (bar_->value() == percent)
        return;
    bar_->setValue(percent);
    // The operations run on the GUI thread; paint now rather than when they return.
    if (isVisible())
        bar_->repaint();
}

void TProgressWin::showEvent(QShowEvent* event)
{
    centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

std::unique_ptr<Progress> QtProgressFactory::openSingle()
{
    auto window = std::make_unique<TProgressWin>(owner_);
    window->show();
    return window;
}

} // namespace tessaro
