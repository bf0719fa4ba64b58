#pragma once
// The phone's Java slot table "J2MEST": a header of H bytes and 31 records of R bytes
// (R = size div 31, H = size mod 31), of which the first 30 describe installed applications.
// The record size selects one of six layouts. Slots whose corelet flag is set but whose
// "MIDlet-1" text is a bare "<digit>: ..." entry do not start from the main menu; they are
// patched with the application name from the slot's ".jad" descriptor.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaro {


inline constexpr int kJavaSlotCount = 30;     // records read of the 31 in the file
inline constexpr int kJ2mestRecordCount = 31; // records the file is divided into
inline constexpr int kMidlet1FieldSize = 33;  // width of the MIDlet-1 field the patch writes

// One installed application.
struct JavaSlot {
    std::string midletName;
    std::string midletVendor;
    std::string midlet1;
    bool corelet = false;

    bool operator==(const JavaSlot&) const = default;
};

using JavaSlotTable = std::array<std::optional<JavaSlot>, kJavaSlotCount>;

// A slot whose MIDlet-1 field is to be patched: slot index and file offset of the field.
struct PatchEntry {
    uint8_t slot = 0;
    uint16_t offset = 0;

    bool operator==(const PatchEntry&) const = default;
};

// At most 30 entries, one per slot.
using PatchList = std::vector<PatchEntry>;

// Where the fields of a record lie; `End` offsets are one past the field.
struct J2mestLayout {
    int recordSize = 0;
    int nameStart = 0;
    int nameEnd = 0;
    int vendorStart = 0;
    int vendorEnd = 0;
    int midlet1Start = 0;
    int inUseByte = 0;
    bool hasCorelet = false;   // corelet flag in bit 0 of byte 0
};

// The layout of a record size, or nullopt for a size the phone does not use.
std::optional<J2mestLayout> j2mestLayout(int recordSize);

// One parsed J2MEST image.
struct J2mestCopy {
    int recordSize = 0;          // R
    int headerSize = 0;          // H
    bool secondLayout = false;   // a 1104-byte table with the wider vendor field
    JavaSlotTable slots;         // entry i holds record i when it is in use
    PatchList patches;
};

// Parses a J2MEST image. Fails with "Unsupported J2MEST format" when size div 31 is not one
// of the six record sizes (which also covers short and overlong images).
Result<J2mestCopy> parseJ2mest(std::span<const uint8_t> image);
// The same for a local file; a file that cannot be read fails with the reason.
Result<J2mestCopy> parseJ2mestFile(const std::string& path);

// The bytes the patch writes into a MIDlet-1 field: the name followed by 0 bytes up to 33.
// A name of 33 bytes or more is cut to 32, so the field always ends with a 0 byte and reads
// back as the name alone.
std::array<uint8_t, kMidlet1FieldSize> midlet1Field(std::string_view name);
// Writes midlet1Field(name) at `offset`; false (nothing written) when the field does not fit.
bool patchMidlet1(std::span<uint8_t> image, size_t offset, std::string_view name);
// The same in place in a local file; fails with the reason when the file cannot be patched.
Status patchMidlet1File(const std::string& path, size_t offset, std::string_view name);

// The application name of a ".jad" descriptor's text: the part before the first "," of
// every "MIDlet-1:" line (the whole value when it holds no comma), joined and trimmed.
std::string jadMidletName(std::string_view text);
// The same for a local file; empty when the file cannot be read or is larger than 1 MiB
// (descriptors are a few hundred bytes).
std::string readJadMidletName(const std::string& path);

// The Java slot tables of the phone and of the memory card, with the patch lists of the
// last parse.
class JavaSlotTables {
public:
    JavaSlotTable phoneSlots;
    JavaSlotTable cardSlots;
    PatchList phonePatchList;
    PatchList cardPatchList;
    bool needsPatch = false;

    // Empties both slot tables.
    void clearJavaSlots();
    // The filled slots the item editor offers: the phone's when `phoneRead`, then the
    // card's when `cardRead`.
    std::vector<JavaSlot> offeredSlots(bool phoneRead, bool cardRead) const;
};

// Parses the local copies into the tables: `phoneCopy` and `cardCopy` name the files to read,
// an empty path skips that copy. Slots go into the entries of their record; entries of
// records not in use are left as they are. An unsupported size or an unreadable file ends it
// with that failure, keeping what was parsed before; else sets needsPatch.
Status loadJavaSlotTables(JavaSlotTables& tables, const std::string& phoneCopy, const std::string& cardCopy);

} // namespace tessaro
