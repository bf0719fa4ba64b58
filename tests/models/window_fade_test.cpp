#include <gtest/gtest.h>

#include "models/window_fade.h"

namespace tessaro {
namespace {

TEST(WindowFade, FadeInRunsTwentyFiveTicksThenStops)
{
    WindowFade fade;
    fade.start();
    EXPECT_TRUE(fade.timerRunning());
    EXPECT_EQ(fade.interval(), 50);
    std::vector<int> alphas;
    std::vector<int> splash;
    WindowFade::Tick t;
    do {
        t = fade.tick();
        alphas.push_back(t.windowAlpha);
        if (t.splashAlpha)
            splash.push_back(*t.splashAlpha);
    } while (!t.stopTimer);
    // Alpha 0, 10, ..., 230; the 25th tick passes 245 and shows the window fully.
    ASSERT_EQ(alphas.size(), 25u);
    EXPECT_EQ(alphas[0], 0);
    EXPECT_EQ(alphas[23], 230);
    EXPECT_EQ(alphas[24], 255);
    // The splash starts fading when the level passes 128 (level 130), 20 per tick, and is
    // at 0 when it closes.
    EXPECT_EQ(splash.front(), 180);
    EXPECT_EQ(splash.back(), 0);
    EXPECT_TRUE(t.closeSplash);
    EXPECT_FALSE(t.requestClose);
    EXPECT_EQ(fade.level(), 255);
    EXPECT_EQ(fade.interval(), 30);
    EXPECT_FALSE(fade.timerRunning());
}

TEST(WindowFade, CloseDuringFadeInIsRefusedAndDoesNotFadeOut)
{
    WindowFade fade;
    fade.start();
    for (int i = 0; i < 5; ++i)
        (void)fade.tick();
    EXPECT_EQ(fade.level(), 50);
    EXPECT_FALSE(fade.closeRequested());
    EXPECT_EQ(fade.direction(), WindowFade::Direction::In);
    EXPECT_EQ(fade.level(), 50);
}

TEST(WindowFade, CloseWhenShownFadesOutAndClosesAtZero)
{
    WindowFade fade;
    fade.start();
    while (!fade.tick().stopTimer) {
    }
    EXPECT_FALSE(fade.closeRequested());
    EXPECT_EQ(fade.direction(), WindowFade::Direction::Out);
    EXPECT_TRUE(fade.timerRunning());
    int ticks = 0;
    WindowFade::Tick t;
    do {
        t = fade.tick();
        ++ticks;
        // Every tick of the fade-out asks to close again; refused until the level is 0.
        EXPECT_TRUE(t.requestClose);
        if (!t.stopTimer) {
            EXPECT_FALSE(fade.closeRequested());
        }
    } while (!t.stopTimer);
    EXPECT_EQ(ticks, 26);
    EXPECT_EQ(t.windowAlpha, 0);
    EXPECT_EQ(fade.level(), 0);
    EXPECT_TRUE(fade.closeRequested());
    EXPECT_FALSE(fade.timerRunning());
}

TEST(WindowFade, CloseBeforeAnyTickIsAccepted)
{
    WindowFade fade;
    fade.start();
    EXPECT_TRUE(fade.closeRequested());
}

} // namespace
} // namespace tessaro
