#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/progress.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"
#include "phone/seem_backup.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using testing::Prompt;
using testing::RecordingPrompter;
using testing::TempDir;

// A phone with one SEEM record; it remembers the calls it gets.
class SeemPhone : public P2kApi {
public:
    std::vector<uint8_t> record;
    int readResult = 0;     // -1 fails; otherwise the record's size is delivered unless overridden
    bool overrideCount = false;
    int writeResult = 0;
    std::vector<std::string> calls;
    std::vector<uint8_t> written;
    int writtenCount = -2;

    int P2K_Init(StatusCallback) override { return 0; }
    int P2K_SendCMD(uint16_t, const uint8_t*, int, uint8_t*, int*) override { return fail("SendCMD"); }
    int P2K_Restart() override { return fail("Restart"); }
    int File_Create(const std::string&, int) override { return fail("File_Create"); }
    int File_Close() override { return fail("File_Close"); }
    int File_Delete(const std::string&) override { return fail("File_Delete"); }
    int File_CreateDir(const std::string&, int) override { return fail("File_CreateDir"); }
    int File_DeleteDir(const std::string&) override { return fail("File_DeleteDir"); }
    int File_CountEx(const std::string&) override { return fail("File_CountEx"); }
    int File_ListEx(uint8_t*, int, ProgressCallback) override { return fail("File_ListEx"); }

    int Seem_Read(int seem, int rec, int offset, int length, uint8_t* buffer, int) override
    {
        calls.push_back("Seem_Read " + std::to_string(seem) + " " + std::to_string(rec) + " "
                        + std::to_string(offset) + " " + std::to_string(length));
        if (readResult == -1)
            return -1;
        std::copy_n(record.begin(), std::min<size_t>(record.size(), kSeemBufferSize), buffer);
        return overrideCount ? readResult : static_cast<int>(record.size());
    }
    int Seem_Write(int seem, int rec, int offset, int count, const uint8_t* buffer) override
    {
        calls.push_back("Seem_Write " + std::to_string(seem) + " " + std::to_string(rec) + " "
                        + std::to_string(offset) + " " + std::to_string(count));
        EXPECT_NE(buffer, nullptr);
        if (buffer == nullptr)
            return -1;
        writtenCount = count;
        written.assign(buffer, buffer + count);
        return writeResult;
    }

private:
    int fail(const std::string& name)
    {
        calls.push_back(name);
        return -1;
    }
};

class NoProgress : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override { return nullptr; }
};

struct Fixture {
    SeemPhone api;
    PhoneLinkState link;
    OperationLog log;
    NoProgress progress;
    RecordingPrompter prompter;
    TempDir dir;
    PhoneContext phone{api, link, log, progress, prompter, dir.path().string() + "/"};

    Fixture() { link.connected = true; }
};

const Prompt kBackedUp{MessageIcon::Information, "", "SEEM 0032_0001 backed up"};
const Prompt kReadError{MessageIcon::Information, "P2K Error", "Error reading SEEM"};
const Prompt kRestored{MessageIcon::Information, "", "Backup SEEM 0032_0001 restored"};
const Prompt kWriteError{MessageIcon::Information, "P2K Error", "Error writing SEEM"};

TEST(SeemBackup, WritesExactlyTheBytesDelivered)
{
    Fixture f;
    f.api.record = {0x01, 0x02, 0x00, 0xFF, 0x7E};   // far less than the 10000-byte buffer
    const std::string file = f.dir.file("0032_0001.seem");
    testing::writeBytes(file, std::vector<uint8_t>(50, 0xAA));   // replaced, not overwritten
    EXPECT_TRUE(backupSeemRecord(f.phone, file));
    EXPECT_EQ(f.api.calls, (std::vector<std::string>{"Seem_Read 50 1 0 0"}));
    EXPECT_EQ(testing::readBytes(file), f.api.record);
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kBackedUp}));
}

TEST(SeemBackup, EmptyRecordGivesAnEmptyFile)
{
    Fixture f;
    const std::string file = f.dir.file("b.seem");
    EXPECT_TRUE(backupSeemRecord(f.phone, file));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(SeemBackup, ReadFailureLeavesTheFileAlone)
{
    Fixture f;
    const std::string file = f.dir.file("old.seem");
    testing::writeBytes(file, {9, 9, 9});
    f.api.readResult = -1;
    EXPECT_FALSE(backupSeemRecord(f.phone, file));
    EXPECT_EQ(testing::readBytes(file), (std::vector<uint8_t>{9, 9, 9}));
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kReadError}));
}

