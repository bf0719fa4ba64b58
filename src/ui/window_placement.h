#pragma once
// Where the main window stood: its place, its size and the splitter beside its tree as they
// were when it was last closed, kept in section "window" of tessaro.ini.

#include <string>

class QSplitter;
class QWidget;

namespace tessaro {

// Puts `window` and `splitter` back as `settingsFile` remembers them; what it does not remember
// stays as it is.
void restorePlacement(QWidget& window, QSplitter& splitter, const std::string& settingsFile);
// Remembers them in `settingsFile`; a file that cannot be written is no failure.
void savePlacement(const QWidget& window, const QSplitter& splitter, const std::string& settingsFile);

} // namespace tessaro
