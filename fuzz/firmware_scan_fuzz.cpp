// libFuzzer target for the firmware scan: the analysis of hostile images must neither crash nor
// read out of bounds, and its block-wise search must agree with a plain search over the whole
// image. Each input is scanned as it is and once more placed across a 64 KiB block boundary.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "workspace/firmware_image.h"
#include "workspace/firmware_profile.h"

namespace {

using tessaro::FirmwareAnalysis;

constexpr size_t kBlock = 65536;

// The first offset where a version mark lies whole in the image, or npos.
size_t plainVersionSearch(const std::vector<uint8_t>& image)
{
    for (size_t i = 0; i + 5 <= image.size(); ++i) {
        if (image[i] != '@' || image[i + 1] != '(' || image[i + 2] != '#' || image[i + 3] != ')')
            continue;
        const uint8_t letter = image[i + 4];
        if (letter == 'T' || letter == 'G')
            return i;
        if (letter == 'R' && i + 6 <= image.size() && image[i + 5] >= '0' && image[i + 5] <= '9')
            return i;
    }
    return std::string_view::npos;
}

size_t plainSearch(const std::vector<uint8_t>& image, std::string_view pattern)
{
    const auto it = std::search(image.begin(), image.end(), pattern.begin(), pattern.end());
    return it == image.end() ? std::string_view::npos : static_cast<size_t>(it - image.begin());
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void scan(const std::vector<uint8_t>& image)
{
    tessaro::MemoryImage source(image);
    auto result = tessaro::analyseFirmware(source, nullptr);
    check(result.ok());
    const FirmwareAnalysis& a = *result;

    const size_t version = plainVersionSearch(image);
    check(a.versionFound == (version != std::string_view::npos));
    if (!a.versionFound)
        return;
    check(a.versionOffset == version);
    check(!a.tag.empty() && a.tag.size() <= 100);

    const size_t table = plainSearch(image, "2CLICK");
    if (a.itemTableFound) {
        check(a.itemTableOffset == table);
        check(a.recordLength == 20 || a.recordLength == 36);
        check(a.itemCount <= 4096 && a.shortcutCount <= 4096);
    }
    for (const auto& n : a.names)
        check(n.name.size() <= 52 && n.name.find_first_of("\r\n;") == std::string::npos);

    if (tessaro::isUsableProfileTag(a.tag)) {
        const std::string text = tessaro::firmwareProfileText(a.tag, a.recordLength, a.names);
        check(text.rfind("[mma_ucp format]\r\n", 0) == 0);
    }
}

} // namespace

// Every filter variant this processor runs must agree with the plain search on one window.
void compareVariants(const std::vector<uint8_t>& window)
{
    const size_t version = plainVersionSearch(window);
    const size_t table = plainSearch(window, "2CLICK");
    for (auto v : {tessaro::SearchVariant::Portable, tessaro::SearchVariant::Avx2, tessaro::SearchVariant::Avx512}) {
        if (!tessaro::searchVariantAvailable(v))
            continue;
        const auto hits = tessaro::findFirmwarePatterns(window.data(), window.size(), true, true, v);
        check(hits.version == version && hits.table == table);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(data, data + size);
    compareVariants(image);
    scan(image);

    // The same bytes with their middle on a block boundary: the first one that leaves room for
    // the first half before it (the first block boundary for inputs of up to two blocks), so
    // the copy never starts before the buffer.
    const size_t half = size / 2;
    const size_t boundary = std::max(kBlock, (half + kBlock - 1) / kBlock * kBlock);
    std::vector<uint8_t> straddling(boundary + size, 0);
    std::copy(data, data + size, straddling.begin() + static_cast<long>(boundary - half));
    scan(straddling);
    return 0;
}
