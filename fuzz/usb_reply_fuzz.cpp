// Feeds arbitrary bytes, as a phone might send them, to the poll answer, the reply checks of
// classic and bulk replies, the listing chunk parse (and on to the 512-byte entries), the
// volume list, the count answer, the count request parse and both request headers. Nothing may
// read outside what arrived or crash, and a reply that passes its checks must hold its data
// within the bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "p2k/file_list_entry.h"
#include "p2k/p2k_framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaro;
    const std::span<const uint8_t> bytes(data, size);

    const PollAnswer poll = parsePollAnswer(bytes);
    if (poll.ready() && poll.readLength() < 6)
        std::abort();

    // The id the reply claims, and one it does not.
    const uint16_t id = size >= 8 ? uint16_t(((data[6] << 8) | data[7]) & 0x0FFF) : 0;
    for (const uint16_t sent : {id, uint16_t(id ^ 1)}) {
        const P2kReply reply = parseReply(bytes, sent);
        if (reply.ok() && (reply.data.data() < data + 14 || reply.data.data() + reply.data.size() > data + size))
            std::abort();
        (void)reply.describe();
        if (reply.ok()) {
            const auto entries = parseListChunk(reply.data);
            if (entries) {
                std::array<uint8_t, 512> out;
                for (const auto& entry : entries.value())
                    renderFileListEntry(entry, out);
            }
        }
    }

    const auto entries = parseListChunk(bytes);
    if (entries) {
        std::array<uint8_t, 512> out;
        for (const auto& entry : entries.value()) {
            renderFileListEntry(entry, out);
            if (parseFileListEntry(out).size != entry.size)
                std::abort();
        }
    }
    if (parseVolumeList(bytes).size() > 21)
        std::abort();
    (void)parseCountAnswer(bytes);
    (void)parseCountRequest(bytes);
    // A bulk phone's reply, and the request header either kind of phone is sent.
    for (const ReplyLayout& layout : {kClassicReply, kBulkReply}) {
        const size_t at = size_t(layout.idOffset);
        const uint16_t claimed = size >= at + 2 ? uint16_t(((data[at] << 8) | data[at + 1]) & 0x0FFF) : 0;
        const P2kReply reply = parseReply(bytes, claimed, layout);
        if (reply.ok() && (reply.data.data() < data + layout.dataOffset || reply.data.data() + reply.data.size() > data + size))
            std::abort();
        (void)replyPacketId(bytes, layout);
        (void)replySize(bytes, layout);
    }
    (void)parseRequest(bytes, kClassicRequest);
    (void)parseRequest(bytes, kBulkRequest);
    return 0;
}
