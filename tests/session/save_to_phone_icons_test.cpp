// Save to phone names the icons of the menu that the phone does not have, and sends nothing
// when the user stops there.
#include <gtest/gtest.h>

#include "p2k/virtual_phone.h"
#include "session/editor_session.h"
#include "session/menu_session.h"
#include "session/session_questions.h"
#include "support/menu_builder.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/virtual_phone_rig.h"

namespace tessaro {
namespace {

// Records the missing icons it is shown and answers `send`.
struct MissingIconsQuestions : SessionQuestions {
    UnsavedChoice saveChangesFirst() override { return UnsavedChoice::Discard; }
    bool overwriteChangedFile(const std::string&) override { return true; }
    bool replaceReadOnlyFile(const std::string&) override { return true; }
    bool leaveOutUnknownRecords(size_t) override { return true; }
    bool replaceProfile(const std::string&) override { return true; }
    bool patchJavaTables() override { return false; }
    bool writeOverPhoneMenu(const std::vector<std::string>&) override { return true; }
    bool sendWithMissingIcons(const std::vector<std::string>& changes,
                              const std::vector<std::string>& missingIcons) override
    {
        shownChanges = changes;
        shown = missingIcons;
        return send;
    }
    bool putBackPhoneMenu(const std::string&) override { return false; }
    bool putBackInterruptedUpload(const std::string&, const std::string&) override { return false; }

    std::vector<std::string> shownChanges;
    std::vector<std::string> shown;
    bool send = false;
};

TEST(SaveToPhoneIcons, NamesTheIconsThePhoneLacksBeforeSending)
{
    testing::TempDir dir;
    const auto phoneDir = dir.path() / "phone";
    testing::makePhoneFolder(phoneDir);
    testing::MenuBuilder built;
    built.add(testing::MenuBuilder::kRoot, "Games", 0,
              testing::iconRecord(12, 3, u"/a/mobile/picture/gone.gif", ByteOrder::Big));
    const std::vector<uint8_t> menuBytes = built.bytes();
    testing::writeBytes(dir.file("mma_ucp"), menuBytes);
    std::filesystem::create_directories(phoneDir / "a/mobile/system");
    testing::writeBytes(phoneDir / "a/mobile/system/mma_ucp", menuBytes);

    testing::RecordingPrompter prompter;
    testing::RecordingProgressFactory progress;
    PhoneBackendChoice choice{PhoneBackendChoice::Kind::Virtual, phoneDir.string()};
    EditorSession session((dir.path() / "pc").string(), makePhoneBackend(choice).value(), prompter, progress);
    ASSERT_TRUE(session.startUp().ok());
    PhoneLinkView view;
    ASSERT_TRUE(session
                    .startPhone(
                        view, nullptr, [](const std::string&) {}, false)
                    .library.ok());
    session.virtualPhone->plug();
    ASSERT_TRUE(session.link.connected);
    MissingIconsQuestions questions;
    MenuSession menu(session, questions);
    ASSERT_TRUE(menu.openFile(dir.file("mma_ucp")).ok());

    const Status stopped = menu.saveToPhone();
    ASSERT_FALSE(stopped.ok());
    EXPECT_TRUE(stopped.failure().cancelled());
    EXPECT_EQ(questions.shownChanges, std::vector<std::string>{});
    EXPECT_EQ(questions.shown,
              std::vector<std::string>{"Games: static icon: /a/mobile/picture/gone.gif is not on the phone"});

    // With the picture on the phone nothing is asked.
    std::filesystem::create_directories(phoneDir / "a/mobile/picture");
    testing::writeBytes(phoneDir / "a/mobile/picture/gone.gif", {'G', 'I', 'F', '8', '9', 'a'});
    questions.shown.clear();
    EXPECT_TRUE(menu.saveToPhone().ok());
    EXPECT_EQ(questions.shown, std::vector<std::string>{});
}

} // namespace
} // namespace tessaro
