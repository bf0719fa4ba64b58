#pragma once
// A picture of a window as it is drawn, saved to a file.

class QString;
class QWidget;

namespace tessaro {

// Saves a picture of `widget` with everything inside it to `file`, in the format its suffix
// names (PNG without one); the file is replaced only by a whole picture. False on failure.
bool saveScreenshot(QWidget& widget, const QString& file);

} // namespace tessaro
