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
    basePositions_ = positionsOf(base_);
}

void ItemLists::setAvailable(std::vector<ItemEntry> entries)
{
    if (entries.size() > kCapacity - 1)
        entries.resize(kCapacity - 1);
    available_ = std::move(entries);
    available_.push_back(customEntry());
    availablePositions_ = positionsOf(available_);
}

void ItemLists::makeAllAvailable()
{
    available_ = base_;
    availablePositions_ = basePositions_;
}

ItemLists::Positions ItemLists::positionsOf(const std::vector<ItemEntry>& list)
{
    Positions positions;
    positions.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        positions.try_emplace(list[i].identifier, i);  // an identifier already there keeps its first place
    return positions;
}

size_t ItemLists::find(const Positions& positions, size_t count, std::string_view identifier)
{
    const auto it = positions.find(identifier);
    return it == positions.end() ? count : it->second;
}

size_t ItemLists::findAvailable(std::string_view identifier) const
{
    return find(availablePositions_, available_.size(), identifier);
}

size_t ItemLists::findInBase(std::string_view identifier) const
{
    return find(basePositions_, base_.size(), identifier);
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
