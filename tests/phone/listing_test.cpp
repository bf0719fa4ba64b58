// Volume query, the three listing modes, the listing progress and the 512-byte entries.

#include "phone/listing.h"

#include <gtest/gtest.h>

#include "p2k/file_list_entry.h"
#include "p2k/no_phone.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

std::vector<std::string> paths(const Result<PhoneListing>& listing)
{
    std::vector<std::string> out;
    for (const auto& e : listing->files)
        out.push_back(e.path);
    return out;
}

std::vector<std::string> patterns(const VirtualPhoneRig& rig)
{
    std::vector<std::string> out;
    for (const auto& r : rig.api->requests())
        if (r.call == PhoneCall::FileCountEx)
            out.push_back(r.text);
    return out;
}

struct ListingRig : VirtualPhoneRig {
    std::vector<char> volumes;
    ListingRig() : VirtualPhoneRig(PhoneSpec{.volumes = "abce"})
    {
        connect();
        putPhoneFile("/a/mobile/picture/x.gif", patternBytes(300));
        putPhoneFile("/a/y.GIF", patternBytes(20));
        putPhoneFile("/a/z.txt", patternBytes(5));
        putPhoneFile("/c/w.gif", patternBytes(7));
        putPhoneFile("/c/p.png", patternBytes(9));
        putPhoneFile("/e/q.png", patternBytes(9));
    }
};

