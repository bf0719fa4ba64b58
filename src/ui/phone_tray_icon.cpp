#include "ui/phone_tray_icon.h"

#include "models/main_window_rules.h"
#include "phone/phone_context.h"
#include "ui/app_icons.h"
#include "ui/core_text.h"
#include "ui/qt_prompter.h"

namespace tessaro {

namespace {

QString qs(const std::string& text)
{
    return QtPrompter::displayText(text);
}

} // namespace

PhoneTrayIcon::PhoneTrayIcon(const PhoneLinkState& link, QObject* parent) : QSystemTrayIcon(parent), link_(link)
{
    setObjectName(QStringLiteral("trayIcon"));
    setIcon(tessaro::trayImage(15));
    setToolTip(QString::fromLatin1(kMainCaption));
    balloonTitle_ = tr("P2K Status");
    balloonText_ = coreText("Disconnected");
    // Tray icons have no hover notification here; a click on the icon shows the phone info.
    connect(this, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            showPhoneInfo();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        show();
}

void PhoneTrayIcon::setImage(int image)
{
    image_ = image;
    setIcon(tessaro::trayImage(image));
}

void PhoneTrayIcon::showBalloon(const std::string& text)
{
    balloonText_ = coreText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (isVisible())
        showMessage(balloonTitle_, balloonText_, QSystemTrayIcon::Information, 1000);
}

void PhoneTrayIcon::showPhoneInfo()
{
    if (balloonText_ == coreText("Disconnected"))
        return;
    balloonTitle_ = tr("Phone info");
    balloonText_ = tr("Model: ") + qs(link_.model) + QLatin1Char('\n') + tr("F/W Version: ") + qs(link_.firmwareVersion)
                   + QLatin1Char('\n') + tr("LP Version: ") + qs(link_.lpVersionText);
    showMessage(balloonTitle_, balloonText_, QSystemTrayIcon::Information, 1000);
}

} // namespace tessaro
