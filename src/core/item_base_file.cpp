#include "core/item_base_file.h"

#include <filesystem>
#include <functional>
#include <set>

#include "core/folder_lock.h"
#include "core/replacing_file.h"
#include "core/text_file.h"

namespace tessaro {

std::string itemBaseDisplayName(std::string_view identifier, bool shortcut)
{
    std::string name(identifier);
    if (shortcut)
        name += " [SC]";
    return name;
}

std::string itemBaseLine(std::string_view identifier, bool shortcut)
{
    return std::string(identifier) + ';' + itemBaseDisplayName(identifier, shortcut);
}

namespace {

// The identifier of an item base line: what stands before the first ";".
std::string_view identifierOf(std::string_view line)
{
    return line.substr(0, line.find(';'));
}

} // namespace

Result<size_t> appendItemBaseLine(const std::string& path, std::string_view identifier, bool shortcut)
{
    return appendItemBaseLines(path, {itemBaseLine(identifier, shortcut)});
}

Result<size_t> appendItemBaseLines(const std::string& path, const std::vector<std::string>& lines)
{
    // Read, extend and replace under the folder's lock: two programs appending at once would
    // otherwise each write back what they read and lose the other's line.
    const FolderLock lock(path);
    if (Status locked = lock.status(); !locked)
        return locked.failure();
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
    std::set<std::string, std::less<>> known;
    for (std::string_view line : splitLines(text))
        known.emplace(identifierOf(line));
    std::string added;
    size_t count = 0;
    for (const std::string& line : lines) {
        if (!known.emplace(identifierOf(line)).second)
            continue;
        added += line;
        added += "\r\n";
        ++count;
    }
    if (count == 0)
        return count;
    if (!text.empty() && text.back() == '\r')
        text += '\n';
    else if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    text += added;
    // The whole file is replaced, so a failed write never leaves half a line behind.
    if (Status written = replaceFile(path, std::string_view(text), {.folderLocked = true}); !written)
        return written.failure();
    return count;
}

} // namespace tessaro
