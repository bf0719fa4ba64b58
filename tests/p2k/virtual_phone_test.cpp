// What is particular to the virtual phone: its folder, phone.json, the SEEM files, the
// attribute file, refused paths, the listing rules, traps and the callback thread.

#include "p2k/virtual_phone.h"

#include <gtest/gtest.h>

#include "core/bytes.h"

#include "phone/connection_monitor.h"
#include "support/virtual_phone_rig.h"

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

TEST(VirtualPhone, FolderWithoutPhoneJsonIsRefused)
{
    TempDir temp;
    EXPECT_FALSE(VirtualPhone::open(temp.path()).ok());
    EXPECT_EQ(VirtualPhone::open(temp.path() / "absent").error(),
              "Virtual phone folder not found: " + (temp.path() / "absent").string());
}

TEST(VirtualPhone, PathsLeavingTheFolderAreRefused)
{
    VirtualPhoneRig rig;
    rig.connect();
    std::filesystem::create_directories(rig.temp.path() / "outside");
    writeText(rig.temp.path() / "outside" / "secret", "s");
    std::filesystem::create_directory_symlink(rig.temp.path() / "outside", rig.phoneDir() / "a" / "link");
    std::filesystem::create_symlink(rig.temp.path() / "outside" / "secret", rig.phoneDir() / "a" / "file");

    for (const std::string path : {"/a/../../outside/secret", "/a/link/secret", "/a/file", "/a/./x",
                                   "/x/file", "a/file", "/", "/a//x", "/outside/secret"}) {
        EXPECT_TRUE(rig.api->resolve(path).empty()) << path;
        EXPECT_EQ(rig.api->File_Delete(path), -1) << path;
    }
    EXPECT_EQ(rig.api->File_CreateDir("/a/link/new", 0), -1);
    EXPECT_EQ(rig.api->File_CountEx("/a/link/*"), -1);
    // The link is not followed by a listing either.
    EXPECT_EQ(rig.api->File_CountEx("/a/*"), 0);
    EXPECT_TRUE(std::filesystem::exists(rig.temp.path() / "outside" / "secret"));
    EXPECT_EQ(rig.api->resolve("/a/mobile/"), rig.phoneDir() / "a" / "mobile");
    EXPECT_TRUE(rig.api->resolve("/a/" + std::string(501, 'n')).empty()); // 504 bytes
}

TEST(VirtualPhone, AttributesSurviveARestartOfTheProgram)
{
    TempDir temp;
    makePhoneFolder(temp.path());
    writeText(temp.path() / "a" / "x.gif", "g");
    {
        auto phone = VirtualPhone::open(temp.path()).value();
        phone->plug();
        ASSERT_EQ(phone->File_Create("/a/x.gif", 5), 0);
        ASSERT_EQ(phone->File_Close(), 0);
    }
    auto phone = VirtualPhone::open(temp.path()).value();
    phone->plug();
    ASSERT_EQ(phone->File_CountEx("/a/*"), 1);
    Bytes entry(512);
    ASSERT_EQ(phone->File_ListEx(entry.data(), 1, nullptr), 0);
    EXPECT_EQ(readLE16(entry.data() + 6), 5);
    // Deleting the file forgets its attributes.
    ASSERT_EQ(phone->File_Delete("/a/x.gif"), 0);
    EXPECT_EQ(readText(temp.path() / "attributes.json"), "{}\n");
}

TEST(VirtualPhone, SeemRecordsAreFilesInTheSeemFolder)
{
    VirtualPhoneRig rig;
    rig.connect();
    Bytes buffer(kSeemBufferSize);
    EXPECT_EQ(rig.api->Seem_Read(0x0032, 1, 0, 0, buffer.data(), kSeemBufferSize), -1); // no such record yet

    const Bytes record = {9, 8, 7, 6};
    ASSERT_EQ(rig.api->Seem_Write(0x0032, 1, 0, 4, record.data()), 0);
    EXPECT_EQ(readBytes(rig.phoneDir() / "seem" / "0032_0001.seem"), record);
    ASSERT_EQ(rig.api->Seem_Write(0x01AB, 0x10, 0, 0, nullptr), 0);
    EXPECT_TRUE(std::filesystem::exists(rig.phoneDir() / "seem" / "01ab_0010.seem"));

    writeBytes(rig.phoneDir() / "seem" / "00FF_0002.seem", {1, 2}); // upper-case names are found
    EXPECT_EQ(rig.api->Seem_Read(0x00FF, 2, 0, 0, buffer.data(), kSeemBufferSize), 2);

    // The identity comes from phone.json and is not written; records stay within 10000 bytes.
    EXPECT_EQ(rig.api->Seem_Write(0x0117, 1, 0, 4, record.data()), -1);
    Bytes big(10001, 1);
    EXPECT_EQ(rig.api->Seem_Write(0x0032, 1, 0, 10001, big.data()), -1);
    writeBytes(rig.phoneDir() / "seem" / "0033_0001.seem", big);
    EXPECT_EQ(rig.api->Seem_Read(0x0033, 1, 0, 0, buffer.data(), kSeemBufferSize), -1);
}

TEST(VirtualPhone, VolumesAreTheOneLetterFoldersInOrder)
{
    VirtualPhoneRig rig(PhoneSpec{.volumes = "ecab"});
    rig.connect();
    std::filesystem::create_directories(rig.phoneDir() / "seem");
    std::filesystem::create_directories(rig.phoneDir() / "Z");
    uint8_t reply[128];
    int wanted = 128;
    const Bytes query = {0, 0, 0, 0x0A};
    ASSERT_EQ(rig.api->P2K_SendCMD(kCmdFsac, query.data(), 4, reply, &wanted), 0);
    ASSERT_EQ(wanted, 24);
    EXPECT_EQ(reply[3], 'a');
    EXPECT_EQ(reply[9], 'b');
    EXPECT_EQ(reply[15], 'c');
    EXPECT_EQ(reply[21], 'e');
}

