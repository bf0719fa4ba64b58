#include "ui/window_placement.h"

#include <QByteArray>
#include <QSplitter>
#include <QWidget>

#include "workspace/settings.h"

namespace tessaro {

void restorePlacement(QWidget& window, QSplitter& splitter, const std::string& settingsFile)
{
    const WindowPlacement placement = loadWindowPlacement(settingsFile);
    if (!placement.geometry.empty())
        window.restoreGeometry(QByteArray::fromHex(QByteArray::fromStdString(placement.geometry)));
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
