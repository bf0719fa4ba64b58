#include "core/item_lists.h"

#include "core/catalogue.h"

namespace tessaro {

namespace {

ItemEntry customEntry()
{
    return {std::string(kCustomItem), std::string(kCustomItem)};
}

size_t findIn(const std::vector<ItemEntry>& list, std::string_view identifier)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].identifier == identifier)
            return i;
    return list.size();
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
}

void ItemLists::setAvailable(std::vector<ItemEntry> entries)
{
    if (entries.size() > kCapacity - 1)
        entries.resize(kCapacity - 1);
    available_ = std::move(entries);
    available_.push_back(customEntry());
}

void ItemLists::makeAllAvailable()
{
    available_ = base_;
}

size_t ItemLists::findAvailable(std::string_view identifier) const
{
    return findIn(available_, identifier);
}

size_t ItemLists::findInBase(std::string_view identifier) const
{
    return findIn(base_, identifier);
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
