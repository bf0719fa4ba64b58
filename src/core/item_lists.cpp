#include "core/item_lists.h"

#include "core/catalogue.h"

namespace tessaro {

namespace {

std::vector<ItemEntry> withCustomItem(std::vector<ItemEntry> entries, size_t limit)
{
    if (entries.size() > limit)
        entries.resize(limit);
    entries.push_back({std::string(kCustomItem), std::string(kCustomItem)});
    return entries;
}

size_t hashOf(std::string_view identifier)
{
    return std::hash<std::string_view>{}(identifier);
}

} // namespace

ItemLists::ItemLists()
{
    // Immutable once built, so one copy serves every ItemLists of the run, on any thread.
    static const std::shared_ptr<const List> catalogue = [] {
        std::vector<ItemEntry> entries;
        entries.reserve(kItemCatalogue.size() + 1);
        for (const auto& row : kItemCatalogue)
            entries.push_back({row.identifier, row.displayName});
        return std::make_shared<const List>(withCustomItem(std::move(entries), kMaxBaseEntries));
    }();
    base_ = catalogue;
    available_ = catalogue;
}

void ItemLists::setBase(std::vector<ItemEntry> entries)
{
    base_ = std::make_shared<const List>(withCustomItem(std::move(entries), kMaxBaseEntries));
}

void ItemLists::setAvailable(std::vector<ItemEntry> entries)
{
    available_ = std::make_shared<const List>(withCustomItem(std::move(entries), kCapacity - 1));
}

void ItemLists::makeAllAvailable()
{
    available_ = base_;
}

ItemLists::List::List(std::vector<ItemEntry> list) : entries(std::move(list))
{
    size_t size = 16;
    while (size < 2 * entries.size())
        size *= 2;
    slots.assign(size, 0);
    const size_t mask = size - 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string_view identifier = entries[i].identifier;
        size_t at = hashOf(identifier) & mask;
        while (slots[at] != 0 && entries[slots[at] - 1].identifier != identifier)
            at = (at + 1) & mask;
        if (slots[at] == 0)
            slots[at] = static_cast<uint16_t>(i + 1);
    }
}

size_t ItemLists::List::find(std::string_view identifier) const
{
    const size_t mask = slots.size() - 1;
    for (size_t at = hashOf(identifier) & mask; slots[at] != 0; at = (at + 1) & mask)
        if (entries[slots[at] - 1].identifier == identifier)
            return slots[at] - 1u;
    return entries.size();
}

size_t ItemLists::findAvailable(std::string_view identifier) const
{
    return available_->find(identifier);
}

size_t ItemLists::findInBase(std::string_view identifier) const
{
    return base_->find(identifier);
}

bool ItemLists::isAllowed(std::string_view identifier) const
{
    if (!identifier.empty() && identifier.front() == '~')
        return !available().empty();
    return findAvailable(identifier) < available().size();
}

std::string ItemLists::displayName(size_t k) const
{
    return k < available().size() ? available()[k].displayName : std::string();
}

} // namespace tessaro
