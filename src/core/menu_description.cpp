#include "core/menu_description.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "core/catalogue.h"
#include "core/item_data_codec.h"
#include "core/item_lists.h"
#include "core/json_path.h"
#include "core/menu_document.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "core/renumber.h"

namespace tessaro {

namespace {

DescribedItem describeNode(const MenuNode& node, const ItemDataTable& table)
{
    DescribedItem item;
    item.name = node.item.name;
    item.itemType = node.item.itemType;
    item.options = node.item.options;
    item.attributes = node.item.attributes;
    if (const ItemDataBlock* block = table.at(node.item.recordNo))
        item.data = block->entries;
    item.items.reserve(node.childCount());
    for (const auto& child : node.children())
        item.items.push_back(describeNode(*child, table));
    return item;
}

// --- checks -------------------------------------------------------------------------------

bool isTitleKind(uint8_t k)
{
    return k == kind::MenuTitle || k == kind::SoftkeyTitle || k == kind::ShowText;
}

class Checker {
public:
    Checker(const SaveMode& mode, const ItemLists& items) : mode_(mode), items_(items) {}

    Status run(const MenuDescription& d)
    {
        if (check(d))
            return {};
        return Error(ErrorKind::Format, std::move(problem_));
    }

private:
    // Each check returns false after noting the first problem.
    bool check(const MenuDescription& d)
    {
        const JsonPath top;
        const JsonPath softkeys(top, "softkeys");
        if (d.softkeys.size() != kSoftkeyCount)
            return fail(softkeys, "there must be exactly " + std::to_string(kSoftkeyCount) + " softkeys, not "
                                      + std::to_string(d.softkeys.size()));
        for (size_t k = 0; k < d.softkeys.size(); ++k) {
            const JsonPath at(softkeys, k);
            if (!d.softkeys[k].items.empty())
                return fail(JsonPath(at, "items"), "a softkey holds no subitems");
            if (!item(d.softkeys[k], at))
                return false;
        }
        return group(d.menu, JsonPath(top, "menu"));
    }

    bool fail(const JsonPath& at, const std::string& what)
    {
        problem_ = at.text() + ": " + what;
        return false;
    }

    bool group(const std::vector<DescribedItem>& items, const JsonPath& at)
    {
        for (size_t i = 0; i < items.size(); ++i) {
            const JsonPath here(at, i);
            if (++menuItems_ > kMaxMenuItems)
                return fail(here, "more than " + std::to_string(kMaxMenuItems)
                                      + " menu items; an mma_ucp file holds no more");
            if (!item(items[i], here))
                return false;
            if (!group(items[i].items, JsonPath(here, "items")))
                return false;
        }
        return true;
    }

    bool item(const DescribedItem& it, const JsonPath& at)
    {
        const size_t width = mode_.recordSize() == 22 ? 12 : 25;
        if (it.name.empty())
            return fail(JsonPath(at, "id"), "the identifier is empty");
        if (it.name.find('\0') != std::string::npos)
            return fail(JsonPath(at, "id"), "the identifier holds a zero character");
        if (it.name.size() > width)
            return fail(JsonPath(at, "id"), "the identifier \"" + it.name + "\" has " + std::to_string(it.name.size())
                                                + " characters; " + std::to_string(mode_.recordSize())
                                                + "-byte records hold " + std::to_string(width));
        if (!items_.isAllowed(it.name))
            return fail(JsonPath(at, "id"),
                        "unknown identifier \"" + it.name + "\": it is not among the available items");
        const JsonPath data(at, "data");
        if (it.data.size() > kMaxEntries)
            return fail(data, "more than " + std::to_string(kMaxEntries) + " data records");
        for (size_t e = 0; e < it.data.size(); ++e)
            if (!entry(it.data[e], JsonPath(data, e)))
                return false;
        return true;
    }

    bool entry(const DataEntry& e, const JsonPath& at)
    {
        if (e.kind == kind::DialNumber && mode_.recordSize() == 22)
            return fail(at, "a dial number cannot be saved in 22-byte records, where that record is an icon");
        if (isTitleKind(e.kind)) {
            const JsonPath titles(at, "titles");
            if (e.titles.size() > kMaxTitles)
                return fail(titles, "more than " + std::to_string(kMaxTitles) + " titles");
            for (size_t t = 0; t < e.titles.size(); ++t) {
                const EntryText& text = e.titles[t].text;
                if (text.size() > kMaxTitleChars)
                    return fail(JsonPath(titles, t), "the title is too long: " + std::to_string(text.size())
                                                         + " characters, at most " + std::to_string(kMaxTitleChars));
                if (std::find(text.begin(), text.end(), u'\0') != text.end())
                    return fail(JsonPath(titles, t), "the title holds a zero character");
            }
        }
        if (e.kind == kind::FileIcon && std::find(e.path.begin(), e.path.end(), u'\0') != e.path.end())
            return fail(JsonPath(at, "path"), "the path holds a zero character");
        if (e.kind == kind::Unsupported) {
            const JsonPath records(at, "records");
            if (e.records.size() > kMaxUnsupportedRecords)
                return fail(records, "more than " + std::to_string(kMaxUnsupportedRecords) + " records");
            for (size_t r = 0; r < e.records.size(); ++r) {
                const UnsupportedRecord& record = e.records[r];
                const JsonPath here(records, r);
                if (record.payload.size() > kMaxUnsupportedPayload)
                    return fail(JsonPath(here, "hex"),
                                "more than " + std::to_string(kMaxUnsupportedPayload) + " bytes");
                // Written raw, a record of a kind the reader knows is read as that kind, or
                // as damaged data; only one it keeps as it is may be written so.
                if (!keptAsUnsupported(record.kind, record.payload.size(), mode_.recordSize())) {
                    const std::string name = recordKindName(record.kind, mode_.recordSize());
                    return fail(JsonPath(here, "kind"),
                                "kind " + std::to_string(record.kind)
                                    + " is no unsupported kind: write the record as {\"kind\": \"" + name + "\", ...}");
                }
            }
        }
        return true;
    }

