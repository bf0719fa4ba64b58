#pragma once
// The save mode of the "MMA save mode" panel: record size, icon marker, c698p fix, CDMA and
// "Save all data", with the rules that tie the controls together.

#include <cstdint>

namespace tessaro {

enum class IconMarker : uint8_t { K06 = 6, K0C = 12 };

class SaveMode {
public:
    int recordSize() const { return recordSize_; }
    IconMarker iconMarker() const { return marker_; }
    bool c698p() const { return c698p_; }
    bool cdma() const { return cdma_; }
    bool saveAll() const { return saveAll_; }

    // The icon marker choice and the c698p fix are enabled only with 22-byte records.
    bool markerEnabled() const { return recordSize_ == 22; }
    bool c698pEnabled() const { return recordSize_ == 22; }

    // Checking "36-byte" forces "0C" and clears the fix; checking "22-byte" keeps both as
    // they are and enables their controls. Any other size is ignored.
    void setRecordSize(int size);
    // Ignored while the marker choice is disabled.
    void setIconMarker(IconMarker marker);
    // Ignored while the fix is disabled.
    void setC698p(bool on);
    void setCdma(bool on) { cdma_ = on; }
    void setSaveAll(bool on) { saveAll_ = on; }

    // Sets the marker whatever the record size says: the reader reports the marker of the
    // icon records it meets, a profile its own choice.
    void forceIconMarker(IconMarker marker) { marker_ = marker; }
    // Sets the fix whatever the record size says: a profile's fix flag counts for either
    // record length.
    void forceC698p(bool on) { c698p_ = on; }

    bool operator==(const SaveMode&) const = default;

private:
    int recordSize_ = 36;
    IconMarker marker_ = IconMarker::K0C;
    bool c698p_ = false;
    bool cdma_ = false;
    bool saveAll_ = false;
};

} // namespace tessaro
