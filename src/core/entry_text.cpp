#include "core/entry_text.h"

#include <algorithm>

namespace tessaro {

EntryText::EntryText(std::u16string_view text)
{
    std::copy(text.begin(), text.end(), makeRoom(text.size()));
}

EntryText::EntryText(EntryText&& other) noexcept
{
    take(other);
}

EntryText& EntryText::operator=(const EntryText& other)
{
    if (this != &other)
        std::copy(other.begin(), other.end(), makeRoom(other.size()));
    return *this;
}

EntryText& EntryText::operator=(EntryText&& other) noexcept
{
    if (this != &other)
        take(other);
    return *this;
}

char16_t* EntryText::makeRoom(size_t size)
{
    size_ = static_cast<uint32_t>(size);
    if (size <= kInlineUnits) {
        heap_.reset();
        return inline_;
    }
    heap_ = std::make_unique_for_overwrite<char16_t[]>(size);
    return heap_.get();
}

void EntryText::take(EntryText& other)
{
    heap_ = std::move(other.heap_);
    size_ = other.size_;
    if (!heap_ && size_ > 0)
        std::copy_n(other.inline_, size_, inline_);
    other.size_ = 0;
}

} // namespace tessaro
