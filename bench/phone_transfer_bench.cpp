// Reading and writing a 1 MB file through the virtual phone: FSAC requests and bytes per
// second of the whole transfer (local file, requests, the phone's own file access).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "p2k/operation_log.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"
#include "p2k/virtual_phone.h"

namespace {

using namespace tessaro;
namespace fs = std::filesystem;

constexpr int kFileSize = 1024 * 1024;
// the look-up (count, list), open, seek, 1024 blocks, close
constexpr int kReadRequests = 2 + 2 + kFileSize / 1024 + 1;
// the look-up (count), open, 1024 blocks, close
constexpr int kWriteRequests = 1 + 1 + kFileSize / 1024 + 1;

class QuietProgress : public Progress {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
};

class QuietFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override { return std::make_unique<QuietProgress>(); }
};

class QuietPrompter : public Prompter {
public:
    void show(MessageIcon, const std::string&, const std::string&) override {}
    Answer ask(MessageIcon, const std::string&, const std::string&, Buttons) override { return Answer::No; }
};

// A virtual phone in a folder of its own, removed afterwards.
struct Bench {
    Bench()
    {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("tessaro-bench-" + std::to_string(rd()));
        fs::create_directories(dir / "phone" / "a");
        std::ofstream(dir / "phone" / "phone.json")
            << R"({"model": "E398", "firmware": "R373_G_0E.30.49R", "lp": 4660, "imei": "312345678901234"})";
        std::vector<char> bytes(kFileSize);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 31 + 7);
        std::ofstream(dir / "big", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        api = std::move(VirtualPhone::open(dir / "phone")).value();
        api->plug();
        link.connected = true;
        phone = std::make_unique<PhoneContext>(PhoneContext{*api, link, log, progress, prompter, dir.string() + "/"});
    }
    ~Bench()
    {
        phone.reset();
        api.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    fs::path dir;
    std::unique_ptr<VirtualPhone> api;
    PhoneLinkState link;
    OperationLog log;
    QuietFactory progress;
    QuietPrompter prompter;
    std::unique_ptr<PhoneContext> phone;
};

void report(benchmark::State& state, int requests)
{
    state.counters["requests/s"] = benchmark::Counter(double(requests), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * kFileSize);
}

void BM_WriteOneMegabyte(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        // A file already on the phone would first be backed up: write a new one each time.
        state.PauseTiming();
        (void)bench.phone->client.deleteFile("/a/big");
        state.ResumeTiming();
        if (!uploadFile(*bench.phone, (bench.dir / "big").string(), "/a/big"))
            state.SkipWithError("write failed");
    }
    report(state, kWriteRequests);
}
BENCHMARK(BM_WriteOneMegabyte)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadOneMegabyte(benchmark::State& state)
{
    Bench bench;
    if (!uploadFile(*bench.phone, (bench.dir / "big").string(), "/a/big"))
        state.SkipWithError("set-up write failed");
    for (auto _ : state) {
        if (!downloadFile(*bench.phone, "/a/big", (bench.dir / "back").string(), "Reading big"))
            state.SkipWithError("read failed");
    }
    report(state, kReadRequests);
}
BENCHMARK(BM_ReadOneMegabyte)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
