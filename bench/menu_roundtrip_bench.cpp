// Read + renumber + write of the largest menu a file can hold: 254 nodes (the Softkeys
// container, seven softkeys, the Menu Root and 245 items), every item with titles in four
// languages, a file-system icon and a DRM icon. Everything in memory. The flat and nested
// round trips run over growing menus of the same items, so their times show how the cost
// grows with the number of records; "allocs" counts heap allocations per round trip.
// The text form is measured against the binary form it stands for: export against read,
// compile against write, a comparison of two texts against one of two files; the run ends
// with these ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <new>

#include <unistd.h>

namespace {
size_t allocationCount = 0;
} // namespace

// Counts every allocation of the program, so a benchmark can report its own. Kept out of line:
// inlined, the compiler would pair malloc with delete and warn.
[[gnu::noinline]] void* operator new(size_t size)
{
    ++allocationCount;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, size_t) noexcept { std::free(p); }

#include "core/catalogue.h"
#include "core/menu_description.h"
#include "core/menu_diff.h"
#include "core/menu_reader.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "core/renumber.h"

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

using MenuShape = std::function<void(const std::function<MenuNode*(MenuNode*, uint8_t)>& add, MenuNode* root)>;

// A file of the seven softkeys and the menu that `shape` builds with `add(parent, itemType)`.
std::vector<uint8_t> fileOf(const MenuShape& shape, size_t expectedNodes)
{
    OpenMenu menu;
    MenuDocument& doc = menu.document;
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
    shape(add, doc.menuRoot());
    renumberTree(doc);
    for (const MenuNode* node : doc.preorder())
        if (node->item.hasData && node->item.recordNo > 10)
            doc.data().store(node->item.recordNo, itemData(node->item.recordNo));

    auto bytes = renderMenuFile(menu);
    if (!bytes.ok() || doc.nodeCount() != expectedNodes) {
        std::cerr << "cannot build the largest document: " << bytes.error() << '\n';
        std::abort();
    }
    return bytes.value();
}

constexpr size_t kFixedNodes = 9;  // the Softkeys container, seven softkeys, the Menu Root

// The largest menu: 15 folders of 15 items each, then 5 more items at the top.
const std::vector<uint8_t>& sample()
{
    static const std::vector<uint8_t> bytes = fileOf(
        [](const auto& add, MenuNode* root) {
            std::vector<MenuNode*> folders;
            for (int f = 0; f < 15; ++f)
                folders.push_back(add(root, kTypeContainer));
            for (MenuNode* folder : folders)
                for (int i = 0; i < 15; ++i)
                    add(folder, kTypeItem);
            for (int i = 0; i < 5; ++i)
                add(root, kTypeItem);
        },
        254);
    return bytes;
}

// `items` items, all of them children of the Menu Root.
std::vector<uint8_t> flatFile(size_t items)
{
    return fileOf(
        [items](const auto& add, MenuNode* root) {
            for (size_t i = 0; i < items; ++i)
                add(root, kTypeItem);
        },
        kFixedNodes + items);
}

// `items` items as a tree three wide and as deep as it takes: each folder holds three items,
// filled level by level (245 items are five levels).
std::vector<uint8_t> nestedFile(size_t items)
{
    return fileOf(
        [items](const auto& add, MenuNode* root) {
            std::vector<MenuNode*> level = {root};
            size_t made = 0;
            while (made < items) {
                std::vector<MenuNode*> next;
                for (MenuNode* parent : level)
                    for (int i = 0; i < 3 && made < items; ++i, ++made)
                        next.push_back(add(parent, kTypeContainer));
                level = std::move(next);
            }
        },
        kFixedNodes + items);
}

