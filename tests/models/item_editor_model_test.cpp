#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/item_data_codec.h"
#include "core/open_menu.h"
#include "edit/title_options_check.h"
#include "edit/tree_edit.h"
#include "models/item_editor_model.h"
#include "support/recording_prompter.h"

namespace tessaro {
namespace {

using testing::Prompt;
using testing::RecordingPrompter;

Error inputError(const std::string& text)
{
    return Error(ErrorKind::Format, text + "\r\nInput will be ignored", "Input format error");
}

DataEntry titleEntry(uint8_t k, std::vector<Title> titles)
{
    DataEntry e;
    e.kind = k;
    e.titles = std::move(titles);
    return e;
}

DataEntry unknownEntry()
{
    DataEntry e;
    e.kind = kind::Unsupported;
    e.records = {{2, 2, {0xAB, 0xCD}}};
    return e;
}

DataEntry urlEntry(const std::string& url)
{
    DataEntry e;
    e.kind = kind::Url;
    e.bytes.assign(url.begin(), url.end());
    e.bytes.push_back(0);
    return e;
}

class ItemEditor : public ::testing::Test {
protected:
    ItemEditorModel model;
    RecordingPrompter prompter;
};

// --- opening ------------------------------------------------------------------------------

TEST_F(ItemEditor, SoftkeyAndMainMenuItemsEnableOppositeControls)
{
    model.load(nullptr, 0, true, 0x40, 0);
    model.prepare(true, false, {});
    EXPECT_FALSE(model.iconGroupEnabled());
    for (auto row : {IconRow::Animated, IconRow::Static, IconRow::List}) {
        EXPECT_FALSE(model.icon(row).pickerEnabled);
        EXPECT_FALSE(model.icon(row).enabled);
    }
    EXPECT_FALSE(model.protectedEnabled());
    EXPECT_TRUE(model.nonChangeableEnabled());

    model.load(nullptr, 0, false, 0x40, 0);
    model.prepare(true, false, {});
    EXPECT_TRUE(model.iconGroupEnabled());
    for (auto row : {IconRow::Animated, IconRow::Static, IconRow::List})
        EXPECT_TRUE(model.icon(row).pickerEnabled);  // a phone is connected
    EXPECT_TRUE(model.protectedEnabled());
    EXPECT_FALSE(model.nonChangeableEnabled());
}

TEST_F(ItemEditor, PickerWithoutPhoneOnlyForDrmRows)
{
    ItemDataBlock block;
    DataEntry drm;
    drm.kind = kind::DrmStaticIcon;
    drm.first = 0x12;
    drm.number = 77;
    block.entries = {drm};
    model.load(&block, 0, false, 0x41, 0);
    model.prepare(false, false, {});
    EXPECT_FALSE(model.icon(IconRow::Animated).pickerEnabled);
    EXPECT_TRUE(model.icon(IconRow::Static).pickerEnabled);
    EXPECT_EQ(model.icon(IconRow::Static).source, IconSource::DRM);
    EXPECT_EQ(model.icon(IconRow::Static).text, u"77");
    model.setIconSource(IconRow::List, IconSource::DRM);
    EXPECT_TRUE(model.icon(IconRow::List).pickerEnabled);
    model.setIconSource(IconRow::List, IconSource::FS);
    EXPECT_FALSE(model.icon(IconRow::List).pickerEnabled);
}

TEST_F(ItemEditor, ContainerHasNoFunctionPage)
{
    model.load(nullptr, 1, false, 0x41, 0);
    EXPECT_FALSE(model.functionPageVisible());
    EXPECT_FALSE(model.functionChoiceEnabled());
    EXPECT_EQ(model.itemType(), 1);
    model.load(nullptr, 9, false, 0x41, 0);
    EXPECT_TRUE(model.functionPageVisible());
    EXPECT_EQ(model.itemType(), 0);  // the function's entries give the type again on OK
}

TEST_F(ItemEditor, ContainerKeepsItsTypeWhenItCarriesAFunctionRecord)
{
    ItemDataBlock block;
    block.entries = {urlEntry("http://a")};
    model.load(&block, 1, false, 0x41, 0);
    model.applyDataChange();
    const auto result = model.commit(false);
    ASSERT_EQ(result.block.entries.size(), 1u);
    EXPECT_EQ(result.itemType, 1);
}

TEST_F(ItemEditor, LoadShowsEveryKnownEntry)
{
    ItemDataBlock block;
    block.entries.push_back(titleEntry(kind::MenuTitle, {{1, u"Games"}, {10, u"Spiele"}}));
    DataEntry icon;
    icon.kind = kind::FileIcon;
    icon.role = 7;  // unknown roles are list icons
    icon.path = u"/a/x.gif";
    block.entries.push_back(icon);
    icon.role = kRoleAnimated;
    icon.path = u"/a/anim.gif";
    block.entries.push_back(icon);
    DataEntry code;
    code.kind = kind::Code13;
    code.value = 200;
    block.entries.push_back(code);
    block.entries.push_back(unknownEntry());
    model.load(&block, 5, false, 0x60, 0x08);
    model.prepare(false, false, {});

    const auto& menu = model.titles(TitleList::Menu);
    ASSERT_EQ(menu.rows.size(), 2u);
    EXPECT_EQ(menu.rows[1], (TitleRow{"#2", 10, u"Spiele"}));
    EXPECT_TRUE(menu.editEnabled);
    EXPECT_EQ(model.icon(IconRow::List).text, u"/a/x.gif");
    EXPECT_FALSE(model.icon(IconRow::List).previewVisible);  // only the animated row's shows
    EXPECT_EQ(model.icon(IconRow::Animated).text, u"/a/anim.gif");
    EXPECT_TRUE(model.icon(IconRow::Animated).previewVisible);
    EXPECT_EQ(model.field(FunctionField::Code13), "200");
    EXPECT_EQ(model.function(), ItemFunction::CallSend);
    EXPECT_TRUE(model.isSend());  // itemType 5
    EXPECT_TRUE(model.callSendEnabled());
    EXPECT_TRUE(model.hasUnsupported());
    EXPECT_TRUE(model.resetEnabled());
    EXPECT_FALSE(model.applyEnabled());
}

// --- title lists ---------------------------------------------------------------------------

TEST_F(ItemEditor, TwelfthTitleDisablesAddAndDeleteEnablesIt)
{
    model.load(nullptr, 0, false, 0x41, 0);
    for (int i = 0; i < 11; ++i)
        ASSERT_TRUE(model.addTitle(TitleList::Menu, 1, u"t"));
    EXPECT_TRUE(model.titles(TitleList::Menu).addEnabled);
    ASSERT_TRUE(model.addTitle(TitleList::Menu, 1, u"t"));
    EXPECT_FALSE(model.titles(TitleList::Menu).addEnabled);
    EXPECT_FALSE(model.addTitle(TitleList::Menu, 1, u"thirteenth"));
    EXPECT_EQ(model.titles(TitleList::Menu).rows.back().number, "#12");

    ASSERT_TRUE(model.deleteTitle(TitleList::Menu, 0));
    EXPECT_TRUE(model.titles(TitleList::Menu).addEnabled);
    // Rows keep their numbers; a new row takes the count at the time it is added.
    EXPECT_EQ(model.titles(TitleList::Menu).rows.front().number, "#2");
    ASSERT_TRUE(model.addTitle(TitleList::Menu, 1, u"again"));
    EXPECT_EQ(model.titles(TitleList::Menu).rows.back().number, "#12");
}

TEST_F(ItemEditor, EmptyTextsAddNothingAndEmptyListDisablesEditDelete)
{
    model.load(nullptr, 0, false, 0x41, 0);
    EXPECT_FALSE(model.addTitle(TitleList::Softkey, 1, u""));
    EXPECT_FALSE(model.applyEnabled());
    ASSERT_TRUE(model.addTitle(TitleList::Softkey, 2, u"Go"));
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_TRUE(model.titles(TitleList::Softkey).deleteEnabled);
    EXPECT_FALSE(model.editTitle(TitleList::Softkey, 0, 3, u""));
    ASSERT_TRUE(model.editTitle(TitleList::Softkey, 0, 3, u"Los"));
    EXPECT_EQ(model.titles(TitleList::Softkey).rows[0], (TitleRow{"#1", 3, u"Los"}));
    ASSERT_TRUE(model.deleteTitle(TitleList::Softkey, 0));
    EXPECT_FALSE(model.titles(TitleList::Softkey).editEnabled);
    EXPECT_FALSE(model.titles(TitleList::Softkey).deleteEnabled);
}

// --- input checks ----------------------------------------------------------------------------

TEST(ItemEditorChecks, PhonePaths)
{
    EXPECT_EQ(checkPhonePath(u""), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"/"), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"/e"), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"/a/picture/icon_1.gif"), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"/c/(x)-[y].Z_9"), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"/a/b\u00e4r.gif"), std::nullopt);
    EXPECT_EQ(checkPhonePath(u"a/x"), "Invalid path delimiter. Expecting '/'");
    EXPECT_EQ(checkPhonePath(u"/d/x"), "Invalid volume letter. Expecting a,b,c,e");
    EXPECT_EQ(checkPhonePath(u"/A"), "Invalid volume letter. Expecting a,b,c,e");
    EXPECT_EQ(checkPhonePath(u"/ax"), "Invalid path delimiter. Expecting '/'");
    EXPECT_EQ(checkPhonePath(u"/a/my icon.gif"), "Invalid character in file name");
    EXPECT_EQ(checkPhonePath(u"/a/x\u4e00"), "Invalid character in file name");
    EXPECT_EQ(checkPhonePath(u"/a/x\u4e00", [](char16_t) { return true; }), std::nullopt);
}

