#include "core/item_lists.h"

#include "core/catalogue.h"

namespace tessaro {

namespace {

ItemEntry customEntry()
{
    return {std::string(kCustomItem), std::string(kCustomItem)};
}

} // namespace

ItemLists::ItemLists()
{
    flags_.fill(1);
    std::vector<ItemEntry> catalogue;
    catalogue.reserve(kItemCatalogue.size());
    for (const auto& row : kItemCatalogue)
        catalogue.push_back({row.identifier, row.displayName});
    setBase(std::move(catalogue));
    makeAllAvailable();
}

void ItemLists::setBase(std::vector<ItemEntry> entries)
{
    if (entries.size() > kMaxBaseEntries)
        entries.resize(kMaxBaseEntries);
    base_ = std::move(entries);
    base_.push_back(customEntry());
    baseIndex_.build(base_);
}

void ItemLists::setAvailable(std::vector<ItemEntry> entries)
{
    if (entries.size() > kCapacity - 1)
        entries.resize(kCapacity - 1);
    available_ = std::move(entries);
    available_.push_back(customEntry());
    availableIndex_.build(available_);
}

void ItemLists::makeAllAvailable()
{
    available_ = base_;
    availableIndex_ = baseIndex_;
}

void ItemLists::NameIndex::build(const std::vector<ItemEntry>& list)
{
    size_t size = 16;
    while (size < 2 * list.size())
        size *= 2;
    slots_.assign(size, 0);
    const size_t mask = size - 1;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string_view identifier = list[i].identifier;
        size_t at = std::hash<std::string_view>{}(identifier) & mask;
        while (slots_[at] != 0 && list[slots_[at] - 1].identifier != identifier)
            at = (at + 1) & mask;
        if (slots_[at] == 0)
            slots_[at] = static_cast<uint16_t>(i + 1);
    }
}

size_t ItemLists::NameIndex::find(const std::vector<ItemEntry>& list, std::string_view identifier) const
{
    if (slots_.empty())
        return list.size();
    const size_t mask = slots_.size() - 1;
    for (size_t at = std::hash<std::string_view>{}(identifier) & mask; slots_[at] != 0; at = (at + 1) & mask)
        if (list[slots_[at] - 1].identifier == identifier)
            return slots_[at] - 1u;
    return list.size();
}

size_t ItemLists::findAvailable(std::string_view identifier) const
{
    return availableIndex_.find(available_, identifier);
}

size_t ItemLists::findInBase(std::string_view identifier) const
{
    return baseIndex_.find(base_, identifier);
}

bool ItemLists::isAllowed(std::string_view identifier) const
{
    if (!identifier.empty() && identifier.front() == '~')
        return !available_.empty();
    return findAvailable(identifier) < available_.size();
}

std::string ItemLists::displayName(size_t k) const
{
    return k < available_.size() ? available_[k].displayName : std::string();
}

} // namespace tessaro
