#include "core/menu_diff.h"

#include <algorithm>
#include <map>

#include "core/bytes.h"
#include "core/catalogue.h"
#include "core/hex_text.h"
#include "core/menu_text.h"
#include "core/text_encoding.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string onOff(bool on)
{
    return on ? "on" : "off";
}

// --- the data of an item as labelled facts -------------------------------------------------

struct Fact {
    ChangeKind kind;
    // ": menu title 07", ": list icon", ": URL": led by the colon that follows the item, so a
    // window finds the label's translation as a piece of the line.
    std::string label;
    std::string value;
};

const char* roleLabel(uint8_t role)
{
    switch (role) {
    case kRoleAnimated: return TRANSLATABLE("Core", ": animated icon");
    case kRoleStatic: return TRANSLATABLE("Core", ": static icon");
    case kRoleList: return TRANSLATABLE("Core", ": list icon");
    default: return TRANSLATABLE("Core", ": icon");
    }
}

std::vector<Fact> factsOf(const std::vector<DataEntry>& data)
{
    std::vector<Fact> facts;
    auto add = [&facts](ChangeKind kind, std::string label, std::string value) {
        // Two records of one label (two URLs, say) count as one list of values.
        for (Fact& f : facts)
            if (f.label == label) {
                f.value += ", " + value;
                return;
            }
        facts.push_back({kind, std::move(label), std::move(value)});
    };
    for (const DataEntry& e : data) {
        switch (e.kind) {
        case kind::MenuTitle:
        case kind::SoftkeyTitle:
        case kind::ShowText: {
            const char* name = e.kind == kind::MenuTitle      ? TRANSLATABLE("Core", ": menu title ")
                               : e.kind == kind::SoftkeyTitle ? TRANSLATABLE("Core", ": softkey title ")
                                                              : TRANSLATABLE("Core", ": show text ");
            for (const Title& t : e.titles)
                add(e.kind == kind::ShowText ? ChangeKind::Function : ChangeKind::Titles,
                    name + hexDigits(t.language, 2), quoted(utf16ToUtf8(t.text.view())));
            break;
        }
        case kind::Url:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": URL"), quoted(latin1ToUtf8(asciiText(e))));
            break;
        case kind::DialNumber:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": dial number"), quoted(latin1ToUtf8(asciiText(e))));
            break;
        case kind::Midlet1:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": MIDlet"), quoted(latin1ToUtf8(asciiText(e))));
            break;
        case kind::MidletName:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": MIDlet name"), quoted(latin1ToUtf8(asciiText(e))));
            break;
        case kind::MidletVendor:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": MIDlet vendor"), quoted(latin1ToUtf8(asciiText(e))));
            break;
        case kind::FileIcon: add(ChangeKind::Icon, roleLabel(e.role), quoted(utf16ToUtf8(e.path.view()))); break;
        case kind::DrmListIcon:
        case kind::DrmStaticIcon:
        case kind::DrmAnimatedIcon: {
            const char* label = e.kind == kind::DrmListIcon     ? TRANSLATABLE("Core", ": DRM list icon")
                                : e.kind == kind::DrmStaticIcon ? TRANSLATABLE("Core", ": DRM static icon")
                                                                : TRANSLATABLE("Core", ": DRM animated icon");
            add(ChangeKind::Icon, label,
                std::to_string(e.number) + TRANSLATABLE("Core", " (first byte ") + hexNumber(e.first, 2) + ")");
            break;
        }
        case kind::Code12:
        case kind::Code13:
        case kind::Code14:
            add(ChangeKind::Function, TRANSLATABLE("Core", ": code ") + hexDigits(e.kind - kind::Code12 + 0x12, 2),
                std::to_string(e.value));
            break;
        case kind::Action: add(ChangeKind::Function, TRANSLATABLE("Core", ": action"), std::to_string(e.value)); break;
        case kind::ShortcutData: {
            const std::string target = asciiText(e);
            add(ChangeKind::Function, TRANSLATABLE("Core", ": shortcut"),
                target.empty() ? hexText(e.bytes) : quoted(latin1ToUtf8(target)));
            break;
        }
        case kind::Unsupported:
            for (const UnsupportedRecord& r : e.records)
                add(ChangeKind::Data, TRANSLATABLE("Core", ": unsupported kind ") + std::to_string(r.kind),
                    hexText(r.payload));
            break;
        default:
            add(ChangeKind::Data, TRANSLATABLE("Core", ": unsupported kind ") + std::to_string(e.kind),
                hexText(e.bytes));
            break;
        }
    }
    return facts;
}

// --- the comparison -------------------------------------------------------------------------

// One main-menu item in pre-order with where it stands.
struct Placed {
    const DescribedItem* item;
    std::string key;       // identifier and occurrence: the same item on both sides
    std::string parentKey; // empty at the top of the main menu
    std::string where;     // "Games/Tools #2", "menu #4"
    size_t row;
    int match = -1; // index of the same item on the other side
};

