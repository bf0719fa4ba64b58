#include "core/item_data_codec.h"

#include <algorithm>
#include <limits>

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

// Decodes the UTF-16 units of `bytes` before the first zero unit, at most `limit` of them, into
// `out`; returns how many. An odd last byte is left out.
size_t decodeUnits(std::span<const uint8_t> bytes, size_t limit, ByteOrder order, char16_t* out)
{
    const uint8_t* p = bytes.data();
    const size_t available = std::min(bytes.size() / 2, limit);
    size_t units = 0;
    if (order == ByteOrder::Big)
        for (uint16_t unit; units < available && (unit = readBE16(p + 2 * units)) != 0; ++units)
            out[units] = static_cast<char16_t>(unit);
    else
        for (uint16_t unit; units < available && (unit = readLE16(p + 2 * units)) != 0; ++units)
            out[units] = static_cast<char16_t>(unit);
    return units;
}

// Makes `text` the text in `bytes` up to the first zero unit, at most `limit` units of it.
// Returns whether the text went on beyond the limit.
bool decodeText(std::span<const uint8_t> bytes, size_t limit, ByteOrder order, EntryText& text)
{
    size_t units = 0;
    text.assign(std::min(bytes.size() / 2, limit), [&](char16_t* out) {
        return units = decodeUnits(bytes, limit, order, out);
    });
    return units == limit && bytes.size() / 2 > limit && (bytes[2 * limit] | bytes[2 * limit + 1]) != 0;
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
            Title& title = e.titles.emplace_back();
            title.language = entry[0];
            if (end < previous) {
                warn(at(p, k) + ": title " + std::to_string(j + 1) + " ends before it starts and was read empty");
            } else {
                const auto bytes = textArea.subspan(previous, end - previous);
                const bool cut = decodeText(bytes, kMaxTitleChars, format_.order, title.text);
                previous = end;
                if (cut)
                    warn(at(p, k) + ": title " + std::to_string(j + 1) + " was cut to " +
                         std::to_string(kMaxTitleChars) + " characters");
            }
        }
        add(std::move(e), p);
    }

    void icon(size_t p, uint8_t k, std::span<const uint8_t> payload)
    {
        out_.iconMarker = k == kind::DialNumber ? IconMarker::K06 : IconMarker::K0C;
        DataEntry e;
        e.kind = kind::FileIcon;
        e.role = payload[0];
        decodeText(payload.subspan(1), std::numeric_limits<size_t>::max(), format_.order, e.path);
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

    bool add(DataEntry&& entry, size_t p)
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

// The most bytes the payload of an entry can take (for unsupported data: its records). Texts
// count whole; they are written up to a zero unit, so the payload may come out shorter.
size_t payloadRoom(const DataEntry& e)
{
    if (isTitleKind(e.kind)) {
        size_t n = 1 + 4 * e.titles.size();
        for (const Title& t : e.titles)
            n += 2 * t.text.size() + 2;
        return n;
    }
    switch (e.kind) {
    case kind::Url:
    case kind::DialNumber:
    case kind::Midlet1:
    case kind::MidletName:
    case kind::MidletVendor:
        return e.bytes.size() + 1;
    case kind::FileIcon:
        return 1 + 2 * e.path.size() + 2;
    case kind::DrmListIcon:
    case kind::DrmStaticIcon:
    case kind::DrmAnimatedIcon:
        return kDrmPayload;
    case kind::Code12:
    case kind::Code13:
    case kind::Code14:
        return 1;
    case kind::Action:
        return 2;
    case kind::ShortcutData:
        return kShortcutDataLength;
    case kind::Unsupported: {
        size_t n = 0;
        for (const UnsupportedRecord& r : e.records)
            n += kHeaderSize + r.payload.size();
        return n;
    }
    default:
        // A kind the editor does not know, built in memory: its bytes are the payload.
        return e.bytes.size();
    }
}

// Writes a text up to its first zero unit, then one zero unit; returns the end.
uint8_t* putText(uint8_t* p, std::u16string_view text, ByteOrder order)
{
    size_t units = 0;
    if (order == ByteOrder::Big)
        for (; units < text.size() && text[units] != 0; ++units)
            put16(p + 2 * units, text[units], ByteOrder::Big);
    else
        for (; units < text.size() && text[units] != 0; ++units)
            put16(p + 2 * units, text[units], ByteOrder::Little);
    put16(p + 2 * units, 0, order);
    return p + 2 * units + 2;
}

uint8_t* putTitles(uint8_t* p, const DataEntry& e, const EncodeOptions& options)
{
    const ByteOrder order = options.format.order;
    const uint8_t marker = options.format.recordSize == 36 ? 0xCD : 0x00;
    *p++ = static_cast<uint8_t>(e.titles.size());
    // The title entries (language, marker, end offset) come first; each end offset is
    // known once its text is written.
    uint8_t* entry = p;
    uint8_t* const texts = p + 4 * e.titles.size();
    p = texts;
    for (const Title& t : e.titles) {
        p = putText(p, t.text, order);
        entry[0] = t.language;
        entry[1] = marker;
        put16(entry + 2, static_cast<uint16_t>(p - texts), order);
        entry += 4;
    }
    return p;
}

// Writes the payload of an entry (for unsupported data: its records); returns the end.
uint8_t* putPayload(uint8_t* p, const DataEntry& e, const EncodeOptions& options)
{
    const ByteOrder order = options.format.order;
    if (isTitleKind(e.kind))
        return putTitles(p, e, options);
    switch (e.kind) {
    case kind::Url:
    case kind::DialNumber:
    case kind::Midlet1:
    case kind::MidletName:
    case kind::MidletVendor:
        p = std::copy_n(e.bytes.begin(), asciiLength(e.bytes), p);
        *p++ = 0;
        return p;
    case kind::FileIcon:
        *p++ = e.role;
        return putText(p, e.path, order);
    case kind::DrmListIcon:
    case kind::DrmStaticIcon:
    case kind::DrmAnimatedIcon:
        p[0] = e.first;
        p[1] = 0;
        put16(p + 2, e.number, order);
        return p + kDrmPayload;
    case kind::Code12:
    case kind::Code13:
    case kind::Code14:
        *p++ = static_cast<uint8_t>(e.value);
        return p;
    case kind::Action:
        put16(p, e.value, order);
        return p + 2;
    case kind::ShortcutData:
        for (size_t i = 0; i < kShortcutDataLength; ++i)
            *p++ = i < e.bytes.size() ? e.bytes[i] : 0;
        return p;
    case kind::Unsupported:
        for (const UnsupportedRecord& r : e.records) {
            *p++ = r.kind;
            put16(p, static_cast<uint16_t>(r.payload.size()), order);
            p = std::copy(r.payload.begin(), r.payload.end(), p + 2);
        }
        return p;
    default:
        return std::copy(e.bytes.begin(), e.bytes.end(), p);
    }
}

// The kind byte an entry is written with.
uint8_t writtenKind(const DataEntry& e, const EncodeOptions& options)
{
    if (e.kind == kind::FileIcon && options.format.recordSize == 22 && options.iconMarker == IconMarker::K06)
        return kind::DialNumber;
    return e.kind;
}

// The bytes an entry takes at most: its record header and payload room.
size_t entryRoom(const DataEntry& e)
{
    return (e.kind == kind::Unsupported ? 0 : kHeaderSize) + payloadRoom(e);
}

// Writes an entry as it is stored: a record whose L is filled in from the payload written, or
// for unsupported data its records. Returns the end; `length` is the payload length, which may
// exceed what L can count (L then holds its low 16 bits).
uint8_t* putEntry(uint8_t* p, const DataEntry& e, const EncodeOptions& options, size_t& length)
{
    if (e.kind == kind::Unsupported) {
        uint8_t* const end = putPayload(p, e, options);
        length = static_cast<size_t>(end - p);
        return end;
    }
    uint8_t* const end = putPayload(p + kHeaderSize, e, options);
    length = static_cast<size_t>(end - p) - kHeaderSize;
    p[0] = writtenKind(e, options);
    put16(p + 1, static_cast<uint16_t>(length), options.format.order);
    return end;
}

} // namespace

