#pragma once
// The P2K framing of Motorola phones on their "Motorola Test Command" interface: the request
// header, the answer to "is a reply queued", the reply with its checks, and the layouts of the
// FSAC replies the USB backend converts (listing chunks, volume list, file count). Every
// length and count read here comes from the phone and is checked against what arrived.
// Multi-byte numbers are big-endian.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "p2k/p2k_api.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

// Command codes besides FSAC and VERSION (p2k_api.h).
inline constexpr uint16_t kCmdSeemRead = 0x0020;
inline constexpr uint16_t kCmdRestart = 0x0022;
inline constexpr uint16_t kCmdSeemWrite = 0x002F;

// The attribute word of folder requests.
inline constexpr uint32_t kFolderAttributes = 0x10;
// The argument byte of the next-chunk request (the phone's meaning of it is not known; kept
// here so it changes in one place).
inline constexpr uint8_t kListNextArgument = 0x01;

inline constexpr int kP2kHeaderSize = 8;
// Bytes before the data in a read answer: 6 of the transfer, 8 of the P2K reply header.
inline constexpr int kReplyDataOffset = 14;
inline constexpr int kMaxPayload = 0xFFFF;

// The packet id after `id`: 12 bits, wrapping from 0xFFF to 0.
uint16_t nextPacketId(uint16_t id);

// A request: id, command, payload length, 0 (BE16 each), then the payload. Empty when the
// payload is longer than kMaxPayload.
std::vector<uint8_t> renderRequest(uint16_t id, uint16_t command, std::span<const uint8_t> payload);

// The answer to the poll: replies queued and the size of the first (P2K header + data).
struct PollAnswer {
    uint16_t count = 0;
    uint16_t size = 0;

    // Fewer than 4 bytes or a count of 0: nothing queued yet.
    bool ready() const { return count > 0; }
    // Bytes to ask for when reading: 2 × count + size + 4.
    int readLength() const { return 2 * int(count) + int(size) + 4; }
};
PollAnswer parsePollAnswer(std::span<const uint8_t> answer);
std::vector<uint8_t> renderPollAnswer(uint16_t count, uint16_t size);

// A checked reply: its data, an error class the phone reported, or why it is corrupted.
struct P2kReply {
    enum class Kind { Data, PhoneError, Corrupted };
    Kind kind = Kind::Corrupted;
    std::span<const uint8_t> data;   // Data: the reply's data, inside the parsed bytes
    int errorClass = 0;              // PhoneError: the high nibble of the result word
    std::string reason;              // Corrupted: what is wrong

    bool ok() const { return kind == Kind::Data; }
    // "error class 5 (invalid parameter)" / "corrupted reply (wrong packet id)".
    std::string describe() const;
};
// Checks a read answer against the id sent: byte 0 = 1, id with bit 15 set and its low
// 12 bits, class 0x8 (data) or 0x6 (no data), sane length fields within what arrived.
P2kReply parseReply(std::span<const uint8_t> answer, uint16_t sentId);
// A read answer as the phone sends it: class 0x8 with data, 0x6 without, or `errorClass`.
std::vector<uint8_t> renderReply(uint16_t sentId, std::span<const uint8_t> data,
                                 std::optional<int> errorClass = std::nullopt);
// The phone's words for an error class ("invalid parameter"; "unknown error" past the list).
std::string errorClassName(int errorClass);

// Listing chunk: count BE16, 2 zero bytes, records of (length − 4) / count bytes each:
// zero-padded path (record size − 8), attributes BE16, owner BE16, size BE32. An empty
// vector for a chunk with no entries; an error when the records cannot be what arrived.
Result<std::vector<PhoneFileEntry>> parseListChunk(std::span<const uint8_t> data);
// A chunk with records of `recordSize` (at least 9) bytes; longer paths are cut to fit.
std::vector<uint8_t> renderListChunk(std::span<const PhoneFileEntry> entries, int recordSize);

// The volume list: UTF-16BE names such as "/a" separated by 0xFFFE; the volume letters in
// order (at most 21, the library's 128-byte reply).
std::vector<char> parseVolumeList(std::span<const uint8_t> data);
// "/a" 0xFFFE "/b" 0xFFFE ...: 6 bytes a volume with the letter at byte 3, which is also
// the record layout the library's volume reply has.
std::vector<uint8_t> renderVolumeList(std::span<const char> letters);

// The count request for a pattern "/a/mobile/*.gif": subcommand, the folder up to its last
// "/" in UTF-16BE, 0xFFFE, the mask in UTF-16BE. Nothing for a pattern without "/".
std::optional<std::vector<uint8_t>> renderCountRequest(const std::string& pattern);
// The pattern of a count request's payload (after the subcommand); nothing when there is
// no 0xFFFE or a character does not fit 8 bits.
std::optional<std::string> parseCountRequest(std::span<const uint8_t> arguments);
// The count answer: BE16 matches; -1 for 0xFFFF (failure) or fewer than 2 bytes.
int parseCountAnswer(std::span<const uint8_t> data);

// The free-space request for volume `letter`: subcommand, a zero unit, "/a" in UTF-16BE, zeros
// up to 256 bytes. The answer's first four bytes are the free bytes.
std::vector<uint8_t> renderFreeSpaceRequest(char letter);
// The volume letter of a free-space request's payload (after the subcommand); nothing when it
// names no volume.
std::optional<char> parseFreeSpaceRequest(std::span<const uint8_t> arguments);
// The free bytes of a free-space answer; nothing for fewer than 4 bytes.
std::optional<uint32_t> parseFreeSpaceAnswer(std::span<const uint8_t> data);

} // namespace tessaro