    const SaveMode& mode_;
    const ItemLists& items_;
    size_t menuItems_ = 0;
    std::string problem_;
};

// --- installing ---------------------------------------------------------------------------

// The number of a custom name ("~12" is 12); 0 when the rest is not a number.
unsigned customNumber(const std::string& name)
{
    unsigned n = 0;
    const char* first = name.data() + 1;
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, n);
    return ec == std::errc() && end == last ? n : 0;
}

std::unique_ptr<MenuNode> topNode(const char* caption, const char* name, uint8_t group)
{
    MenuRecord item;
    item.itemType = kTypeContainer;
    item.name = name;
    item.group = group;
    return std::make_unique<MenuNode>(caption, std::move(item));
}

class Installer {
public:
    explicit Installer(OpenMenu& menu) : ws_(menu) {}

    void run(const MenuDescription& d)
    {
        MenuDocument& doc = ws_.document;
        doc.clear();
        ws_.saveMode = d.saveMode;
        auto softkeys = topNode("Softkeys", "Container", kGroupSoftkeys);
        softkeys->item.parentIndex = 1;
        softkeys->item.nextIndex = 2;
        softkeys->item.recordNo = 2;
        auto root = topNode("Menu Root", "MenuRoot", kGroupMenu);
        root->item.childIndex = 0;
        root->item.recordNo = 10;
        doc.setTopNodes(std::move(softkeys), std::move(root));
        for (size_t k = 0; k < d.softkeys.size(); ++k) {
            const DescribedItem& key = d.softkeys[k];
            MenuNode* node =
                doc.appendNode(doc.softkeys(), makeNode(key, kGroupSoftkeys, softkeyPrefix(static_cast<int>(k))));
            node->item.recordNo = static_cast<uint8_t>(k + 3);
            node->item.canHoldItems = 0;
        }
        addGroup(doc.menuRoot(), d.menu);
        renumberTree(doc);
        // Data goes to the slots the renumbering gave, walking both trees in the same order.
        for (size_t k = 0; k < d.softkeys.size(); ++k)
            store(*doc.softkeys()->child(k), d.softkeys[k]);
        storeGroup(*doc.menuRoot(), d.menu);
        ws_.customCounter = static_cast<uint8_t>(std::min(0xFFu, std::max<unsigned>(ws_.customCounter, counter_)));
        doc.notifyReset();
    }

private:
    std::unique_ptr<MenuNode> makeNode(const DescribedItem& it, uint8_t group, const std::string& prefix)
    {
        MenuRecord item;
        item.name = it.name;
        item.itemType = it.itemType;
        item.options = it.options;
        item.attributes = it.attributes;
        item.group = group;
        item.hasData = !it.data.empty();
        std::string caption;
        if (isCustomName(it.name)) {
            counter_ = std::max(counter_, customNumber(it.name));
            caption = it.name;
        } else {
            const size_t k = ws_.items.findAvailable(it.name);
            item.canHoldItems = ws_.items.canHoldItems(k);
            caption = ws_.items.displayName(k);
        }
        return std::make_unique<MenuNode>(prefix + caption, std::move(item));
    }

    void addGroup(MenuNode* parent, const std::vector<DescribedItem>& items)
    {
        ws_.document.reserveChildren(parent, items.size());
        for (const DescribedItem& it : items) {
            MenuNode* node = ws_.document.appendNode(parent, makeNode(it, kGroupMenu, {}));
            addGroup(node, it.items);
        }
    }

    void store(MenuNode& node, const DescribedItem& it)
    {
        if (it.data.empty())
            return;
        ItemDataBlock block;
        block.entries = it.data;
        node.item.dataLength = itemDataLength(&block, ws_.saveMode.saveAll());
        ws_.document.data().store(node.item.recordNo, std::move(block));
    }

    void storeGroup(MenuNode& parent, const std::vector<DescribedItem>& items)
    {
        for (size_t i = 0; i < items.size(); ++i) {
            store(*parent.child(i), items[i]);
            storeGroup(*parent.child(i), items[i].items);
        }
    }

    OpenMenu& ws_;
    unsigned counter_ = 0;
};

} // namespace

MenuDescription describeMenu(const MenuDocument& document, const SaveMode& saveMode)
{
    MenuDescription d;
    d.saveMode = saveMode;
    if (document.isEmpty())
        return d;
    d.softkeys.reserve(document.softkeys()->childCount());
    d.menu.reserve(document.menuRoot()->childCount());
    for (const auto& key : document.softkeys()->children())
        d.softkeys.push_back(describeNode(*key, document.data()));
    for (const auto& child : document.menuRoot()->children())
        d.menu.push_back(describeNode(*child, document.data()));
    return d;
}

Status checkMenuDescription(const MenuDescription& description, const ItemLists& items)
{
    return Checker(description.saveMode, items).run(description);
}

Status installMenuDescription(const MenuDescription& description, OpenMenu& menu)
{
    if (Status s = checkMenuDescription(description, menu.items); !s)
        return s;
    Installer installer(menu);
    installer.run(description);
    return {};
}

} // namespace tessaro
