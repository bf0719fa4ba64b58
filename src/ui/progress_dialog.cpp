#include "ui/progress_dialog.h"

#include <algorithm>

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/core_text.h"
#include "ui/progress_window.h"

namespace tessaro {

ProgressDialog::ProgressDialog(QWidget* owner, const QString& objectName, int barCount)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(objectName);
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label1"));
    for (int i = 0; i < barCount; ++i) {
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("ProgressBar%1").arg(i + 1));
        bars_.push_back(bar);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    for (QProgressBar* bar : bars_) {
        bar->setRange(0, 100);
        bar->setValue(0);
        layout->addWidget(bar);
    }
    setFixedSize(320, sizeHint().height());
}

QProgressBar* ProgressDialog::barAt(int index) const
{
    return index >= 0 && size_t(index) < bars_.size() ? bars_[size_t(index)] : nullptr;
}

void ProgressDialog::showCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    const QString text = coreText(caption);
    setWindowTitle(text);
    label_->setText(text);
    if (isVisible())
        label_->repaint();
}

void ProgressDialog::moveBar(int index, int percent)
{
    QProgressBar* target = barAt(index);
    if (!target)
        return;
    percent = std::clamp(percent, 0, 100);
    if (target->value() == percent)
        return;
    target->setValue(percent);
    // The operations run on the GUI thread; paint now rather than when they return.
    if (isVisible())
        target->repaint();
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace tessaro
