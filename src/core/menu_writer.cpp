#include "core/menu_writer.h"

#include <algorithm>
#include <span>

#include "core/bytes.h"
#include "core/catalogue.h"
#include "core/file_fingerprint.h"
#include "core/item_data_codec.h"
#include "core/menu_document.h"
#include "core/open_menu.h"
#include "core/replacing_file.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

constexpr size_t kHeaderSize = kMenuHeaderSize;
constexpr size_t kMaxRecords = 255;      // record indices are one byte, 0xFF names none
constexpr size_t kMaxDataArea = 0xFFFF;  // dataOffset and dataLength are 16-bit
constexpr const char* kLimitCaption = TRANSLATABLE("Core", "Error");

// One node's record with the length of its data in the data area.
struct Slot {
    MenuNode* node;
    size_t dataLength = 0;
};

// The group writer's order: a sibling group, then each member's own group.
void groupOrder(MenuNode* parent, std::vector<Slot>& out)
{
    for (const auto& c : parent->children())
        out.push_back({c.get()});
    for (const auto& c : parent->children())
        if (c->hasChildren())
            groupOrder(c.get(), out);
}

bool holdsDialNumber(const ItemDataBlock* block)
{
    if (!block)
        return false;
    for (const DataEntry& e : block->entries)
        if (e.kind == kind::DialNumber)
            return true;
    return false;
}

class Renderer {
public:
    explicit Renderer(OpenMenu& menu) : menu_(menu)
    {
        const SaveMode& mode = menu.saveMode;
        recordSize_ = mode.recordSize() == 22 ? 22 : 36;
        nameWidth_ = recordSize_ == 22 ? 12 : 25;
        order_ = mode.cdma() ? ByteOrder::Little : ByteOrder::Big;
    }

    Result<std::vector<uint8_t>> run()
    {
        MenuDocument& doc = menu_.document;
        if (doc.isEmpty() || !doc.menuRoot())
            return refuse(kLimitCaption, TRANSLATABLE("Core", "There is no menu to save"));
        MenuNode* softkeys = doc.softkeys();
        // Records 2 to 8 are the softkeys: any other shape would shift the Menu Root away
        // from record 9, where the phone and every reader expect it.
        bool softkeysFit = softkeys->childCount() == kSoftkeyCount;
        for (const auto& k : softkeys->children())
            softkeysFit = softkeysFit && !k->hasChildren();
        if (!softkeysFit)
            return refuse(kLimitCaption,
                          TRANSLATABLE("Core", "The softkey area must hold exactly seven items without subitems"));
        const size_t records = doc.nodeCount() + 1;
        if (records > kMaxRecords)
            return refuse(kLimitCaption,
                          TRANSLATABLE("Core", "The menu needs ") + std::to_string(records)
                              + TRANSLATABLE("Core", " records; an mma_ucp file holds at most 255 (245 menu items)"));

        std::vector<Slot> softkeySlots;
        std::vector<Slot> menuSlots;
        softkeySlots.reserve(kSoftkeyCount);
        menuSlots.reserve(records);
        groupOrder(softkeys, softkeySlots);
        groupOrder(doc.menuRoot(), menuSlots);

        if (recordSize_ == 22) {
            // In 22-byte files kind 6 is a file-system icon: a number to dial written there
            // would come back as an icon path made of its digits.
            std::string dialItems;
            for (auto* slots : {&softkeySlots, &menuSlots})
                for (const Slot& s : *slots)
                    if (holdsDialNumber(doc.data().at(s.node->item.recordNo)))
                        dialItems += (dialItems.empty() ? "" : ", ") + s.node->item.name;
            if (!dialItems.empty())
                return refuse(kLimitCaption, std::string(kDialIn22ByteText) + dialItems);
            // A cut name is another item, or none the phone knows.
            std::string longNames;
            for (auto* slots : {&softkeySlots, &menuSlots})
                for (const Slot& s : *slots)
                    if (s.node->item.name.size() > 12)
                        longNames += (longNames.empty() ? "" : ", ") + s.node->item.name;
            if (!longNames.empty())
                return refuse(kLimitCaption, kLongNameIn22ByteText + longNames);
        }

        // Data first, straight into the data area: every limit is known before a record is
        // written. The data lengths of the last read or save tell how much room it needs.
        const EncodeOptions encode{{static_cast<int>(recordSize_), order_}, menu_.saveMode.iconMarker(), menu_.saveMode.saveAll()};
        const size_t dataArea = kHeaderSize + records * recordSize_;
        size_t expected = 0;
        for (auto* slots : {&softkeySlots, &menuSlots})
            for (const Slot& s : *slots)
                expected += s.node->item.dataLength;
        std::vector<uint8_t> out;
        out.reserve(dataArea + expected);
        out.resize(dataArea);
        for (auto* slots : {&softkeySlots, &menuSlots}) {
            for (Slot& s : *slots) {
                const ItemDataBlock* block = doc.data().at(s.node->item.recordNo);
                if (!block)
                    continue;
                const size_t start = out.size();
                const Status st = encodeItemData(*block, encode, out);
                if (!st.ok())
                    return refuse(kLimitCaption, TRANSLATABLE("Core", "The data of item ") + s.node->item.name
                                                     + TRANSLATABLE("Core", " cannot be saved: ") + st.error());
                s.dataLength = out.size() - start;
            }
        }
        const size_t total = out.size() - dataArea;
        if (total > kMaxDataArea)
            return refuse(kLimitCaption,
                          TRANSLATABLE("Core", "The item data needs ") + std::to_string(total)
                              + TRANSLATABLE("Core", " bytes; an mma_ucp data area holds at most 65535"));

        const auto head = menuFileHeader(menu_.saveMode, static_cast<uint8_t>(records));
        std::copy(head.begin(), head.end(), out.begin());
        record_ = out.data() + kHeaderSize;
        rootRecord();
        putRecord(softkeys->item, softkeys->item.dataOffset, softkeys->item.dataLength);
        if (!groupRecords(softkeySlots))
            return refuse(std::string(kProfileErrorCaption), std::string(kProfileMismatchText));
        MenuNode* root = doc.menuRoot();
        putRecord(root->item, root->item.dataOffset, root->item.dataLength);
        if (!groupRecords(menuSlots))
            return refuse(std::string(kProfileErrorCaption), std::string(kProfileMismatchText));
        return out;
    }

private:
    static Error refuse(const std::string& caption, std::string text)
    {
        return Error(ErrorKind::Refused, std::move(text), caption);
    }

