#include "core/save_mode.h"

namespace tessaro {

void SaveMode::setRecordSize(int size)
{
    if (size == 36) {
        recordSize_ = 36;
        marker_ = IconMarker::K0C;
        c698p_ = false;
    } else if (size == 22) {
        recordSize_ = 22;
    }
}

void SaveMode::setIconMarker(IconMarker marker)
{
    if (markerEnabled())
        marker_ = marker;
}

void SaveMode::setC698p(bool on)
{
    if (c698pEnabled())
        c698p_ = on;
}

} // namespace tessaro
