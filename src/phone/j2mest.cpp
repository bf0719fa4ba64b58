#include "phone/j2mest.h"

#include <algorithm>
#include <filesystem>

#include "core/replacing_file.h"
#include "core/translatable.h"
#include "core/text_file.h"

namespace tessaro {

namespace {

constexpr size_t kMaxJadBytes = 1024 * 1024;
constexpr char kUnsupportedFormat[] = TRANSLATABLE("Core", "Unsupported J2MEST format");

// In the second 1104-byte layout the first record in use ends with four 0xFF bytes, and
// every record from there on has the vendor field of the 1112-byte layout.
constexpr int kSecondLayoutMarker = 1100;

// A text field: single-byte characters up to the first 0 byte or the field's end.
std::string fieldText(std::span<const uint8_t> record, int start, int end)
{
    std::string text;
    for (int i = start; i < end && static_cast<size_t>(i) < record.size(); ++i) {
        if (record[static_cast<size_t>(i)] == 0)
            break;
        text.push_back(static_cast<char>(record[static_cast<size_t>(i)]));
    }
    return text;
}

bool isInUse(std::span<const uint8_t> record, const J2mestLayout& layout)
{
    return record[static_cast<size_t>(layout.nameStart)] != 0
        && (record[static_cast<size_t>(layout.inUseByte)] & 0x01) != 0;
}

bool hasSecondLayoutMarker(std::span<const uint8_t> record)
{
    return std::all_of(record.begin() + kSecondLayoutMarker, record.begin() + kSecondLayoutMarker + 4,
                       [](uint8_t b) { return b == 0xFF; });
}

// A corelet whose MIDlet-1 is still a bare "<digit>: ..." entry does not start from the main
// menu; the patch puts the application's name there.
bool needsName(const std::string& midlet1)
{
    return midlet1.size() >= 3 && midlet1[0] >= '0' && midlet1[0] <= '9' && midlet1[1] == ':'
        && midlet1[2] == ' ';
}

bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isTrimmed(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isTrimmed(s.back()))
        s.remove_suffix(1);
    return s;
}

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

bool largerThan(const std::string& path, uintmax_t limit)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return !ec && size > limit;
}

} // namespace

std::optional<J2mestLayout> j2mestLayout(int recordSize)
{
    switch (recordSize) {
    case 652: return J2mestLayout{652, 4, 37, 37, 100, 100, 0, false};
    case 660: return J2mestLayout{660, 4, 37, 37, 108, 108, 0, false};
    case 708: return J2mestLayout{708, 6, 39, 39, 152, 152, 1, true};
    case 712: return J2mestLayout{712, 4, 37, 37, 156, 156, 0, false};
    case 1104: return J2mestLayout{1104, 6, 39, 39, 152, 152, 1, true};
    case 1112: return J2mestLayout{1112, 6, 39, 39, 156, 156, 1, true};
    default: return std::nullopt;
    }
}

Result<J2mestCopy> parseJ2mest(std::span<const uint8_t> image)
{
    const size_t recordSize = image.size() / kJ2mestRecordCount;
    const size_t headerSize = image.size() % kJ2mestRecordCount;
    const auto found = recordSize <= 1112 ? j2mestLayout(static_cast<int>(recordSize)) : std::nullopt;
    if (!found)
        return Error(ErrorKind::Format, kUnsupportedFormat);

    J2mestLayout layout = *found;
    J2mestCopy copy;
    copy.recordSize = layout.recordSize;
    copy.headerSize = static_cast<int>(headerSize);
    bool layoutDecided = false;
    // 31 whole records follow the header, so every record read below lies inside the image.
    for (int i = 0; i < kJavaSlotCount; ++i) {
        const size_t start = headerSize + static_cast<size_t>(i) * recordSize;
        const std::span<const uint8_t> record = image.subspan(start, recordSize);
        if (!isInUse(record, layout))
            continue;
        if (!layoutDecided) {
            layoutDecided = true;
            if (layout.recordSize == 1104 && hasSecondLayoutMarker(record)) {
                copy.secondLayout = true;
                layout.vendorEnd = 156;
                layout.midlet1Start = 156;
            }
        }
        JavaSlot slot;
        slot.midletName = fieldText(record, layout.nameStart, layout.nameEnd);
        slot.midletVendor = fieldText(record, layout.vendorStart, layout.vendorEnd);
        slot.midlet1 = fieldText(record, layout.midlet1Start, layout.recordSize);
        slot.corelet = layout.hasCorelet && (record[0] & 0x01) != 0;
        if (slot.corelet && needsName(slot.midlet1)) {
            // At most 30 + 29 × 1112 + 156: always within 16 bits.
            copy.patches.push_back({static_cast<uint8_t>(i),
                                    static_cast<uint16_t>(start + static_cast<size_t>(layout.midlet1Start))});
        }
        copy.slots[static_cast<size_t>(i)] = std::move(slot);
    }
    return copy;
}