void place(const std::vector<DescribedItem>& items, const std::string& parentKey, const std::string& parentPath,
           std::map<std::string, int>& seen, std::vector<Placed>& out)
{
    for (size_t row = 0; row < items.size(); ++row) {
        const DescribedItem& it = items[row];
        const std::string name = latin1ToUtf8(it.name);
        const std::string key = name + "#" + std::to_string(seen[it.name]++);
        out.push_back(
            {&it, key, parentKey, (parentPath.empty() ? "menu" : parentPath) + " #" + std::to_string(row + 1), row});
        place(it.items, key, parentPath.empty() ? name : parentPath + "/" + name, seen, out);
    }
}

std::vector<Placed> placed(const std::vector<DescribedItem>& menu)
{
    std::vector<Placed> out;
    std::map<std::string, int> seen;
    place(menu, {}, {}, seen, out);
    return out;
}

// Positions (in `values`) of a longest strictly increasing subsequence.
std::vector<size_t> longestIncreasing(const std::vector<size_t>& values)
{
    std::vector<size_t> tails; // index of the smallest tail of each length
    std::vector<int> previous(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), values[i],
                                         [&values](size_t t, size_t v) { return values[t] < v; });
        if (at != tails.begin())
            previous[i] = static_cast<int>(*(at - 1));
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<size_t> kept;
    for (int i = tails.empty() ? -1 : static_cast<int>(tails.back()); i >= 0; i = previous[static_cast<size_t>(i)])
        kept.push_back(static_cast<size_t>(i));
    return kept;
}

class Comparison {
public:
    std::vector<MenuChange> run(const MenuDescription& a, const MenuDescription& b)
    {
        saveMode(a.saveMode, b.saveMode);
        for (size_t k = 0; k < std::max(a.softkeys.size(), b.softkeys.size()); ++k)
            softkey(k, k < a.softkeys.size() ? &a.softkeys[k] : nullptr,
                    k < b.softkeys.size() ? &b.softkeys[k] : nullptr);
        menu(a.menu, b.menu);
        outsideRecords(a.bytesOutsideRecords, b.bytesOutsideRecords);
        return std::move(changes_);
    }

private:
    void add(ChangeKind kind, const std::string& item, std::string text)
    {
        changes_.push_back({kind, item, std::move(text)});
    }

    void saveMode(const SaveMode& a, const SaveMode& b)
    {
        auto setting = [this](const char* name, const std::string& before, const std::string& after) {
            if (before != after)
                add(ChangeKind::SaveMode, {},
                    std::string(TRANSLATABLE("Core", "save mode: ")) + name + before + " -> " + after);
        };
        // Each name carries the space after it, which makes it a piece a window can translate.
        setting(TRANSLATABLE("Core", "record size "), std::to_string(a.recordSize()), std::to_string(b.recordSize()));
        setting(TRANSLATABLE("Core", "icon marker "), a.iconMarker() == IconMarker::K06 ? "06" : "0C",
                b.iconMarker() == IconMarker::K06 ? "06" : "0C");
        setting(TRANSLATABLE("Core", "c698p fix "), onOff(a.c698p()), onOff(b.c698p()));
        setting("CDMA ", onOff(a.cdma()), onOff(b.cdma()));
        setting(TRANSLATABLE("Core", "save all data "), onOff(a.saveAll()), onOff(b.saveAll()));
    }

