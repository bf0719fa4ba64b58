#include "ui/main_status_bar.h"

#include <QHBoxLayout>
#include <QLabel>

#include "phone/connection_monitor.h"
#include "ui/core_text.h"
#include "ui/elided_label.h"
#include "ui/lamp_shape.h"

namespace tessaro {

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(false);
    // Panels of about 150, 260 and 50 pixels. The first two take the room their texts want
    // and, in a narrow window, both give way: a text that does not fit is shortened at its
    // end (its start, such as "Phone:", stays readable) rather than cut or drawn over the next.
    const char* const panelNames[] = {"infoPanel", "phonePanel", "lampPanel"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = i < 2 ? new ElidedLabel(this) : new QLabel(this);
        panels_[i]->setObjectName(QString::fromLatin1(panelNames[i]));
    }
    panels_[2]->setFixedWidth(50);
    addWidget(panels_[0]);
    addWidget(panels_[1], 1);
    addWidget(panels_[2]);
    panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panels_[1]->setText(tr("Phone: None"));
    lamp_ = new LampShape(panels_[2]);
    auto* lampLayout = new QHBoxLayout(panels_[2]);
    lampLayout->setContentsMargins(0, 0, 0, 0);
    lampLayout->addWidget(lamp_, 0, Qt::AlignCenter);
    lamp_->setFixedSize(16, 16);
    lamp_->setColor(Qt::red);
}

QLabel* MainStatusBar::panel(int number) const
{
    return number >= 1 && number <= 3 ? panels_[number - 1] : nullptr;
}

void MainStatusBar::setInfoText(const QString& text)
{
    panels_[0]->setText(text);
}

void MainStatusBar::setImeiPanel(const std::string& text)
{
    panels_[0]->setText(coreText(text));
}

void MainStatusBar::setPhonePanel(const std::string& text)
{
    panels_[1]->setText(coreText(text));
}

void MainStatusBar::setLamp(StatusLamp lamp)
{
    lamp_->setColor(lamp == StatusLamp::Green ? QColor(Qt::green) : QColor(Qt::red));
}

} // namespace tessaro
