#include "core/json_path.h"

namespace tessaro {

std::string JsonPath::text() const
{
    std::string out;
    append(out);
    return out.empty() ? "/" : out;
}

void JsonPath::append(std::string& out) const
{
    if (!parent_)
        return;
    parent_->append(out);
    out += '/';
    if (isKey_)
        out += key_;
    else
        out += std::to_string(index_);
}

} // namespace tessaro
