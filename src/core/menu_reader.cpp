#include "core/menu_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <set>

#include "core/catalogue.h"
#include "core/item_base_file.h"
#include "core/item_lists.h"
#include "core/menu_document.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "core/renumber.h"
#include "core/text_file.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

constexpr size_t kHeaderSize = kMenuHeaderSize;
constexpr size_t kFixedRecords = 10;       // root, Softkeys, seven softkeys, Menu Root
constexpr size_t kFirstSoftkeyRecord = 2;
constexpr size_t kMenuRootRecord = 9;
constexpr size_t kFirstMenuRecord = 10;
constexpr size_t kRecordSizeProbe = 41;    // byte 31 of record 0 in a 36-byte file: 0xCC

uint8_t saturatedByte(unsigned long value)
{
    return value > 0xFF ? 0xFF : static_cast<uint8_t>(value);
}

// The number of a custom name: the digits after "~"; 0 when they are not a number.
unsigned long customNumber(const std::string& name)
{
    if (name.size() < 2)
        return 0;
    unsigned long n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + static_cast<unsigned long>(c - '0');
        if (n > 0xFFFF)
            n = 0xFFFF;  // far beyond what the one-byte counter can take
    }
    return n;
}

// An identifier that can stand in an itembase.dat line without breaking it: not empty, no
// ";" (the separator), no line breaks or other control characters. Identifiers are printable
// ASCII: a byte above it is a damaged name, which would stay in the item base for good.
bool fitsItemBaseLine(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == ';')
            return false;
    }
    return true;
}

// A name for a message: control characters and bytes above ASCII as "?".
std::string printable(std::string name)
{
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            c = '?';
    return name;
}

class Reader {
public:
    Reader(std::span<const uint8_t> bytes, OpenMenu& menu, const ReadOptions& options)
        : in_(bytes), menu_(menu), options_(options)
    {
    }

    Result<ReadReport> run()
    {
        // A file that is no menu file changes nothing: not the document, not the save mode.
        if (!checkHeader())
            return std::move(*failure_);
        menu_.document.clear();
        takeHeader();
        if (!readTree())
            return std::move(*failure_);
        renumberTree(menu_.document);
        noteUnreached();
        // Also with no data area at all: every item that announces data then gets its warning.
        const size_t dataSize = in_.size() > dataBase_ ? in_.size() - dataBase_ : 0;
        const ItemDataSource source{in_.slice(std::min(dataBase_, in_.size()), dataSize),
                                    {static_cast<int>(recordSize_), order_}};
        parseItemData(*menu_.document.softkeys(), source, menu_.document.data(), menu_.saveMode, report_.warnings);
        parseItemData(*menu_.document.menuRoot(), source, menu_.document.data(), menu_.saveMode, report_.warnings);
        recordUnknown();
        // Told after the item base had its chance: such bytes say nothing about the names.
        noteBytesOutsideRecords();
        return std::move(report_);
    }

private:
    bool fail(std::string text)
    {
        failure_ = Error(ErrorKind::Format, std::move(text), "");
        return false;
    }

    void warn(std::string text) { report_.warnings.push_back(std::move(text)); }

    bool checkHeader()
    {
        if (in_.size() <= kRecordSizeProbe)
            return fail(TRANSLATABLE("Core", "Not an mma_ucp menu file: ") + std::to_string(in_.size()) +
                        TRANSLATABLE("Core", " bytes are too few for the header and its ten fixed records"));
        const uint8_t probe = *in_.at(kRecordSizeProbe);
        recordSize_ = (probe == 0xCC || probe == 0x00) ? 36 : 22;
        const size_t fixedEnd = kHeaderSize + kFixedRecords * recordSize_;
        if (in_.size() < fixedEnd)
            return fail(TRANSLATABLE("Core", "Not an mma_ucp menu file: ") + std::to_string(in_.size()) +
                        TRANSLATABLE("Core", " bytes are too few for the header and its ten fixed records (") +
                        std::to_string(fixedEnd) + TRANSLATABLE("Core", " bytes with ") +
                        std::to_string(recordSize_) + TRANSLATABLE("Core", "-byte records)"));
        count_ = *in_.at(2);
        if (count_ < kFixedRecords)
            return fail(TRANSLATABLE("Core", "Not an mma_ucp menu file: the header counts ") +
                        std::to_string(count_) + TRANSLATABLE("Core", " records, fewer than its ten fixed records"));
        // Every menu file starts with the same root record: record 0 named "Root".
        const auto root = record(0);
        std::string rootName;
        for (size_t i = 0; i < (recordSize_ == 36 ? 25u : 12u) && root[6 + i] != 0; ++i)
            rootName.push_back(static_cast<char>(root[6 + i]));
        if (rootName != "Root")
            return fail(kNotMenuFileText);
        return true;
    }