DecodedItemData decodeItemData(std::span<const uint8_t> data, const DataFormat& format)
{
    return Decoder(data, format).run();
}

bool keptAsUnsupported(uint8_t code, size_t length, int recordSize)
{
    // The same tests, in the same order, as Decoder::step.
    if (fixedRecordSize(code))
        return false;
    if (isTitleKind(code) && length >= 1)
        return false;
    if (isAsciiKind(code, recordSize))
        return false;
    if (isIconKind(code, recordSize) && length >= 1)
        return false;
    return !(isDrmKind(code) && length >= kDrmPayload);
}

size_t encodedPayloadLength(const DataEntry& entry)
{
    std::vector<uint8_t> bytes(entryRoom(entry));
    size_t length = 0;
    putEntry(bytes.data(), entry, EncodeOptions{}, length);
    return length;
}

uint16_t itemDataLength(const ItemDataBlock* block, bool saveAll)
{
    if (!block)
        return 0;
    const EncodeOptions options{.saveAll = saveAll};
    size_t total = 0;
    for (const DataEntry& e : block->entries) {
        if (e.kind == kind::Unsupported && !saveAll)
            continue;
        std::vector<uint8_t> bytes(entryRoom(e));
        size_t length = 0;
        total += static_cast<size_t>(putEntry(bytes.data(), e, options, length) - bytes.data());
    }
    return static_cast<uint16_t>(total);
}

Status encodeItemData(const ItemDataBlock& block, const EncodeOptions& options, std::vector<uint8_t>& out)
{
    auto written = [&](const DataEntry& e) { return e.kind != kind::Unsupported || options.saveAll; };
    // Room for the whole block at once; the texts are written up to their zero units, and
    // what is left over is cut off at the end.
    const size_t start = out.size();
    size_t room = 0;
    for (const DataEntry& e : block.entries)
        if (written(e))
            room += entryRoom(e);
    out.resize(start + room);
    auto fail = [&](std::string text) -> Status {
        out.resize(start);
        return Error(ErrorKind::Refused, std::move(text));
    };

    uint8_t* p = out.data() + start;
    for (const DataEntry& e : block.entries) {
        if (!written(e))
            continue;
        if (e.kind == kind::Unsupported) {
            for (const UnsupportedRecord& r : e.records)
                if (r.payload.size() > kMaxField)
                    return fail("an unsupported data record of kind " + std::to_string(r.kind) + " holds " +
                                std::to_string(r.payload.size()) + " bytes, more than its length field can count");
        }
        size_t length = 0;
        p = putEntry(p, e, options, length);
        if (e.kind == kind::Unsupported)
            continue;
        if (length > kMaxField)
            return fail("a data record of kind " + std::to_string(e.kind) + " needs " + std::to_string(length) +
                        " bytes, more than its length field can count (65535)");
        if (isTitleKind(e.kind) && e.titles.size() > kMaxTitleCount)
            return fail("a title record holds " + std::to_string(e.titles.size()) +
                        " titles, more than its count byte can count (255)");
    }
    out.resize(static_cast<size_t>(p - out.data()));
    return {};
}

} // namespace tessaro
