#include "core/item_data.h"

#include <new>

namespace tessaro {

void ItemDataTable::takeBlocksOf(const ItemDataTable& other)
{
    other.forEachInUse([&](size_t slot) { new (&slots_[slot].block) ItemDataBlock(other.slots_[slot].block); });
    used_ = other.used_;
}

void ItemDataTable::takeBlocksOf(ItemDataTable&& other)
{
    other.forEachInUse(
        [&](size_t slot) { new (&slots_[slot].block) ItemDataBlock(std::move(other.slots_[slot].block)); });
    used_ = other.used_;
    other.clear();
}

ItemDataTable::ItemDataTable(const ItemDataTable& other)
{
    takeBlocksOf(other);
}

ItemDataTable::ItemDataTable(ItemDataTable&& other) noexcept
{
    takeBlocksOf(std::move(other));
}

ItemDataTable& ItemDataTable::operator=(const ItemDataTable& other)
{
    if (this != &other) {
        clear();
        takeBlocksOf(other);
    }
    return *this;
}

ItemDataTable& ItemDataTable::operator=(ItemDataTable&& other) noexcept
{
    if (this != &other) {
        clear();
        takeBlocksOf(std::move(other));
    }
    return *this;
}

void ItemDataTable::store(size_t slot, ItemDataBlock block)
{
    if (slot >= kTableSlots)
        return;
    block.owner = static_cast<uint8_t>(slot);
    if (inUse(slot)) {
        slots_[slot].block = std::move(block);
        return;
    }
    new (&slots_[slot].block) ItemDataBlock(std::move(block));
    used_[slot / 64] |= uint64_t{1} << (slot % 64);
}

bool ItemDataTable::drop(size_t slot)
{
    if (slot >= kTableSlots || !inUse(slot))
        return false;
    slots_[slot].block.~ItemDataBlock();
    used_[slot / 64] &= ~(uint64_t{1} << (slot % 64));
    return true;
}

void ItemDataTable::clear()
{
    forEachInUse([&](size_t slot) { slots_[slot].block.~ItemDataBlock(); });
    used_ = {};
}

size_t ItemDataTable::count() const
{
    size_t n = 0;
    for (const uint64_t word : used_)
        n += static_cast<size_t>(std::popcount(word));
    return n;
}

void freeItemData(ItemDataTable& table)
{
    table.clear();
}

std::string asciiText(const DataEntry& entry)
{
    std::string text;
    for (uint8_t b : entry.bytes) {
        if (b == 0)
            break;
        text.push_back(static_cast<char>(b));
    }
    return text;
}

std::u16string textUpToZero(std::u16string_view text)
{
    return std::u16string(text.substr(0, text.find(u'\0')));
}

} // namespace tessaro
