#pragma once
// `MainStatusBar`: the main window's status bar. Three panels: the first shows the open menu's
// status line or the phone's IMEI, the second the connected phone, the third a lamp that is
// green while a phone is connected. Passing messages stand over the panels for a while.

#include <QStatusBar>

#include <string>

class QLabel;

namespace tessaro {

class LampShape;
enum class StatusLamp;

class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    // Panel 1..3; null for any other number.
    QLabel* panel(int number) const;
    // The first panel's text: the open menu's status line.
    void setInfoText(const QString& text);
    // The phone's texts as the connection monitor words them, in the first and second panel.
    void setImeiPanel(const std::string& text);
    void setPhonePanel(const std::string& text);
    void setLamp(StatusLamp lamp);

private:
    QLabel* panels_[3] = {};
    LampShape* lamp_ = nullptr;
};

} // namespace tessaro
