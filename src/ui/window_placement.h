#pragma once
// Where the main window stood: its place, its size and the splitter beside its tree as they
// were when it was last closed, kept in section "window" of tessaro.ini.

#include <string>

class QSplitter;
class QWidget;

namespace tessaro {

// Gives `window`, which has its usual size and is not shown yet, its place at start: bounded
// to its screen and centred on it, unless `settingsFile` remembers where it stood; then the
// splitter as remembered. A remembered place is the window's own area, without the window
// manager's frame, as savePlacement keeps it, and stays so: a move before showing would count
// the frame in and the window would creep by its frame at every start. A place that no longer
// fits the screen is pulled onto it.
void placeWindow(QWidget& window, QSplitter& splitter, const std::string& settingsFile);
// Remembers them in `settingsFile`; a file that cannot be written is no failure.
void savePlacement(const QWidget& window, const QSplitter& splitter, const std::string& settingsFile);

} // namespace tessaro
