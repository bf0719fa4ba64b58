#include "p2k/p2k_framing.h"

#include <algorithm>
#include <array>

#include "core/bytes.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

namespace {

constexpr uint16_t kReplyBit = 0x8000;
constexpr uint16_t kIdMask = 0x0FFF;
constexpr int kClassData = 0x8;
constexpr int kClassNoData = 0x6;
constexpr uint16_t kNameSeparator = 0xFFFE;
constexpr int kListHeader = 4;
// The file part of a record: attributes, owner, size.
constexpr int kRecordTail = 8;
constexpr size_t kMaxVolumes = 21;
// Count and free-space requests are padded with zeros to this size, subcommand included, as
// the established tools send them.
constexpr size_t kPaddedRequestSize = 256;

void appendUtf16(std::vector<uint8_t>& out, const std::string& text)
{
    for (const char c : text)
        append16(out, uint8_t(c), ByteOrder::Big);
}

} // namespace

uint16_t nextPacketId(uint16_t id)
{
    return uint16_t((id + 1) & kIdMask);
}

std::vector<uint8_t> renderRequest(uint16_t id, uint16_t command, std::span<const uint8_t> payload,
                                   const RequestLayout& layout)
{
    if (payload.size() > size_t(kMaxPayload))
        return {};
    std::vector<uint8_t> out(size_t(layout.headerSize), 0);
    out.reserve(out.size() + payload.size());
    put16(&out[0], id, ByteOrder::Big);
    put16(&out[2], command, ByteOrder::Big);
    put16(&out[size_t(layout.lengthOffset)], uint16_t(payload.size()), ByteOrder::Big);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::optional<ParsedRequest> parseRequest(std::span<const uint8_t> request, const RequestLayout& layout)
{
    if (request.size() < size_t(layout.headerSize))
        return std::nullopt;
    ParsedRequest parsed;
    parsed.id = readBE16(request.data());
    parsed.command = readBE16(request.data() + 2);
    parsed.payload = request.subspan(size_t(layout.headerSize));
    parsed.idTooWide = parsed.id > kIdMask;
    for (int i = 4; i < layout.headerSize; ++i)
        if (i != layout.lengthOffset && i != layout.lengthOffset + 1 && request[size_t(i)] != 0)
            parsed.reservedSet = true;
    parsed.lengthMismatch = readBE16(request.data() + layout.lengthOffset) != parsed.payload.size();
    return parsed;
}

PollAnswer parsePollAnswer(std::span<const uint8_t> answer)
{
    if (answer.size() < 4)
        return {};
    return {readBE16(answer.data()), readBE16(answer.data() + 2)};
}

std::vector<uint8_t> renderPollAnswer(uint16_t count, uint16_t size)
{
    std::vector<uint8_t> out;
    append16(out, count, ByteOrder::Big);
    if (count > 0)
        append16(out, size, ByteOrder::Big);
    return out;
}

std::string P2kReply::describe() const
{
    switch (kind) {
    case Kind::Data:
        return "ok";
    case Kind::PhoneError:
        return "error class " + std::to_string(errorClass) + " (" + errorClassName(errorClass) + ")";
    case Kind::Corrupted:
        break;
    }
    return "corrupted reply (" + reason + ")";
}

P2kReply parseReply(std::span<const uint8_t> answer, uint16_t sentId, const ReplyLayout& layout)
{
    P2kReply reply;
    auto corrupted = [&](const char* why) {
        reply.reason = why;
        return reply;
    };
    const size_t header = size_t(layout.dataOffset);
    if (answer.size() < header)
        return corrupted("shorter than its header");
    if (layout.countOffset >= 0 && answer[size_t(layout.countOffset)] != 1)
        return corrupted("not one reply");
    const uint16_t id = readBE16(answer.data() + layout.idOffset);
    if (!(id & kReplyBit) || (id & kIdMask) != (sentId & kIdMask))
        return corrupted("wrong packet id");
    const int errorClass = answer[size_t(layout.resultOffset)] >> 4;
    if (errorClass != kClassData && errorClass != kClassNoData) {
        reply.kind = P2kReply::Kind::PhoneError;
        reply.errorClass = errorClass;
        return reply;
    }
    const size_t dataLength = readBE16(answer.data() + layout.dataLengthOffset);
    if (layout.lengthOffset >= 0) {
        const size_t length = readBE16(answer.data() + layout.lengthOffset);
        if (length < size_t(kP2kHeaderSize))
            return corrupted("length field shorter than the header");
        if (dataLength > length - kP2kHeaderSize)
            return corrupted("data length beyond the length field");
    }
    if (dataLength > answer.size() - header)
        return corrupted("data length beyond what arrived");
    reply.kind = P2kReply::Kind::Data;
    reply.data = answer.subspan(header, dataLength);
    return reply;
}

std::optional<uint16_t> replyPacketId(std::span<const uint8_t> answer, const ReplyLayout& layout)
{
    if (answer.size() < size_t(layout.idOffset + 2)
        || (layout.countOffset >= 0 && (answer.size() <= size_t(layout.countOffset) || answer[size_t(layout.countOffset)] != 1)))
        return std::nullopt;
    const uint16_t id = readBE16(answer.data() + layout.idOffset);
    if (!(id & kReplyBit))
        return std::nullopt;
    return uint16_t(id & kIdMask);
}

std::optional<size_t> replySize(std::span<const uint8_t> answer, const ReplyLayout& layout)
{
    if (answer.size() < size_t(layout.dataOffset))
        return std::nullopt;
    return size_t(layout.dataOffset) + readBE16(answer.data() + layout.dataLengthOffset);
}

std::vector<uint8_t> renderReply(uint16_t sentId, std::span<const uint8_t> data, std::optional<int> errorClass,
                                 const ReplyLayout& layout)
{
    const size_t n = std::min(data.size(), size_t(kMaxPayload - kP2kHeaderSize));
    const int cls = errorClass ? *errorClass : (n ? kClassData : kClassNoData);
    std::vector<uint8_t> out(size_t(layout.dataOffset), 0);
    if (layout.countOffset >= 0)
        out[size_t(layout.countOffset)] = 1;
    if (layout.lengthOffset >= 0)
        put16(&out[size_t(layout.lengthOffset)], uint16_t(kP2kHeaderSize + n), ByteOrder::Big);
    put16(&out[size_t(layout.idOffset)], uint16_t(kReplyBit | (sentId & kIdMask)), ByteOrder::Big);
    out[size_t(layout.resultOffset)] = uint8_t((cls & 0xF) << 4);
    put16(&out[size_t(layout.dataLengthOffset)], uint16_t(n), ByteOrder::Big);
    out.insert(out.end(), data.begin(), data.begin() + std::ptrdiff_t(n));
    return out;
}

std::string errorClassName(int errorClass)
{
    static const std::array<const char*, 16> names = {
        "wrong data length", "security level too low", "not supported by this protocol",
        "not supported in this mode", "invalid opcode", "invalid parameter", nullptr,
        "generic failure", nullptr, nullptr, "out of memory", "internal task error",
        "test-command task timed out", "CDMA parse error",
        "header length larger than what arrived", "unrecoverable"};
    if (errorClass < 0 || errorClass >= int(names.size()) || !names[size_t(errorClass)])
        return "unknown error";
    return names[size_t(errorClass)];
}

Result<std::vector<PhoneFileEntry>> parseListChunk(std::span<const uint8_t> data)
{
    if (data.size() < size_t(kListHeader))
        return Error(ErrorKind::Format, "listing chunk of " + std::to_string(data.size()) + " bytes");
    const size_t count = readBE16(data.data());
    std::vector<PhoneFileEntry> entries;
    if (count == 0)
        return entries;
    // The record size is not announced: it differs between phones and follows from the length.
    const size_t recordSize = (data.size() - kListHeader) / count;
    if (recordSize <= size_t(kRecordTail))
        return Error(ErrorKind::Format, "listing chunk of " + std::to_string(data.size())
                                            + " bytes cannot hold its records (" + std::to_string(count) + ")");
    const size_t pathField = recordSize - kRecordTail;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* record = data.data() + kListHeader + i * recordSize;
        const uint8_t* pathEnd = std::find(record, record + pathField, uint8_t(0));
        PhoneFileEntry entry;
        entry.path.assign(record, pathEnd);
        entry.attributes = readBE16(record + pathField);
        entry.size = readBE32(record + pathField + 4);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<uint8_t> renderListChunk(std::span<const PhoneFileEntry> entries, int recordSize)
{
    const size_t size = size_t(std::max(recordSize, kRecordTail + 1));
    const size_t pathField = size - kRecordTail;
    std::vector<uint8_t> out;
    append16(out, uint16_t(entries.size()), ByteOrder::Big);
    append16(out, 0, ByteOrder::Big);
    for (const auto& entry : entries) {
        const size_t start = out.size();
        out.resize(start + size, 0);
        std::copy_n(entry.path.begin(), std::min(entry.path.size(), pathField), out.begin() + std::ptrdiff_t(start));
        put16(&out[start + pathField], entry.attributes, ByteOrder::Big);
        put32(&out[start + pathField + 4], entry.size, ByteOrder::Big);
    }
    return out;
}

std::vector<char> parseVolumeList(std::span<const uint8_t> data)
{
    std::vector<char> letters;
    std::vector<uint16_t> name;
    auto finish = [&] {
        // "/a" or "a": the letter follows an optional slash.
        const size_t at = (!name.empty() && name[0] == '/') ? 1 : 0;
        if (name.size() > at) {
            const uint16_t c = name[at];
            if (letters.size() < kMaxVolumes && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
                letters.push_back(char(c));
        }
        name.clear();
    };
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const uint16_t unit = readBE16(data.data() + i);
        if (unit == kNameSeparator)
            finish();
        else if (unit != 0)
            name.push_back(unit);
    }
    finish();
    return letters;
}

std::vector<uint8_t> renderVolumeList(std::span<const char> letters)
{
    std::vector<uint8_t> out;
    for (const char letter : letters) {
        appendUtf16(out, std::string("/") + letter);
        append16(out, kNameSeparator, ByteOrder::Big);
    }
    return out;
}

std::optional<std::vector<uint8_t>> renderCountRequest(const std::string& pattern)
{
    const size_t slash = pattern.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    std::vector<uint8_t> out;
    append32(out, kFsacCount, ByteOrder::Big);
    appendUtf16(out, pattern.substr(0, slash + 1));
    append16(out, kNameSeparator, ByteOrder::Big);
    appendUtf16(out, pattern.substr(slash + 1));
    append16(out, 0, ByteOrder::Big);
    if (out.size() > kPaddedRequestSize)
        return std::nullopt;
    out.resize(kPaddedRequestSize, 0);
    return out;
}

bool countRequestFits(const std::string& pattern)
{
    return renderCountRequest(pattern).has_value();
}

std::optional<CountPattern> parseCountRequest(std::span<const uint8_t> arguments)
{
    CountPattern parsed;
    bool separated = false;
    for (size_t i = 0; i + 1 < arguments.size(); i += 2) {
        const uint16_t unit = readBE16(arguments.data() + i);
        if (unit == kNameSeparator && !separated) {
            separated = true;
        } else if (unit == 0) {
            parsed.terminated = separated;
            break;
        } else {
            if (unit > 0xFF)
                return std::nullopt;
            parsed.pattern.push_back(char(unit));
        }
    }
    if (!separated)
        return std::nullopt;
    return parsed;
}

int parseCountAnswer(std::span<const uint8_t> data)
{
    if (data.size() < 2)
        return -1;
    const uint16_t count = readBE16(data.data());
    return count == 0xFFFF ? -1 : int(count);
}

std::vector<uint8_t> renderFreeSpaceRequest(char letter)
{
    std::vector<uint8_t> out;
    append32(out, kFsacFreeSpace, ByteOrder::Big);
    append16(out, 0, ByteOrder::Big);
    appendUtf16(out, std::string("/") + letter);
    out.resize(kPaddedRequestSize, 0);
    return out;
}

std::optional<char> parseFreeSpaceRequest(std::span<const uint8_t> arguments)
{
    // A zero unit, then "/" and the letter.
    if (arguments.size() < 6 || readBE16(arguments.data()) != 0 || readBE16(arguments.data() + 2) != '/')
        return std::nullopt;
    const uint16_t letter = readBE16(arguments.data() + 4);
    if (letter < 'a' || letter > 'z')
        return std::nullopt;
    return char(letter);
}

std::optional<uint32_t> parseFreeSpaceAnswer(std::span<const uint8_t> data)
{
    if (data.size() < 4)
        return std::nullopt;
    return readBE32(data.data());
}

} // namespace tessaro
