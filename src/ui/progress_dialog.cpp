#include "ui/progress_dialog.h"

#include <algorithm>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/core_text.h"
#include "ui/mnemonics.h"
#include "ui/progress_window.h"

namespace tessaro {

ProgressDialog::ProgressDialog(QWidget* owner, const QString& objectName,
                               std::initializer_list<const char*> barNames)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(objectName);
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("captionLabel"));
    for (const char* name : barNames) {
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bars_.push_back(bar);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    for (QProgressBar* bar : bars_) {
        bar->setRange(0, 100);
        bar->setValue(0);
        layout->addWidget(bar);
    }
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        cancel_->setEnabled(false);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    // Wide enough for the usual captions at any font size; the height follows the contents.
    label_->setMinimumWidth(qMax(300, fontMetrics().averageCharWidth() * 48));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    giveMnemonics(*this);
}

void ProgressDialog::keepDrawn(bool force)
{
    constexpr qint64 kFrameMs = 33;
    if (!isVisible() || (!force && sinceDrawn_.isValid() && sinceDrawn_.elapsed() < kFrameMs))
        return;
    sinceDrawn_.start();
    // Paints, expose and timer events, and the clicks on Cancel: input for the other windows
    // is blocked while this application-modal window is up.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProgressDialog::reject()
{
    cancel_->click();
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
    keepDrawn();
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
    keepDrawn();
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace tessaro
