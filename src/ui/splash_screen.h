#pragma once
// `SplashScreen`: the splash shown while the main window fades in. Borderless, on top,
// semi-transparent, light green; the main window's fade lowers its opacity and closes it. It
// steps aside (hides) as soon as any dialog or message box is shown.

#include <QWidget>

namespace tessaro {

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    // Starts with opacity 200 of 255.
    explicit SplashScreen(QWidget* owner);

    // Opacity in 0..255, as the fade counts it.
    int alpha() const { return alpha_; }
    void setAlpha(int alpha);
    // Centres the splash on the owner window.
    void centreOnOwner();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* owner_;
    int alpha_ = 200;
};

} // namespace tessaro
