// DRM icon speed and memory: one 240 x 320 raw icon to GIF (goal under 2 ms), and loading a
// 64 MiB CG15 pack (goal: peak memory at most the file size plus 10 MB).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "../tests/drm/cg15_builder.h"
#include "drm/drmpack.h"
#include "drm/gif_writer.h"

namespace {

using namespace tessaro;
using testing::Cg15Builder;
using testing::RawIconSpec;

uint16_t rgb565(int r, int g, int b)
{
    return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// A full-screen wallpaper-like picture: smooth gradients, some noise, and a masked border.
RawIconSpec wallpaper(uint16_t width, uint16_t height)
{
    RawIconSpec icon;
    icon.width = width;
    icon.height = height;
    icon.key[0] = 0xFF;
    icon.key[2] = 0xFF;
    std::mt19937 random(1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x - width / 2.0, y - height / 2.0);
            const int noise = int(random() % 9);
            icon.pixels.push_back(rgb565((x * 255 / width + noise) & 0xFF, (y * 255 / height) & 0xFF,
                                         int(d * 255 / 200 + noise) & 0xFF));
            icon.masked.push_back(d > 150);
        }
    }
    return icon;
}

void BM_RawIcon240x320ToGif(benchmark::State& state)
{
    Cg15Builder builder;
    builder.kind = PackKind::HeadedRaw;
    builder.raw = {wallpaper(240, 320)};
    builder.stored = {{0}};
    DrmPack pack;
    if (!pack.loadImage(builder.build()).ok()) {
        state.SkipWithError("pack did not load");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        auto gif = pack.extractDrmIcon(0);
        bytes = gif ? gif->size() : 0;
        benchmark::DoNotOptimize(gif);
    }
    state.counters["gif_bytes"] = double(bytes);
}
BENCHMARK(BM_RawIcon240x320ToGif)->Unit(benchmark::kMillisecond);

// The decoding alone, to see where the time goes.
void BM_QuantizeAndEncode240x320(benchmark::State& state)
{
    const RawIconSpec icon = wallpaper(240, 320);
    std::vector<uint8_t> data;
    Cg15Builder::appendRawData(data, icon);
    const RawImageRecord record{icon.width, icon.height, 0xFFFF00FF, 0};
    const ArgbImage image = *DrmPack::decodeRawImage(record, data);
    for (auto _ : state) {
        QuantizedImage q = quantizeImage(image);
        benchmark::DoNotOptimize(q);
        auto gif = writeGif(q);
        benchmark::DoNotOptimize(gif);
    }
}
BENCHMARK(BM_QuantizeAndEncode240x320)->Unit(benchmark::kMillisecond);

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A 64 MiB pack file, written by a child process so that building it does not count towards
// this process's peak memory. Removed when the benchmark program ends.
class LargePackFile {
public:
    LargePackFile()
    {
        path_ = (std::filesystem::temp_directory_path() / ("tessaro-bench-pack-" + std::to_string(getpid()) + ".smg")).string();
        const pid_t child = fork();
        if (child == 0) {
            Cg15Builder builder;
            builder.kind = PackKind::HeadedRaw;
            // 800 raw 48 x 48 icons (about 3.9 MB) and 2 KiB stored icons up to 64 MiB.
            for (int i = 0; i < 800; ++i)
                builder.raw.push_back(testing::solidRawIcon(48, 48, uint16_t(i * 77)));
            const size_t target = 64u << 20;
            const size_t rawBytes = 800 * 4896;
            for (size_t used = rawBytes; used + 2048 + 16 < target; used += 2048 + 4)
                builder.stored.push_back(std::vector<uint8_t>(2048, uint8_t(used)));
            std::vector<uint8_t> image = builder.build();
            image.resize(target, 0);
            std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    ~LargePackFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }
    uint64_t size() const { return std::filesystem::file_size(path_); }

private:
    std::string path_;
};

const LargePackFile& largePack()
{
    static LargePackFile file;
    return file;
}

void BM_Load64MiBPack(benchmark::State& state)
{
    const LargePackFile& file = largePack();
    const long before = peakRssKb();
    uint32_t total = 0;
    for (auto _ : state) {
        DrmPack pack;
        auto loaded = pack.loadDrmPack(file.path());
        total = loaded ? *loaded : 0;
        benchmark::DoNotOptimize(pack);
    }
    state.counters["file_MB"] = double(file.size()) / 1e6;
    state.counters["icons"] = total;
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1e3;
    state.counters["peak_rss_growth_MB"] = double(peakRssKb() - before) / 1e3;
}
BENCHMARK(BM_Load64MiBPack)->Unit(benchmark::kMillisecond);

// Loading and then fetching every icon: every page of the file is touched once.
void BM_Load64MiBPackAndFetchAll(benchmark::State& state)
{
    const LargePackFile& file = largePack();
    const long before = peakRssKb();
    uint32_t images = 0;
    for (auto _ : state) {
        DrmPack pack;
        auto loaded = pack.loadDrmPack(file.path());
        images = 0;
        for (uint32_t i = 0; loaded && i + 1 < *loaded; ++i)
            images += pack.extractDrmIcon(i).has_value();
    }
    state.counters["images"] = images;
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1e3;
    state.counters["peak_rss_growth_MB"] = double(peakRssKb() - before) / 1e3;
}
BENCHMARK(BM_Load64MiBPackAndFetchAll)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
