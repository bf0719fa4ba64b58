#pragma once
// Builds mma_ucp bytes for tests, independently of the writer: data records of every kind,
// and whole files laid out from a small tree description in either record size and byte
// order. MenuFile keeps the raw parts so a test can damage them before taking the bytes.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/bytes.h"

namespace tessaro::testing {

// --- data records (kind, 16-bit L, payload) in the given byte order ----------------------

// A record with L = the payload size.
std::vector<uint8_t> dataRecord(uint8_t kind, std::span<const uint8_t> payload, ByteOrder order);
// A record whose L says `length` whatever the payload holds.
std::vector<uint8_t> rawDataRecord(uint8_t kind, uint16_t length, std::span<const uint8_t> payload,
                                   ByteOrder order);
// Titles (kinds 0, 1, 21): count, per title language / marker / end offset, then the texts
// each with a zero unit. The marker is 0xCD for 36-byte files and 0x00 for 22-byte files.
std::vector<uint8_t> titleRecord(uint8_t kind, const std::vector<std::pair<uint8_t, std::u16string>>& titles,
                                 int recordSize, ByteOrder order);
// ASCII kinds (5, 6 as dial number, 9, 10, 11): the text and one zero byte.
std::vector<uint8_t> asciiRecord(uint8_t kind, std::string_view text, ByteOrder order);
// File-system icon (kind 12, or 6 in 22-byte files): role byte, path with a zero unit.
std::vector<uint8_t> iconRecord(uint8_t kind, uint8_t role, std::u16string_view path, ByteOrder order);
// DRM icons (15, 16, 17): first byte, 0x00, 16-bit icon number.
std::vector<uint8_t> drmRecord(uint8_t kind, uint8_t first, uint16_t number, ByteOrder order);
// Codes (18, 19, 20): one byte.
std::vector<uint8_t> codeRecord(uint8_t kind, uint8_t value, ByteOrder order);
// Emulate action (22): 16-bit action code.
std::vector<uint8_t> actionRecord(uint16_t code, ByteOrder order);
// Shortcut data (23): the identifier zero-padded to 25 bytes.
std::vector<uint8_t> shortcutRecord(std::string_view identifier, ByteOrder order);

// Concatenates data records.
std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts);

// --- whole files --------------------------------------------------------------------------

struct RawRecord {
    uint8_t itemType = 0;
    uint8_t parentIndex = 0xFF;
    uint8_t nextIndex = 0xFF;
    uint8_t childIndex = 0xFF;
    uint8_t options = 0;
    uint8_t attributes = 0;
    std::string name;            // cut to 12 or 25 bytes, zero-padded
    uint8_t group = 0xCD;        // 36-byte records only
    uint16_t dataOffset = 0;
    uint16_t dataLength = 0;
};

// The parts of a file: header, records, data area. `count` is header byte 2 and starts as the
// number of records; change any part to build a damaged file.
struct MenuFile {
    int recordSize = 36;
    ByteOrder order = ByteOrder::Big;
    std::array<uint8_t, 10> header{};
    std::vector<RawRecord> records;
    std::vector<uint8_t> data;

    std::vector<uint8_t> bytes() const;
    // The bytes of one record as laid out in the file.
    std::vector<uint8_t> recordBytes(const RawRecord& record) const;
};

struct BuilderItem {
    std::string name;
    uint8_t itemType = 0;
    uint8_t options = 0;
    uint8_t attributes = 0x41;
    std::vector<uint8_t> data;   // the item's data records
};

// Lays out a menu in sibling-group order with the fixed records the editor writes: record 0
// "Root", record 1 the Softkeys container, records 2 to 8 the softkeys (the seven default ones
// unless replaced), record 9 the Menu Root, then the main menu. Data in record order.
class MenuBuilder {
public:
    static constexpr int kRoot = -1;

    explicit MenuBuilder(int recordSize = 36, ByteOrder order = ByteOrder::Big, bool c698p = false);

    // Replaces softkey k (0..6).
    MenuBuilder& softkey(int k, BuilderItem item);
    // Adds an item as the last child of `parent` (kRoot or a handle from add); returns its handle.
    int addItem(int parent, BuilderItem item);
    // Shorthand for an item with a name, an item type and data.
    int add(int parent, std::string name, uint8_t itemType = 0, std::vector<uint8_t> data = {});

    // The record index an item gets in the layout.
    int recordOf(int handle) const;
    MenuFile layout() const;
    std::vector<uint8_t> bytes() const { return layout().bytes(); }

private:
    struct Node {
        BuilderItem item;
        int parent;
        std::vector<int> children;
    };
    std::vector<int> recordOrder() const;

    int recordSize_;
    ByteOrder order_;
    bool c698p_;
    std::array<BuilderItem, 7> softkeys_;
    std::vector<Node> nodes_;
    std::vector<int> rootChildren_;
};

// A menu with every kind of data record, softkey data, nesting three deep and custom items.
// Kind 6 is a dial number in 36-byte files and an icon in 22-byte ones (`withDialNumber`).
std::vector<uint8_t> richFile(int recordSize, ByteOrder order, bool c698p, uint8_t iconKind, bool withDialNumber);

} // namespace tessaro::testing
