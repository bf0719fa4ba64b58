#include "core/item_base_file.h"

#include <fstream>
#include <iterator>

#include "core/replacing_file.h"

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
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        if (in)
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            return Error{"Cannot read " + path};
    }
    // A file edited by hand may end without a line end: the new line must not be glued onto
    // its last line, which would corrupt that entry and lose the new one. A last line ending
    // in a lone CR only lacks its LF: a second CR would stay in the entry.
    if (!text.empty() && text.back() == '\r')
        text += '\n';
    else if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    text += itemBaseLine(identifier, shortcut);
    text += "\r\n";
    // The whole file is replaced, so a failed write never leaves half a line behind.
    return replaceFile(path, std::string_view(text));
}

} // namespace tessaro