    // Bytes of a file that no save writes back: a file compared with its own save differs there.
    void outsideRecords(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
    {
        if (a == b)
            return;
        std::string text = TRANSLATABLE("Core", "bytes outside the menu's records: ") + std::to_string(a.size())
                           + " -> " + std::to_string(b.size());
        if (a.size() == b.size())
            text += TRANSLATABLE("Core", ", other values");
        add(ChangeKind::Data, {}, std::move(text));
    }

    void softkey(size_t k, const DescribedItem* a, const DescribedItem* b)
    {
        std::string position = softkeyPrefix(static_cast<int>(k));
        position = position.empty() ? TRANSLATABLE("Core", "softkey ") + std::to_string(k + 1)
                                    : position.substr(0, position.size() - 2);
        if (!a || !b) {
            const DescribedItem* only = a ? a : b;
            const std::string name = latin1ToUtf8(only->name);
            add(a ? ChangeKind::Removed : ChangeKind::Added, name,
                std::string(a ? TRANSLATABLE("Core", "removed ") : TRANSLATABLE("Core", "added ")) + name
                    + TRANSLATABLE("Core", " at ") + position);
            return;
        }
        const std::string before = latin1ToUtf8(a->name);
        const std::string after = latin1ToUtf8(b->name);
        if (before != after)
            add(ChangeKind::Replaced, after, position + ": " + before + TRANSLATABLE("Core", " replaced by ") + after);
        fields(*a, *b, after, position + " " + after);
    }

    void menu(const std::vector<DescribedItem>& a, const std::vector<DescribedItem>& b)
    {
        std::vector<Placed> before = placed(a);
        std::vector<Placed> after = placed(b);
        std::map<std::string, size_t> index;
        for (size_t i = 0; i < after.size(); ++i)
            index[after[i].key] = i;
        for (size_t i = 0; i < before.size(); ++i)
            if (const auto found = index.find(before[i].key); found != index.end()) {
                before[i].match = static_cast<int>(found->second);
                after[found->second].match = static_cast<int>(i);
            }
        for (const Placed& p : before)
            if (p.match < 0)
                add(ChangeKind::Removed, latin1ToUtf8(p.item->name),
                    TRANSLATABLE("Core", "removed ") + latin1ToUtf8(p.item->name) + TRANSLATABLE("Core", " from ")
                        + p.where);

        // Among the siblings both menus share under the same parent, those out of their old
        // order have moved; a longest run in the old order stays.
        std::vector<bool> moved(after.size(), false);
        std::map<std::string, std::vector<size_t>> stayers; // parent key -> items of `after`
        for (size_t i = 0; i < after.size(); ++i) {
            const Placed& p = after[i];
            if (p.match < 0)
                continue;
            if (before[static_cast<size_t>(p.match)].parentKey != p.parentKey)
                moved[i] = true;
            else
                stayers[p.parentKey].push_back(i);
        }
        for (const auto& [parent, members] : stayers) {
            std::vector<size_t> oldRows;
            for (size_t i : members)
                oldRows.push_back(before[static_cast<size_t>(after[i].match)].row);
            std::vector<bool> keep(members.size(), false);
            for (size_t k : longestIncreasing(oldRows))
                keep[k] = true;
            for (size_t k = 0; k < members.size(); ++k)
                moved[members[k]] = !keep[k];
        }

        for (size_t i = 0; i < after.size(); ++i) {
            const Placed& p = after[i];
            const std::string name = latin1ToUtf8(p.item->name);
            if (p.match < 0) {
                add(ChangeKind::Added, name,
                    TRANSLATABLE("Core", "added ") + name + TRANSLATABLE("Core", " at ") + p.where);
                continue;
            }
            const Placed& old = before[static_cast<size_t>(p.match)];
            if (moved[i])
                add(ChangeKind::Moved, name,
                    TRANSLATABLE("Core", "moved ") + name + TRANSLATABLE("Core", " from ") + old.where
                        + TRANSLATABLE("Core", " to ") + p.where);
            fields(*old.item, *p.item, name, name);
        }
    }

    // The item's own fields: type, options, attributes and data.
    void fields(const DescribedItem& a, const DescribedItem& b, const std::string& item, const std::string& label)
    {
        if (a.itemType != b.itemType)
            add(ChangeKind::Type, item,
                label + TRANSLATABLE("Core", ": type ") + itemTypeText(a.itemType) + " -> " + itemTypeText(b.itemType));
        if (a.options != b.options)
            add(ChangeKind::Options, item,
                label + TRANSLATABLE("Core", ": options ") + hexNumber(a.options, 2) + " -> "
                    + hexNumber(b.options, 2));
        if (a.attributes != b.attributes)
            add(ChangeKind::Attributes, item,
                label + TRANSLATABLE("Core", ": attributes ") + hexNumber(a.attributes, 2) + " -> "
                    + hexNumber(b.attributes, 2));
        if (a.data == b.data)
            return;
        const size_t count = changes_.size();
        const std::vector<Fact> before = factsOf(a.data);
        const std::vector<Fact> after = factsOf(b.data);
        auto find = [](const std::vector<Fact>& facts, const std::string& name) {
            return std::find_if(facts.begin(), facts.end(), [&name](const Fact& f) { return f.label == name; });
        };
        for (const Fact& f : before) {
            const auto other = find(after, f.label);
            if (other == after.end())
                add(f.kind, item, label + f.label + TRANSLATABLE("Core", " removed (") + f.value + ")");
            else if (other->value != f.value)
                add(f.kind, item, label + f.label + " " + f.value + " -> " + other->value);
        }
        for (const Fact& f : after)
            if (find(before, f.label) == before.end())
                add(f.kind, item, label + f.label + TRANSLATABLE("Core", " added ") + f.value);
        if (changes_.size() == count)
            add(ChangeKind::Data, item, label + TRANSLATABLE("Core", ": data records in another order"));
    }

    std::vector<MenuChange> changes_;
};

} // namespace

std::vector<MenuChange> compareMenus(const MenuDescription& before, const MenuDescription& after)
{
    return Comparison().run(before, after);
}

std::vector<std::string> menuChangeLines(const MenuDescription& before, const MenuDescription& after)
{
    std::vector<std::string> lines;
    for (MenuChange& change : compareMenus(before, after))
        lines.push_back(std::move(change.text));
    return lines;
}

const char* changeKindName(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::SaveMode: return "saveMode";
    case ChangeKind::Added: return "added";
    case ChangeKind::Removed: return "removed";
    case ChangeKind::Moved: return "moved";
    case ChangeKind::Replaced: return "replaced";
    case ChangeKind::Type: return "type";
    case ChangeKind::Options: return "options";
    case ChangeKind::Attributes: return "attributes";
    case ChangeKind::Titles: return "titles";
    case ChangeKind::Icon: return "icon";
    case ChangeKind::Function: return "function";
    case ChangeKind::Data: return "data";
    }
    return "";
}

} // namespace tessaro
