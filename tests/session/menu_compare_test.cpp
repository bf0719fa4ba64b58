// Compare: the open menu against a file of either kind finds no change where there is none.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/open_menu.h"
#include "p2k/no_phone.h"
#include "session/editor_session.h"
#include "session/menu_session.h"
#include "session/session_questions.h"
#include "support/menu_builder.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

// Says yes to everything; comparing asks nothing.
struct AgreeingQuestions : SessionQuestions {
    UnsavedChoice saveChangesFirst() override { return UnsavedChoice::Discard; }
    bool overwriteChangedFile(const std::string&) override { return true; }
    bool replaceReadOnlyFile(const std::string&) override { return true; }
    bool leaveOutUnknownRecords(size_t) override { return true; }
    bool replaceProfile(const std::string&) override { return true; }
    bool patchJavaTables() override { return true; }
    bool writeOverPhoneMenu(const std::vector<std::string>&) override { return true; }
    bool sendWithMissingIcons(const std::vector<std::string>&, const std::vector<std::string>&) override
    {
        return true;
    }
    bool putBackPhoneMenu(const std::string&) override { return true; }
    bool putBackInterruptedUpload(const std::string&, const std::string&) override { return true; }
};

TEST(MenuCompare, TheOpenMenuEqualsItsOwnFileAndTextWhateverItsSaveAll)
{
    for (const bool saveAll : {false, true}) {
        testing::TempDir dir;
        testing::RecordingPrompter prompter;
        testing::RecordingProgressFactory progress;
        EditorSession session(dir.path().string(), PhoneBackend{std::make_unique<NoPhone>()}, prompter, progress);
        ASSERT_TRUE(session.startUp().ok());
        AgreeingQuestions questions;
        MenuSession menu(session, questions);
        testing::writeBytes(dir.file("mma_ucp"), testing::richFile(36, ByteOrder::Big, false, 12, true));
        ASSERT_TRUE(menu.openFile(dir.file("mma_ucp")).ok());
        session.menu.saveMode.setSaveAll(saveAll);
        ASSERT_TRUE(menu.exportText(dir.file("menu.json")).ok());
        // Without "save all" a saved copy lacks the records of unknown kinds: a real change.
        std::vector<std::string> files = {"mma_ucp", "menu.json"};
        if (saveAll) {
            ASSERT_TRUE(menu.saveAs(dir.file("copy")).ok());
            files.push_back("copy");
        }
        for (const std::string& file : files) {
            const auto changes = menu.changesFrom(dir.file(file));
            ASSERT_TRUE(changes.ok()) << file << ": " << changes.error();
            EXPECT_EQ(changes.value(), std::vector<std::string>{}) << file << ", save all " << saveAll;
        }
    }
}

} // namespace
} // namespace tessaro
