#pragma once
// The P2kApi contract suite's fixture and backends, shared by the test programs that run the
// suite on their own backends (the in-process ones here, the USB phone on the fake USB bus).
// A program defining TESSARO_CONTRACT_SUITE_ONLY compiles p2k_api_contract_test.cpp for its
// tests only and instantiates them with its own backends.

#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "p2k/p2k_api.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {

using Bytes = std::vector<uint8_t>;

struct Backend {
    std::string name;
    // Makes the backend in `dir` (a virtual phone folder is prepared there).
    std::function<std::unique_ptr<P2kApi>(const std::filesystem::path& dir)> make;
    bool hasPhone;
};

// The virtual phone folder every backend works on: /a/mobile/f.gif of 1500 bytes.
inline std::unique_ptr<P2kApi> virtualPhone(const std::filesystem::path& dir, bool plugged)
{
    makePhoneFolder(dir);
    std::filesystem::create_directories(dir / "a" / "mobile");
    writeBytes(dir / "a" / "mobile" / "f.gif", patternBytes(1500));
    auto phone = VirtualPhone::open(dir);
    EXPECT_TRUE(phone.ok()) << phone.error();
    if (plugged)
        phone.value()->plug();
    return std::move(phone).value();
}

class P2kApiContract : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        api = GetParam().make(temp.path() / "phone");
        ASSERT_NE(P2K_InitResult = api->P2K_Init([this](int c) {
            statusCalls.push_back(c);
            return c;
        }), -1);
    }
    // Status calls may still come from a backend's thread until it is gone.
    void TearDown() override { api.reset(); }

    int fsac(const Bytes& request, uint8_t* reply, int* wanted)
    {
        return api->P2K_SendCMD(kCmdFsac, request.data(), int(request.size()), reply, wanted);
    }

    TempDir temp;
    const std::thread::id callingThread = std::this_thread::get_id();
    std::unique_ptr<P2kApi> api;
    int P2K_InitResult = 0;
    std::vector<int> statusCalls;
};

} // namespace tessaro::testing
