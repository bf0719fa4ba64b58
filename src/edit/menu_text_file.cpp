#include "edit/menu_text_file.h"

#include "core/menu_reader.h"
#include "core/menu_text.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "core/open_menu.h"

namespace tessaro {

Status exportMenuText(const OpenMenu& menu, const std::string& path)
{
    return replaceFile(path, std::string_view(menuTextOf(menu.document, menu.saveMode)));
}

Status importMenuText(const std::string& path, OpenMenu& menu)
{
    const Result<std::string> text = readWholeFile(path);
    if (!text)
        return text.failure();
    const Result<MenuDescription> description = parseMenuText(*text);
    if (!description)
        return description.failure();
    return installMenuDescription(*description, menu);
}

Result<MenuDescription> describeMenuFile(const std::string& path, const ItemLists& items)
{
    const Result<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return bytes.failure();
    if (looksLikeMenuText(*bytes)) {
        // Compared as a file is, with "save all" on: a text keeps its own setting, which a
        // comparison with the open menu (or a file) would report every time.
        Result<MenuDescription> description = parseMenuText(*bytes);
        if (description)
            description->saveMode.setSaveAll(true);
        return description;
    }
    OpenMenu other;
    other.items = items;
    auto read = readMenuBytes(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()), other,
                              ReadOptions{true, {}});
    if (!read)
        return read.failure();
    MenuDescription description = describeMenu(other.document, other.saveMode);
    description.saveMode.setSaveAll(true);
    description.bytesOutsideRecords = std::move(read->bytesOutsideRecords);
    return description;
}

} // namespace tessaro
