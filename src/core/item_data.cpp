#include "core/item_data.h"

namespace tessaro {

void ItemDataTable::store(size_t slot, ItemDataBlock block)
{
    if (slot >= kTableSlots)
        return;
    block.owner = static_cast<uint8_t>(slot);
    slots_[slot] = std::move(block);
}

bool ItemDataTable::drop(size_t slot)
{
    if (slot >= kTableSlots || !slots_[slot])
        return false;
    slots_[slot].reset();
    return true;
}

size_t ItemDataTable::count() const
{
    size_t n = 0;
    for (const auto& s : slots_)
        n += s ? 1 : 0;
    return n;
}

void freeItemData(ItemDataTable& table)
{
    for (size_t slot = 0; slot < kTableSlots; ++slot)
        table.drop(slot);
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
