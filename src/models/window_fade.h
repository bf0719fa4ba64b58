#pragma once
// The main window's fade in and out, driven by its timer, and the part of the close request
// that depends on it: a window closes only once it has faded out completely.

#include <optional>

namespace tessaro {

class WindowFade {
public:
    enum class Direction { In, Out };

    // Timer intervals: 50 ms while fading in, 30 ms once a fade has ended (and so for the
    // fade-out).
    static constexpr int kFadeInInterval = 50;
    static constexpr int kLaterInterval = 30;
    // Opacity the splash starts with.
    static constexpr int kSplashAlpha = 200;

    // What one timer tick asks of the window.
    struct Tick {
        int windowAlpha = 0;                 // set the window's opacity (0..255)
        std::optional<int> splashAlpha;      // set the splash's opacity
        bool closeSplash = false;            // the fade-in ended: close the splash
        bool stopTimer = false;              // the fade ended: stop the timer
        bool requestClose = false;           // fading out: ask the window to close again
    };

    // Level 0, fading in; the splash at kSplashAlpha. Start the timer with interval().
    void start();
    Tick tick();

    // A close request. Returns whether the window may close now. At level 255 the fade-out
    // starts (the timer must run: timerRunning() is true); while fading the request is refused.
    bool closeRequested();

    int level() const { return level_; }
    Direction direction() const { return direction_; }
    int interval() const { return interval_; }
    bool timerRunning() const { return running_; }
    int splashAlpha() const { return splashAlpha_; }

private:
    int level_ = 0;
    Direction direction_ = Direction::In;
    int interval_ = kFadeInInterval;
    bool running_ = false;
    int splashAlpha_ = kSplashAlpha;
};

} // namespace tessaro
