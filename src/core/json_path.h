#pragma once
// Where a value sits in a JSON text, kept by a walk over the text or over what was read from
// it: each place links to its parent's, on the walk's own stack, and is spelt as a JSON path
// ("/menu/3/data/0") only when a problem there is reported.

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaro {

class JsonPath {
public:
    // The whole text.
    JsonPath() = default;
    // The value under `key` of the object at `parent`; the key's text must outlive this.
    JsonPath(const JsonPath& parent, std::string_view key) : parent_(&parent), key_(key), isKey_(true) {}
    // The element `index` of the array at `parent`.
    JsonPath(const JsonPath& parent, size_t index) : parent_(&parent), index_(index) {}

    // The path, "/" for the whole text.
    std::string text() const;

private:
    void append(std::string& out) const;

    const JsonPath* parent_ = nullptr;
    std::string_view key_;
    size_t index_ = 0;
    bool isKey_ = false;
};

} // namespace tessaro
