#include "workspace/firmware_profile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "core/item_base_file.h"
#include "core/item_lists.h"
#include "core/notice.h"
#include "core/progress.h"
#include "core/open_menu.h"
#include "workspace/firmware_image.h"
#include "workspace/firmware_search.h"
#include "workspace/profiles.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

// The longest pattern of the block scan is "@(#)R" with its digit: 6 bytes. Carrying its
// length − 1 bytes from one block into the next lets a pattern that straddles the boundary
// be seen whole, while every byte is still read once.
constexpr size_t kOverlap = 5;

constexpr std::string_view kVersionPrefix = "@(#)";
constexpr std::array<uint8_t, 7> kShortcutEnd = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::string_view kDialedMark = "Dialed";

constexpr size_t kTagBytes = 100;
constexpr size_t kShortcutWindow = 65536;
// The end pattern counts only where it starts below 65529, the "Dialed" mark only where it
// starts below 506: the last offsets of each window are not looked at.
constexpr size_t kShortcutEndLimit = 65529;
constexpr size_t kDialedWindow = 512;
constexpr size_t kDialedLimit = 506;
constexpr size_t kShortcutRecord = 52;
constexpr size_t kDialedRecord = 44;
// Real firmware tables hold a few hundred names at most; a hostile image (megabytes of
// letters, say) must not fill the item base with millions of lines.
constexpr size_t kMaxTableRecords = 4096;

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isUpper(uint8_t c) { return c >= 'A' && c <= 'Z'; }

// The first occurrence of a pattern in [begin, begin + length), or null; begin may be null
// when length is 0 (nothing was read).
const uint8_t* find(const uint8_t* begin, size_t length, const void* pattern, size_t patternLength)
{
    if (length < patternLength)
        return nullptr;
    return static_cast<const uint8_t*>(memmem(begin, length, pattern, patternLength));
}

// A name of a firmware table: the bytes up to the first zero byte, but never beyond its
// record.
std::string recordName(std::span<const uint8_t> record)
{
    const auto end = std::find(record.begin(), record.end(), uint8_t{0});
    return std::string(record.begin(), end);
}

// Names go into line-based files: a control character or ";" would break the line or the
// item base's identifier;display split, so such a name is left out.
bool isWritableName(std::string_view name)
{
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F || c == ';';
    });
}

class Walker {
public:
    Walker(FirmwareImage& image, FirmwareAnalysis& analysis) : image_(image), analysis_(analysis) {}

    // Reads `count` bytes at `offset` into a buffer; short at the end of the image.
    Result<std::vector<uint8_t>> bytesAt(uint64_t offset, size_t count)
    {
        const uint64_t size = image_.size();
        std::vector<uint8_t> bytes(offset < size ? std::min<uint64_t>(count, size - offset) : 0);
        auto n = image_.read(offset, bytes);
        if (!n)
            return n.failure();
        bytes.resize(*n);
        return bytes;
    }

    void take(std::span<const uint8_t> record, bool shortcut)
    {
        std::string name = recordName(record);
        if (isWritableName(name))
            analysis_.names.push_back({std::move(name), shortcut});
    }

    // Takes `length`-byte records from `at` on while they start with a digit or an upper-case
    // letter and `count` is below kMaxTableRecords; `count` counts them. Fails on a read error.
    Status takeForward(uint64_t at, size_t length, bool shortcut, size_t& count)
    {
        for (; count < kMaxTableRecords; at += length) {
            auto record = bytesAt(at, length);
            if (!record)
                return record.failure();
            if (record->size() < length || !(isDigit((*record)[0]) || isUpper((*record)[0])))
                break;
            take(*record, shortcut);
            ++count;
        }
        return Status::success();
    }

private:
    FirmwareImage& image_;
    FirmwareAnalysis& analysis_;
};

struct BlockScan {
    bool versionFound = false;
    uint64_t versionOffset = 0;
    bool tableFound = false;
    uint64_t tableOffset = 0;
};

