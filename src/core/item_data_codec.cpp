#include "core/item_data_codec.h"

#include <algorithm>

namespace tessaro {

namespace {

constexpr size_t kHeaderSize = 3;      // kind byte and 16-bit L
constexpr size_t kDrmPayload = 4;      // first byte, 0x00, 16-bit icon number
constexpr size_t kMaxField = 0xFFFF;   // 16-bit lengths and offsets
constexpr size_t kMaxTitleCount = 0xFF;

bool isTitleKind(uint8_t k)
{
    return k == kind::MenuTitle || k == kind::SoftkeyTitle || k == kind::ShowText;
}

bool isAsciiKind(uint8_t k, int recordSize)
{
    return k == kind::Url || k == kind::Midlet1 || k == kind::MidletName || k == kind::MidletVendor ||
           (k == kind::DialNumber && recordSize == 36);
}

bool isIconKind(uint8_t k, int recordSize)
{
    return k == kind::FileIcon || (k == kind::DialNumber && recordSize == 22);
}

bool isDrmKind(uint8_t k)
{
    return k == kind::DrmListIcon || k == kind::DrmStaticIcon || k == kind::DrmAnimatedIcon;
}

bool isCodeKind(uint8_t k)
{
    return k == kind::Code12 || k == kind::Code13 || k == kind::Code14;
}

// Bytes a record of kind k takes whatever its L says; 0 for the kinds sized by their L.
size_t fixedRecordSize(uint8_t k)
{
    if (isCodeKind(k))
        return kHeaderSize + 1;
    if (k == kind::Action)
        return kHeaderSize + 2;
    if (k == kind::ShortcutData)
        return kHeaderSize + kShortcutDataLength;
    return 0;
}

std::string at(size_t offset, uint8_t k)
{
    return "data record at offset " + std::to_string(offset) + " (kind " + std::to_string(k) + ")";
}

// UTF-16 units of `bytes` up to the first zero unit; an odd last byte is left out.
std::u16string decodeText(std::span<const uint8_t> bytes, ByteOrder order)
{
    const uint8_t* p = bytes.data();
    size_t units = 0;
    const size_t available = bytes.size() / 2;
    while (units < available && (p[2 * units] | p[2 * units + 1]) != 0)
        ++units;
    std::u16string text(units, u'\0');
    if (order == ByteOrder::Big)
        for (size_t i = 0; i < units; ++i)
            text[i] = static_cast<char16_t>(readBE16(p + 2 * i));
    else
        for (size_t i = 0; i < units; ++i)
            text[i] = static_cast<char16_t>(readLE16(p + 2 * i));
    return text;
}

// ASCII payloads are kept as their text and one zero byte, the form they are written in.
std::vector<uint8_t> asciiPayload(std::span<const uint8_t> payload)
{
    std::vector<uint8_t> bytes;
    const auto zero = std::find(payload.begin(), payload.end(), uint8_t(0));
    bytes.assign(payload.begin(), zero);
    bytes.push_back(0);
    return bytes;
}

class Decoder {
public:
    Decoder(std::span<const uint8_t> data, const DataFormat& format) : data_(data), format_(format) {}

    DecodedItemData run()
    {
        out_.block.entries.reserve(recordCount());
        size_t p = 0;
        while (p < data_.size()) {
            if (data_.size() - p < kHeaderSize) {
                warn("the last " + std::to_string(data_.size() - p) +
                     " byte(s) of the item data are too few for a data record and were dropped");
                break;
            }
            const uint8_t k = data_[p];
            const uint16_t length = read16(data_.data() + p + 1, format_.order);
            const size_t advance = step(p, k, length);
            if (advance == 0)
                break;
            p += advance;
        }
        return std::move(out_);
    }

private:
    void warn(std::string text) { out_.warnings.push_back(std::move(text)); }

    // The records in the data, at most kMaxEntries: no fewer than the entries they give, so
    // the entries are allocated once.
    size_t recordCount() const
    {
        size_t count = 0;
        for (size_t p = 0; count < kMaxEntries && p + kHeaderSize <= data_.size(); ++count) {
            const size_t fixedSize = fixedRecordSize(data_[p]);
            p += fixedSize ? fixedSize : kHeaderSize + read16(data_.data() + p + 1, format_.order);
        }
        return count;
    }

