// Read + renumber + write of the largest menu a file can hold: 254 nodes (the Softkeys
// container, seven softkeys, the Menu Root and 245 items), every item with titles in four
// languages, a file-system icon and a DRM icon. Everything in memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>

#include "core/catalogue.h"
#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/renumber.h"
#include "core/workspace.h"

namespace {

using namespace tessaro;

std::u16string u16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

ItemDataBlock itemData(int n)
{
    ItemDataBlock block;
    DataEntry titles{.kind = kind::MenuTitle};
    titles.titles = {{1, u16("Item " + std::to_string(n))},
                     {7, u16("Eintrag " + std::to_string(n))},
                     {35, u"\u041F\u0443\u043D\u043A\u0442 " + u16(std::to_string(n))},
                     {25, u"\u9805\u76EE " + u16(std::to_string(n))}};
    block.entries.push_back(titles);
    block.entries.push_back({.kind = kind::FileIcon, .role = kRoleStatic, .path = u16("/a/mobile/picture/i" + std::to_string(n) + ".gif")});
    block.entries.push_back({.kind = kind::DrmListIcon, .first = 0x12, .number = static_cast<uint16_t>(n)});
    return block;
}

// The menu: 15 folders of 15 items each, then 5 more items at the top.
std::vector<uint8_t> largestFile()
{
    Workspace ws;
    MenuDocument& doc = ws.document;
    MenuRecord container{1, 1, 2, kNoIndex, 2, 0, 0, "Container", kGroupSoftkeys, 0, 0, false, 1};
    MenuRecord root{1, kNoIndex, kNoIndex, 0, 10, 0, 0, "MenuRoot", kGroupMenu, 0, 0, false, 1};
    doc.setTopNodes(std::make_unique<MenuNode>("Softkeys", container), std::make_unique<MenuNode>("Menu Root", root));
    for (int i = 0; i < kSoftkeyCount; ++i) {
        MenuRecord key{0, kNoIndex, kNoIndex, kNoIndex, static_cast<uint8_t>(i + 3), 0, 0x41,
                     kDefaultSoftkeys[i].identifier, kGroupSoftkeys, 0, 0, true, 0};
        doc.appendNode(doc.softkeys(), std::make_unique<MenuNode>(kDefaultSoftkeys[i].displayName, key));
        doc.data().store(static_cast<size_t>(i + 3), itemData(i));
    }
    int n = 0;
    auto add = [&](MenuNode* parent, uint8_t type) {
        MenuRecord item;
        item.itemType = type;
        item.attributes = 0x41;
        item.options = 0x08;
        item.name = n % 2 ? kItemCatalogue[static_cast<size_t>(n) % kItemCatalogue.size()].identifier : "~" + std::to_string(n);
        item.hasData = true;
        ++n;
        return doc.appendNode(parent, std::make_unique<MenuNode>(item.name, item));
    };
    std::vector<MenuNode*> folders;
    for (int f = 0; f < 15; ++f)
        folders.push_back(add(doc.menuRoot(), kTypeContainer));
    for (MenuNode* folder : folders)
        for (int i = 0; i < 15; ++i)
            add(folder, kTypeItem);
    for (int i = 0; i < 5; ++i)
        add(doc.menuRoot(), kTypeItem);
    renumberTree(doc);
    for (const MenuNode* node : doc.preorder())
        if (node->item.hasData && node->item.recordNo > 10)
            doc.data().store(node->item.recordNo, itemData(node->item.recordNo));

    auto bytes = renderMenuFile(ws);
    if (!bytes.ok() || doc.nodeCount() != 254) {
        std::cerr << "cannot build the largest document: " << bytes.error() << '\n';
        std::abort();
    }
    return bytes.value();
}

const std::vector<uint8_t>& sample()
{
    static const std::vector<uint8_t> bytes = largestFile();
    return bytes;
}

void BM_RoundTrip(benchmark::State& state)
{
    const auto& bytes = sample();
    Workspace ws;  // the editor's tables live for the whole run; a read replaces the document
    for (auto _ : state) {
        (void)readMenuBytes(bytes, ws, ReadOptions{false, {}});
        renumberTree(ws.document);
        auto out = renderMenuFile(ws);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["fileBytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

void BM_Read(benchmark::State& state)
{
    const auto& bytes = sample();
    Workspace ws;
    for (auto _ : state) {
        auto report = readMenuBytes(bytes, ws, ReadOptions{false, {}});
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_Read)->Unit(benchmark::kMicrosecond);

void BM_Renumber(benchmark::State& state)
{
    Workspace ws;
    (void)readMenuBytes(sample(), ws, ReadOptions{false, {}});
    for (auto _ : state)
        renumberTree(ws.document);
}
BENCHMARK(BM_Renumber)->Unit(benchmark::kMicrosecond);

void BM_Write(benchmark::State& state)
{
    Workspace ws;
    (void)readMenuBytes(sample(), ws, ReadOptions{false, {}});
    for (auto _ : state) {
        auto out = renderMenuFile(ws);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Write)->Unit(benchmark::kMicrosecond);

} // namespace
