#include "ui/window_placement.h"

#include <QByteArray>
#include <QSplitter>
#include <QWidget>

#include "ui/progress_window.h"
#include "ui/screen_fit.h"
#include "workspace/settings.h"

namespace tessaro {

void placeWindow(QWidget& window, QSplitter& splitter, const std::string& settingsFile)
{
    fitIntoScreen(window);
    centreOn(&window, nullptr);
    const WindowPlacement placement = loadWindowPlacement(settingsFile);
    // restoreGeometry sets the window's own area where saveGeometry took it from; a place on
    // a screen that has less room now is pulled onto it.
    if (!placement.geometry.empty()
        && window.restoreGeometry(QByteArray::fromHex(QByteArray::fromStdString(placement.geometry))))
        keepOwnAreaOnScreen(window);
    if (!placement.splitter.empty())
        splitter.restoreState(QByteArray::fromHex(QByteArray::fromStdString(placement.splitter)));
}

void savePlacement(const QWidget& window, const QSplitter& splitter, const std::string& settingsFile)
{
    const WindowPlacement placement{window.saveGeometry().toHex().toStdString(),
                                    splitter.saveState().toHex().toStdString()};
    // Where the window stood is a convenience: a file that cannot be written costs nothing.
    (void)saveWindowPlacement(settingsFile, placement);
}

} // namespace tessaro