TEST(VirtualPhone, ListingMatchesNamesInEitherCaseBelowTheFolder)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.putPhoneFile("/a/pics/one.GIF", {1});
    rig.putPhoneFile("/a/pics/deep/two.gif", {1, 2});
    rig.putPhoneFile("/a/three.gif.txt", {1});
    rig.putPhoneFile("/a/f1.png", {1});
    rig.putPhoneFile("/a/f12.png", {1});
    EXPECT_EQ(rig.api->File_CountEx("/a/*.gif"), 2);
    EXPECT_EQ(rig.api->File_CountEx("/a/pics/*.gif"), 2);
    EXPECT_EQ(rig.api->File_CountEx("/a/f?.png"), 1);
    EXPECT_EQ(rig.api->File_CountEx("/a/*"), 5);
    EXPECT_EQ(rig.api->File_CountEx("/b/*"), 0);
    EXPECT_EQ(rig.api->File_CountEx("/q/*"), -1);
    EXPECT_EQ(rig.api->File_ListEx(nullptr, 0, nullptr), -1); // the failed count left nothing to list
}

TEST(VirtualPhone, FoldersAreCreatedAndDeletedOneByOne)
{
    VirtualPhoneRig rig;
    rig.connect();
    EXPECT_EQ(rig.api->File_CreateDir("/a/x/y", 0), -1); // no parent
    EXPECT_EQ(rig.api->File_CreateDir("/a/x", 0), 0);
    EXPECT_EQ(rig.api->File_CreateDir("/a/x/", 0), -1); // already there
    EXPECT_EQ(rig.api->File_CreateDir("/a/x/y/", 0), 0);
    EXPECT_EQ(rig.api->File_DeleteDir("/a/x"), -1);     // not empty
    EXPECT_EQ(rig.api->File_DeleteDir("/a/x/y"), 0);
    EXPECT_EQ(rig.api->File_DeleteDir("/a/x"), 0);
    EXPECT_EQ(rig.api->File_DeleteDir("/a"), -1);       // a volume stays
}

TEST(VirtualPhone, ReadingAFileThatIsNotThereFailsAndCreatesNothing)
{
    VirtualPhoneRig rig;
    rig.connect();
    Bytes open = {0, 0, 0, 0, 0, 0, 0, 0, '/', 'a', '/', 'n'};
    const Bytes read = {0, 0, 0, 1, 0, 0, 4, 0};
    const Bytes close = {0, 0, 0, 4};
    uint8_t reply[1024];
    int n = 0;
    ASSERT_EQ(rig.api->P2K_SendCMD(kCmdFsac, open.data(), int(open.size()), reply, &n), 0);
    n = 1024;
    EXPECT_EQ(rig.api->P2K_SendCMD(kCmdFsac, read.data(), 8, reply, &n), -1);
    n = 0;
    EXPECT_EQ(rig.api->P2K_SendCMD(kCmdFsac, close.data(), 4, reply, &n), 0);
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/n")));
}

TEST(VirtualPhone, RecordsCallsAndTrapsTheChosenOne)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.api->addTrap(PhoneCall::FileCreateDir, 2, VirtualPhone::TrapAction::Fail);
    EXPECT_EQ(rig.api->File_CreateDir("/a/one", 0), 0);
    EXPECT_EQ(rig.api->File_CreateDir("/a/two", 0), -1);
    EXPECT_EQ(rig.api->File_CreateDir("/a/three", 0), 0);
    const auto calls = rig.api->requests();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].text, "/a/two");
    EXPECT_EQ(calls[1].args, std::vector<int>{0});
    EXPECT_EQ(calls[1].result, -1);
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/two")));
}

TEST(VirtualPhone, RestartRebootsThePhone)
{
    VirtualPhoneRig rig;
    std::vector<int> status;
    rig.api->P2K_Init([&](int c) {
        status.push_back(c);
        return c;
    });
    rig.api->plug();
    EXPECT_EQ(rig.api->P2K_Restart(), 0);
    EXPECT_EQ(status, (std::vector<int>{1, 0, 1}));
    EXPECT_TRUE(rig.api->isPlugged());
}

TEST(VirtualPhone, StatusCallsFromItsOwnThread)
{
    VirtualPhone::Options options;
    options.callbackThread = true;
    VirtualPhoneRig rig(PhoneSpec{}, options);
    std::mutex mutex;
    std::vector<int> status;
    std::vector<std::thread::id> threads;
    rig.api->P2K_Init([&](int c) {
        // A receiver may call the phone back from the status call.
        Bytes buffer(kSeemBufferSize);
        rig.api->Seem_Read(0x0117, 1, 0, 0, buffer.data(), kSeemBufferSize);
        std::lock_guard lock(mutex);
        status.push_back(c);
        threads.push_back(std::this_thread::get_id());
        return c;
    });
    rig.api->plug();
    rig.api->unplug();
    rig.api->plug();
    rig.api->waitForCallbacks();
    std::lock_guard lock(mutex);
    EXPECT_EQ(status, (std::vector<int>{1, 0, 1}));
    ASSERT_EQ(threads.size(), 3u);
    EXPECT_NE(threads[0], std::this_thread::get_id());
}

} // namespace
} // namespace tessaro::testing