    void takeHeader()
    {
        // Byte 1 holds the c698p marker (0x03 with the fix, else 0x01); a CDMA file has 0x00
        // there and the marker moved to byte 0.
        const bool cdma = *in_.at(1) == 0x00;
        const uint8_t marker = *in_.at(cdma ? 0 : 1);
        SaveMode& mode = menu_.saveMode;
        mode.setRecordSize(recordSize_);
        if (mode.c698pEnabled())
            mode.setC698p(marker == 0x03);
        mode.setCdma(cdma);
        order_ = mode.cdma() ? ByteOrder::Little : ByteOrder::Big;
        menu_.formatRead = static_cast<int>(recordSize_);

        dataBase_ = kHeaderSize + count_ * recordSize_;
        if (in_.size() < dataBase_)
            warn(TRANSLATABLE("Core", "The file ends inside its records: the header counts ") +
                 std::to_string(count_) + TRANSLATABLE("Core", " records, the file holds ") +
                 std::to_string((in_.size() - kHeaderSize) / recordSize_));
    }

    // Records of the main menu that no parent or sibling led to are not in the document.
    void noteUnreached()
    {
        const size_t present = std::min(count_, (in_.size() - kHeaderSize) / recordSize_);
        std::string list;
        for (size_t index = kFirstMenuRecord; index < present; ++index)
            if (!visited_[index])
                list += (list.empty() ? "" : ", ") + std::to_string(index);
        if (!list.empty())
            warn(TRANSLATABLE("Core", "Records not reached from the menu tree were left out: ") + list);
    }

    // What a save of the document would not write back: the header bytes it writes otherwise
    // (the record count aside), a record's bytes after its name's zero byte and its group byte,
    // and the data area that no record points into (gaps and a tail).
    void noteBytesOutsideRecords()
    {
        std::vector<bool> kept(in_.size(), false);
        const auto header = menuFileHeader(menu_.saveMode, static_cast<uint8_t>(count_));
        for (size_t i = 0; i < kMenuHeaderSize; ++i)
            kept[i] = i == 2 || *in_.at(i) == header[i];
        const size_t present = std::min(count_, (in_.size() - kHeaderSize) / recordSize_);
        const size_t nameWidth = recordSize_ == 36 ? 25 : 12;
        for (size_t index = 0; index < present; ++index) {
            const size_t at = kHeaderSize + index * recordSize_;
            std::fill(kept.begin() + static_cast<std::ptrdiff_t>(at),
                      kept.begin() + static_cast<std::ptrdiff_t>(at + recordSize_), true);
            // Records never reached are told of on their own.
            if (!visited_[index])
                continue;
            const auto r = record(index);
            bool afterZero = false;
            for (size_t i = 6; i < 6 + nameWidth; ++i) {
                kept[at + i] = !afterZero || r[i] == 0;
                afterZero = afterZero || r[i] == 0;
            }
            if (recordSize_ == 36) {
                const uint8_t group = index < kMenuRootRecord ? kGroupSoftkeys : kGroupMenu;
                kept[at + 6 + nameWidth] = r[6 + nameWidth] == group;
            }
        }
        // Bytes past the records of a file that ends inside them stay unmarked above; the
        // partial record is told of on its own.
        for (size_t i = kHeaderSize + present * recordSize_; i < std::min(dataBase_, in_.size()); ++i)
            kept[i] = true;
        // Data that a record points to belongs to it, also when the record itself is lost.
        const size_t dataSize = in_.size() > dataBase_ ? in_.size() - dataBase_ : 0;
        for (size_t index = 0; index < present; ++index) {
            const MenuRecord item = itemOf(record(index));
            if (size_t(item.dataOffset) + item.dataLength > dataSize)
                continue;
            const size_t start = dataBase_ + item.dataOffset;
            std::fill(kept.begin() + static_cast<std::ptrdiff_t>(start),
                      kept.begin() + static_cast<std::ptrdiff_t>(start + item.dataLength), true);
        }
        for (size_t i = 0; i < in_.size(); ++i)
            if (!kept[i])
                report_.bytesOutsideRecords.push_back(*in_.at(i));
        if (!report_.bytesOutsideRecords.empty())
            warn(bytesOutsideRecordsText(report_.bytesOutsideRecords.size()));
    }

    std::span<const uint8_t> record(size_t index) const
    {
        return in_.slice(kHeaderSize + index * recordSize_, recordSize_);
    }