TEST(ItemEditorChecks, NumbersAndDialCharacters)
{
    EXPECT_EQ(checkNumber("", 1, 4000), std::nullopt);
    EXPECT_EQ(checkNumber("4000", 1, 4000), std::nullopt);
    EXPECT_EQ(checkNumber("4001", 1, 4000), "Value too big");
    EXPECT_EQ(checkNumber("0", 1, 4000), "Value too small");
    EXPECT_EQ(checkNumber("12a", 1, 4000), "Invalid numeric value");
    EXPECT_EQ(checkNumber("-1", 0, 255), "Invalid numeric value");
    EXPECT_EQ(checkNumber("99999999999999999999", 0, 65535), "Value too big");
    EXPECT_EQ(checkDialNumber("*100#"), std::nullopt);
    EXPECT_EQ(checkDialNumber("+49pw1n"), std::nullopt);
    EXPECT_EQ(checkDialNumber("+4917x"), "Invalid dialing character");
}

TEST_F(ItemEditor, FailedFieldReturnsItsMessageAndEmptiesField)
{
    std::vector<Error> errors;
    auto keep = [&errors](const Status& checked) {
        if (!checked)
            errors.push_back(checked.failure());
    };
    model.load(nullptr, 0, false, 0x41, 0);
    keep(model.setIconText(IconRow::Animated, u"/d/x"));
    EXPECT_EQ(model.icon(IconRow::Animated).text, u"");
    EXPECT_FALSE(model.icon(IconRow::Animated).previewVisible);
    keep(model.setIconText(IconRow::Animated, u"/a/picture/icon_1.gif"));
    EXPECT_EQ(model.icon(IconRow::Animated).text, u"/a/picture/icon_1.gif");
    EXPECT_TRUE(model.icon(IconRow::Animated).previewVisible);

    model.setIconSource(IconRow::Static, IconSource::DRM);
    keep(model.setIconText(IconRow::Static, u"4001"));
    keep(model.setIconText(IconRow::Static, u"0"));
    keep(model.setIconText(IconRow::Static, u"12a"));
    model.chooseFunction(ItemFunction::CallSend);
    keep(model.setFunctionField(FunctionField::DialNumber, "+4917x"));
    EXPECT_EQ(model.field(FunctionField::DialNumber), "");
    keep(model.setFunctionField(FunctionField::Code12, "256"));
    model.chooseFunction(ItemFunction::Action);
    keep(model.setFunctionField(FunctionField::ActionCode, "65536"));

    EXPECT_EQ(errors,
              (std::vector<Error>{inputError("Invalid volume letter. Expecting a,b,c,e"),
                                   inputError("Value too big"), inputError("Value too small"),
                                   inputError("Invalid numeric value"),
                                   inputError("Invalid dialing character"),
                                   inputError("Value too big"), inputError("Value too big")}));
}

