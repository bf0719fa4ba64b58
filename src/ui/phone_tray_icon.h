#pragma once
// `PhoneTrayIcon`: the editor's icon in the desktop's tray. Its image says whether a phone is
// connected; its balloon tells of a phone coming and going, and a click on the icon shows the
// connected phone's model and versions.

#include <QString>
#include <QSystemTrayIcon>

#include <string>

namespace tessaro {

struct PhoneLinkState;

class PhoneTrayIcon : public QSystemTrayIcon {
    Q_OBJECT
public:
    // `link` is the phone the balloon tells of; it must outlive the icon. The icon shows itself
    // where the desktop has a tray.
    PhoneTrayIcon(const PhoneLinkState& link, QObject* parent = nullptr);

    // The image shown: 14 connected, 15 disconnected.
    int image() const { return image_; }
    void setImage(int image);
    QString balloonTitle() const { return balloonTitle_; }
    QString balloonText() const { return balloonText_; }
    // The balloon's text as the connection monitor words it, shown at once while the icon is.
    void showBalloon(const std::string& text);
    // The connected phone's model and versions in the balloon; nothing while no phone is.
    void showPhoneInfo();

private:
    const PhoneLinkState& link_;
    int image_ = 15;
    QString balloonTitle_;
    QString balloonText_;
};

} // namespace tessaro
