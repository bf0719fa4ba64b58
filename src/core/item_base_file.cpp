#include "core/item_base_file.h"

#include <fstream>

namespace tessaro {

std::string itemBaseLine(std::string_view identifier, bool shortcut)
{
    std::string line(identifier);
    line += ';';
    line += identifier;
    if (shortcut)
        line += " [SC]";
    return line;
}

Status appendItemBaseLine(const std::string& path, std::string_view identifier, bool shortcut)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return Error{"Cannot open " + path + " for appending"};
    out << itemBaseLine(identifier, shortcut) << "\r\n";
    out.flush();
    if (!out)
        return Error{"Cannot write to " + path};
    return {};
}

} // namespace tessaro
