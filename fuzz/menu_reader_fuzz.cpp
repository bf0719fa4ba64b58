// Reads arbitrary bytes as an mma_ucp file and writes back what was read. A file we write
// must read back without a warning and write again to the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "core/menu_document.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"

namespace {

// Makes the document's identifiers the available items, as a profile made for the file would:
// each of them once, and nothing else, which keeps the lists short.
void makeNamesAvailable(tessaro::OpenMenu& menu)
{
    std::vector<std::string_view> names;
    for (const tessaro::MenuNode* node : menu.document.preorder())
        if (node->parent())
            names.push_back(node->item.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<tessaro::ItemEntry> available;
    available.reserve(names.size());
    for (std::string_view name : names)
        available.push_back({std::string(name), std::string(name)});
    menu.items.setAvailable(std::move(available));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaro;
    OpenMenu menu;
    if (!readMenuBytes(std::span<const uint8_t>(data, size), menu, ReadOptions{}).ok())
        return 0;
    makeNamesAvailable(menu);
    menu.saveMode.setSaveAll(true);
    auto written = renderMenuFile(menu);
    if (!written.ok())
        return 0;

    OpenMenu again;
    again.items = menu.items;
    const auto second = readMenuBytes(written.value(), again, ReadOptions{false, {}});
    if (!second.ok() || !second->warnings.empty())
        std::abort();
    again.saveMode.setSaveAll(true);
    auto rewritten = renderMenuFile(again);
    if (!rewritten.ok() || rewritten.value() != written.value())
        std::abort();
    return 0;
}
