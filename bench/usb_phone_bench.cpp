// The USB phone over a simulated phone: control transfers per 1 KiB block read and written
// (send, poll, read when the phone answers at once), and the time per block when the phone
// takes 1 ms to answer, against that ideal 1 ms.

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

// A virtual phone with a 256 KiB file behind a simulated USB phone, the file open.
struct Rig {
    explicit Rig(std::chrono::microseconds replyDelay)
    {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("tessaro-usb-bench-" + std::to_string(rd()));
        fs::create_directories(dir / "a");
        std::ofstream(dir / "phone.json")
            << R"({"model": "E398", "firmware": "R373_G_0E.30.49R", "lp": 4660, "imei": "312345678901234"})";
        std::vector<char> bytes(size_t(kFileBlocks) * kBlock, 'x');
        std::ofstream(dir / "a" / "big", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        storage = std::move(VirtualPhone::open(dir)).value();
        storage->setRecording(false);
        auto owned = std::make_unique<SimulatedUsbLink>();
        link = owned.get();
        link->plug(std::make_shared<SimulatedP2kPhone>(*storage, SimulatedPhoneOptions{.replyDelay = replyDelay}));
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

    fs::path dir;
    std::unique_ptr<VirtualPhone> storage;
    SimulatedUsbLink* link = nullptr;
    std::unique_ptr<UsbPhone> usb;
};

// Reads (or writes) block after block, going back to the start of the file now and then
// outside the timing; counts only the transfers of the blocks.
void blocks(benchmark::State& state, bool write, std::chrono::microseconds delay)
{
    Rig rig(delay);
    const std::vector<uint8_t> read = fsac(0x01, {0, 0, 0x04, 0x00});
    std::vector<uint8_t> data = fsac(0x02, {0, 0, 0x04, 0x00});
    data.resize(data.size() + kBlock, 'y');
    std::vector<uint8_t> reply(kBlock);
    long transfers = 0;
    long done = 0;
    int inFile = 0;
    for (auto _ : state) {
        if (inFile == kFileBlocks) {
            state.PauseTiming();
            rig.rewind();
            inFile = 0;
            state.ResumeTiming();
        }
        const long before = rig.link->controlTransfers();
        const int rc = write ? rig.send(data) : rig.send(read, reply.data(), kBlock);
        transfers += rig.link->controlTransfers() - before;
        if (rc != 0) {
            state.SkipWithError("a block failed");
            break;
        }
        ++inFile;
        ++done;
    }
    state.counters["transfers_per_block"] = done ? double(transfers) / double(done) : 0.0;
    state.SetBytesProcessed(done * kBlock);
}

void BM_UsbReadBlock(benchmark::State& state) { blocks(state, false, std::chrono::microseconds(0)); }
void BM_UsbWriteBlock(benchmark::State& state) { blocks(state, true, std::chrono::microseconds(0)); }
// The phone answers 1 ms after each request: ideally 1 ms a block.
void BM_UsbReadBlockPhoneAnswersAfter1ms(benchmark::State& state)
{
    blocks(state, false, std::chrono::milliseconds(1));
}
void BM_UsbWriteBlockPhoneAnswersAfter1ms(benchmark::State& state)
{
    blocks(state, true, std::chrono::milliseconds(1));
}

BENCHMARK(BM_UsbReadBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UsbWriteBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UsbReadBlockPhoneAnswersAfter1ms)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_UsbWriteBlockPhoneAnswersAfter1ms)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