Result<BlockScan> scanBlocks(FirmwareImage& image, Progress* progress, SearchVariant variant, size_t blockSize)
{
    BlockScan scan;
    const uint64_t size = image.size();
    // An image smaller than a block needs no more room than itself.
    const size_t readSize = static_cast<size_t>(std::min<uint64_t>(std::max<size_t>(blockSize, 1), size));
    std::vector<uint8_t> buffer(kOverlap + readSize);
    size_t carried = 0;       // bytes at the start of buffer kept from the previous block
    uint64_t blockStart = 0;  // image offset of the block that follows them
    uint64_t block = 0;       // number of the block being read, from 0
    while (!scan.versionFound || !scan.tableFound) {
        auto n = image.read(blockStart, std::span<uint8_t>(buffer.data() + carried, readSize));
        if (!n)
            return n.failure();
        if (*n == 0)
            break;
        const size_t length = carried + *n;
        const uint64_t base = blockStart - carried;
        const PatternHits hits = findFirmwarePatterns(buffer.data(), length, !scan.versionFound, !scan.tableFound, variant);
        if (hits.version != PatternHits::npos) {
            scan.versionFound = true;
            scan.versionOffset = base + hits.version;
        }
        if (hits.table != PatternHits::npos) {
            scan.tableFound = true;
            scan.tableOffset = base + hits.table;
        }
        // The bar counts the blocks before this one: bytes in the block × its number.
        if (!scan.versionFound && progress)
            progress->setBar(0, percentOf(uint64_t(*n) * block, size));
        // Cancel from the progress window: what was found so far is not used.
        if (progress && progress->cancelled())
            break;
        blockStart += *n;
        ++block;
        carried = std::min(kOverlap, length);
        std::memmove(buffer.data(), buffer.data() + length - carried, carried);
    }
    return scan;
}

std::string tagFrom(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    // After "R" and "T" the tag runs to the first "_", after "G" to the first zero byte;
    // a zero byte or the end of the bytes read ends it in any case.
    const bool untilUnderscore = bytes[0] != 'G';
    std::string tag;
    for (uint8_t c : bytes) {
        if (c == 0 || (untilUnderscore && c == '_'))
            break;
        tag += static_cast<char>(c);
    }
    return tag;
}

} // namespace

Result<FirmwareAnalysis> analyseFirmware(FirmwareImage& image, Progress* progress, SearchVariant variant,
                                         size_t blockSize)
{
    FirmwareAnalysis analysis;
    auto scan = scanBlocks(image, progress, variant, blockSize);
    if (!scan)
        return scan.failure();
    Walker walker(image, analysis);

    analysis.versionFound = scan->versionFound;
    if (!analysis.versionFound)
        return analysis;
    analysis.versionOffset = scan->versionOffset;
    auto tagBytes = walker.bytesAt(scan->versionOffset + kVersionPrefix.size(), kTagBytes);
    if (!tagBytes)
        return tagBytes.failure();
    analysis.tag = tagFrom(*tagBytes);

    if (!scan->tableFound)
        return analysis;
    const uint64_t P = scan->tableOffset;
    auto first = walker.bytesAt(P, 20);
    if (!first)
        return first.failure();
    if (first->size() < 20)
        return analysis;  // the first record is cut off by the end of the image
    analysis.itemTableFound = true;
    analysis.itemTableOffset = P;
    const size_t L = (*first)[19] != 0 ? 20 : 36;
    analysis.recordLength = static_cast<int>(L);

    // Item records from P while they start with a digit or an upper-case letter.
    if (Status walked = walker.takeForward(P, L, false, analysis.itemCount); !walked)
        return walked.failure();

    // The shortcut table ends with 00 FF FF FF FF FF FF somewhere in the 64 KiB after it.
    const uint64_t Q = P + analysis.itemCount * L;
    auto window = walker.bytesAt(Q, kShortcutWindow);
    if (!window)
        return window.failure();
    const size_t searched = std::min(window->size(), kShortcutEndLimit - 1 + kShortcutEnd.size());
    const uint8_t* hit = find(window->data(), searched, kShortcutEnd.data(), kShortcutEnd.size());
    if (!hit)
        return analysis;
    const uint64_t j = static_cast<uint64_t>(hit - window->data());
    // The five bytes before the pattern tell the gap between the last record and it.
    std::vector<uint8_t> g5;
    if (Q + j >= 5) {
        auto gapBytes = walker.bytesAt(Q + j - 5, 5);
        if (!gapBytes)
            return gapBytes.failure();
        g5 = std::move(*gapBytes);
    }
    const uint64_t gap = (g5.size() == 5 && g5[0] == 0 && g5[2] == 0 && g5[1] == g5[4]) ? 12 : 10;
    const uint64_t E = Q + j + kShortcutEnd.size();

    // 52-byte shortcut records, walked backwards from the end of the table.
    if (E >= gap + kShortcutRecord) {
        uint64_t at = E - gap - kShortcutRecord;
        while (analysis.shortcutCount < kMaxTableRecords) {
            auto record = walker.bytesAt(at, kShortcutRecord);
            if (!record)
                return record.failure();
            if (record->size() < kShortcutRecord || !isUpper((*record)[0]))
                break;
            walker.take(*record, true);
            ++analysis.shortcutCount;
            if (at < kShortcutRecord)
                break;
            at -= kShortcutRecord;
        }
    }
    if (analysis.shortcutCount > 0)
        return analysis;

    // No shortcut records: older firmware keeps a table of 44-byte records from "Dialed".
    auto dialed = walker.bytesAt(E, kDialedWindow);
    if (!dialed)
        return dialed.failure();
    for (size_t k = 0; k < kDialedLimit && k + kDialedMark.size() <= dialed->size(); k += 2) {
        if (std::memcmp(dialed->data() + k, kDialedMark.data(), kDialedMark.size()) != 0)
            continue;
        if (Status walked = walker.takeForward(E + k, kDialedRecord, true, analysis.shortcutCount); !walked)
            return walked.failure();
        break;
    }
    return analysis;
}

