#pragma once
// Reading mma_ucp: the header, the item records that encode the menu tree, and the data area
// with each item's data records.
//
// The file is a 10-byte header, N records of R bytes (N is header byte 2, R is 22 or 36) and
// the data area at 10 + N·R. Records 0 to 9 are fixed (root, Softkeys container, the seven
// softkeys, Menu Root); the main menu follows from record 10 in sibling-group order.
// Everything in the file is treated as hostile: records are read only below N and each at most
// once, and every offset and length is checked against the bytes that are there.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/item_data_codec.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

class MenuNode;
class ItemDataTable;
class SaveMode;
struct OpenMenu;

// The read error of a file whose record 0 is not the menu's root record "Root".
inline constexpr char kNotMenuFileText[] =
    TRANSLATABLE("Core", "Not an mma_ucp menu file: its first record is not the menu root \"Root\"");

struct ReadOptions {
    // False under a profile: an identifier outside the available items aborts the read.
    bool acceptUnknown = true;
    // itembase.dat, to which unknown identifiers are appended when they are accepted (each
    // once per read), and only after a read without warnings: a damaged file's unknown
    // identifiers are listed in a warning instead. Empty: they are accepted unrecorded.
    std::string itemBasePath;
};

// What a read found besides the document.
struct ReadReport {
    bool itemBaseUpdated = false;       // unknown identifiers were appended to the item base
    std::vector<std::string> warnings;  // parts of the file that were skipped or repaired
    // The bytes, in file order, that belong to no record and that a save therefore does not
    // write back: header bytes other than the ones a save writes, junk after a name's zero
    // byte, a group byte other than its area's, data-area bytes no item's data covers.
    std::vector<uint8_t> bytesOutsideRecords;
};

// The reader's warning for bytes outside the records: "N bytes outside the menu's records
// will not be kept".
std::string bytesOutsideRecordsText(size_t count);

// Reads an mma_ucp file into the open menu: clears the document, builds the tree and the item
// data table, sets the save mode from the file, raises the custom counter and sets formatRead.
// A file that cannot be read (kind Io) or is no menu file (too short, fewer than ten records,
// record 0 not "Root"; kind Format) fails before anything is changed; both come without a
// caption. An identifier outside the available items with acceptUnknown false stops the read
// (kind Refused, kProfileMismatchText, caption "Profile error"); the document then keeps
// what was built so far.
Result<ReadReport> readMenuFile(const std::string& path, OpenMenu& menu, const ReadOptions& options);
// The same over the bytes of a file.
Result<ReadReport> readMenuBytes(std::span<const uint8_t> bytes, OpenMenu& menu, const ReadOptions& options);

// Where parseItemData finds item data: the data area (the file from 10 + N·R on) and its format.
struct ItemDataSource {
    std::span<const uint8_t> dataArea;
    DataFormat format;
};

// Decodes the data of `node` (when hasData is set) and of every node below it, in pre-order,
// into blocks stored at their recordNo. A node whose data lies beyond the data area gets no
// block. File-system icon records set the save mode's icon marker; warnings are appended.
void parseItemData(const MenuNode& node, const ItemDataSource& source, ItemDataTable& table,
                   SaveMode& saveMode, std::vector<std::string>& warnings);

} // namespace tessaro
