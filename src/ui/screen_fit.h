#pragma once
// Keeping a window on its screen: small laptops and scaled screens leave less room than the
// window would like.

class QWidget;

namespace tessaro {

// Bounds the window's size to the available area of its screen (less room for the window
// manager's frame, never below the window's minimum size) and moves it so that it lies inside
// that area. Call before showing, after the window has its wanted size.
void fitIntoScreen(QWidget& window);

} // namespace tessaro
