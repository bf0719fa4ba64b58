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

TEST(SeemBackup, WritesExactlyTheBytesDelivered)
{
    Fixture f;
    f.api.record = {0x01, 0x02, 0x00, 0xFF, 0x7E};   // far less than the 10000-byte buffer
    const std::string file = f.dir.file("0032_0001.seem");
    testing::writeBytes(file, std::vector<uint8_t>(50, 0xAA));   // replaced, not overwritten
    EXPECT_TRUE(backupSeemRecord(f.phone, file));
    EXPECT_EQ(f.api.calls, (std::vector<std::string>{"Seem_Read 50 1 0 0"}));
    EXPECT_EQ(testing::readBytes(file), f.api.record);
}

TEST(SeemBackup, FailuresLeaveTheFileAlone)
{
    struct Case {
        const char* name;
        int readResult;
        bool overrideCount;
        std::string file;
        std::string caption;
        std::string error;   // empty: only the caption is checked (a file error's words)
    };
    const std::vector<Case> cases = {
        {"read fails", -1, false, "old.seem", "P2K Error", "Error reading SEEM"},
        // A count beyond the buffer cannot be a record the phone delivered.
        {"count too large", kSeemBufferSize + 1, true, "old.seem", "P2K Error", "Error reading SEEM"},
        {"no folder", 0, false, "no/such/folder/x.seem", "", ""},   // a file error: the window words it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.api.record = {1, 2, 3};
        f.api.readResult = c.readResult;
        f.api.overrideCount = c.overrideCount;
        testing::writeBytes(f.dir.file("old.seem"), {9, 9, 9});
        const Status saved = backupSeemRecord(f.phone, f.dir.file(c.file));
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.failure().caption, c.caption);
        if (!c.error.empty()) {
            EXPECT_EQ(saved.error(), c.error);
        }
        EXPECT_EQ(testing::readBytes(f.dir.file("old.seem")), (std::vector<uint8_t>{9, 9, 9}));
        EXPECT_TRUE(f.prompter.prompts.empty());
    }
}

TEST(SeemBackup, NothingHappensUnpluggedOrCancelled)
{
    Fixture f;
    EXPECT_TRUE(backupSeemRecord(f.phone, "").cancelled());
    EXPECT_TRUE(restoreSeemRecord(f.phone, "").cancelled());
    f.link.connected = false;
    testing::writeBytes(f.dir.file("r.seem"), {1, 2});
    EXPECT_EQ(backupSeemRecord(f.phone, f.dir.file("b.seem")).failure().kind, ErrorKind::PhoneGone);
    EXPECT_EQ(restoreSeemRecord(f.phone, f.dir.file("r.seem")).failure().kind, ErrorKind::PhoneGone);
    EXPECT_TRUE(f.api.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("b.seem")));
}

TEST(SeemRestore, SendsOnlyABackupOfTheRecordsSize)
{
    struct Case {
        const char* name;
        size_t fileSize;     // the phone's record holds 300 bytes
        std::string error;   // empty: sent
    };
    const std::vector<Case> cases = {
        {"same size", 300, ""},
        {"empty", 0, "Backup file does not fit SEEM 0032_0001: 0 bytes, the phone's record has 300"},
        {"cut", 299, "Backup file does not fit SEEM 0032_0001: 299 bytes, the phone's record has 300"},
        {"longer", 301, "Backup file does not fit SEEM 0032_0001: 301 bytes, the phone's record has 300"},
        {"beyond the buffer", 10001, "Backup file is too large for SEEM 0032_0001: 10001 bytes, at most 10000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.api.record.assign(300, 0x11);
        const std::vector<uint8_t> bytes(c.fileSize, 0x5A);
        testing::writeBytes(f.dir.file("r.seem"), bytes);
        const Status restored = restoreSeemRecord(f.phone, f.dir.file("r.seem"));
        EXPECT_EQ(restored.error(), c.error);
        if (c.error.empty()) {
            EXPECT_EQ(f.api.calls, (std::vector<std::string>{"Seem_Read 50 1 0 0", "Seem_Write 50 1 0 300"}));
            EXPECT_EQ(f.api.written, bytes);
        } else {
            EXPECT_EQ(restored.failure().kind, ErrorKind::Refused);
            EXPECT_EQ(f.api.writtenCount, -2);   // nothing sent
        }
    }
}

TEST(SeemRestore, WriteFailureAndMissingFile)
{
    Fixture f;
    f.api.record = {7};
    testing::writeBytes(f.dir.file("r.seem"), {1});
    f.api.writeResult = -1;
    const Status failed = restoreSeemRecord(f.phone, f.dir.file("r.seem"));
    EXPECT_EQ(failed.error(), "Error writing SEEM");
    EXPECT_EQ(failed.failure().caption, "P2K Error");

    f.api.calls.clear();
    const Status missing = restoreSeemRecord(f.phone, f.dir.file("missing.seem"));
    EXPECT_EQ(missing.failure().kind, ErrorKind::Io);
    EXPECT_TRUE(f.api.calls.empty());
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
