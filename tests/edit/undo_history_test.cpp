#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/menu_reader.h"
#include "core/menu_writer.h"
#include "core/prompter.h"
#include "core/open_menu.h"
#include "models/item_editor_model.h"
#include "edit/tree_edit.h"
#include "edit/undo_history.h"
#include "session/unsaved_changes.h"
#include "support/menu_builder.h"
#include "support/recording_prompter.h"

namespace tessaro {
namespace {

using testing::MenuBuilder;
using testing::Prompt;
using testing::RecordingPrompter;

// 9 PhoneBook (container) > 10 Message (menu title), 11 Datebook; 12 RecentCall (URL);
// 13 VoiceRecord.
std::vector<uint8_t> fixture()
{
    const ByteOrder be = ByteOrder::Big;
    MenuBuilder b;
    const int book = b.add(MenuBuilder::kRoot, "PhoneBook", 1);
    b.add(book, "Message", 0, testing::titleRecord(kind::MenuTitle, {{1, u"Mail"}}, 36, be));
    b.add(book, "Datebook");
    b.add(MenuBuilder::kRoot, "RecentCall", 3, testing::asciiRecord(kind::Url, "http://a", be));
    b.add(MenuBuilder::kRoot, "VoiceRecord");
    return b.bytes();
}

class Undo : public ::testing::Test {
public:
    void SetUp() override
    {
        const auto read = readMenuBytes(fixture(), menu, ReadOptions{});
        ASSERT_TRUE(read.ok()) << read.error();
        history.clear();
    }
    std::vector<uint8_t> render()
    {
        auto bytes = renderMenuFile(menu);
        EXPECT_TRUE(bytes.ok()) << bytes.error();
        return bytes.ok() ? *bytes : std::vector<uint8_t>{};
    }
    MenuNode* at(size_t index) { return menu.document.nodeAt(index); }
    size_t entry(const std::string& identifier) { return menu.items.findAvailable(identifier); }

