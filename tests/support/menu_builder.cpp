#include "support/menu_builder.h"

#include <functional>

#include "core/catalogue.h"
#include "core/item_data.h"
#include "core/mma_item.h"

namespace tessaro::testing {

std::vector<uint8_t> rawDataRecord(uint8_t kind, uint16_t length, std::span<const uint8_t> payload, ByteOrder order)
{
    std::vector<uint8_t> out{kind};
    append16(out, length, order);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> dataRecord(uint8_t kind, std::span<const uint8_t> payload, ByteOrder order)
{
    return rawDataRecord(kind, static_cast<uint16_t>(payload.size()), payload, order);
}

std::vector<uint8_t> titleRecord(uint8_t kind, const std::vector<std::pair<uint8_t, std::u16string>>& titles,
                                 int recordSize, ByteOrder order)
{
    std::vector<uint8_t> payload{static_cast<uint8_t>(titles.size())};
    std::vector<uint8_t> texts;
    for (const auto& [language, text] : titles) {
        for (char16_t c : text)
            append16(texts, c, order);
        append16(texts, 0, order);
        payload.push_back(language);
        payload.push_back(recordSize == 36 ? 0xCD : 0x00);
        append16(payload, static_cast<uint16_t>(texts.size()), order);
    }
    payload.insert(payload.end(), texts.begin(), texts.end());
    return dataRecord(kind, payload, order);
}

std::vector<uint8_t> asciiRecord(uint8_t kind, std::string_view text, ByteOrder order)
{
    std::vector<uint8_t> payload(text.begin(), text.end());
    payload.push_back(0);
    return dataRecord(kind, payload, order);
}

std::vector<uint8_t> iconRecord(uint8_t kind, uint8_t role, std::u16string_view path, ByteOrder order)
{
    std::vector<uint8_t> payload{role};
    for (char16_t c : path)
        append16(payload, c, order);
    append16(payload, 0, order);
    return dataRecord(kind, payload, order);
}

std::vector<uint8_t> drmRecord(uint8_t kind, uint8_t first, uint16_t number, ByteOrder order)
{
    std::vector<uint8_t> payload{first, 0x00};
    append16(payload, number, order);
    return dataRecord(kind, payload, order);
}

std::vector<uint8_t> codeRecord(uint8_t kind, uint8_t value, ByteOrder order)
{
    const uint8_t payload[] = {value};
    return dataRecord(kind, payload, order);
}

std::vector<uint8_t> actionRecord(uint16_t code, ByteOrder order)
{
    std::vector<uint8_t> payload;
    append16(payload, code, order);
    return dataRecord(22, payload, order);
}

std::vector<uint8_t> shortcutRecord(std::string_view identifier, ByteOrder order)
{
    std::vector<uint8_t> payload(25, 0);
    for (size_t i = 0; i < identifier.size() && i < payload.size(); ++i)
        payload[i] = static_cast<uint8_t>(identifier[i]);
    return dataRecord(23, payload, order);
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> MenuFile::recordBytes(const RawRecord& r) const
{
    std::vector<uint8_t> out{r.itemType, r.parentIndex, r.nextIndex, r.childIndex, r.options, r.attributes};
    const size_t width = recordSize == 22 ? 12 : 25;
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < r.name.size() ? static_cast<uint8_t>(r.name[i]) : 0);
    if (recordSize == 36)
        out.push_back(r.group);
    append16(out, r.dataOffset, order);
    append16(out, r.dataLength, order);
    return out;
}

std::vector<uint8_t> MenuFile::bytes() const
{
    std::vector<uint8_t> out(header.begin(), header.end());
    for (const RawRecord& r : records) {
        const auto b = recordBytes(r);
        out.insert(out.end(), b.begin(), b.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

MenuBuilder::MenuBuilder(int recordSize, ByteOrder order, bool c698p)
    : recordSize_(recordSize), order_(order), c698p_(c698p)
{
    for (size_t k = 0; k < softkeys_.size(); ++k)
        softkeys_[k] = BuilderItem{kDefaultSoftkeys[k].identifier};
}

MenuBuilder& MenuBuilder::softkey(int k, BuilderItem item)
{
    softkeys_.at(static_cast<size_t>(k)) = std::move(item);
    return *this;
}

int MenuBuilder::addItem(int parent, BuilderItem item)
{
    const int handle = static_cast<int>(nodes_.size());
    nodes_.push_back({std::move(item), parent, {}});
    if (parent == kRoot)
        rootChildren_.push_back(handle);
    else
        nodes_.at(static_cast<size_t>(parent)).children.push_back(handle);
    return handle;
}

int MenuBuilder::add(int parent, std::string name, uint8_t itemType, std::vector<uint8_t> data)
{
    return addItem(parent, BuilderItem{std::move(name), itemType, 0, 0x41, std::move(data)});
}

std::vector<int> MenuBuilder::recordOrder() const
{
    // A sibling group, then each member's own group, depth first.
    std::vector<int> order;
    std::function<void(const std::vector<int>&)> group = [&](const std::vector<int>& members) {
        order.insert(order.end(), members.begin(), members.end());
        for (int m : members)
            group(nodes_[static_cast<size_t>(m)].children);
    };
    group(rootChildren_);
    return order;
}

int MenuBuilder::recordOf(int handle) const
{
    const auto order = recordOrder();
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == handle)
            return static_cast<int>(10 + i);
    return -1;
}

MenuFile MenuBuilder::layout() const
{
    MenuFile file;
    file.recordSize = recordSize_;
    file.order = order_;
    const auto order = recordOrder();
    std::vector<int> recordIndex(nodes_.size(), -1);
    for (size_t i = 0; i < order.size(); ++i)
        recordIndex[static_cast<size_t>(order[i])] = static_cast<int>(10 + i);

    const uint8_t marker = c698p_ ? 0x03 : 0x01;
    const bool cdma = order_ == ByteOrder::Little;
    file.header = {0x00, marker, static_cast<uint8_t>(10 + order.size()), 0x01, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF};
    if (cdma)
        file.header = {marker, 0x00, file.header[2], 0x00, 0xFF, 0xFF, 0x15, 0x02, 0xFF, 0xFF};
    if (recordSize_ == 22)
        file.header[6] = file.header[7] = 0xFF;

    auto withData = [&](RawRecord r, const std::vector<uint8_t>& data) {
        r.dataOffset = static_cast<uint16_t>(file.data.size());
        r.dataLength = static_cast<uint16_t>(data.size());
        file.data.insert(file.data.end(), data.begin(), data.end());
        return r;
    };

    file.records.push_back({0x01, 0xFF, 0xFF, 0x01, 0, 0, "Root", 0xCC});
    file.records.push_back({0x01, 0x01, 0x02, 0xFF, 0, 0, "Container", 0xCC});
    for (const BuilderItem& k : softkeys_)
        file.records.push_back(withData({k.itemType, 0xFF, 0xFF, 0xFF, k.options, k.attributes, k.name, 0xCC}, k.data));
    file.records.push_back({0x01, 0xFF, 0xFF, static_cast<uint8_t>(rootChildren_.empty() ? 0 : 10), 0, 0,
                            "MenuRoot", 0xCD});

    for (int handle : order) {
        const Node& n = nodes_[static_cast<size_t>(handle)];
        const std::vector<int>& siblings =
            n.parent == kRoot ? rootChildren_ : nodes_[static_cast<size_t>(n.parent)].children;
        const int self = recordIndex[static_cast<size_t>(handle)];
        RawRecord r;
        r.itemType = n.item.itemType;
        r.parentIndex = static_cast<uint8_t>(n.parent == kRoot ? 9 : recordIndex[static_cast<size_t>(n.parent)]);
        r.nextIndex = siblings.back() == handle ? 0xFF : static_cast<uint8_t>(self + 1);
        r.childIndex = n.children.empty() ? 0xFF
                                          : static_cast<uint8_t>(recordIndex[static_cast<size_t>(n.children.front())]);
        r.options = n.item.options;
        r.attributes = n.item.attributes;
        r.name = n.item.name;
        file.records.push_back(withData(r, n.item.data));
    }
    return file;
}

std::vector<uint8_t> richFile(int recordSize, ByteOrder o, bool c698p, uint8_t iconKind, bool withDialNumber)
{
    MenuBuilder b(recordSize, o, c698p);
    b.softkey(0, {"PhoneBook", 0, 0x08, 0x41,
                  titleRecord(1, {{1, u"Names"}, {35, u"\u0418\u043C\u0435\u043D\u0430"}}, recordSize, o)});
    b.softkey(4, {"~2", 0, 0x18, 0x00, iconRecord(iconKind, kRoleList, u"/a/mobile/picture/k.gif", o)});
    const int games = b.add(MenuBuilder::kRoot, "Games", kTypeContainer,
                            join({titleRecord(0, {{1, u"Games"}, {7, u"Spiele"}, {6, u"Jeux"}}, recordSize, o),
                                  iconRecord(iconKind, kRoleStatic, u"/b/games.gif", o), drmRecord(15, 0x12, 17, o)}));
    b.add(games, "Calculator", kTypeJava,
          join({asciiRecord(9, "Calc, Vendor, com.example.Calc", o), asciiRecord(10, "Calc", o),
                asciiRecord(11, "Vendor", o), drmRecord(16, 0x12, 300, o), drmRecord(17, 0x00, 0xFFFF, o)}));
    const int tools = b.add(games, "Tools", kTypeContainer, titleRecord(0, {{1, u""}}, recordSize, o));
    b.add(tools, "~12", kTypeUrl,
          join({asciiRecord(5, "http://example.org/menu", o), titleRecord(0, {{1, u"Web"}}, recordSize, o)}));
    b.add(tools, "~13", kTypeShowText,
          titleRecord(21, {{1, u"Line one\nLine two"}, {2, u"\u0627\u0644\u0633\u0644\u0627\u0645"}}, recordSize, o));
    b.add(MenuBuilder::kRoot, "DialedCalls", kTypeShortcut, shortcutRecord("DialedCalls", o));
    b.add(MenuBuilder::kRoot, "~14", kTypeAction, join({actionRecord(0x1234, o), codeRecord(18, 3, o)}));
    b.add(MenuBuilder::kRoot, "~15", kTypeCall,
          join({codeRecord(19, 0, o), codeRecord(20, 255, o),
                withDialNumber ? asciiRecord(6, "+15551234", o) : titleRecord(0, {{9, u"Chiama"}}, recordSize, o),
                // Unknown kinds, kept by "Save all data".
                dataRecord(2, std::vector<uint8_t>{0xDE, 0xAD}, o), dataRecord(24, std::vector<uint8_t>{}, o),
                dataRecord(255, std::vector<uint8_t>(40, 0x5A), o)}));
    b.add(MenuBuilder::kRoot, "Radio");
    return b.bytes();
}

} // namespace tessaro::testing
