#include "ui/screenshot.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

#include <span>

#include "core/replacing_file.h"

namespace tessaro {

bool saveScreenshot(QWidget& widget, const QString& file)
{
    QByteArray png;
    QBuffer buffer(&png);
    // The picture's format follows the file name's suffix, PNG when it names none.
    const QByteArray suffix = QFileInfo(file).suffix().toLatin1();
    if (!buffer.open(QIODevice::WriteOnly)
        || !widget.grab().save(&buffer, suffix.isEmpty() ? "PNG" : suffix.constData()))
        return false;
    return replaceFile(file.toStdString(),
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(png.constData()), size_t(png.size())))
        .ok();
}

} // namespace tessaro
