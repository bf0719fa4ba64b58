// The USB phone over a simulated phone: transfers per 1 KiB block read and written, control
// transfers on a classic phone (send, poll, read when the phone answers at once) and bulk
// transfers on a bulk one (request out, reply in), and the time per block when the phone takes
// 1 ms to answer, against that ideal 1 ms.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/bytes.h"
#include "p2k/usb_phone.h"
#include "p2k/virtual_phone.h"
#include "usbsim/simulated_usb_link.h"

namespace {

using namespace tessaro;
using namespace tessaro::testing;
namespace fs = std::filesystem;

constexpr int kBlock = 1024;
constexpr int kFileBlocks = 256;

std::vector<uint8_t> fsac(uint32_t subcommand, std::vector<uint8_t> arguments = {})
{
    std::vector<uint8_t> out(4 + arguments.size());
    put32(out.data(), subcommand, ByteOrder::Big);
    std::copy(arguments.begin(), arguments.end(), out.begin() + 4);
    return out;
}

// A virtual phone with a 256 KiB file behind a simulated USB phone, classic or bulk, the file
// open.
struct Rig {
    Rig(bool bulk, std::chrono::microseconds replyDelay) : bulk(bulk)
    {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("tessaro-usb-bench-" + std::to_string(rd()));
        fs::create_directories(dir / "a");
        std::ofstream(dir / "phone.json")
            << R"({"model": "E398", "firmware": "R373_G_0E.30.49R", "lp": 4660, "imei": "312345678901234"})";
        std::vector<char> bytes(size_t(kFileBlocks) * kBlock, 'x');
        std::ofstream(dir / "a" / "big", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        storage = std::move(VirtualPhone::open(dir)).value();
        auto owned = std::make_unique<SimulatedUsbLink>();
        link = owned.get();
        link->plug(std::make_shared<SimulatedP2kPhone>(
            *storage, SimulatedPhoneOptions{.bulk = bulk, .replyDelay = replyDelay}));
        usb = std::make_unique<UsbPhone>(std::move(owned));
        usb->P2K_Init([](int c) { return c; });
        const std::string path = "/a/big";
        std::vector<uint8_t> open = fsac(0x00, {0, 0, 0, 0});
        open.insert(open.end(), path.begin(), path.end());
        send(open);
        rewind();
    }
    ~Rig()
    {
        send(fsac(0x04));
        usb.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    int send(const std::vector<uint8_t>& request, uint8_t* reply = nullptr, int wanted = 0)
    {
        return usb->P2K_SendCMD(kCmdFsac, request.data(), int(request.size()), reply, &wanted);
    }
    void rewind() { send(fsac(0x03, {0, 0, 0, 0, 0})); }
    // The transfers of the phone's kind: control transfers (classic) or bulk transfers.
    long transfers() const { return bulk ? link->bulkTransfers() : link->controlTransfers(); }

    const bool bulk;
    fs::path dir;
    std::unique_ptr<VirtualPhone> storage;
    SimulatedUsbLink* link = nullptr;
    std::unique_ptr<UsbPhone> usb;
};

// Reads (or writes) block after block, going back to the start of the file at its end outside
// the timing; counts only the transfers of the blocks. A read asks for exactly what is left of
// the file, at most 0x400 bytes: FSAC read, BE32 1, then the BE32 count.
void blocks(benchmark::State& state, bool bulk, bool write, std::chrono::microseconds delay)
{
    Rig rig(bulk, delay);
    constexpr uint32_t fileSize = uint32_t(kFileBlocks) * kBlock;
    std::vector<uint8_t> data = fsac(0x02, {0, 0, 0x04, 0x00});
    data.resize(data.size() + kBlock, 'y');
    std::vector<uint8_t> reply(kBlock);
    long transfers = 0;
    long done = 0;
    int64_t bytes = 0;
    uint32_t position = 0;
    for (auto _ : state) {
        if (position == fileSize) {
            state.PauseTiming();
            rig.rewind();
            position = 0;
            state.ResumeTiming();
        }
        const uint32_t count = std::min<uint32_t>(kBlock, fileSize - position);
        std::vector<uint8_t> read = fsac(0x01);
        read.resize(8);
        put32(&read[4], count, ByteOrder::Big);
        const long before = rig.transfers();
        const int rc = write ? rig.send(data) : rig.send(read, reply.data(), int(count));
        transfers += rig.transfers() - before;
        if (rc != 0) {
            state.SkipWithError("a block failed");
            break;
        }
        position += count;
        bytes += count;
        ++done;
    }
    state.counters[bulk ? "bulk_transfers_per_block" : "control_transfers_per_block"]
        = done ? double(transfers) / double(done) : 0.0;
    state.SetBytesProcessed(bytes);
}

using std::chrono::microseconds;
using std::chrono::milliseconds;
BENCHMARK_CAPTURE(blocks, ClassicRead, false, false, microseconds(0))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(blocks, ClassicWrite, false, true, microseconds(0))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(blocks, BulkRead, true, false, microseconds(0))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(blocks, BulkWrite, true, true, microseconds(0))->Unit(benchmark::kMicrosecond);
// The phone answers 1 ms after each request: ideally 1 ms a block.
BENCHMARK_CAPTURE(blocks, ClassicReadPhoneAnswersAfter1ms, false, false, milliseconds(1))
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(blocks, ClassicWritePhoneAnswersAfter1ms, false, true, milliseconds(1))
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(blocks, BulkReadPhoneAnswersAfter1ms, true, false, milliseconds(1))
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(blocks, BulkWritePhoneAnswersAfter1ms, true, true, milliseconds(1))
    ->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