void roundTrips(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    OpenMenu menu;  // the editor's tables live for the whole run; a read replaces the document
    size_t allocations = 0;
    for (auto _ : state) {
        const size_t before = allocationCount;
        (void)readMenuBytes(bytes, menu, ReadOptions{false, {}});
        renumberTree(menu.document);
        auto out = renderMenuFile(menu);
        benchmark::DoNotOptimize(out);
        allocations += allocationCount - before;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["fileBytes"] = static_cast<double>(bytes.size());
    state.counters["allocs"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
    state.SetComplexityN(static_cast<int64_t>(menu.document.nodeCount()));
}

void BM_RoundTrip(benchmark::State& state)
{
    roundTrips(state, sample());
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

// Argument: the number of menu items (245 gives the 254-node file).
void BM_RoundTripFlat(benchmark::State& state)
{
    roundTrips(state, flatFile(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_RoundTripFlat)->Arg(30)->Arg(60)->Arg(120)->Arg(245)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

void BM_RoundTripNested(benchmark::State& state)
{
    roundTrips(state, nestedFile(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_RoundTripNested)->Arg(30)->Arg(60)->Arg(120)->Arg(245)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

void BM_Read(benchmark::State& state)
{
    const auto& bytes = sample();
    OpenMenu menu;
    for (auto _ : state) {
        auto report = readMenuBytes(bytes, menu, ReadOptions{false, {}});
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_Read)->Unit(benchmark::kMicrosecond);

void BM_Renumber(benchmark::State& state)
{
    OpenMenu menu;
    (void)readMenuBytes(sample(), menu, ReadOptions{false, {}});
    for (auto _ : state)
        renumberTree(menu.document);
}
BENCHMARK(BM_Renumber)->Unit(benchmark::kMicrosecond);

void BM_Write(benchmark::State& state)
{
    OpenMenu menu;
    (void)readMenuBytes(sample(), menu, ReadOptions{false, {}});
    for (auto _ : state) {
        auto out = renderMenuFile(menu);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Write)->Unit(benchmark::kMicrosecond);

// The text form of the same menu: document to JSON text (beside BM_Read), and JSON text to
// the file's bytes (beside BM_Write).
void BM_ExportText(benchmark::State& state)
{
    OpenMenu menu;
    (void)readMenuBytes(sample(), menu, ReadOptions{false, {}});
    for (auto _ : state) {
        auto text = menuTextOf(menu.document, menu.saveMode);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMicrosecond);

void BM_CompileText(benchmark::State& state)
{
    OpenMenu menu;
    (void)readMenuBytes(sample(), menu, ReadOptions{false, {}});
    const std::string text = menuTextOf(describeMenu(menu.document, menu.saveMode));
    for (auto _ : state) {
        auto description = parseMenuText(text);
        if (!description || !installMenuDescription(description.value(), menu))
            state.SkipWithError("the text does not compile");
        auto out = renderMenuFile(menu);
        benchmark::DoNotOptimize(out);
    }
    state.counters["textBytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_CompileText)->Unit(benchmark::kMicrosecond);

// Two menus of 245 items that differ a little: the second has two folders swapped, an item
// moved into another folder and one title changed.
std::pair<MenuDescription, MenuDescription> twoMenus()
{
    OpenMenu menu;
    (void)readMenuBytes(sample(), menu, ReadOptions{false, {}});
    MenuDescription before = describeMenu(menu.document, menu.saveMode);
    MenuDescription after = before;
    std::swap(after.menu[1], after.menu[2]);
    after.menu[3].items.push_back(after.menu[4].items.back());
    after.menu[4].items.pop_back();
    after.menu[5].items[0].data[0].titles[1].text = u"Anderer Eintrag";
    return {std::move(before), std::move(after)};
}

std::vector<uint8_t> fileOf(const MenuDescription& description)
{
    OpenMenu menu;
    if (!installMenuDescription(description, menu))
        std::abort();
    return renderMenuFile(menu).value();
}

// What `tessaro-cli diff` does with two mma_ucp files, in memory.
void BM_DiffFiles(benchmark::State& state)
{
    const auto [before, after] = twoMenus();
    const std::vector<uint8_t> first = fileOf(before);
    const std::vector<uint8_t> second = fileOf(after);
    OpenMenu a;
    OpenMenu b;
    for (auto _ : state) {
        (void)readMenuBytes(first, a, ReadOptions{false, {}});
        (void)readMenuBytes(second, b, ReadOptions{false, {}});
        auto changes = compareMenus(describeMenu(a.document, a.saveMode), describeMenu(b.document, b.saveMode));
        benchmark::DoNotOptimize(changes);
    }
}
BENCHMARK(BM_DiffFiles)->Unit(benchmark::kMicrosecond);

// The same with the two menus as texts.
void BM_DiffTexts(benchmark::State& state)
{
    const auto [before, after] = twoMenus();
    const std::string first = menuTextOf(before);
    const std::string second = menuTextOf(after);
    for (auto _ : state) {
        auto a = parseMenuText(first);
        auto b = parseMenuText(second);
        if (!a || !b)
            state.SkipWithError("the texts do not read");
        auto changes = compareMenus(a.value(), b.value());
        benchmark::DoNotOptimize(changes);
    }
}
BENCHMARK(BM_DiffTexts)->Unit(benchmark::kMicrosecond);

// Shows the runs as the console does and keeps each benchmark's CPU time per iteration (the
// median of its repetitions), so the run can end with the ratios between them.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.error_occurred)
                continue;
            // With only the aggregates reported, the median stands for the repetitions.
            if (run.run_type == Run::RT_Iteration)
                seconds_[run.run_name.function_name].push_back(seconds);
            else if (run.aggregate_name == "median")
                seconds_[run.run_name.function_name] = {seconds};
        }
    }

    // "compile / write" and its goal, when both benchmarks ran.
    void printRatio(const char* what, const std::string& measured, const std::string& reference, double goal)
    {
        if (!seconds_.count(measured) || !seconds_.count(reference))
            return;
        const double ratio = median(seconds_[measured]) / median(seconds_[reference]);
        if (goal > 0)
            std::printf("%-34s %7.1f (goal at most %.0f)\n", what, ratio, goal);
        else
            std::printf("%-34s %7.1f\n", what, ratio);
    }

private:
    static double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

    std::map<std::string, std::vector<double>> seconds_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nCPU time ratios:\n");
    reporter.printRatio("compile / write", "BM_CompileText", "BM_Write", 20);
    reporter.printRatio("export / read", "BM_ExportText", "BM_Read", 3);
    reporter.printRatio("diff of texts / diff of files", "BM_DiffTexts", "BM_DiffFiles", 0);
    return 0;
}
