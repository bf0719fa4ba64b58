// What is particular to the virtual phone: its folder, phone.json, the SEEM files, the
// attribute file, refused paths, the listing rules, the callback thread, and the recording
// phone's traps worn over it.

#include "p2k/virtual_phone.h"

#include <gtest/gtest.h>

#include "core/bytes.h"

#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

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
        EXPECT_TRUE(rig.virtualPhone->resolve(path).empty()) << path;
        EXPECT_EQ(rig.api->File_Delete(path), -1) << path;
    }
    EXPECT_EQ(rig.api->File_CreateDir("/a/link/new", 0), -1);
    EXPECT_EQ(rig.api->File_CountEx("/a/link/*"), -1);
    // The link is not followed by a listing either.
    EXPECT_EQ(rig.api->File_CountEx("/a/*"), 0);
    EXPECT_TRUE(std::filesystem::exists(rig.temp.path() / "outside" / "secret"));
    EXPECT_EQ(rig.virtualPhone->resolve("/a/mobile/"), rig.phoneDir() / "a" / "mobile");
    EXPECT_TRUE(rig.virtualPhone->resolve("/a/" + std::string(501, 'n')).empty()); // 504 bytes
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

TEST(RecordingPhone, RecordsCallsAndTrapsTheChosenOne)
{
    VirtualPhoneRig rig;
    rig.connect();
    rig.api->addTrap(PhoneCall::FileCreateDir, 2, RecordingPhone::TrapAction::Fail);
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
    rig.virtualPhone->plug();
    EXPECT_EQ(rig.api->P2K_Restart(), 0);
    EXPECT_EQ(status, (std::vector<int>{1, 0, 1}));
    EXPECT_TRUE(rig.virtualPhone->isPlugged());
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
    rig.virtualPhone->plug();
    rig.virtualPhone->unplug();
    rig.virtualPhone->plug();
    rig.virtualPhone->waitForCallbacks();
    std::lock_guard lock(mutex);
    EXPECT_EQ(status, (std::vector<int>{1, 0, 1}));
    ASSERT_EQ(threads.size(), 3u);
    EXPECT_NE(threads[0], std::this_thread::get_id());
}

} // namespace
} // namespace tessaro::testing
