// libFuzzer target for the firmware scan: the analysis of hostile images must neither crash nor
// read out of bounds, and its block-wise search must agree with a plain search over the whole
// image. Each input is scanned in 64 KiB blocks and once more in blocks of a third of its
// size, so that block boundaries fall inside even the smallest input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "fuzz_support.h"
#include "workspace/firmware_image.h"
#include "workspace/firmware_profile.h"

namespace {

using tessaro::FirmwareAnalysis;

constexpr size_t npos = std::string_view::npos;

// The plain searches go through the C library, whose loops the coverage instrumentation does
// not trace: the block scan's own loops are what should steer the fuzzer.
FUZZ_UNTRACED size_t plainSearch(std::span<const uint8_t> image, size_t from, std::string_view pattern)
{
    if (from >= image.size())
        return npos;
    const void* hit = memmem(image.data() + from, image.size() - from, pattern.data(), pattern.size());
    return hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - image.data()) : npos;
}

// The first offset where a version mark lies whole in the image, or npos.
FUZZ_UNTRACED size_t plainVersionSearch(std::span<const uint8_t> image)
{
    for (size_t i = plainSearch(image, 0, "@(#)"); i != npos; i = plainSearch(image, i + 1, "@(#)")) {
        if (i + 5 > image.size())
            return npos;
        const uint8_t letter = image[i + 4];
        if (letter == 'T' || letter == 'G')
            return i;
        if (letter == 'R' && i + 6 <= image.size() && image[i + 5] >= '0' && image[i + 5] <= '9')
            return i;
    }
    return npos;
}

struct PlainHits {
    size_t version;
    size_t table;
};

void scan(std::span<const uint8_t> image, const PlainHits& plain, size_t blockSize)
{
    tessaro::MemoryImage source(image);
    auto result = tessaro::analyseFirmware(source, nullptr, tessaro::SearchVariant::Best, blockSize);
    fuzz::check(result.ok());
    const FirmwareAnalysis& a = *result;

    fuzz::check(a.versionFound == (plain.version != npos));
    if (!a.versionFound)
        return;
    fuzz::check(a.versionOffset == plain.version);
    fuzz::check(!a.tag.empty() && a.tag.size() <= 100);

    if (a.itemTableFound) {
        fuzz::check(a.itemTableOffset == plain.table);
        fuzz::check(a.recordLength == 20 || a.recordLength == 36);
        fuzz::check(a.itemCount <= 4096 && a.shortcutCount <= 4096);
    }
    for (const auto& n : a.names)
        fuzz::check(n.name.size() <= 52 && n.name.find_first_of("\r\n;") == std::string::npos);

    if (tessaro::isUsableProfileTag(a.tag)) {
        const std::string text = tessaro::firmwareProfileText(a.tag, a.recordLength, a.names);
        fuzz::check(text.rfind("[mma_ucp format]\r\n", 0) == 0);
    }
}

// Every filter variant this processor runs must agree with the plain search on one window.
void compareVariants(std::span<const uint8_t> window, const PlainHits& plain)
{
    for (auto v : {tessaro::SearchVariant::Portable, tessaro::SearchVariant::Avx2, tessaro::SearchVariant::Avx512}) {
        if (!tessaro::searchVariantAvailable(v))
            continue;
        const auto hits = tessaro::findFirmwarePatterns(window.data(), window.size(), true, true, v);
        fuzz::check(hits.version == plain.version && hits.table == plain.table);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> image(data, size);
    const PlainHits plain{plainVersionSearch(image), plainSearch(image, 0, "2CLICK")};
    compareVariants(image, plain);
    scan(image, plain, tessaro::kFirmwareBlockSize);
    // Blocks of a third: two boundaries inside the input, the second one after a block that
    // began with bytes carried over; blocks shorter than a pattern for inputs under 18 bytes.
    scan(image, plain, std::max<size_t>(1, size / 3));
    return 0;
}
