#include "models/window_fade.h"

namespace tessaro {

void WindowFade::start()
{
    level_ = 0;
    direction_ = Direction::In;
    splashAlpha_ = kSplashAlpha;
    interval_ = kFadeInInterval;
    running_ = true;
}

WindowFade::Tick WindowFade::tick()
{
    Tick t;
    t.windowAlpha = level_;
    if (direction_ == Direction::In) {
        level_ += 10;
        // The splash fades once the window is half shown.
        if (level_ > 128 && splashAlpha_ > 10) {
            splashAlpha_ -= 20;
            t.splashAlpha = splashAlpha_;
        }
    } else {
        level_ -= 10;
    }
    if (level_ > 245 || level_ < 0) {
        if (direction_ == Direction::In) {
            t.windowAlpha = 255;
            level_ = 255;
            splashAlpha_ = 0;
            t.splashAlpha = 0;
            t.closeSplash = true;
        } else {
            t.windowAlpha = 0;
            level_ = 0;
        }
        interval_ = kLaterInterval;
        running_ = false;
        t.stopTimer = true;
    }
    t.requestClose = direction_ == Direction::Out;
    return t;
}

bool WindowFade::closeRequested()
{
    if (level_ == 255) {
        direction_ = Direction::Out;
        running_ = true;
    }
    if (level_ != 0)
        return false;
    running_ = false;
    return true;
}

} // namespace tessaro