Result<J2mestCopy> parseJ2mestFile(const std::string& path)
{
    // Anything longer than the largest table (31 × 1112 + 30 bytes) is refused unread.
    if (largerThan(path, kJ2mestRecordCount * 1112 + kJ2mestRecordCount - 1))
        return Error(ErrorKind::Format, kUnsupportedFormat);
    auto bytes = readWholeFile(path);
    if (!bytes)
        return bytes.failure();
    return parseJ2mest(bytesOf(bytes.value()));
}

std::array<uint8_t, kMidlet1FieldSize> midlet1Field(std::string_view name)
{
    std::array<uint8_t, kMidlet1FieldSize> field{};
    const size_t length = std::min(name.size(), static_cast<size_t>(kMidlet1FieldSize - 1));
    std::copy_n(name.begin(), length, field.begin());
    return field;
}

bool patchMidlet1(std::span<uint8_t> image, size_t offset, std::string_view name)
{
    if (offset > image.size() || image.size() - offset < kMidlet1FieldSize)
        return false;
    const auto field = midlet1Field(name);
    std::copy(field.begin(), field.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

Status patchMidlet1File(const std::string& path, size_t offset, std::string_view name)
{
    auto text = readWholeFile(path);
    if (!text)
        return text.failure();
    std::vector<uint8_t> image(text->begin(), text->end());
    if (!patchMidlet1(image, offset, name))
        return Error(ErrorKind::Format, TRANSLATABLE("Core", "Cannot patch ") + path + TRANSLATABLE("Core", ": offset ")
                                            + std::to_string(offset) + TRANSLATABLE("Core", " lies beyond its end"));
    return replaceFile(path, std::span<const uint8_t>(image));
}

std::string jadMidletName(std::string_view text)
{
    static constexpr std::string_view kKey = "MIDlet-1:";
    std::string joined;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() < 10 || line.substr(0, kKey.size()) != kKey)
            continue;
        const std::string_view value = trim(line.substr(kKey.size()));
        joined += value.substr(0, value.find(','));
    }
    return std::string(trim(joined));
}

std::string readJadMidletName(const std::string& path)
{
    if (largerThan(path, kMaxJadBytes))
        return {};
    auto text = readWholeFile(path);
    if (!text)
        return {};
    return jadMidletName(text.value());
}

void JavaSlotTables::clearJavaSlots()
{
    phoneSlots = {};
    cardSlots = {};
}

std::vector<JavaSlot> JavaSlotTables::offeredSlots(bool phoneRead, bool cardRead) const
{
    std::vector<JavaSlot> offered;
    const auto add = [&](const JavaSlotTable& table) {
        for (const auto& slot : table)
            if (slot)
                offered.push_back(*slot);
    };
    if (phoneRead)
        add(phoneSlots);
    if (cardRead)
        add(cardSlots);
    return offered;
}

Status loadJavaSlotTables(JavaSlotTables& tables, const std::string& phoneCopy, const std::string& cardCopy)
{
    tables.phonePatchList.clear();
    tables.cardPatchList.clear();
    tables.needsPatch = false;
    const auto parseInto = [&](const std::string& path, JavaSlotTable& table, PatchList& patches) -> Status {
        if (path.empty())
            return Status::success();
        auto copy = parseJ2mestFile(path);
        if (!copy)
            return copy.failure();
        for (size_t i = 0; i < table.size(); ++i)
            if (copy->slots[i])
                table[i] = copy->slots[i];
        patches = copy->patches;
        return Status::success();
    };
    if (Status parsed = parseInto(phoneCopy, tables.phoneSlots, tables.phonePatchList); !parsed)
        return parsed;
    if (Status parsed = parseInto(cardCopy, tables.cardSlots, tables.cardPatchList); !parsed)
        return parsed;
    tables.needsPatch = !tables.phonePatchList.empty() || !tables.cardPatchList.empty();
    return Status::success();
}

} // namespace tessaro
