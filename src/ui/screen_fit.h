#pragma once
// Keeping a window on its screen: small laptops and scaled screens leave less room than the
// window would like.

class QWidget;

namespace tessaro {

// Bounds the window's size to the available area of its screen (less room for the window
// manager's frame, never below the window's minimum size) and moves it so that it lies inside
// that area. Call before showing, after the window has its wanted size.
void fitIntoScreen(QWidget& window);

// Only bounds the size, as fitIntoScreen does, and leaves the place to the window system: a
// dialog stays centred on its parent.
void fitSizeIntoScreen(QWidget& window);

// For a window not shown yet whose own area (without the frame) was set by setGeometry or
// restoreGeometry: bounds it to the available area of its screen, leaving room for a title
// bar, and keeps it set as its own area. A window that lies inside is left to the pixel.
void keepOwnAreaOnScreen(QWidget& window);

} // namespace tessaro