TEST(queryVolumes, LettersFromByte3OfEachRecord)
{
    ListingRig rig;
    const auto volumes = rig.phone().client.queryVolumes();
    ASSERT_TRUE(volumes);
    EXPECT_EQ(*volumes, (std::vector<char>{'a', 'b', 'c', 'e'}));
    const auto sent = rig.commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, (Bytes{0x00, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(sent[0].replyWanted, 128);
    EXPECT_EQ(sent[0].delivered, 24); // four 6-byte records
}

// A library whose answers are scripted, for replies the virtual phone never gives.
class Scripted : public NoPhone {
public:
    int P2K_SendCMD(uint16_t, const uint8_t*, int, uint8_t* reply, int* replyLength) override
    {
        for (int i = 0; i < *replyLength; ++i)
            reply[i] = uint8_t('a' + i % 26);
        *replyLength = delivered;
        return 0;
    }
    int File_CountEx(const std::string&) override { return count; }
    int File_ListEx(uint8_t* entries, int n, ProgressCallback) override
    {
        listed = n;
        std::copy(fill.begin(), fill.begin() + std::min<size_t>(fill.size(), size_t(n) * 512), entries);
        return 0;
    }
    int delivered = 0;
    int count = 0;
    int listed = 0;
    Bytes fill;
};

struct ScriptedRig {
    ScriptedRig() { link.connected = true; }
    Scripted api;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    PhoneContext phone{api, link, log, progress, prompter, "./"};
};

TEST(queryVolumes, ReplyLengthsTheLibraryGetsWrong)
{
    ScriptedRig rig;
    rig.api.delivered = 5000; // more than wanted: only 128 bytes count, 21 records
    auto volumes = rig.phone.client.queryVolumes();
    ASSERT_TRUE(volumes);
    EXPECT_EQ(volumes->size(), 21u);
    EXPECT_EQ((*volumes)[0], 'd'); // reply byte 3
    rig.api.delivered = 5;         // not one whole record
    volumes = rig.phone.client.queryVolumes();
    ASSERT_TRUE(volumes);
    EXPECT_TRUE(volumes->empty());
    rig.api.delivered = -7;
    volumes = rig.phone.client.queryVolumes();
    ASSERT_TRUE(volumes);
    EXPECT_TRUE(volumes->empty());
}

TEST(listIcons, ListsGifsOfEveryVolumeWithLogAndProgress)
{
    ListingRig rig;
    const auto listed = listIcons(rig.phone(), rig.volumes);
    ASSERT_TRUE(listed);

    EXPECT_EQ(patterns(rig), (Lines{"/a/*.gif", "/b/*.gif", "/c/*.gif", "/e/*.gif"}));
    EXPECT_EQ(paths(listed), (Lines{"/a/mobile/picture/x.gif", "/a/y.GIF", "/c/w.gif"}));
    EXPECT_EQ(listed->files[0], (PhoneFileEntry{300, 0, 0, "/a/mobile/picture/x.gif"}));
    EXPECT_EQ(rig.volumes, (std::vector<char>{'a', 'b', 'c', 'e'}));
    EXPECT_EQ(rig.logLines(), (Lines{"[GetIconList] Get volume info RC=0",
                                     "[GetIconList] FileCountEx  RC=2",
                                     "[ProgressProc] completion=2 of 2",
                                     "[GetIconList] FileListEx  RC=0",
                                     "[GetIconList] FileCountEx  RC=0",
                                     "[GetIconList] FileCountEx  RC=1",
                                     "[ProgressProc] completion=1 of 1",
                                     "[GetIconList] FileListEx  RC=0",
                                     "[GetIconList] FileCountEx  RC=0"}));
    EXPECT_EQ(rig.progress.events(), (Lines{"open",
                                            "bar1 0", "caption Retrieving picture list from volume /a/",
                                            "caption 100% Retrieving picture list from volume /a/", "bar1 100",
                                            "bar1 0", "caption Retrieving picture list from volume /c/",
                                            "caption 100% Retrieving picture list from volume /c/", "bar1 100",
                                            "close"}));
}

TEST(listAllFiles, ListsEveryFileAndLogsWithTwoSpaces)
{
    ListingRig rig;
    const auto listed = listAllFiles(rig.phone(), rig.volumes);
    ASSERT_TRUE(listed);
    EXPECT_EQ(patterns(rig), (Lines{"/a/*", "/b/*", "/c/*", "/e/*"}));
    EXPECT_EQ(paths(listed), (Lines{"/a/mobile/picture/x.gif", "/a/y.GIF", "/a/z.txt", "/c/p.png",
                                         "/c/w.gif", "/e/q.png"}));
    EXPECT_EQ(rig.logLines()[0], "[GetFileList] Get volume info  RC=0");
    EXPECT_EQ(rig.progress.captions()[0], "Retrieving file list from volume /a/");
}

TEST(listAllFiles, KnownVolumesAreNotQueriedAgain)
{
    ListingRig rig;
    rig.volumes = {'c'};
    const auto listed = listAllFiles(rig.phone(), rig.volumes);
    ASSERT_TRUE(listed);
    EXPECT_TRUE(rig.commands().empty());
    EXPECT_EQ(paths(listed), (Lines{"/c/p.png", "/c/w.gif"}));
}

TEST(listAllFiles, ARefusedCountOrListingEndsTheListingWithItsMessage)
{
    for (const PhoneCall refused : {PhoneCall::FileCountEx, PhoneCall::FileListEx}) {
        ListingRig rig;
        // Volume a lists, c is refused: e is not asked for.
        rig.api->addTrap(refused, refused == PhoneCall::FileCountEx ? 3 : 2, RecordingPhone::TrapAction::Fail);
        EXPECT_EQ(listAllFiles(rig.phone(), rig.volumes).error(), "Error getting the file list of volume /c");
        EXPECT_EQ(patterns(rig), (Lines{"/a/*", "/b/*", "/c/*"}));
    }
}

TEST(listIcons, FailedVolumeQueryEndsWithItsMessage)
{
    ListingRig rig;
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail);
    const auto listed = listIcons(rig.phone(), rig.volumes);
    EXPECT_EQ(listed.error(), "Error getting volume info");
    EXPECT_EQ(listed.failure().caption, "");
    EXPECT_EQ(rig.logLines(), (Lines{"[GetIconList] Get volume info RC=-1"}));
    EXPECT_EQ(rig.progress.opened(), 0);
}

TEST(Listings, DoNothingWhileDisconnected)
{
    ListingRig rig;
    rig.link.connected = false;
    EXPECT_EQ(listIcons(rig.phone(), rig.volumes).failure().kind, ErrorKind::PhoneGone);
    EXPECT_EQ(listAllFiles(rig.phone(), rig.volumes).failure().kind, ErrorKind::PhoneGone);
    EXPECT_EQ(listMatchingFiles(rig.phone(), "a", "").failure().kind, ErrorKind::PhoneGone);
    EXPECT_TRUE(rig.api->requests().empty());
}

TEST(listMatchingFiles, PatternsFromTheMaskWithoutAVolumeQuery)
{
    ListingRig rig;
    const auto listed = listMatchingFiles(rig.phone(), "ac", ".png");
    ASSERT_TRUE(listed);
    EXPECT_EQ(patterns(rig), (Lines{"/a/*.png", "/c/*.png"}));
    EXPECT_EQ(paths(listed), Lines{"/c/p.png"});
    EXPECT_TRUE(rig.commands().empty());
    EXPECT_EQ(rig.logLines()[0], "[GetMaskedList] FileCountEx  RC=0");
    EXPECT_EQ(rig.progress.captions()[0], "Retrieving file list from volume /c/");

    rig.api->clearRequests();
    const auto all = listMatchingFiles(rig.phone(), "ac", "");
    ASSERT_TRUE(all);
    EXPECT_EQ(patterns(rig), (Lines{"/a/*", "/c/*"}));
    EXPECT_EQ(all->files.size(), 5u);
}

TEST(reportListingProgress, CaptionLeadsWithThePercentage)
{
    RecordingProgress window;
    const std::string label = "Retrieving file list from volume /a/";
    reportListingProgress(window, label, 1, 8); // 12.5% -> 12
    reportListingProgress(window, label, 1, 8); // same caption: not redrawn
    reportListingProgress(window, label, 3, 8); // 37.5% -> 38
    reportListingProgress(window, label, 0, 0); // nothing to list counts as done
    EXPECT_EQ(window.events(), (Lines{"caption 12% Retrieving file list from volume /a/", "bar1 12", "bar1 12",
                                      "caption 38% Retrieving file list from volume /a/", "bar1 38",
                                      "caption 100% Retrieving file list from volume /a/", "bar1 100"}));
}

TEST(listAllFiles, ProgressArrivesInPackets)
{
    ListingRig rig;
    for (int i = 0; i < 20; ++i)
        rig.putPhoneFile("/b/f" + std::to_string(100 + i), {1});
    ASSERT_TRUE(listMatchingFiles(rig.phone(), "b", ""));
    EXPECT_EQ(rig.logLines(), (Lines{"[GetMaskedList] FileCountEx  RC=20", "[ProgressProc] completion=8 of 20",
                                     "[ProgressProc] completion=16 of 20", "[ProgressProc] completion=20 of 20",
                                     "[GetMaskedList] FileListEx  RC=0"}));
    EXPECT_EQ(rig.progress.captions()[1], "40% Retrieving file list from volume /b/");
}

TEST(Listings, ShortLongAndGarbledListsStayInBounds)
{
    ScriptedRig rig;
    // The count says 3, the library fills one entry: the unfilled ones are not listed.
    PhoneFileEntry one{5, 0, 4, "/a/one"};
    rig.api.fill.resize(512);
    renderFileListEntry(one, std::span<uint8_t, 512>(rig.api.fill.data(), 512));
    rig.api.count = 3;
    auto listed = listMatchingFiles(rig.phone, "a", "");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->files, std::vector<PhoneFileEntry>{one});

    // A path without its ending 0 stops at the end of the entry.
    rig.api.fill.assign(1024, 'x');
    rig.api.count = 2;
    listed = listMatchingFiles(rig.phone, "a", "");
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->files.size(), 2u);
    EXPECT_EQ(listed->files[0].path, std::string(504, 'x'));
    EXPECT_EQ(listed->files[0].size, 0x78787878u);

    // A count beyond belief is cut to what one volume may hold.
    rig.api.count = 1'000'000'000;
    rig.api.fill.clear();
    listed = listMatchingFiles(rig.phone, "a", "");
    ASSERT_TRUE(listed);
    EXPECT_EQ(rig.api.listed, 32768);
    EXPECT_TRUE(listed->files.empty());
}