    // Decodes the record at p; returns how far to advance, 0 to stop.
    size_t step(size_t p, uint8_t k, uint16_t length)
    {
        // These kinds have a fixed size on disk whatever their L says.
        const size_t fixedSize = fixedRecordSize(k);
        if (fixedSize) {
            if (data_.size() - p < fixedSize) {
                warn(at(p, k) + " runs past the end of the item data; the rest was dropped");
                return 0;
            }
            const uint8_t* payload = data_.data() + p + kHeaderSize;
            DataEntry e;
            e.kind = k;
            if (isCodeKind(k))
                e.value = payload[0];
            else if (k == kind::Action)
                e.value = read16(payload, format_.order);
            else
                e.bytes.assign(payload, payload + kShortcutDataLength);
            add(std::move(e), p);
            return fixedSize;
        }

        if (data_.size() - p - kHeaderSize < length) {
            warn(at(p, k) + " says " + std::to_string(length) +
                 " payload bytes, more than the item data holds; the rest was dropped");
            return 0;
        }
        const auto payload = data_.subspan(p + kHeaderSize, length);
        if (isTitleKind(k) && length >= 1)
            titles(p, k, payload);
        else if (isAsciiKind(k, format_.recordSize))
            add(DataEntry{.kind = k, .bytes = asciiPayload(payload)}, p);
        else if (isIconKind(k, format_.recordSize) && length >= 1)
            icon(p, k, payload);
        else if (isDrmKind(k) && length >= kDrmPayload)
            drm(p, k, payload);
        else
            unsupported(p, k, length, payload);
        return kHeaderSize + length;
    }

    void titles(size_t p, uint8_t k, std::span<const uint8_t> payload)
    {
        const size_t declared = payload[0];
        const size_t fitting = std::min(declared, (payload.size() - 1) / 4);
        if (fitting < declared)
            warn(at(p, k) + " counts " + std::to_string(declared) + " titles but holds the entries of only " +
                 std::to_string(fitting));
        const size_t kept = std::min(fitting, kMaxTitles);
        if (kept < fitting)
            warn(at(p, k) + ": only the first " + std::to_string(kMaxTitles) + " of its " +
                 std::to_string(fitting) + " titles were kept");
        const size_t textStart = std::min(payload.size(), 1 + 4 * declared);
        const auto textArea = payload.subspan(textStart);

        DataEntry e;
        e.kind = k;
        e.titles.reserve(kept);
        size_t previous = 0;
        for (size_t j = 0; j < kept; ++j) {
            const uint8_t* entry = payload.data() + 1 + 4 * j;
            size_t end = read16(entry + 2, format_.order);
            if (end > textArea.size()) {
                warn(at(p, k) + ": title " + std::to_string(j + 1) + " ends beyond its record and was cut");
                end = textArea.size();
            }
            Title title;
            title.language = entry[0];
            if (end < previous) {
                warn(at(p, k) + ": title " + std::to_string(j + 1) + " ends before it starts and was read empty");
            } else {
                const auto bytes = textArea.subspan(previous, end - previous);
                title.text = decodeText(bytes, format_.order);
                previous = end;
            }
            if (title.text.size() > kMaxTitleChars) {
                warn(at(p, k) + ": title " + std::to_string(j + 1) + " was cut to " +
                     std::to_string(kMaxTitleChars) + " characters");
                title.text.resize(kMaxTitleChars);
            }
            e.titles.push_back(std::move(title));
        }
        add(std::move(e), p);
    }

    void icon(size_t p, uint8_t k, std::span<const uint8_t> payload)
    {
        out_.iconMarker = k == kind::DialNumber ? IconMarker::K06 : IconMarker::K0C;
        DataEntry e;
        e.kind = kind::FileIcon;
        e.role = payload[0];
        e.path = decodeText(payload.subspan(1), format_.order);
        add(std::move(e), p);
    }

