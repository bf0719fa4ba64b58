#pragma once
// The on-disk form of an item data block: the typed data records of one item, back to back
// in the data area of mma_ucp. Decoding and encoding side by side.
//
// Every record is kind (1 byte), L (16-bit payload length) and the payload. Numbers and UTF-16
// texts are big-endian, little-endian in CDMA mode. Decoding treats every length and offset
// as hostile: what does not fit the item's data or the block's capacities is dropped or kept
// as unsupported data, each time with a warning.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/item_data.h"
#include "core/result.h"
#include "core/save_mode.h"

namespace tessaro {

// What the records' layout depends on.
struct DataFormat {
    int recordSize = 36;                  // 22: kind 6 is a file-system icon, titles carry 0x00
    ByteOrder order = ByteOrder::Big;     // Little in CDMA mode
};

struct DecodedItemData {
    ItemDataBlock block;                  // owner left 0: the table sets it when storing
    // The marker of the last file-system icon record met: "06" for kind 6 in 22-byte files,
    // "0C" for kind 12. Empty when the item has no such record.
    std::optional<IconMarker> iconMarker;
    std::vector<std::string> warnings;    // what was dropped or repaired, one line each
};

// Decodes the data of one item: exactly the dataLength bytes found at its dataOffset.
// Never fails: a record that runs past the data ends the decoding with a warning; entries
// beyond the block's capacities are dropped with a warning.
DecodedItemData decodeItemData(std::span<const uint8_t> data, const DataFormat& format);

// Whether decoding keeps a record of kind `code` with `length` payload bytes as unsupported
// data, byte for byte: a kind it does not read, or a title list or file-system icon without
// payload, or a DRM icon of fewer than four bytes. Any other record is read as its kind.
bool keptAsUnsupported(uint8_t code, size_t length, int recordSize);

struct EncodeOptions {
    DataFormat format;
    IconMarker iconMarker = IconMarker::K0C;  // kind written for file-system icons (22-byte only)
    bool saveAll = false;                     // write the unsupported data
};

// The payload length (L) an entry is written with, counted from the bytes the encoder writes;
// unsupported data: the sum of L + 3 over its records. May exceed 16 bits for texts that do
// not fit a record (encoding refuses them).
size_t encodedPayloadLength(const DataEntry& entry);

// Length of a block as it is written: the bytes of its records, those of the unsupported
// data only when saveAll is set. Truncated to 16 bits; 0 for no block.
uint16_t itemDataLength(const ItemDataBlock* block, bool saveAll);

// Appends the data records of a block to `out` in block order. Fails, leaving `out` as it
// was, when a length does not fit its field (an L above 65535, more than 255 titles).
Status encodeItemData(const ItemDataBlock& block, const EncodeOptions& options,
                      std::vector<uint8_t>& out);

} // namespace tessaro
