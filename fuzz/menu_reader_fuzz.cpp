// Reads arbitrary bytes as an mma_ucp file and writes back what was read. A file we write
// must read back without a warning and write again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/menu_document.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"

namespace {

// Makes every identifier of the document available, as the item base would after the read.
void makeNamesAvailable(tessaro::OpenMenu& menu)
{
    std::vector<tessaro::ItemEntry> available(menu.items.available().begin(), menu.items.available().end() - 1);
    for (const tessaro::MenuNode* node : menu.document.preorder())
        if (node->parent() && menu.items.findAvailable(node->item.name) >= menu.items.available().size())
            available.push_back({node->item.name, node->item.name});
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
