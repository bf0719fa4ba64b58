// A phone connecting whose files an earlier upload left cut: each is offered back once the
// connection sequence knows who the phone is, and put back on yes.

#include "session/upload_recovery.h"

#include <gtest/gtest.h>

#include <ostream>

#include "p2k/virtual_phone.h"
#include "phone/interrupted_uploads.h"
#include "session/editor_session.h"
#include "session/session_questions.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/virtual_phone_rig.h"

namespace tessaro {

// Failures show a notice as its words.
void PrintTo(const Notice& notice, std::ostream* out)
{
    *out << "{" << int(notice.icon) << ", " << notice.caption << ", " << notice.text << "}";
}

} // namespace tessaro

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

// Asks only about interrupted uploads: answers them in turn and keeps what it was asked.
struct PutBackQuestions : SessionQuestions {
    UnsavedChoice saveChangesFirst() override { return UnsavedChoice::Cancel; }
    bool overwriteChangedFile(const std::string&) override { return false; }
    bool replaceReadOnlyFile(const std::string&) override { return false; }
    bool leaveOutUnknownRecords(size_t) override { return false; }
    bool replaceProfile(const std::string&) override { return false; }
    bool patchJavaTables() override { return false; }
    bool writeOverPhoneMenu(const std::vector<std::string>&) override { return false; }
    bool sendWithMissingIcons(const std::vector<std::string>&, const std::vector<std::string>&) override
    {
        return false;
    }
    bool putBackPhoneMenu(const std::string&) override { return false; }
    bool putBackInterruptedUpload(const std::string& path, const std::string& backup) override
    {
        asked.push_back(path + " from " + backup);
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return yes;
    }

    std::vector<bool> answers;
    std::vector<std::string> asked;
};

TEST(offerInterruptedUploads, WhenThatPhoneConnectsItsCutFilesAreOfferedBack)
{
    TempDir dir;
    const PhoneSpec spec;
    makePhoneFolder(dir.path() / "phone", spec);
    const fs::path pc = dir.path() / "pc";
    const std::string backups = (pc / "Backups" / spec.imei / "a" / "mobile").string() + "/";
    fs::create_directories(backups);
    fs::create_directories(dir.path() / "phone" / "a" / "mobile");
    // Two files this phone was left with, cut, and one of another phone.
    writeBytes(dir.path() / "phone" / "a" / "mobile" / "f.gif", patternBytes(1024));
    writeBytes(dir.path() / "phone" / "a" / "mobile" / "g.gif", patternBytes(10));
    writeBytes(backups + "f.gif.20261207-174501", patternBytes(3000));
    writeBytes(backups + "g.gif.20261207-174502", patternBytes(20));
    writeText(pc / "Backups" / "interrupted-uploads.txt",
              spec.imei + "\t20261207-174501\t2\t/a/mobile/f.gif\n" + spec.imei
                  + "\t20261207-174502\t0\t/a/mobile/g.gif\n"
                  + "351234567890123\t20261207-174501\t0\t/a/mobile/f.gif\n");

    RecordingPrompter prompter;
    RecordingProgressFactory progress;
    auto backend = makePhoneBackend({PhoneBackendChoice::Kind::Virtual, (dir.path() / "phone").string()});
    ASSERT_TRUE(backend.ok()) << backend.error();
    EditorSession session(pc.string(), std::move(backend).value(), prompter, progress);
    PutBackQuestions questions;
    questions.answers = {true, false};
    PhoneLinkView view;
    std::vector<Notice> told;
    int offers = 0;
    session.startPhone(view, nullptr, {}, false, [&] {
        ++offers;
        // The identity is known by now.
        EXPECT_EQ(session.link.imei, spec.imei);
        told = offerInterruptedUploads(session.phone, questions);
    });
    session.virtualPhone->plug();

    EXPECT_EQ(offers, 1);
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"/a/mobile/f.gif from " + backups + "f.gif.20261207-174501",
                                                         "/a/mobile/g.gif from " + backups + "g.gif.20261207-174502"}));
    EXPECT_EQ(told, (std::vector<Notice>{
                        {MessageIcon::Information, "", "The phone's previous file was put back: /a/mobile/f.gif"}}));
    EXPECT_EQ(readBytes(dir.path() / "phone" / "a" / "mobile" / "f.gif"), patternBytes(3000));
    EXPECT_EQ(readBytes(dir.path() / "phone" / "a" / "mobile" / "g.gif"), patternBytes(10));
    const auto folder = PhoneFolder::open(dir.path() / "phone");
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(folder->attributes("/a/mobile/f.gif"), 2);
    // What was said No to stays for the next time, and so does the other phone's.
    const std::vector<InterruptedUpload> left = InterruptedUploads(pc.string() + "/").all();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].path, "/a/mobile/g.gif");
    EXPECT_EQ(left[1].phone, "351234567890123");
}

} // namespace
} // namespace tessaro::testing