    void drm(size_t p, uint8_t k, std::span<const uint8_t> payload)
    {
        DataEntry e;
        e.kind = k;
        e.first = payload[0];
        e.number = read16(payload.data() + 2, format_.order);
        add(std::move(e), p);
    }

    void unsupported(size_t p, uint8_t k, uint16_t length, std::span<const uint8_t> payload)
    {
        auto& entries = out_.block.entries;
        auto it = std::find_if(entries.begin(), entries.end(),
                               [](const DataEntry& e) { return e.kind == kind::Unsupported; });
        if (length > kMaxUnsupportedPayload) {
            warn(at(p, k) + " is longer than " + std::to_string(kMaxUnsupportedPayload) +
                 " bytes and was dropped");
            return;
        }
        if (it == entries.end()) {
            if (!add(DataEntry{.kind = kind::Unsupported}, p))
                return;
            it = entries.end() - 1;
        }
        if (it->records.size() >= kMaxUnsupportedRecords) {
            warn(at(p, k) + " is one unsupported record too many (at most " +
                 std::to_string(kMaxUnsupportedRecords) + ") and was dropped");
            return;
        }
        it->records.push_back({k, length, std::vector<uint8_t>(payload.begin(), payload.end())});
    }

    bool add(DataEntry entry, size_t p)
    {
        if (out_.block.entries.size() >= kMaxEntries) {
            warn(at(p, entry.kind == kind::Unsupported ? data_[p] : entry.kind) +
                 " is one entry too many (at most " + std::to_string(kMaxEntries) + ") and was dropped");
            return false;
        }
        out_.block.entries.push_back(std::move(entry));
        return true;
    }

