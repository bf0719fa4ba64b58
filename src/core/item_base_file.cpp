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
    bool endsOpen = false;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in && in.tellg() > 0) {
            in.seekg(-1, std::ios::end);
            char last = 0;
            endsOpen = in.get(last) && last != '\n';
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return Error{"Cannot open " + path + " for appending"};
    if (endsOpen)
        out << "\r\n";
    out << itemBaseLine(identifier, shortcut) << "\r\n";
    out.flush();
    if (!out)
        return Error{"Cannot write to " + path};
    return {};
}

} // namespace tessaro