    OpenMenu menu;
    RecordingPrompter prompter;
    UndoHistory history{menu};
};

struct EditKind {
    std::string_view name;
    std::function<bool(Undo&)> run;
};

TEST_F(Undo, EveryEditKindIsOneStepThatUndoesToTheOpenedBytesAndRedoesToTheEditedOnes)
{
    const std::vector<EditKind> kinds = {
        {undo_step::InsertItem,
         [](Undo& t) {
             return insertAvailableItem(t.menu, t.entry("MMRingStyle"), t.at(9), InsertPosition::AddSubitemFirst).ok();
         }},
        {undo_step::ReplaceItem, [](Undo& t) { return replaceWithItem(t.menu, t.entry("Mutilmedia"), t.at(12)).ok(); }},
        {undo_step::DeleteItem, [](Undo& t) { return deleteSubtree(t.menu.document, t.at(9)).ok(); }},
        {undo_step::MoveUp, [](Undo& t) { return moveNodeUp(t.menu.document, t.at(13)).ok(); }},
        {undo_step::MoveDown, [](Undo& t) { return moveNodeDown(t.menu.document, t.at(10)).ok(); }},
        {undo_step::DropItem,
         [](Undo& t) { return dropOntoNode(t.menu, t.at(13), DragSource::treeNode(t.at(10))).ok(); }},
        {undo_step::DropItem,
         [](Undo& t) {
             const size_t custom = t.menu.items.available().size() - 1;
             return dropOntoNode(t.menu, t.at(9), DragSource::availableEntry(custom)).ok();
         }},
        {undo_step::ModifyItem,
         [](Undo& t) {
             ItemEditResult edit;
             edit.hasData = true;
             DataEntry url;
             url.kind = kind::Url;
             url.bytes = {'h', 0};
             edit.block.entries = {url};
             edit.itemType = kTypeUrl;
             edit.attributes = 0x60;
             commitItemEdit(t.menu.document, *t.at(13), edit, false);
             return true;
         }},
        {undo_step::ChangeSaveMode,
         [](Undo& t) {
             t.menu.saveMode.setRecordSize(22);
             return true;
         }},
    };
    for (const EditKind& k : kinds) {
        SCOPED_TRACE(std::string(k.name));
        SetUp();
        const std::vector<uint8_t> opened = render();
        UndoHistory::Snapshot before = history.capture();
        ASSERT_TRUE(k.run(*this));
        ASSERT_TRUE(history.commit(k.name, std::move(before)));
        const std::vector<uint8_t> edited = render();
        ASSERT_NE(edited, opened);
        EXPECT_TRUE(history.isModified());
        EXPECT_EQ(history.undoName(), k.name);

        ASSERT_TRUE(history.undo());
        EXPECT_EQ(render(), opened);
        EXPECT_FALSE(history.isModified());
        EXPECT_FALSE(history.canUndo());
        EXPECT_EQ(history.redoName(), k.name);

        ASSERT_TRUE(history.redo());
        EXPECT_EQ(render(), edited);
        EXPECT_TRUE(history.isModified());
        EXPECT_FALSE(history.canRedo());
    }
}

TEST_F(Undo, UndoAllGivesTheOpenedBytesAndRedoAllTheEditedOnes)
{
    const std::vector<uint8_t> opened = render();
    const auto step = [this](std::string_view name, const std::function<void()>& edit) {
        UndoHistory::Snapshot before = history.capture();
        edit();
        EXPECT_TRUE(history.commit(name, std::move(before)));
    };
    step(undo_step::InsertItem, [this] {
        (void)insertAvailableItem(menu, entry("MMRingStyle"), at(13), InsertPosition::AddSubitemLast);
    });
    step(undo_step::DeleteItem, [this] { (void)deleteSubtree(menu.document, at(10)); });
    step(undo_step::MoveUp, [this] { (void)moveNodeUp(menu.document, at(11)); });
    step(undo_step::ChangeSaveMode, [this] { menu.saveMode.setCdma(true); });
    const std::vector<uint8_t> edited = render();

    std::vector<std::string> undone;
    while (history.canUndo()) {
        undone.push_back(history.undoName());
        ASSERT_TRUE(history.undo());
    }
    EXPECT_EQ(undone, (std::vector<std::string>{"Change save mode", "Move up", "Delete item", "Insert item"}));
    EXPECT_EQ(render(), opened);
    EXPECT_FALSE(history.undo());
    while (history.canRedo())
        ASSERT_TRUE(history.redo());
    EXPECT_EQ(render(), edited);
    EXPECT_FALSE(history.redo());
}

TEST_F(Undo, AnActionThatChangedNothingIsNoStep)
{
    UndoHistory::Snapshot before = history.capture();
    ASSERT_FALSE(moveNodeUp(menu.document, at(9)).ok());  // first of its siblings
    EXPECT_FALSE(history.commit(undo_step::MoveUp, std::move(before)));
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.isModified());
}

TEST_F(Undo, TheSavedStateIsUnmodifiedWhereverTheHistoryLeadsBackToIt)
{
    const auto step = [this] {
        UndoHistory::Snapshot before = history.capture();
        menu.saveMode.setCdma(!menu.saveMode.cdma());
        history.commit(undo_step::ChangeSaveMode, std::move(before));
    };
    step();
    history.setSaved();
    step();
    // Each entry: an action, then whether the document differs from the saved one.
    const std::vector<std::pair<std::function<void()>, bool>> walk = {
        {[this] { (void)history.undo(); }, false},
        {[this] { (void)history.undo(); }, true},
        {[this] { (void)history.redo(); }, false},
        {[this] { (void)history.redo(); }, true},
        {[this] { (void)history.undo(); }, false},
        {[this] { (void)history.undo(); }, true},
        // A new step where the redo steps were: the saved state can no longer be reached.
        {step, true},
        {[this] { (void)history.undo(); }, true},
        {[this] { history.setSaved(); }, false},
        {[this] { history.clear(); }, false},
    };
    for (size_t i = 0; i < walk.size(); ++i) {
        walk[i].first();
        EXPECT_EQ(history.isModified(), walk[i].second) << "step " << i;
    }
}

TEST_F(Undo, EachStateComesBackWithTheViewItWasSeenIn)
{
    UndoHistory::Snapshot before = history.capture({12, {8, 9}});
    ASSERT_TRUE(deleteSubtree(menu.document, at(12)).ok());
    ASSERT_TRUE(history.commit(undo_step::DeleteItem, std::move(before)));
    EXPECT_EQ(history.undo({11, {8}}), (ViewState{12, {8, 9}}));
    EXPECT_EQ(at(12)->item.name, "RecentCall");
    EXPECT_EQ(history.redo({12, {9}}), (ViewState{11, {8}}));
    EXPECT_EQ(at(12)->item.name, "VoiceRecord");
}

TEST_F(Undo, TheOldestStepsGoFirstAndASavedStateAmongThemIsLost)
{
    for (size_t i = 0; i <= UndoHistory::kMaxSteps; ++i) {
        UndoHistory::Snapshot before = history.capture();
        menu.saveMode.setCdma(!menu.saveMode.cdma());
        ASSERT_TRUE(history.commit(undo_step::ChangeSaveMode, std::move(before)));
    }
    size_t undone = 0;
    while (history.undo())
        ++undone;
    EXPECT_EQ(undone, UndoHistory::kMaxSteps);
    EXPECT_TRUE(history.isModified());
}

struct GuardCase {
    bool modified;
    Answer answer;
    bool saves;          // what the save reports
    bool asked;
    bool saveCalled;
    bool goesOn;
};

TEST(UnsavedChanges, TheGuardAsksOnlyAboutChangesAndGoesOnOnlyWhenTheyAreSafe)
{
    const std::vector<GuardCase> cases = {
        {false, Answer::Cancel, false, false, false, true},
        {true, Answer::Save, true, true, true, true},
        {true, Answer::Save, false, true, true, false},  // refused, failed or cancelled save
        {true, Answer::Discard, false, true, false, true},
        {true, Answer::Cancel, true, true, false, false},
        {true, Answer::No, true, true, false, false},     // a box closed without a choice
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const GuardCase& c = cases[i];
        RecordingPrompter prompter;
        prompter.answers = {c.answer};
        bool saveCalled = false;
        const bool goesOn = askToSaveChanges(c.modified, prompter, [&] {
            saveCalled = true;
            return c.saves;
        });
        EXPECT_EQ(goesOn, c.goesOn) << "case " << i;
        EXPECT_EQ(saveCalled, c.saveCalled) << "case " << i;
        if (c.asked)
            EXPECT_EQ(prompter.prompts,
                      (std::vector<Prompt>{{MessageIcon::Question, "Confirmation", "Save changes to the menu?", true}}))
                << "case " << i;
        else
            EXPECT_TRUE(prompter.prompts.empty()) << "case " << i;
    }
}

} // namespace
} // namespace tessaro