TEST(SeemBackup, CountBeyondTheBufferIsAReadError)
{
    Fixture f;
    f.api.record = {1, 2, 3};
    f.api.overrideCount = true;
    f.api.readResult = kSeemBufferSize + 1;
    EXPECT_FALSE(backupSeemRecord(f.phone, f.dir.file("x.seem")));
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("x.seem")));
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kReadError}));
}

TEST(SeemBackup, UnwritableFileIsReported)
{
    Fixture f;
    f.api.record = {1};
    EXPECT_FALSE(backupSeemRecord(f.phone, f.dir.file("no/such/folder/x.seem")));
    ASSERT_EQ(f.prompter.prompts.size(), 1u);
    EXPECT_EQ(f.prompter.prompts[0].caption, "Error");
    EXPECT_EQ(f.prompter.prompts[0].icon, MessageIcon::Error);
}

TEST(SeemBackup, NothingHappensUnpluggedOrCancelled)
{
    Fixture f;
    EXPECT_FALSE(backupSeemRecord(f.phone, ""));
    f.link.connected = false;
    testing::writeBytes(f.dir.file("r.seem"), {1, 2});
    EXPECT_FALSE(backupSeemRecord(f.phone, f.dir.file("b.seem")));
    EXPECT_FALSE(restoreSeemRecord(f.phone, f.dir.file("r.seem")));
    EXPECT_TRUE(f.api.calls.empty());
    EXPECT_TRUE(f.prompter.prompts.empty());
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("b.seem")));
}

TEST(SeemRestore, SendsTheWholeFile)
{
    Fixture f;
    const std::vector<uint8_t> bytes{0x10, 0x00, 0x20, 0x30};
    testing::writeBytes(f.dir.file("r.seem"), bytes);
    EXPECT_TRUE(restoreSeemRecord(f.phone, f.dir.file("r.seem")));
    EXPECT_EQ(f.api.calls, (std::vector<std::string>{"Seem_Write 50 1 0 4"}));
    EXPECT_EQ(f.api.written, bytes);
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kRestored}));
}

TEST(SeemRestore, EmptyFileSendsACountOfZero)
{
    Fixture f;
    testing::writeBytes(f.dir.file("e.seem"), {});
    EXPECT_TRUE(restoreSeemRecord(f.phone, f.dir.file("e.seem")));
    EXPECT_EQ(f.api.writtenCount, 0);
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kRestored}));
}

TEST(SeemRestore, FullRecordFitsAndOneByteMoreIsRefused)
{
    Fixture f;
    testing::writeBytes(f.dir.file("full.seem"), std::vector<uint8_t>(10000, 0x5A));
    EXPECT_TRUE(restoreSeemRecord(f.phone, f.dir.file("full.seem")));
    EXPECT_EQ(f.api.writtenCount, 10000);

    f.api.calls.clear();
    f.prompter.prompts.clear();
    testing::writeBytes(f.dir.file("big.seem"), std::vector<uint8_t>(10001, 0x5A));
    EXPECT_FALSE(restoreSeemRecord(f.phone, f.dir.file("big.seem")));
    EXPECT_TRUE(f.api.calls.empty());
    EXPECT_EQ(f.prompter.prompts,
              (std::vector<Prompt>{{MessageIcon::Error, "Error",
                                    "Backup file is too large for SEEM 0032_0001: 10001 bytes, at most 10000"}}));
}

TEST(SeemRestore, WriteFailureAndMissingFile)
{
    Fixture f;
    testing::writeBytes(f.dir.file("r.seem"), {1});
    f.api.writeResult = -1;
    EXPECT_FALSE(restoreSeemRecord(f.phone, f.dir.file("r.seem")));
    EXPECT_EQ(f.prompter.prompts, (std::vector<Prompt>{kWriteError}));

    f.prompter.prompts.clear();
    f.api.calls.clear();
    EXPECT_FALSE(restoreSeemRecord(f.phone, f.dir.file("missing.seem")));
    EXPECT_TRUE(f.api.calls.empty());
    ASSERT_EQ(f.prompter.prompts.size(), 1u);
    EXPECT_EQ(f.prompter.prompts[0].caption, "Error");
}

TEST(SeemBackup, BackupThenRestoreRoundTrips)
{
    Fixture f;
    for (int i = 0; i < 300; ++i)
        f.api.record.push_back(static_cast<uint8_t>(i * 7));
    ASSERT_TRUE(backupSeemRecord(f.phone, f.dir.file("rt.seem")));
    ASSERT_TRUE(restoreSeemRecord(f.phone, f.dir.file("rt.seem")));
    EXPECT_EQ(f.api.written, f.api.record);
}

} // namespace
} // namespace tessaro