TEST_F(ItemEditor, DialNumberLocksTheCodesAndCall)
{
    model.load(nullptr, 0, false, 0x41, 0);
    model.chooseFunction(ItemFunction::CallSend);
    EXPECT_TRUE(model.setFunctionField(FunctionField::Code12, "7").ok());
    model.setSend(true);
    EXPECT_EQ(model.itemType(), 5);
    EXPECT_FALSE(model.fieldEnabled(FunctionField::DialNumber));
    model.setSend(false);
    EXPECT_EQ(model.itemType(), 4);
    EXPECT_TRUE(model.setFunctionField(FunctionField::DialNumber, "*100#").ok());
    EXPECT_EQ(model.field(FunctionField::Code12), "");
    EXPECT_FALSE(model.fieldEnabled(FunctionField::Code12));
    EXPECT_FALSE(model.callSendEnabled());
    EXPECT_FALSE(model.isSend());
    EXPECT_TRUE(model.setFunctionField(FunctionField::DialNumber, "").ok());
    EXPECT_TRUE(model.fieldEnabled(FunctionField::Code12));
    EXPECT_TRUE(model.callSendEnabled());
}

TEST_F(ItemEditor, LoadedSmsItemKeepsTheDialFieldDisabled)
{
    ItemDataBlock block;
    DataEntry code;
    code.kind = kind::Code12;
    code.value = 3;
    block.entries = {code};
    model.load(&block, 5, false, 0x60, 0);
    EXPECT_TRUE(model.isSend());
    EXPECT_TRUE(model.callSendEnabled());
    EXPECT_FALSE(model.fieldEnabled(FunctionField::DialNumber));
    EXPECT_TRUE(model.fieldEnabled(FunctionField::Code12));
    model.setSend(false);
    EXPECT_TRUE(model.fieldEnabled(FunctionField::DialNumber));
}