// ---- the 512-byte entry -----------------------------------------------------------------

TEST(FileListEntry, ParseAndRender)
{
    Bytes entry(512, 0);
    const Bytes head = {0x34, 0x12, 0x00, 0x00, // size 0x1234, little-endian
                        0xAA, 0xBB,             // not read
                        0x05, 0x00,             // attributes: read-only, system
                        '/', 'a', '/', 'x'};    // the path, then 0 bytes
    std::copy(head.begin(), head.end(), entry.begin());

    const PhoneFileEntry parsed = parseFileListEntry(entry);
    EXPECT_EQ(parsed, (PhoneFileEntry{0x1234, 0xBBAA, 5, "/a/x"}));

    Bytes rendered(512, 0xEE);
    renderFileListEntry(parsed, std::span<uint8_t, 512>(rendered.data(), 512));
    EXPECT_EQ(rendered, entry);

    // A short entry reads as if zero-filled; an overlong path is cut to 503 bytes.
    EXPECT_EQ(parseFileListEntry(std::span<const uint8_t>(entry.data(), 10)), (PhoneFileEntry{0x1234, 0xBBAA, 5, "/a"}));
    renderFileListEntry({1, 0, 0, std::string(600, 'p')}, std::span<uint8_t, 512>(rendered.data(), 512));
    EXPECT_EQ(parseFileListEntry(rendered).path, std::string(503, 'p'));
}

TEST(FileListEntry, AttributeLetters)
{
    EXPECT_EQ(attributeLetters(0), "[]");
    EXPECT_EQ(attributeLetters(1), "[R]");
    EXPECT_EQ(attributeLetters(5), "[RS]");
    EXPECT_EQ(attributeLetters(7), "[RHS]");
}


TEST(listAllFiles, CancelStopsAfterTheVolumeInProgress)
{
    ListingRig rig;
    // Cancel is pressed while volume a is listed (its bar goes to 0, then to 100).
    rig.progress.cancelAfterBars(2);
    const auto listed = listAllFiles(rig.phone(), rig.volumes);
    ASSERT_TRUE(listed);
    EXPECT_TRUE(listed->cancelled);
    EXPECT_EQ(patterns(rig), (Lines{"/a/*"}));
    EXPECT_EQ(paths(listed), (Lines{"/a/mobile/picture/x.gif", "/a/y.GIF", "/a/z.txt"}));
    EXPECT_EQ(rig.logLines().back(), "[GetFileList] Listing cancelled");
    EXPECT_TRUE(rig.prompter.prompts.empty());
    EXPECT_EQ(rig.progress.alive(), 0);
}

} // namespace
} // namespace tessaro::testing
