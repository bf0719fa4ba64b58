// The phone-screen preview: laying out and drawing a container of 245 items, each with its own
// static icon, from warm icon caches (one frame is 16 ms); and the icons of a phone with 200
// of them, fetched once and not again while their sizes hold.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "core/open_menu.h"
#include "drm/gif_writer.h"
#include "edit/tree_edit.h"
#include "p2k/operation_log.h"
#include "p2k/virtual_phone.h"
#include "phone/phone_context.h"
#include "preview/icon_check.h"
#include "preview/phone_icons.h"
#include "preview/screen_layout.h"
#include "ui/phone_screen_painter.h"

namespace {

using namespace tessaro;
namespace fs = std::filesystem;

constexpr int kItems = 245;
constexpr int kPhoneIcons = 200;

class QuietProgress : public Progress {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
};

class QuietFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override { return std::make_unique<QuietProgress>(); }
};

class QuietPrompter : public Prompter {
public:
    void show(MessageIcon, const std::string&, const std::string&) override {}
    Answer ask(MessageIcon, const std::string&, const std::string&, Buttons) override { return Answer::No; }
};

fs::path freshFolder()
{
    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / ("tessaro-preview-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    return dir;
}

// A 16 x 16 icon of its own colour for item `i`.
std::vector<uint8_t> iconBytes(int i)
{
    const uint32_t colour = 0xFF000000u | uint32_t(i * 2654435761u & 0xFFFFFF);
    return convertToGif(ArgbImage{16, 16, std::vector<uint32_t>(256, colour)}).value();
}

// A Menu Root of `count` items, item i naming "/a/mobile/picture/iconI.gif" as its static
// icon, and the icon files under `folder` (phone paths below it).
void buildMenu(OpenMenu& menu, int count, const fs::path& folder)
{
    startNewMenu(menu.document);
    const size_t entry = menu.items.findAvailable("Games");
    fs::create_directories(folder / "a/mobile/picture");
    for (int i = 0; i < count; ++i)
        (void)insertAvailableItem(menu, entry, menu.document.menuRoot(), InsertPosition::AddSubitemLast);
    // Data goes in once the tree stands: an insertion renumbers the records.
    for (int i = 0; i < count; ++i) {
        MenuNode* node = menu.document.menuRoot()->child(size_t(i));
        const std::string name = "icon" + std::to_string(i) + ".gif";
        ItemDataBlock block;
        block.entries = {
            DataEntry{.kind = kind::FileIcon,
                      .role = kRoleStatic,
                      .path = std::u16string(u"/a/mobile/picture/") + std::u16string(name.begin(), name.end())}};
        menu.document.data().store(node->item.recordNo, block);
        node->item.hasData = true;
        const std::vector<uint8_t> bytes = iconBytes(i);
        std::ofstream(folder / "a/mobile/picture" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}

// Lays out and draws the page of the selected item, stepping through all 245 items so every
// page is drawn, with the icon sources and the decoded pictures warm.
void BM_LayoutAndDraw245Items(benchmark::State& state)
{
    const fs::path dir = freshFolder();
    OpenMenu menu;
    buildMenu(menu, kItems, dir);
    IconSources sources;
    sources.setFolder(dir.string());
    IconPictures pictures;
    const MenuNode* root = menu.document.menuRoot();
    const PreviewOptions options{{240, 320}, state.range(0) ? MenuStyle::List : MenuStyle::Grid, 0};
    QImage screen(240, 320, QImage::Format_ARGB32_Premultiplied);
    for (size_t i = 0; i < root->childCount(); ++i) { // warm the caches
        QPainter painter(&screen);
        paintScreen(painter, layoutScreen(menu, root->child(i), options, &sources), pictures);
    }
    size_t at = 0;
    for (auto _ : state) {
        const ScreenLayout layout = layoutScreen(menu, root->child(at), options, &sources);
        QPainter painter(&screen);
        paintScreen(painter, layout, pictures);
        painter.end();
        benchmark::DoNotOptimize(screen.constBits());
        at = (at + 1) % root->childCount();
    }
    state.SetLabel(state.range(0) ? "list" : "grid");
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_LayoutAndDraw245Items)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A virtual phone of 200 icons and the menu that names them, in a folder of its own.
struct PhoneOfIcons {
    PhoneOfIcons()
    {
        fs::create_directories(dir / "phone/a");
        std::ofstream(dir / "phone/phone.json")
            << R"({"model": "TX100", "firmware": "TX100_A_01.02.03R", "lp": 4660, "imei": "351234567890124"})";
        buildMenu(menu, kPhoneIcons, dir / "phone");
        api = std::move(VirtualPhone::open(dir / "phone")).value();
        api->plug();
        link.connected = true;
        link.imei = "351234567890124";
        phone = std::make_unique<PhoneContext>(PhoneContext{*api, link, log, progress, prompter, dir.string() + "/"});
        paths = namedIconPaths(menu);
    }
    ~PhoneOfIcons()
    {
        phone.reset();
        api.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Opens the preview once: lists the icon folder, fetches what the cache lacks. The number
    // of files fetched; a failure's text in `failure`.
    uint64_t open()
    {
        PhoneIcons icons(dir.string() + "/IconCache/");
        icons.begin(link.imei, paths);
        for (Result<bool> more = true; more.ok() && *more;) {
            more = icons.step(*phone);
            if (!more)
                failure = more.error();
        }
        return icons.fetchCount();
    }

    fs::path dir = freshFolder();
    OpenMenu menu;
    std::unique_ptr<VirtualPhone> api;
    PhoneLinkState link;
    OperationLog log;
    QuietFactory progress;
    QuietPrompter prompter;
    std::unique_ptr<PhoneContext> phone;
    std::vector<std::string> paths;
    std::string failure;
};

// The first opening of the preview of a phone with 200 icons: each icon fetched once.
void BM_PhoneIconsFirstOpening(benchmark::State& state)
{
    PhoneOfIcons bench;
    uint64_t fetched = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(bench.dir / "IconCache");
        state.ResumeTiming();
        fetched = bench.open();
    }
    if (!bench.failure.empty())
        state.SkipWithError(bench.failure.c_str());
    state.counters["fetched"] = double(fetched);
}
BENCHMARK(BM_PhoneIconsFirstOpening)->Unit(benchmark::kMillisecond);

// Every later opening (a reconnect) while the sizes hold: the folder is listed, nothing fetched.
void BM_PhoneIconsLaterOpening(benchmark::State& state)
{
    PhoneOfIcons bench;
    bench.open();
    uint64_t fetched = 0;
    for (auto _ : state)
        fetched = bench.open();
    if (!bench.failure.empty())
        state.SkipWithError(bench.failure.c_str());
    state.counters["fetched"] = double(fetched);
}
BENCHMARK(BM_PhoneIconsLaterOpening)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts and pictures need the GUI library, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
