// Reads arbitrary bytes as itembase.dat, into the item lists as the program does, and appends
// one identifier the way an unknown menu item or a firmware name is recorded. The append may
// only add that one entry, and only when the file lacks it: every entry read before must read
// back unchanged.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/item_base_file.h"
#include "core/item_lists.h"
#include "workspace/profiles.h"
#include "fuzz_support.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(fuzz::textOf(data, size));
    const std::vector<ItemEntry> entries = parseItemBase(text);
    for (const ItemEntry& e : entries)
        fuzz::check(!e.identifier.empty() && e.identifier.find('\n') == std::string::npos);

    ItemLists items;
    items.setBase(entries);
    items.makeAllAvailable();
    fuzz::check(items.base().size() <= ItemLists::kMaxBaseEntries + 1);
    for (size_t k = 0; k + 1 < items.available().size(); ++k)
        fuzz::check(items.findAvailable(items.available()[k].identifier) <= k);

    const std::string path = fuzz::scratch().file("itembase.dat");
    fuzz::writeFile(path, text);
    const bool shortcut = size % 2 == 1;
    fuzz::check(appendItemBaseLine(path, "FuzzAppended", shortcut).ok());
    const std::string after = fuzz::readFile(path);
    fuzz::check(after.compare(0, text.size(), text) == 0);

    // A file that has the identifier already is left as it is.
    std::vector<ItemEntry> expected = entries;
    if (std::none_of(entries.begin(), entries.end(), [](const ItemEntry& e) { return e.identifier == "FuzzAppended"; }))
        expected.push_back({"FuzzAppended", shortcut ? "FuzzAppended [SC]" : "FuzzAppended"});
    fuzz::check(parseItemBase(after) == expected);
    return 0;
}