    MenuRecord itemOf(std::span<const uint8_t> r) const
    {
        MenuRecord item;
        item.itemType = r[0];
        item.parentIndex = r[1];
        item.nextIndex = r[2];
        item.childIndex = r[3];
        item.options = r[4];
        item.attributes = r[5];
        const auto field = r.subspan(6, recordSize_ == 36 ? 25 : 12);
        const auto length = std::find(field.begin(), field.end(), uint8_t(0)) - field.begin();
        item.name.assign(reinterpret_cast<const char*>(field.data()), static_cast<size_t>(length));
        item.dataOffset = read16(r.data() + recordSize_ - 4, order_);
        item.dataLength = read16(r.data() + recordSize_ - 2, order_);
        item.hasData = item.dataLength != 0;
        return item;
    }

    // Looks a catalogue name up in the available items. Returns false to abort the read.
    bool resolve(MenuRecord& item, std::string& displayName)
    {
        const ItemLists& items = menu_.items;
        const size_t k = items.findAvailable(item.name);
        item.canHoldItems = items.canHoldItems(k);
        if (item.options == kOptionsCustom)
            item.options = kOptionsTitled;
        if (k >= items.available().size()) {
            if (!options_.acceptUnknown) {
                failure_ = Error(ErrorKind::Refused, std::string(kProfileMismatchText),
                                 std::string(kProfileErrorCaption));
                return false;
            }
            appendUnknown(item);
            item.unlisted = true;
        }
        displayName = items.displayName(k);
        return true;
    }

    void appendUnknown(const MenuRecord& item)
    {
        // Each unknown identifier is noted once per read, so the item base gets no duplicate
        // lines from a file that uses it twice.
        if (!appended_.insert(item.name).second)
            return;
        if (!fitsItemBaseLine(item.name)) {
            warn(TRANSLATABLE("Core", "The unknown item name \"") + printable(item.name)
                 + TRANSLATABLE("Core", "\" cannot be written to the item base: it is empty or holds a line "
                                        "break, a control character, \";\" or a byte beyond ASCII"));
            return;
        }
        unknown_.push_back({item.name, item.itemType == kTypeShortcut});
    }

    // Only a clean read adds to the item base: the names in a damaged file may be as damaged
    // as the rest, and a junk line in itembase.dat stays there for good.
    void recordUnknown()
    {
        if (unknown_.empty() || options_.itemBasePath.empty())
            return;
        if (!report_.warnings.empty()) {
            std::string names;
            for (const auto& [name, shortcut] : unknown_)
                names += (names.empty() ? "" : ", ") + name;
            warn(TRANSLATABLE("Core", "Unknown items of this damaged file were not added to the item base: ") + names);
            return;
        }
        for (const auto& [name, shortcut] : unknown_) {
            const Result<size_t> added = appendItemBaseLine(options_.itemBasePath, name, shortcut);
            if (!added) {
                warn(TRANSLATABLE("Core", "The unknown item ") + name
                     + TRANSLATABLE("Core", " could not be added to the item base: ") + added.error());
                return;
            }
            // A line the file has already (beyond what the item base in memory holds) is not
            // added again, and reloading would not make it known.
            if (*added > 0)
                report_.itemBaseUpdated = true;
        }
    }

    bool readTree()
    {
        MenuDocument& doc = menu_.document;
        setFixedTopNodes(doc, 0);

        // The seven softkeys: records 2 to 8, present in every file that got this far.
        for (size_t k = 0; k < kSoftkeyCount; ++k) {
            const size_t index = kFirstSoftkeyRecord + k;
            visited_[index] = true;
            MenuRecord item = itemOf(record(index));
            item.recordNo = static_cast<uint8_t>(index + 1);
            item.group = kGroupSoftkeys;
            item.canHoldItems = 0;
            std::string text;
            if (isCustomName(item.name)) {
                menu_.customCounter = saturatedByte(menu_.customCounter + 1u);
                text = item.name;
            } else if (!resolve(item, text)) {
                return false;
            }
            item.canHoldItems = 0;
            doc.appendNode(doc.softkeys(), std::make_unique<MenuNode>(softkeyPrefix(static_cast<int>(k)) + text,
                                                                      std::move(item)));
        }
        for (size_t index : {size_t(0), size_t(1), size_t(9)})
            visited_[index] = true;
        return readGroup(kFirstMenuRecord, doc.menuRoot());
    }

    // The records from `start` on that name the same parent as the first: in a well-formed file
    // the size of the group that starts there.
    size_t groupSize(size_t start) const
    {
        size_t index = start;
        const auto first = record(start);
        while (index < count_ && !record(index).empty() && record(index)[1] == first[1])
            ++index;
        return index - start;
    }