bool isUsableProfileTag(std::string_view tag)
{
    if (tag.empty() || tag.front() == '.')
        return false;
    return std::none_of(tag.begin(), tag.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
    });
}

std::string firmwareProfileText(std::string_view tag, int recordLength,
                                const std::vector<FirmwareName>& names)
{
    const bool sixMarker = tag == "TRIPLETS" || tag == "R364" || tag == "R372" || tag == "R474";
    std::string text = "[mma_ucp format]\r\n";
    text += recordLength == 36 ? "36" : "22";
    text += sixMarker ? " 06 " : " 0C ";
    text += tag == "R3624" ? "1" : "0";
    text += "\r\n[mma items]\r\n";
    for (const auto& n : names) {
        text += n.name;
        text += "\r\n";
    }
    return text;
}

Result<FirmwareProfile>
createProfileFromFirmware(const std::string& imagePath, OpenMenu& menu, ProfileManager& profiles,
                          ProgressFactory& progress,
                          const std::function<bool(const std::string& profilePath)>& replaceExisting)
{
    const Error cancelled(ErrorKind::Cancelled, TRANSLATABLE("Core", "Cancelled"), "");
    if (imagePath.empty())
        return cancelled;

    auto image = FileImage::open(imagePath);
    if (!image)
        return image.failure();
    bool stopped = false;
    Result<FirmwareAnalysis> analysis = [&] {
        auto window = progress.openSingle();
        if (window)
            window->setCaption(TRANSLATABLE("Core", "Scanning CG1"));
        auto scanned = analyseFirmware(**image, window.get());
        stopped = window && window->cancelled();
        return scanned;
    }();
    // A scan the user stopped ends like a cancelled file question: nothing written, no message.
    if (stopped)
        return cancelled;
    if (!analysis)
        return analysis.failure();
    if (!analysis->versionFound || !analysis->itemTableFound || !isUsableProfileTag(analysis->tag))
        return Error(ErrorKind::Format, std::string(kProfileNotCreatedText), "");

    std::error_code ec;
    const std::string profilePath = profiles.profilePath(analysis->tag);
    // Asked only once the image is known to make a profile: the question names the file.
    if (std::filesystem::symlink_status(profilePath, ec).type() != std::filesystem::file_type::not_found
        && !(replaceExisting && replaceExisting(profilePath)))
        return Error(ErrorKind::Exists, kProfileExistsText + profilePath, "");
    std::filesystem::create_directories(profiles.profilesFolder(), ec);
    const Status written =
        replaceFile(profilePath, firmwareProfileText(analysis->tag, analysis->recordLength, analysis->names));
    if (!written)
        return written.failure();

    // Appended after the profile is written and all in one go, so a failure leaves the item
    // base as it was; a name met twice, or in the file already, is appended once or not at all.
    std::vector<std::string> lines;
    for (const auto& n : analysis->names)
        if (menu.items.findInBase(n.name) >= menu.items.base().size())
            lines.push_back(itemBaseLine(n.name, n.shortcut));
    FirmwareProfile made{analysis->tag, {}};
    const Result<size_t> appended =
        lines.empty() ? Result<size_t>(size_t{0}) : appendItemBaseLines(profiles.itemBasePath(), lines);
    if (!appended)
        return appended.failure();
    if (*appended > 0) {
        made.notices.push_back({MessageIcon::Information, TRANSLATABLE("Core", "Profile info"),
                                TRANSLATABLE("Core", "Item base has been updated")});
        if (Status reloaded = profiles.reloadItemBase(menu.items); !reloaded)
            made.notices.push_back({MessageIcon::Error, reloaded.failure().caption, reloaded.error()});
    }
    profiles.profileNames();
    profiles.rebuildSelector();
    if (Status loaded = profiles.loadProfile(made.tag, menu); !loaded)
        made.notices.push_back({MessageIcon::Warning, loaded.failure().caption, loaded.error()});
    return made;
}

} // namespace tessaro
