#include "ui/dbl_progress.h"

#include <algorithm>

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/progress_win.h"

namespace tessaro {

TDblProgress::TDblProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TDblProgress"));
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label1"));
    bar1_ = new QProgressBar(this);
    bar1_->setObjectName(QStringLiteral("ProgressBar1"));
    bar2_ = new QProgressBar(this);
    bar2_->setObjectName(QStringLiteral("ProgressBar2"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    for (QProgressBar* b : {bar1_, bar2_}) {
        b->setRange(0, 100);
        b->setValue(0);
        layout->addWidget(b);
    }
    setFixedSize(320, sizeHint().height());
}

void TDblProgress::setCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    const QString text = QString::fromStdString(caption);
    setWindowTitle(text);
    label_->setText(text);
    if (isVisible())
        label_->repaint();
}

void TDblProgress::setBar(int bar, int percent)
{
    QProgressBar* target = bar == 0 ? bar1_ : bar == 1 ? bar2_ : nullptr;
    if (!target)
        return;
    percent = std::clamp(percent, 0, 100);
    if (target->value() == percent)
        return;
    target->setValue(percent);
    if (isVisible())
        target->repaint();
}

void TDblProgress::showEvent(QShowEvent* event)
{
    centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace tessaro