    std::span<const uint8_t> data_;
    DataFormat format_;
    DecodedItemData out_;
};

size_t asciiLength(const std::vector<uint8_t>& bytes)
{
    return static_cast<size_t>(std::find(bytes.begin(), bytes.end(), uint8_t(0)) - bytes.begin());
}

// The text up to its first zero unit, then one zero unit.
void appendText(std::vector<uint8_t>& out, const std::u16string& text, ByteOrder order)
{
    const std::u16string_view written = std::u16string_view(text).substr(0, text.find(u'\0'));
    const size_t start = out.size();
    out.resize(start + 2 * written.size() + 2);  // the zero unit is already there
    uint8_t* p = out.data() + start;
    if (order == ByteOrder::Big)
        for (size_t i = 0; i < written.size(); ++i)
            put16(p + 2 * i, written[i], ByteOrder::Big);
    else
        for (size_t i = 0; i < written.size(); ++i)
            put16(p + 2 * i, written[i], ByteOrder::Little);
}

// A record's header with L still open; returns where L goes.
size_t openRecord(std::vector<uint8_t>& out, uint8_t k)
{
    out.push_back(k);
    const size_t at = out.size();
    out.resize(at + 2);
    return at;
}

void appendTitles(std::vector<uint8_t>& out, const DataEntry& e, const EncodeOptions& options)
{
    const ByteOrder order = options.format.order;
    const uint8_t marker = options.format.recordSize == 36 ? 0xCD : 0x00;
    out.push_back(static_cast<uint8_t>(e.titles.size()));
    // The title entries (language, marker, end offset) come first; each end offset is
    // filled in once its text is written.
    size_t entry = out.size();
    out.resize(entry + 4 * e.titles.size());
    const size_t textStart = out.size();
    for (const Title& t : e.titles) {
        appendText(out, t.text, order);
        out[entry] = t.language;
        out[entry + 1] = marker;
        put16(out.data() + entry + 2, static_cast<uint16_t>(out.size() - textStart), order);
        entry += 4;
    }
}

// Appends the payload of an entry (for unsupported data: its records).
void appendPayload(std::vector<uint8_t>& out, const DataEntry& e, const EncodeOptions& options)
{
    const ByteOrder order = options.format.order;
    if (isTitleKind(e.kind)) {
        appendTitles(out, e, options);
        return;
    }
    switch (e.kind) {
    case kind::Url:
    case kind::DialNumber:
    case kind::Midlet1:
    case kind::MidletName:
    case kind::MidletVendor:
        out.insert(out.end(), e.bytes.begin(), e.bytes.begin() + static_cast<std::ptrdiff_t>(asciiLength(e.bytes)));
        out.push_back(0);
        break;
    case kind::FileIcon:
        out.push_back(e.role);
        appendText(out, e.path, order);
        break;
    case kind::DrmListIcon:
    case kind::DrmStaticIcon:
    case kind::DrmAnimatedIcon:
        out.push_back(e.first);
        out.push_back(0);
        append16(out, e.number, order);
        break;
    case kind::Code12:
    case kind::Code13:
    case kind::Code14:
        out.push_back(static_cast<uint8_t>(e.value));
        break;
    case kind::Action:
        append16(out, e.value, order);
        break;
    case kind::ShortcutData:
        for (size_t i = 0; i < kShortcutDataLength; ++i)
            out.push_back(i < e.bytes.size() ? e.bytes[i] : 0);
        break;
    case kind::Unsupported:
        for (const UnsupportedRecord& r : e.records) {
            out.push_back(r.kind);
            append16(out, static_cast<uint16_t>(r.payload.size()), order);
            out.insert(out.end(), r.payload.begin(), r.payload.end());
        }
        break;
    default:
        // A kind the editor does not know, built in memory: its bytes are the payload.
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        break;
    }
}

// Appends an entry as it is written: a record with its L filled in from the payload written,
// or for unsupported data its records. Returns the payload length, which may exceed what L
// can count (L then holds its low 16 bits).
size_t appendEntry(std::vector<uint8_t>& out, const DataEntry& e, const EncodeOptions& options)
{
    if (e.kind == kind::Unsupported) {
        const size_t start = out.size();
        appendPayload(out, e, options);
        return out.size() - start;
    }
    uint8_t k = e.kind;
    if (k == kind::FileIcon && options.format.recordSize == 22 && options.iconMarker == IconMarker::K06)
        k = kind::DialNumber;
    const size_t lengthAt = openRecord(out, k);
    appendPayload(out, e, options);
    const size_t length = out.size() - lengthAt - 2;
    put16(out.data() + lengthAt, static_cast<uint16_t>(length), options.format.order);
    return length;
}

} // namespace

DecodedItemData decodeItemData(std::span<const uint8_t> data, const DataFormat& format)
{
    return Decoder(data, format).run();
}

size_t encodedPayloadLength(const DataEntry& entry)
{
    std::vector<uint8_t> bytes;
    return appendEntry(bytes, entry, EncodeOptions{});
}

uint16_t itemDataLength(const ItemDataBlock* block, bool saveAll)
{
    if (!block)
        return 0;
    std::vector<uint8_t> bytes;
    const EncodeOptions options{.saveAll = saveAll};
    for (const DataEntry& e : block->entries)
        if (e.kind != kind::Unsupported || saveAll)
            appendEntry(bytes, e, options);
    return static_cast<uint16_t>(bytes.size());
}

Status encodeItemData(const ItemDataBlock& block, const EncodeOptions& options, std::vector<uint8_t>& out)
{
    const size_t start = out.size();
    auto fail = [&](std::string text) -> Status {
        out.resize(start);
        return Error{std::move(text)};
    };

    for (const DataEntry& e : block.entries) {
        if (e.kind == kind::Unsupported) {
            if (!options.saveAll)
                continue;
            for (const UnsupportedRecord& r : e.records)
                if (r.payload.size() > kMaxField)
                    return fail("an unsupported data record of kind " + std::to_string(r.kind) + " holds " +
                                std::to_string(r.payload.size()) + " bytes, more than its length field can count");
            appendEntry(out, e, options);
            continue;
        }
        const size_t length = appendEntry(out, e, options);
        if (length > kMaxField)
            return fail("a data record of kind " + std::to_string(e.kind) + " needs " + std::to_string(length) +
                        " bytes, more than its length field can count (65535)");
        if (isTitleKind(e.kind) && e.titles.size() > kMaxTitleCount)
            return fail("a title record holds " + std::to_string(e.titles.size()) +
                        " titles, more than its count byte can count (255)");
    }
    return {};
}

} // namespace tessaro