TEST_F(ItemEditor, CallSendOnAContainerKeepsItsType)
{
    ItemDataBlock block;
    DataEntry code;
    code.kind = kind::Code13;
    code.value = 9;
    block.entries = {code};
    model.load(&block, 1, false, 0x41, 0);
    model.setSend(true);
    EXPECT_EQ(model.itemType(), 1);
    model.setSend(false);
    EXPECT_EQ(model.itemType(), 1);
    model.applyDataChange();
    EXPECT_EQ(model.commit(false).itemType, 1);
}

// --- attributes and options ------------------------------------------------------------------

TEST_F(ItemEditor, ProtectedTogglesBit0x20Only)
{
    model.load(nullptr, 0, false, 0x41, 0);
    EXPECT_TRUE(model.isLockable());
    model.setProtected(true);
    EXPECT_EQ(model.attributes(), 0x61);
    model.setProtected(false);
    EXPECT_EQ(model.attributes(), 0x41);
    model.setNonChangeable(true);
    EXPECT_EQ(model.attributes(), 0x45);
    model.setLockable(false);
    EXPECT_EQ(model.attributes(), 0x44);
}

struct OptionsCase {
    uint8_t loaded;
    bool withTitle;
    uint8_t expected;
};

class ItemEditorOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(ItemEditorOptions, TitlesSetOptions)
{
    const auto c = GetParam();
    ItemEditorModel model;
    model.load(nullptr, 0, false, 0x41, c.loaded);
    if (c.withTitle)
        model.addTitle(TitleList::Menu, 1, u"Mine");
    model.applyDataChange();
    EXPECT_EQ(model.commit(false).options, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ItemEditorOptions,
                         ::testing::Values(OptionsCase{0x18, true, 0x18},   // custom item
                                           OptionsCase{0x00, true, 0x08},   // catalogue item
                                           OptionsCase{0x00, false, 0x00},  // no titles
                                           OptionsCase{0x18, false, 0x18}));

// --- commit ------------------------------------------------------------------------------------

TEST_F(ItemEditor, ShortcutAbcGivesKind23Type9Attributes0x60)
{
    model.load(nullptr, 0, false, 0x41, 0x18);
    model.chooseFunction(ItemFunction::Shortcut);
    EXPECT_TRUE(model.setFunctionField(FunctionField::ShortcutData, "ABC").ok());
    model.applyDataChange();
    const auto result = model.commit(true);
    ASSERT_TRUE(result.hasData);
    ASSERT_EQ(result.block.entries.size(), 1u);
    const auto& e = result.block.entries[0];
    EXPECT_EQ(e.kind, 23);
    EXPECT_EQ(encodedPayloadLength(e), 25u);
    std::vector<uint8_t> expected(25, 0);
    expected[0] = 'A';
    expected[1] = 'B';
    expected[2] = 'C';
    EXPECT_EQ(e.bytes, expected);
    EXPECT_EQ(result.itemType, 9);
    EXPECT_EQ(result.attributes, 0x60);
}

TEST_F(ItemEditor, CommitOrderAndLengths)
{
    model.load(nullptr, 0, false, 0x41, 0);
    model.addTitle(TitleList::Softkey, 2, u"Ok");          // 1 + 4 + 6 = 11
    model.addTitle(TitleList::Menu, 1, u"Abc");            // 1 + 4 + 8 = 13
    EXPECT_TRUE(model.setIconText(IconRow::Static, u"/a/s.gif").ok());  // 2*8 + 3 = 19
    model.setIconSource(IconRow::Animated, IconSource::DRM);
    EXPECT_TRUE(model.setIconText(IconRow::Animated, u"12").ok());
    model.chooseFunction(ItemFunction::CallSend);
    model.setSend(true);
    EXPECT_TRUE(model.setFunctionField(FunctionField::Code14, "9").ok());
    EXPECT_TRUE(model.setFunctionField(FunctionField::Code12, "255").ok());
    model.applyDataChange();
    const auto result = model.commit(false);
    std::vector<std::pair<int, int>> kindsAndLengths;
    for (const auto& e : result.block.entries)
        kindsAndLengths.emplace_back(e.kind, encodedPayloadLength(e));
    EXPECT_EQ(kindsAndLengths, (std::vector<std::pair<int, int>>{
                                   {0, 13}, {1, 11}, {12, 19}, {17, 4}, {18, 1}, {20, 1}}));
    EXPECT_EQ(result.block.entries[2].role, 3);
    EXPECT_EQ(result.block.entries[3].first, 0x12);
    EXPECT_EQ(result.block.entries[3].number, 12);
    EXPECT_EQ(result.block.entries[4].value, 255);
    EXPECT_EQ(result.itemType, 5);  // "Send"
    EXPECT_EQ(result.attributes, 0x60);
    EXPECT_EQ(result.options, 0x08);
}

TEST_F(ItemEditor, UrlAndApplicationEntries)
{
    model.load(nullptr, 0, false, 0x41, 0);
    model.chooseFunction(ItemFunction::Url);
    EXPECT_TRUE(model.setFunctionField(FunctionField::Url, "http://x").ok());
    model.applyDataChange();
    auto result = model.commit(false);
    ASSERT_EQ(result.block.entries.size(), 1u);
    EXPECT_EQ(encodedPayloadLength(result.block.entries[0]), 9u);
    EXPECT_EQ(result.itemType, 3);

    model.prepare(false, true, {{"Snake", "Acme", "Snake,/snake.png,Main", true}});
    model.chooseFunction(ItemFunction::AppStart);
    EXPECT_TRUE(model.installedEnabled());
    model.chooseInstalled(0);
    EXPECT_EQ(model.field(FunctionField::Midlet1), "Snake,/snake.png,Main");
    EXPECT_EQ(model.field(FunctionField::MidletName), "Snake");
    EXPECT_EQ(model.field(FunctionField::MidletVendor), "Acme");
    model.applyDataChange();
    result = model.commit(false);
    ASSERT_EQ(result.block.entries.size(), 3u);
    EXPECT_EQ(result.block.entries[0].kind, 9);
    EXPECT_EQ(result.block.entries[2].kind, 11);
    EXPECT_EQ(result.itemType, 6);
}

TEST_F(ItemEditor, EmptiedFieldLeavesNoEntry)
{
    ItemDataBlock block;
    block.entries = {urlEntry("http://old")};
    model.load(&block, 3, false, 0x60, 0);
    EXPECT_TRUE(model.setFunctionField(FunctionField::Url, "").ok());
    model.applyDataChange();
    EXPECT_FALSE(model.hasData(true));
}

TEST_F(ItemEditor, UnsupportedRecordsSurviveOnlyWithSaveAllAndUnchangedFunction)
{
    ItemDataBlock block;
    block.entries = {urlEntry("http://a"), unknownEntry()};

    // Unchanged URL function: kept with "Save all data", dropped without.
    model.load(&block, 3, false, 0x60, 0);
    model.applyDataChange();
    auto result = model.commit(true);
    ASSERT_EQ(result.block.entries.size(), 2u);
    EXPECT_EQ(result.block.entries[1], unknownEntry());
    EXPECT_EQ(model.commit(false).block.entries.size(), 1u);

    // Function changed during this opening (even back to the same one): dropped.
    model.load(&block, 3, false, 0x60, 0);
    model.chooseFunction(ItemFunction::Url);
    EXPECT_TRUE(model.setFunctionField(FunctionField::Url, "http://a").ok());
    model.applyDataChange();
    EXPECT_EQ(model.commit(true).block.entries.size(), 1u);

    // Only unsupported data and no function: "[None]" drops it, so there is no data.
    ItemDataBlock onlyUnknown;
    onlyUnknown.entries = {unknownEntry()};
    model.load(&onlyUnknown, 0, false, 0x41, 0);
    model.applyDataChange();
    EXPECT_FALSE(model.hasData(true));
}

TEST_F(ItemEditor, ResetAllDataAsksAndClearsAttributeBits)
{
    ItemDataBlock block;
    block.entries = {titleEntry(kind::MenuTitle, {{1, u"x"}})};
    model.load(&block, 0, false, 0xE5, 0x18);
    prompter.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(model.resetAllData(prompter));
    EXPECT_EQ(model.titles(TitleList::Menu).rows.size(), 1u);
    EXPECT_TRUE(model.resetAllData(prompter));
    EXPECT_TRUE(model.titles(TitleList::Menu).rows.empty());
    EXPECT_EQ(model.options(), 0);
    EXPECT_EQ(model.attributes(), 0xC0);
    EXPECT_EQ(prompter.prompts[0], (Prompt{MessageIcon::Warning, "Warning",
                                           "This will remove all data\r\n   Continue?", true}));
}

struct CancelCase {
    const char* what;
    std::function<void(ItemEditorModel&, Prompter&)> act;
    bool changed;
};

TEST_F(ItemEditor, CancelAsksOnlyWhenOkWouldStoreSomethingElse)
{
    const std::vector<CancelCase> cases = {
        {"nothing done", [](ItemEditorModel&, Prompter&) {}, false},
        {"Apply alone", [](ItemEditorModel& m, Prompter&) { m.applyNow(); }, false},
        {"a title added", [](ItemEditorModel& m, Prompter&) { m.addTitle(TitleList::Menu, 2, u"y"); }, true},
        {"a title added and applied",
         [](ItemEditorModel& m, Prompter&) {
             m.addTitle(TitleList::Menu, 2, u"y");
             m.applyNow();
         },
         false},
        {"applied, then an attribute set",
         [](ItemEditorModel& m, Prompter&) {
             m.applyNow();
             m.setLockable(true);
         },
         true},
        {"an attribute set", [](ItemEditorModel& m, Prompter&) { m.setLockable(true); }, true},
        {"an attribute set and cleared",
         [](ItemEditorModel& m, Prompter&) {
             m.setLockable(true);
             m.setLockable(false);
         },
         false},
        {"a URL typed",
         [](ItemEditorModel& m, Prompter&) {
             m.chooseFunction(ItemFunction::Url);
             EXPECT_TRUE(m.setFunctionField(FunctionField::Url, "http://a").ok());
         },
         true},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.what);
        ItemDataBlock block;
        block.entries = {titleEntry(kind::MenuTitle, {{1, u"x"}})};
        model.load(&block, kTypeItem, false, 0x40, 0x08);
        c.act(model, prompter);
        EXPECT_EQ(model.hasChanges(false), c.changed);
        prompter.prompts.clear();
        prompter.answers = {Answer::No, Answer::Yes};
        EXPECT_EQ(model.confirmCancel(prompter, false), !c.changed);
        if (c.changed) {
            EXPECT_TRUE(model.confirmCancel(prompter, false));
            EXPECT_EQ(prompter.prompts[0], (Prompt{MessageIcon::Question, "Confirmation",
                                                   "Discard the changes to this item?", true}));
        } else {
            EXPECT_TRUE(prompter.prompts.empty());
        }
    }
}

