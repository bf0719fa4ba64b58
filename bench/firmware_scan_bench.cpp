// The firmware scan against reading the same image and nothing else. The image is 64 MiB of
// pseudo-random bytes with the version mark and the item table near its end, so the scan has
// to look at every block, as on a real CG1 whose tables lie deep inside.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "workspace/firmware_image.h"
#include "workspace/firmware_profile.h"
#include "workspace/firmware_search.h"

namespace {

constexpr size_t kImageSize = 64u << 20;
constexpr size_t kBlock = 65536;

// Written once per run, removed at exit.
class SyntheticImage {
public:
    SyntheticImage()
    {
        path_ = (std::filesystem::temp_directory_path() / ("tessaro-bench-cg1-" + std::to_string(::getpid()))).string();
        std::vector<uint8_t> bytes(kImageSize);
        uint64_t x = 0x9E3779B97F4A7C15ull;
        for (auto& b : bytes) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            b = static_cast<uint8_t>(x);
        }
        auto put = [&](size_t at, std::string_view text) { std::copy(text.begin(), text.end(), bytes.begin() + static_cast<long>(at)); };
        put(kImageSize - 3 * kBlock + 11, "@(#)R3624_G_0A.52.1AR");
        const size_t table = kImageSize - 2 * kBlock - 3;  // straddles a block boundary
        put(table, std::string("2CLICK") + std::string(14, '\0'));
        put(table + 36, std::string("PhoneBook") + std::string(27, '\0'));
        bytes[table + 72] = 0;
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~SyntheticImage() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const SyntheticImage& image()
{
    static const SyntheticImage instance;
    return instance;
}

// Reading the whole file in 64 KiB blocks and nothing else.
void BM_PlainRead(benchmark::State& state)
{
    std::vector<uint8_t> buffer(kBlock);
    for (auto _ : state) {
        const int fd = ::open(image().path().c_str(), O_RDONLY);
        size_t total = 0;
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
            total += static_cast<size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// The scan of createProfileFromFirmware: version mark, item table, tables after it.
void BM_FirmwareScan(benchmark::State& state)
{
    const auto variant = static_cast<tessaro::SearchVariant>(state.range(0));
    if (!tessaro::searchVariantAvailable(variant)) {
        state.SkipWithError("this processor cannot run the variant");
        return;
    }
    for (auto _ : state) {
        auto file = tessaro::FileImage::open(image().path());
        auto analysis = tessaro::analyseFirmware(**file, nullptr, variant);
        if (!analysis || analysis->tag != "R3624" || !analysis->itemTableFound)
            state.SkipWithError("the synthetic image was not recognised");
        benchmark::DoNotOptimize(analysis);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
// Arguments: 0 the best variant of this processor, 1 portable, 2 AVX2, 3 AVX-512BW.
BENCHMARK(BM_FirmwareScan)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The pattern search alone over the image held in memory, window by window, per variant.
void BM_WindowSearch(benchmark::State& state)
{
    const auto variant = static_cast<tessaro::SearchVariant>(state.range(0));
    if (!tessaro::searchVariantAvailable(variant)) {
        state.SkipWithError("this processor cannot run the variant");
        return;
    }
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream in(image().path(), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    for (auto _ : state) {
        size_t found = 0;
        for (size_t at = 0; at < bytes.size(); at += kBlock) {
            const auto hits = tessaro::findFirmwarePatterns(bytes.data() + at, std::min(kBlock + 5, bytes.size() - at),
                                                            true, true, variant);
            found += hits.version != tessaro::PatternHits::npos;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_WindowSearch)
    ->Arg(static_cast<int>(tessaro::SearchVariant::Portable))
    ->Arg(static_cast<int>(tessaro::SearchVariant::Avx2))
    ->Arg(static_cast<int>(tessaro::SearchVariant::Avx512))
    ->Unit(benchmark::kMillisecond);

} // namespace
