// The record of uploads that left a phone file cut: its lines, what it refuses to read, and
// how uploads are added and taken out.

#include "phone/interrupted_uploads.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

#include "support/temp_dir.h"

namespace tessaro {

// Failures show an upload as its fields.
void PrintTo(const InterruptedUpload& upload, std::ostream* out)
{
    *out << "{" << upload.phone << ", " << upload.path << ", " << upload.backup << ", " << upload.attributes << "}";
}

} // namespace tessaro

namespace tessaro::testing {
namespace {

using Uploads = std::vector<InterruptedUpload>;

struct RecordRig {
    RecordRig() { std::filesystem::create_directories(temp.path() / "Backups"); }
    std::string folder() const { return (temp.path() / "").string(); }
    std::string recordFile() const { return folder() + "Backups/interrupted-uploads.txt"; }
    std::string backups(const std::string& phone) const { return folder() + "Backups/" + phone + "/a/mobile/"; }

    TempDir temp;
    InterruptedUploads record{folder()};
};

TEST(InterruptedUploads, PathsOfAnyByteAreWrittenSoThatTheyReadBack)
{
    RecordRig rig;
    // Tab, line end, '%' and 8-bit bytes would break a line or be read as an escape.
    const std::string path = "/a/mobile/\xE9t\xE9 100%\t\n.gif";
    const InterruptedUpload upload{"351234567890123", path,
                                   rig.backups("351234567890123") + "\xE9t\xE9 100%\t\n.gif.20261207-174501-2", 5};
    ASSERT_TRUE(rig.record.remember(upload));
    EXPECT_EQ(readText(rig.recordFile()),
              "351234567890123\t20261207-174501-2\t5\t/a/mobile/%E9t%E9 100%25%09%0A.gif\n");
    EXPECT_EQ(rig.record.all(), Uploads{upload});
}

TEST(InterruptedUploads, LinesThatDoNotReadAsAnUploadAreLeftOut)
{
    struct Case {
        const char* name;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"a phone folder that leaves Backups", "../x\t20261207-174501\t0\t/a/mobile/f"},
        {"no time stamp", "351234567890123\tnotes\t0\t/a/mobile/f"},
        {"a stamp with a folder in it", "351234567890123\t20261207-174501/x\t0\t/a/mobile/f"},
        {"bits that are no number", "351234567890123\t20261207-174501\t4x\t/a/mobile/f"},
        {"bits over 16", "351234567890123\t20261207-174501\t65536\t/a/mobile/f"},
        {"a path that is not absolute", "351234567890123\t20261207-174501\t0\ta/mobile/f"},
        {"a path that is a folder", "351234567890123\t20261207-174501\t0\t/a/mobile/"},
        {"an escape cut short", "351234567890123\t20261207-174501\t0\t/a/mobile/f%4"},
        {"an escape that is no number", "351234567890123\t20261207-174501\t0\t/a/mobile/f%G1"},
        {"a raw control byte", "351234567890123\t20261207-174501\t0\t/a/mo\x01"
                               "bile/f"},
        {"a field too many", "351234567890123\t20261207-174501\t0\t/a/mobile/f\tmore"},
        {"a field too few", "351234567890123\t20261207-174501\t/a/mobile/f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordRig rig;
        writeText(rig.recordFile(), c.line + "\nunknown\t20261207-174501\t4\t/a/mobile/f\n");
        EXPECT_EQ(rig.record.all(),
                  (Uploads{{"unknown", "/a/mobile/f", rig.backups("unknown") + "f.20261207-174501", 4}}));
    }
}

TEST(InterruptedUploads, OnePerPhoneAndPathTheFirstStays)
{
    RecordRig rig;
    const std::string phone = "351234567890123";
    const InterruptedUpload first{phone, "/a/mobile/f", rig.backups(phone) + "f.20261207-174501", 4};
    const InterruptedUpload later{phone, "/a/mobile/f", rig.backups(phone) + "f.20261207-180000", 0};
    const InterruptedUpload other{phone, "/a/mobile/g", rig.backups(phone) + "g.20261207-174501", 0};
    const InterruptedUpload unknown{"unknown", "/a/mobile/f", rig.backups("unknown") + "f.20261207-174501", 1};
    for (const InterruptedUpload& upload : {first, later, other, unknown})
        ASSERT_TRUE(rig.record.remember(upload));
    // The later backup holds the file as the first upload had cut it.
    EXPECT_EQ(rig.record.all(), (Uploads{first, other, unknown}));
    EXPECT_EQ(rig.record.ofPhone(phone), (Uploads{first, other}));
    // A phone whose IMEI is not known could be any phone: nothing is offered for it.
    EXPECT_TRUE(rig.record.ofPhone("").empty());
    EXPECT_EQ(rig.record.find("", "/a/mobile/f"), unknown);
    EXPECT_EQ(rig.record.find(phone, "/a/mobile/h"), std::nullopt);

    ASSERT_TRUE(rig.record.forget(phone, "/a/mobile/f"));
    EXPECT_EQ(rig.record.all(), (Uploads{other, unknown}));
    // Nothing to take out writes nothing.
    const auto written = std::filesystem::last_write_time(rig.recordFile());
    std::filesystem::last_write_time(rig.recordFile(), written - std::chrono::hours(1));
    ASSERT_TRUE(rig.record.forget(phone, "/a/mobile/f"));
    EXPECT_EQ(std::filesystem::last_write_time(rig.recordFile()), written - std::chrono::hours(1));
}

} // namespace
} // namespace tessaro::testing
