#pragma once
// The UTF-16 text of an item data entry: a title, or the path of a file-system icon. A text of
// up to kInlineUnits code units, as nearly every title and most paths are, is held in the
// object itself; only a longer one takes a heap buffer. A menu file holds about a thousand
// such texts, so reading one does not allocate for each.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tessaro {

class EntryText {
public:
    static constexpr size_t kInlineUnits = 30;

    EntryText() = default;
    EntryText(std::u16string_view text);
    EntryText(const std::u16string& text) : EntryText(std::u16string_view(text)) {}
    EntryText(const char16_t* text) : EntryText(std::u16string_view(text)) {}
    EntryText(const EntryText& other) : EntryText(other.view()) {}
    EntryText(EntryText&& other) noexcept;
    EntryText& operator=(const EntryText& other);
    EntryText& operator=(EntryText&& other) noexcept;
    ~EntryText() = default;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const char16_t* data() const { return heap_ ? heap_.get() : inline_; }
    const char16_t* begin() const { return data(); }
    const char16_t* end() const { return data() + size_; }
    char16_t operator[](size_t i) const { return data()[i]; }
    std::u16string_view view() const { return {data(), size_}; }
    operator std::u16string_view() const { return view(); }
    std::u16string str() const { return std::u16string(view()); }

    // Makes this a text of at most `room` units: `fill` writes them, given where they go, and
    // returns how many it wrote.
    template <typename Fill>
    void assign(size_t room, Fill&& fill)
    {
        char16_t* units = makeRoom(room);
        size_ = static_cast<uint32_t>(fill(units));
    }

    friend bool operator==(const EntryText& a, const EntryText& b) { return a.view() == b.view(); }

private:
    // Makes this a text of `size` units, to be written where the result points.
    char16_t* makeRoom(size_t size);
    // Takes the text of `other`, leaving it empty.
    void take(EntryText& other);

    std::unique_ptr<char16_t[]> heap_;  // only for a text longer than kInlineUnits
    uint32_t size_ = 0;
    char16_t inline_[kInlineUnits];     // the first size_ of them, when there is no heap_
};

} // namespace tessaro