    // Reads the sibling group that starts at record `start` under `parent`, each member
    // followed by its own group. Returns false when the read was aborted.
    bool readGroup(size_t start, MenuNode* parent)
    {
        menu_.document.reserveChildren(parent, parent->childCount() + groupSize(start));
        int remembered = -1;
        for (size_t index = start; index < count_; ++index) {
            const auto r = record(index);
            if (r.empty())
                break;  // end of file
            const uint8_t parentByte = r[1];
            if (remembered < 0 || remembered == 0)
                remembered = parentByte;
            if (parentByte != remembered)
                break;
            if (visited_[index]) {
                warn(TRANSLATABLE("Core", "Record ") + std::to_string(index) +
                     TRANSLATABLE("Core", " is reached a second time; its group ends there"));
                break;
            }
            visited_[index] = true;

            MenuRecord item = itemOf(r);
            item.recordNo = static_cast<uint8_t>(index + 1);
            item.group = kGroupMenu;
            std::string text;
            if (isCustomName(item.name)) {
                const unsigned long number = customNumber(item.name);
                if (number > menu_.customCounter)
                    menu_.customCounter = saturatedByte(number);
                item.canHoldItems = 1;
                text = item.name;
            } else if (!resolve(item, text)) {
                return false;
            }
            const uint8_t child = item.childIndex;
            MenuNode* node = menu_.document.appendNode(parent, std::make_unique<MenuNode>(std::move(text), std::move(item)));

            if (child != kNoIndex) {
                if (child < kFirstMenuRecord || child >= count_)
                    warn(TRANSLATABLE("Core", "Record ") + std::to_string(index) +
                         TRANSLATABLE("Core", " names record ") + std::to_string(child) +
                         TRANSLATABLE("Core", " as its first child, outside the main menu records; "
                                              "its children were skipped"));
                else if (visited_[child])
                    warn(TRANSLATABLE("Core", "Record ") + std::to_string(index) +
                         TRANSLATABLE("Core", " names record ") + std::to_string(child) +
                         TRANSLATABLE("Core", " as its first child, a record already read; "
                                              "its children were skipped"));
                else if (!readGroup(child, node))
                    return false;
            }
        }
        return true;
    }

    ByteReader in_;
    OpenMenu& menu_;
    const ReadOptions& options_;
    ReadReport report_;
    std::optional<Error> failure_;
    size_t recordSize_ = 36;
    size_t count_ = 0;
    size_t dataBase_ = 0;
    ByteOrder order_ = ByteOrder::Big;
    std::array<bool, 256> visited_{};
    std::set<std::string> appended_;
    std::vector<std::pair<std::string, bool>> unknown_;  // identifier, shortcut; in file order
};

void parseNode(const MenuNode& node, const ItemDataSource& source, ItemDataTable& table, SaveMode& saveMode,
               std::vector<std::string>& warnings)
{
    const MenuRecord& item = node.item;
    if (!item.hasData)
        return;
    const ByteReader area(source.dataArea);
    auto who = [&item] {
        return TRANSLATABLE("Core", "Item ") + item.name + TRANSLATABLE("Core", " (record ") +
               std::to_string(item.recordNo - 1) + "): ";
    };
    if (!area.has(item.dataOffset, item.dataLength)) {
        warnings.push_back(who() + TRANSLATABLE("Core", "its data at offset ") + std::to_string(item.dataOffset) +
                           " (" + std::to_string(item.dataLength) +
                           TRANSLATABLE("Core", " bytes) lies beyond the end of the file"));
        return;
    }
    DecodedItemData decoded = decodeItemData(area.slice(item.dataOffset, item.dataLength), source.format);
    for (std::string& w : decoded.warnings)
        warnings.push_back(who() + w);
    if (decoded.iconMarker)
        saveMode.forceIconMarker(*decoded.iconMarker);
    if (!decoded.block.entries.empty())
        table.store(item.recordNo, std::move(decoded.block));
}

} // namespace

void parseItemData(const MenuNode& node, const ItemDataSource& source, ItemDataTable& table, SaveMode& saveMode,
                   std::vector<std::string>& warnings)
{
    parseNode(node, source, table, saveMode, warnings);
    for (const auto& child : node.children())
        parseItemData(*child, source, table, saveMode, warnings);
}

std::string bytesOutsideRecordsText(size_t count)
{
    return std::to_string(count) + TRANSLATABLE("Core", " bytes outside the menu's records will not be kept");
}

Result<ReadReport> readMenuBytes(std::span<const uint8_t> bytes, OpenMenu& menu, const ReadOptions& options)
{
    return Reader(bytes, menu, options).run();
}

Result<ReadReport> readMenuFile(const std::string& path, OpenMenu& menu, const ReadOptions& options)
{
    const auto bytes = readWholeFileBytes(path);
    if (!bytes)
        return bytes.failure();
    return readMenuBytes(bytes.value(), menu, options);
}

} // namespace tessaro
