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
inline constexpr int kMaxPayload = 0xFFFF;
// The most a file read or write moves in one request.
inline constexpr uint32_t kMaxFileBlock = 0x400;

// Where the fields of a request header lie. Every other header byte after the command is 0.
struct RequestLayout {
    int headerSize;
    int lengthOffset;   // payload length, BE16
};
// Classic phones (control transfers): id, command, length, 0.
inline constexpr RequestLayout kClassicRequest{8, 4};
// Bulk phones: id, command, six zero bytes, length.
inline constexpr RequestLayout kBulkRequest{12, 10};

// Where the fields of a reply lie; -1 for a field the layout does not have.
struct ReplyLayout {
    int countOffset;        // replies in this transfer (1 byte, must be 1)
    int lengthOffset;       // P2K header + data length, BE16
    int idOffset;           // the request's id with bit 15 set
    int resultOffset;       // high nibble: the class
    int dataLengthOffset;   // BE16
    int dataOffset;
};
// Classic phones: the answer of the read request.
inline constexpr ReplyLayout kClassicReply{0, 4, 6, 8, 10, 14};
// Bulk phones: id at 0, data length at 10 and data at 12 are described; the result word at 2
// is our guess.
inline constexpr ReplyLayout kBulkReply{-1, -1, 0, 2, 10, 12};

// The packet id after `id`: 12 bits, wrapping from 0xFFF to 0.
uint16_t nextPacketId(uint16_t id);

// A request: the header of `layout` (id, command, payload length; zeros elsewhere), then the
// payload. Empty when the payload is longer than kMaxPayload.
std::vector<uint8_t> renderRequest(uint16_t id, uint16_t command, std::span<const uint8_t> payload,
                                   const RequestLayout& layout = kClassicRequest);

// A request as received, with what is wrong with its header.
struct ParsedRequest {
    uint16_t id = 0;
    uint16_t command = 0;
    std::span<const uint8_t> payload;   // everything after the header
    bool idTooWide = false;              // bits above the 12 of a packet id
    bool reservedSet = false;            // a header byte that must be 0 is not
    bool lengthMismatch = false;         // the length field disagrees with the payload
};
// Nothing when fewer bytes than a header arrived.
std::optional<ParsedRequest> parseRequest(std::span<const uint8_t> request,
                                          const RequestLayout& layout = kClassicRequest);

// The answer to the poll: replies queued and the size of the first (P2K header + data).
struct PollAnswer {
    uint16_t count = 0;
    uint16_t size = 0;

    // Fewer than 4 bytes or a count of 0: nothing queued yet.
    bool ready() const { return count > 0; }
    // Bytes to ask for when reading: 2 × count + size + 4.
    int readLength() const { return 2 * int(count) + int(size) + 4; }
};
// Reads count and size from the first 4 bytes; longer answers are accepted too.
PollAnswer parsePollAnswer(std::span<const uint8_t> answer);
// As a phone answers: 2 zero bytes while nothing is queued (count 0), else exactly count
// and size.
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
// Checks a reply against the id sent: one reply (where the layout counts them), id with
// bit 15 set and its low 12 bits, class 0x8 (data) or 0x6 (no data), sane length fields
// within what arrived.
P2kReply parseReply(std::span<const uint8_t> answer, uint16_t sentId,
                    const ReplyLayout& layout = kClassicReply);
// The low 12 bits of the id of what looks like a reply (bit 15 set, one reply); nothing else.
std::optional<uint16_t> replyPacketId(std::span<const uint8_t> answer,
                                      const ReplyLayout& layout = kClassicReply);
// The bytes the whole reply takes (header + data) once its header arrived; nothing before.
std::optional<size_t> replySize(std::span<const uint8_t> answer, const ReplyLayout& layout);
// A reply as the phone sends it: class 0x8 with data, 0x6 without, or `errorClass`.
std::vector<uint8_t> renderReply(uint16_t sentId, std::span<const uint8_t> data,
                                 std::optional<int> errorClass = std::nullopt,
                                 const ReplyLayout& layout = kClassicReply);
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
// "/" in UTF-16BE, 0xFFFE, the mask in UTF-16BE, a 0x0000 unit, zeros up to 256 bytes.
// Nothing for a pattern without "/" or one that does not fit.
std::optional<std::vector<uint8_t>> renderCountRequest(const std::string& pattern);
// Whether renderCountRequest makes a request of `pattern`.
bool countRequestFits(const std::string& pattern);
struct CountPattern {
    std::string pattern;
    bool terminated = false;   // a 0x0000 unit follows the mask
};
// The pattern of a count request's payload (after the subcommand); nothing when there is
// no 0xFFFE or a character does not fit 8 bits.
std::optional<CountPattern> parseCountRequest(std::span<const uint8_t> arguments);
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