// --- storing on the node ------------------------------------------------------------------------

TEST(CommitItemEdit, StoresOrFreesTheNodeBlock)
{
    OpenMenu menu;
    startNewMenu(menu.document);
    MenuNode* node = insertAvailableItem(menu, menu.items.findAvailable("Custom item"),
                                         menu.document.menuRoot(), InsertPosition::AddSubitemLast)
                         .value()
                         .node;
    const size_t blocksBefore = menu.document.data().count();

    ItemEditorModel model;
    model.load(nullptr, node->item.itemType, false, node->item.attributes, node->item.options);
    model.addTitle(TitleList::Menu, 1, u"Mine");
    model.applyDataChange();
    commitItemEdit(menu.document, *node, model.commit(true), true);
    const ItemDataBlock* block = menu.document.data().at(node->item.recordNo);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->owner, node->item.recordNo);
    EXPECT_EQ(menu.document.data().count(), blocksBefore + 1);
    EXPECT_TRUE(node->item.hasData);
    EXPECT_EQ(node->item.dataLength, 3 + 1 + 4 + 10);
    EXPECT_EQ(node->item.options, 0x18);

    // Everything emptied: the block goes.
    model.load(block, node->item.itemType, false, node->item.attributes, node->item.options);
    model.deleteTitle(TitleList::Menu, 0);
    model.applyDataChange();
    commitItemEdit(menu.document, *node, model.commit(true), true);
    EXPECT_EQ(menu.document.data().at(node->item.recordNo), nullptr);
    EXPECT_EQ(menu.document.data().count(), blocksBefore);
    EXPECT_FALSE(node->item.hasData);
    EXPECT_EQ(node->item.dataLength, 0);
}

// The check of a compiled menu text holds an item to the options the window gives it.
TEST(CommitItemEdit, LeavesTitlesAndOptionsAsTheTextCheckWantsThem)
{
    OpenMenu menu;
    startNewMenu(menu.document);
    MenuNode* node = insertAvailableItem(menu, menu.items.findAvailable("Games"), menu.document.menuRoot(),
                                         InsertPosition::AddSubitemLast)
                         .value()
                         .node;
    for (int options = 0; options <= 0xFF; ++options) {
        ItemEditorModel model;
        model.load(nullptr, node->item.itemType, false, node->item.attributes, static_cast<uint8_t>(options));
        model.addTitle(TitleList::Menu, 1, u"Mine");
        model.applyDataChange();
        commitItemEdit(menu.document, *node, model.commit(false), false);
        EXPECT_EQ(titleOptionsWarnings(menu.document), std::vector<std::string>{}) << options;
    }
}

} // namespace
} // namespace tessaro
