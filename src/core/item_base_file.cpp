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
    // A file edited by hand may end without a line end: the new line must not be glued onto
    // its last line, which would corrupt that entry and lose the new one.
    // A last line ending in a lone CR only lacks its LF: a second CR would stay in the entry.
    char last = '\n';
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in && in.tellg() > 0) {
            in.seekg(-1, std::ios::end);
            in.get(last);
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return Error{"Cannot open " + path + " for appending"};
    if (last == '\r')
        out << '\n';
    else if (last != '\n')
        out << "\r\n";
    out << itemBaseLine(identifier, shortcut) << "\r\n";
    out.flush();
    if (!out)
        return Error{"Cannot write to " + path};
    return {};
}

} // namespace tessaro
