#include "core/item_base_file.h"

#include <filesystem>

#include "core/replacing_file.h"
#include "core/text_file.h"

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
    return appendItemBaseLines(path, {itemBaseLine(identifier, shortcut)});
}

Status appendItemBaseLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string text;
    std::error_code ec;
    if (std::filesystem::status(path, ec).type() != std::filesystem::file_type::not_found) {
        // Only a missing file starts empty: one that cannot be read must not be overwritten.
        auto content = readWholeFile(path);
        if (!content)
            return content.failure();
        text = std::move(content).value();
    }
    // A file edited by hand may end without a line end: the new line must not be glued onto
    // its last line, which would corrupt that entry and lose the new one. A last line ending
    // in a lone CR only lacks its LF: a second CR would stay in the entry.
    if (!text.empty() && text.back() == '\r')
        text += '\n';
    else if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    // The whole file is replaced, so a failed write never leaves half a line behind.
    return replaceFile(path, std::string_view(text));
}

} // namespace tessaro
