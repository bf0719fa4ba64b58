// The open menu's life: which file Save writes, what a failed command leaves, and the questions
// a save asks before it writes over another program's change or a read-only file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/menu_description.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "edit/tree_edit.h"
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

using testing::MenuBuilder;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using testing::writeText;

// Answers every question from its fields and records which were asked.
struct RecordingQuestions : SessionQuestions {
    UnsavedChoice saveChangesFirst() override { return asked("save changes"), unsaved; }
    bool overwriteChangedFile(const std::string&) override { return asked("changed on disk"), yes; }
    bool replaceReadOnlyFile(const std::string&) override { return asked("read-only"), yes; }
    bool leaveOutUnknownRecords(size_t) override { return asked("left out"), yes; }
    bool replaceProfile(const std::string&) override { return asked("profile"), yes; }
    bool patchJavaTables() override { return asked("patch"), yes; }
    bool writeOverPhoneMenu(const std::vector<std::string>&) override { return asked("phone changes"), yes; }
    bool sendWithMissingIcons(const std::vector<std::string>&, const std::vector<std::string>&) override
    {
        return asked("missing icons"), yes;
    }
    bool putBackPhoneMenu(const std::string&) override { return asked("put back"), yes; }
    bool putBackInterruptedUpload(const std::string& path, const std::string&) override
    {
        return asked("put back " + path), yes;
    }

    void asked(const std::string& question) { questions.push_back(question); }
    bool yes = true;
    UnsavedChoice unsaved = UnsavedChoice::Cancel;
    std::vector<std::string> questions;
};

class MenuSessionTest : public ::testing::Test {
protected:
    MenuSessionTest() : session(dir.path().string(), PhoneBackend{std::make_unique<NoPhone>()}, prompter, progress)
    {
        EXPECT_TRUE(session.startUp().ok());
    }

    // An mma_ucp file with the given main menu items.
    std::string menuFile(const std::string& name, const std::vector<std::string>& items)
    {
        MenuBuilder builder;
        for (const std::string& item : items)
            builder.add(MenuBuilder::kRoot, item);
        const std::string path = dir.file(name);
        writeBytes(path, builder.bytes());
        return path;
    }

    std::vector<std::string> mainMenu() const
    {
        std::vector<std::string> names;
        if (const MenuNode* root = session.menu.document.menuRoot())
            for (const auto& child : root->children())
                names.push_back(child->item.name);
        return names;
    }

    TempDir dir;
    testing::RecordingPrompter prompter;
    testing::RecordingProgressFactory progress;
    EditorSession session;
    RecordingQuestions questions;
    MenuSession menu{session, questions};
};

TEST_F(MenuSessionTest, AFailedCommandLeavesTheMenuItsFileAndItsHistory)
{
    const std::string good = menuFile("good", {"PhoneBook", "Message"});
    writeText(dir.file("no menu"), "hello");
    writeText(dir.file("bad.json"), "{\"format\": 1");
    const std::vector<std::pair<const char*, std::function<bool(MenuSession&)>>> failures = {
        {"open a missing file", [&](MenuSession& m) { return m.openFile(dir.file("missing")).ok(); }},
        {"open a file that is no menu", [&](MenuSession& m) { return m.openFile(dir.file("no menu")).ok(); }},
        {"import a broken menu text", [&](MenuSession& m) { return m.importText(dir.file("bad.json")).ok(); }},
        {"open from an absent phone", [&](MenuSession& m) { return m.openFromPhone().ok(); }},
    };
    for (const auto& [what, command] : failures) {
        ASSERT_TRUE(menu.openFile(good).ok());
        menu.document().change(undo_step::DeleteItem, {}, [&] {
            return deleteSubtree(session.menu.document, session.menu.document.menuRoot()->children().front().get());
        });
        EXPECT_FALSE(command(menu)) << what;
        EXPECT_EQ(mainMenu(), std::vector<std::string>{"Message"}) << what;
        EXPECT_TRUE(menu.document().history().canUndo()) << what;
        EXPECT_TRUE(menu.document().isModified()) << what;
        EXPECT_EQ(menu.origin(), MenuOrigin::File) << what;
        EXPECT_EQ(menu.filePath(), good) << what;
    }
}

TEST_F(MenuSessionTest, SaveWritesWhereTheMenuCameFromOrAsksForAName)
{
    const std::string file = menuFile("mma_ucp", {"PhoneBook"});
    const std::string text = dir.file("menu.json");
    ASSERT_TRUE(menu.openFile(file).ok());
    writeText(text, menuTextOf(describeMenu(session.menu.document, session.menu.saveMode)));
    struct Case {
        const char* what;
        std::function<bool()> command;
        MenuOrigin origin;
        std::string savesTo; // empty: Save asks for a name
    };
    const std::vector<Case> cases = {
        {"open", [&] { return menu.openFile(file).ok(); }, MenuOrigin::File, file},
        {"import", [&] { return menu.importText(text).ok(); }, MenuOrigin::Text, ""},
        {"save as", [&] { return menu.saveAs(dir.file("saved")).ok(); }, MenuOrigin::File, dir.file("saved")},
        {"new", [&] { return menu.newMenu(), true; }, MenuOrigin::New, ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.command()) << c.what;
        EXPECT_EQ(menu.origin(), c.origin) << c.what;
        EXPECT_EQ(menu.filePath(), c.savesTo) << c.what;
    }
    // With no file, Save writes nothing anywhere.
    EXPECT_EQ(menu.save().failure().kind, ErrorKind::NotFound);
}

TEST_F(MenuSessionTest, SaveOverItsOwnFileAsksBeforeWritingOverAnotherProgramsChange)
{
    const std::string file = menuFile("mma_ucp", {"PhoneBook"});
    ASSERT_TRUE(menu.openFile(file).ok());
    const std::vector<uint8_t> theirs = readBytes(menuFile("mma_ucp", {"Message"}));

    questions.yes = false;
    EXPECT_TRUE(menu.save().cancelled());
    EXPECT_EQ(readBytes(file), theirs);
    EXPECT_EQ(questions.questions, std::vector<std::string>{"changed on disk"});

    // Touched only: the same bytes, no question.
    questions.questions.clear();
    questions.yes = true;
    ASSERT_TRUE(menu.save().ok());
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
    ASSERT_TRUE(menu.save().ok());
    EXPECT_EQ(questions.questions, std::vector<std::string>{"changed on disk"});
    EXPECT_NE(readBytes(file), theirs);
}

TEST_F(MenuSessionTest, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysSo)
{
    menu.newMenu();
    const std::string file = menuFile("locked", {"PhoneBook"});
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    questions.yes = false;
    EXPECT_TRUE(menu.saveAs(file).cancelled());
    EXPECT_EQ(questions.questions, std::vector<std::string>{"read-only"});
    questions.yes = true;
    EXPECT_TRUE(menu.saveAs(file).ok());
    EXPECT_EQ(menu.filePath(), file);
}

TEST_F(MenuSessionTest, AChangeThatStartsInsideAnotherIsRefused)
{
    menu.newMenu();
    DocumentController& document = menu.document();
    const auto nested = [&] {
        document.change(undo_step::ChangeSaveMode, {}, [&] {
            document.change(undo_step::ChangeSaveMode, {}, [&] { session.menu.saveMode.setCdma(true); });
        });
    };
    EXPECT_DEBUG_DEATH(nested(), "another one runs");
#ifdef NDEBUG
    EXPECT_FALSE(session.menu.saveMode.cdma());
#endif
}

} // namespace
} // namespace tessaro