    void rootRecord()
    {
        MenuRecord root;
        root.itemType = 0x01;
        root.parentIndex = 0xFF;
        root.nextIndex = 0xFF;
        root.childIndex = 0x01;
        root.name = "Root";
        root.group = kGroupSoftkeys;
        putRecord(root, 0, 0);
    }

    // Writes the next record.
    void putRecord(const MenuRecord& item, uint16_t offset, uint16_t length)
    {
        uint8_t* p = record_;
        p[0] = item.itemType;
        p[1] = item.parentIndex;
        p[2] = item.nextIndex;
        p[3] = item.childIndex;
        p[4] = item.options;
        p[5] = item.attributes;
        // A name that fills the field has no zero byte; a longer one is cut.
        const size_t nameLength = std::min(item.name.size(), nameWidth_);
        std::copy_n(item.name.begin(), nameLength, p + 6);
        std::fill(p + 6 + nameLength, p + 6 + nameWidth_, uint8_t(0));
        if (recordSize_ == 36)
            p[6 + nameWidth_] = item.group;
        put16(p + recordSize_ - 4, offset, order_);
        put16(p + recordSize_ - 2, length, order_);
        record_ += recordSize_;
    }

    // The records of one area in group-writer order. Returns false when an item is outside
    // the available items and was not read so from a file; the records before it have been
    // normalised as a save does.
    bool groupRecords(std::vector<Slot>& slots)
    {
        for (Slot& s : slots) {
            MenuRecord& item = s.node->item;
            if (!item.unlisted && !menu_.items.isAllowed(item.name))
                return false;
            const uint8_t typeBefore = item.itemType;
            const uint16_t lengthBefore = item.dataLength;
            if (item.itemType == kTypeContainer && !s.node->hasChildren() && item.group != kGroupSoftkeys)
                item.itemType = kTypeItem;
            if ((item.itemType == 2 || item.itemType > kTypeShortcut) && !menu_.saveMode.saveAll())
                item.itemType = kTypeItem;
            item.dataLength = static_cast<uint16_t>(s.dataLength);
            putRecord(item, static_cast<uint16_t>(offset_), item.dataLength);
            offset_ += s.dataLength;
            if (item.itemType != typeBefore || item.dataLength != lengthBefore)
                menu_.document.touch(s.node);
        }
        return true;
    }

    OpenMenu& menu_;
    size_t recordSize_ = 36;
    size_t nameWidth_ = 25;
    ByteOrder order_ = ByteOrder::Big;
    uint8_t* record_ = nullptr;  // where the next record goes
    size_t offset_ = 0;          // running offset into the data area
};

} // namespace

std::array<uint8_t, kMenuHeaderSize> menuFileHeader(const SaveMode& mode, uint8_t records)
{
    std::array<uint8_t, kMenuHeaderSize> h = {0x00, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF};
    const uint8_t marker = mode.c698p() ? 0x03 : 0x01;
    h[1] = marker;
    if (mode.cdma()) {
        h[0] = marker;
        h[1] = 0x00;
        h[3] = 0x00;
    }
    h[2] = records;
    if (mode.recordSize() == 22) {
        h[6] = 0xFF;
        h[7] = 0xFF;
    }
    return h;
}

Result<std::vector<uint8_t>> renderMenuFile(OpenMenu& menu)
{
    return Renderer(menu).run();
}

size_t unknownRecordsLeftOut(const OpenMenu& menu)
{
    if (menu.saveMode.saveAll())
        return 0;
    const MenuDocument& doc = menu.document;
    size_t count = 0;
    // The two top nodes write no data of their own.
    for (const MenuNode* node : doc.preorder()) {
        const ItemDataBlock* block =
            node == doc.softkeys() || node == doc.menuRoot() ? nullptr : doc.data().at(node->item.recordNo);
        if (!block)
            continue;
        for (const DataEntry& e : block->entries)
            if (e.kind == kind::Unsupported)
                count += e.records.size();
    }
    return count;
}

std::string unknownRecordsLeftOutText(size_t count)
{
    return std::to_string(count)
           + TRANSLATABLE("Core", " data records of unknown kinds will be left out. Save all keeps them.");
}

Status writeMenuFile(const std::string& path, OpenMenu& menu, ReplaceOptions options)
{
    Result<std::vector<uint8_t>> bytes = Renderer(menu).run();
    if (!bytes)
        return bytes.failure();
    return replaceFile(path, bytes.value(), options);
}

Status writeMenuFileChecked(const std::string& path, OpenMenu& menu, FileFingerprint& fingerprint,
                            ReplaceOptions options)
{
    Result<std::vector<uint8_t>> bytes = Renderer(menu).run();
    if (!bytes)
        return bytes.failure();
    options.unchangedSince = &fingerprint;
    if (Status written = replaceFile(path, bytes.value(), options); !written)
        return written;
    fingerprint = fingerprintOf(path, bytes.value());
    return Status::success();
}

} // namespace tessaro
