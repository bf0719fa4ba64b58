// Reads an mma_ucp file with an item base file beside it, as the program opens a menu in
// default mode: identifiers the item base lacks are accepted and appended to itembase.dat.
// The append must keep every entry that was there and add each new identifier once; read
// again under the grown item base, the file then holds no unknown identifier at all. A
// damaged file appends nothing.
//
// Input: two bytes (little-endian) give the length of the itembase.dat text; the menu file
// follows it.
#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/menu_document.h"
#include "core/menu_reader.h"
#include "core/open_menu.h"
#include "workspace/profiles.h"
#include "fuzz_support.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t baseLength = std::min<size_t>(size - 2, data[0] | (data[1] << 8));
    const std::string baseText(fuzz::textOf(data + 2, baseLength));
    const std::span<const uint8_t> menuBytes(data + 2 + baseLength, size - 2 - baseLength);

    const std::string path = fuzz::scratch().file("itembase.dat");
    fuzz::writeFile(path, baseText);
    const std::vector<ItemEntry> before = parseItemBase(baseText);
    OpenMenu menu;
    menu.items.setBase(before);
    menu.items.makeAllAvailable();
    const ItemLists known = menu.items;

    const auto report = readMenuBytes(menuBytes, menu, ReadOptions{true, path});
    fuzz::check(report.ok() || report.failure().kind != ErrorKind::Refused);
    const std::string afterText = fuzz::readFile(path);
    fuzz::check(afterText.compare(0, baseText.size(), baseText) == 0);
    fuzz::check((report.ok() && report->itemBaseUpdated) == (afterText.size() > baseText.size()));
    const std::vector<ItemEntry> after = parseItemBase(afterText);
    fuzz::check(after.size() >= before.size() && std::equal(before.begin(), before.end(), after.begin()));

    // Each appended identifier was unknown and appears once.
    std::set<std::string> appended;
    for (size_t i = before.size(); i < after.size(); ++i) {
        const std::string& id = after[i].identifier;
        fuzz::check(known.findAvailable(id) == known.available().size());
        fuzz::check(appended.insert(id).second);
    }
    if (!report.ok())
        return 0;
    std::set<std::string> inDocument;
    for (const MenuNode* node : menu.document.preorder())
        inDocument.insert(node->item.name);
    for (const std::string& id : appended)
        fuzz::check(inDocument.count(id) == 1);

    // A damaged file adds nothing to the item base: its unknown names are only reported.
    const auto warned = [&](const char* words) {
        return std::any_of(report->warnings.begin(), report->warnings.end(),
                           [&](const std::string& w) { return w.find(words) != std::string::npos; });
    };
    if (warned("were not added to the item base")) {
        fuzz::check(!report->itemBaseUpdated && afterText == baseText);
        return 0;
    }
    // Under the grown item base as a profile (unknown identifiers abort), the file reads
    // through, unless a name could not be recorded or the base outgrew the lists.
    if (warned("cannot be written to the item base") || after.size() > ItemLists::kMaxBaseEntries)
        return 0;
    OpenMenu again;
    again.items.setBase(after);
    again.items.makeAllAvailable();
    fuzz::check(readMenuBytes(menuBytes, again, ReadOptions{false, {}}).ok());
    return 0;
}
