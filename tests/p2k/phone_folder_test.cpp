// The phone folder's parse and render helpers: phone.json and the identity records made
// from it. Its paths, attributes, listings and SEEM files are tested through the virtual phone.

#include "p2k/phone_folder.h"

#include <gtest/gtest.h>

#include "core/bytes.h"
#include "phone/connection_monitor.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(PhoneIdentity, RecordsDecodeToWhatPhoneJsonSays)
{
    auto id = PhoneIdentity::parse(R"({"model": "V3x", "firmware": "R252211_U_85.9B.E1P", "lp": 43981,
                                       "imei": "490154203237518", "comment": "ignored"})");
    ASSERT_TRUE(id.ok()) << id.error();
    EXPECT_EQ(id->modelRecord(), (Bytes{0, 'V', 0, '3', 0, 'x', /*end*/ 0, 0}));
    EXPECT_EQ(decodeModel(id->modelRecord()), "V3x");
    EXPECT_EQ(decodeImei(id->imeiRecord()), "490154203237518");
    const Bytes fw = id->firmwareReply();
    EXPECT_EQ(fw[0], 4 + 19);                      // L
    EXPECT_EQ(std::string(fw.begin() + 5, fw.end()), "R252211_U_85.9B.E1P");
    EXPECT_EQ(id->lpReply(), (Bytes{0x00, 0xAB, 0xCD, 0x00}));
}

TEST(PhoneIdentity, BadPhoneJsonIsRefusedWithTheField)
{
    struct Case {
        const char* json;
        const char* error;
    };
    const Case cases[] = {
        {"not json", "phone.json: not a JSON object"},
        {R"({"firmware": "x", "lp": 1, "imei": "490154203237518"})", "phone.json: \"model\" must be a string"},
        {R"({"model": "m", "firmware": "x", "lp": 65536, "imei": "490154203237518"})",
         "phone.json: \"lp\" must lie between 0 and 65535"},
        {R"({"model": "m", "firmware": "x", "lp": -1, "imei": "490154203237518"})",
         "phone.json: \"lp\" must lie between 0 and 65535"},
        {R"({"model": "m", "firmware": "x", "lp": 1.5, "imei": "490154203237518"})",
         "phone.json: \"lp\" must be a whole number"},
        {R"({"model": "m", "firmware": "x", "lp": 1, "imei": "49015420323751"})",
         "phone.json: \"imei\" must be 15 digits"},
        {R"({"model": "m", "firmware": "x", "lp": 1, "imei": "49015420323751A"})",
         "phone.json: \"imei\" must be 15 digits"},
    };
    for (const auto& c : cases) {
        const auto id = PhoneIdentity::parse(c.json);
        ASSERT_FALSE(id.ok()) << c.json;
        EXPECT_EQ(id.error(), c.error);
    }
    const std::string longFirmware = R"({"model": "m", "lp": 1, "imei": "490154203237518", "firmware": ")"
        + std::string(252, 'f') + "\"}";
    EXPECT_EQ(PhoneIdentity::parse(longFirmware).error(), "phone.json: \"firmware\" is longer than 251 bytes");
}

} // namespace
} // namespace tessaro::testing
