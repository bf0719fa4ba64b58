#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/item_data_codec.h"
#include "core/renumber.h"
#include "core/open_menu.h"
#include "edit/tree_check.h"
#include "edit/tree_edit.h"
#include "support/recording_prompter.h"

namespace tessaro {
namespace {

using testing::Prompt;
using testing::RecordingPrompter;

class TreeEdit : public ::testing::Test {
protected:
    void SetUp() override { startNewMenu(doc()); }

    MenuDocument& doc() { return menu.document; }
    MenuNode* root() { return doc().menuRoot(); }
    MenuNode* at(size_t index) { return doc().nodeAt(index); }
    size_t entry(const std::string& identifier) { return menu.items.findAvailable(identifier); }
    size_t customEntry() { return menu.items.available().size() - 1; }

    MenuNode* insert(const std::string& identifier, MenuNode* selected, InsertPosition position)
    {
        auto r = insertAvailableItem(menu, entry(identifier), selected, position);
        EXPECT_TRUE(r.ok()) << r.error();
        return r.ok() ? r->node : nullptr;
    }
    MenuNode* sub(const std::string& identifier, MenuNode* parent)
    {
        return insert(identifier, parent, InsertPosition::AddSubitemLast);
    }

    // Captions of the main menu in absolute index order.
    std::vector<std::string> menuCaptions()
    {
        std::vector<std::string> out;
        for (size_t i = 9; i < doc().nodeCount(); ++i)
            out.push_back(at(i)->caption());
        return out;
    }

    void expectConsistent()
    {
        const Status s = checkRecordLinks(doc());
        EXPECT_TRUE(s.ok()) << s.error();
    }

    // A block of the given kinds, each entry with a small payload.
    static ItemDataBlock blockOf(std::initializer_list<uint8_t> kinds)
    {
        ItemDataBlock block;
        for (uint8_t k : kinds) {
            DataEntry e;
            e.kind = k;
            if (k == kind::MenuTitle || k == kind::SoftkeyTitle) {
                e.titles = {{1, u"Ab"}};
            } else if (k == kind::Unsupported) {
                e.records = {{2, 1, {0x7F}}};
            } else {
                e.bytes = {'x', 0};
            }
            block.entries.push_back(e);
        }
        return block;
    }
    void giveData(MenuNode* node, const ItemDataBlock& block)
    {
        doc().data().store(node->item.recordNo, block);
        node->item.hasData = true;
        node->item.dataLength = itemDataLength(&block, false);
    }
    static std::vector<uint8_t> kindsOf(const ItemDataBlock* block)
    {
        std::vector<uint8_t> out;
        for (const auto& e : block->entries)
            out.push_back(e.kind);
        return out;
    }

    OpenMenu menu;
    RecordingPrompter prompter;
};

// --- new document ---------------------------------------------------------------------

TEST_F(TreeEdit, NewDocumentHasTheFixedTopAndNothingElse)
{
    ASSERT_EQ(doc().nodeCount(), 9u);
    EXPECT_EQ(doc().data().count(), 0u);

    const MenuNode* softkeys = at(0);
    EXPECT_EQ(softkeys->caption(), "Softkeys");
    MenuRecord container;
    container.name = "Container";
    container.itemType = 1;
    container.parentIndex = 1;
    container.nextIndex = 2;
    container.childIndex = 0xFF;
    container.recordNo = 2;
    container.group = 0xCC;
    container.canHoldItems = 1;
    EXPECT_EQ(softkeys->item, container);

    const std::vector<std::pair<std::string, std::string>> keys = {
        {"LSK: PhoneBook", "PhoneBook"}, {"RSK: Message", "Message"},
        {"Up: RecentCall", "RecentCall"}, {"Down: Multimedia", "Mutilmedia"},
        {"Left: Datebook", "Datebook"}, {"Right: MMRingStyle", "MMRingStyle"},
        {"Smart: VoiceRecord", "VoiceRecord"},
    };
    for (size_t i = 0; i < keys.size(); ++i) {
        const MenuNode* key = at(1 + i);
        EXPECT_EQ(key->parent(), softkeys);
        EXPECT_EQ(key->caption(), keys[i].first);
        MenuRecord expected;
        expected.name = keys[i].second;
        expected.itemType = 0;
        expected.parentIndex = 0xFF;
        expected.nextIndex = 0xFF;
        expected.childIndex = 0xFF;
        expected.recordNo = static_cast<uint8_t>(i + 3);
        expected.attributes = 0x41;
        expected.group = 0xCC;
        expected.canHoldItems = 0;
        EXPECT_EQ(key->item, expected) << key->caption();
    }

    MenuNode* menuRoot = at(8);
    EXPECT_EQ(menuRoot, root());
    EXPECT_EQ(menuRoot->caption(), "Menu Root");
    MenuRecord rootItem;
    rootItem.name = "MenuRoot";
    rootItem.itemType = 1;
    rootItem.parentIndex = 0xFF;
    rootItem.nextIndex = 0xFF;
    rootItem.childIndex = 10;
    rootItem.recordNo = 10;
    rootItem.group = 0xCD;
    rootItem.canHoldItems = 1;
    EXPECT_EQ(menuRoot->item, rootItem);
    EXPECT_FALSE(menuRoot->hasChildren());
}

TEST_F(TreeEdit, NewDocumentReplacesTheOldOneButKeepsTheCustomCounter)
{
    MenuNode* custom = insert("Custom item", root(), InsertPosition::AddSubitemLast);
    giveData(custom, blockOf({kind::MenuTitle}));
    ASSERT_EQ(menu.customCounter, 1);

    MenuNode* selected = startNewMenu(doc());
    EXPECT_EQ(selected, root());
    EXPECT_EQ(doc().nodeCount(), 9u);
    EXPECT_EQ(doc().data().count(), 0u);
    EXPECT_EQ(menu.customCounter, 1);
    EXPECT_EQ(insert("Custom item", root(), InsertPosition::AddSubitemLast)->item.name, "~2");
}

// --- inserting ------------------------------------------------------------------------

TEST_F(TreeEdit, FirstItemUnderTheMenuRoot)
{
    auto r = insertAvailableItem(menu, entry("Mutilmedia"), root(), InsertPosition::AddSubitemLast);
    ASSERT_TRUE(r.ok()) << r.error();
    MenuNode* node = r->node;
    EXPECT_FALSE(r->custom);
    EXPECT_EQ(doc().indexOf(node), 9);
    EXPECT_EQ(node->caption(), "Multimedia");
    MenuRecord expected;
    expected.name = "Mutilmedia";
    expected.itemType = 0;
    expected.parentIndex = 9;
    expected.nextIndex = 0xFF;
    expected.childIndex = 0xFF;
    expected.recordNo = 11;
    expected.options = 0;
    expected.attributes = 0x41;
    expected.group = 0xCD;
    expected.canHoldItems = 1;
    EXPECT_EQ(node->item, expected);
    EXPECT_EQ(root()->item.childIndex, 10);
    EXPECT_EQ(root()->item.itemType, 1);
}

TEST_F(TreeEdit, TheFourPositions)
{
    MenuNode* b = sub("Browser", root());
    MenuNode* c = sub("Camera", root());
    // An identifier that differs in letter case is no available item.
    EXPECT_FALSE(insertAvailableItem(menu, entry("browser"), b, InsertPosition::AddBefore).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Browser", "Camera"}));

    insert("AIM", c, InsertPosition::AddBefore);         // directly before Camera
    insert("2CLICK", c, InsertPosition::AddFirst);       // first of Camera's siblings
    insert("Games", c, InsertPosition::AddSubitemFirst);
    insert("Radio", c, InsertPosition::AddSubitemFirst); // before Games
    insert("Tools", c, InsertPosition::AddSubitemLast);  // after Games
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"2CLICK", "Browser", "AIM", "Camera", "Radio",
                                                        "Games", "Tools"}));
    expectConsistent();
}

TEST_F(TreeEdit, LayoutOfANestedTreeBuiltByInserts)
{
    // Menu Root -> (T0, T1), T0 -> (A, B), A -> (D), T1 -> (C): positions T0 10, T1 11,
    // A 12, B 13, D 14, C 15, so recordNo 11 to 16.
    MenuNode* t0 = sub("Tools", root());
    MenuNode* t1 = sub("Games", root());
    MenuNode* a = sub("AIM", t0);
    MenuNode* b = sub("Browser", t0);
    MenuNode* d = sub("Datebook", a);
    MenuNode* c = sub("Camera", t1);
    const std::vector<std::pair<MenuNode*, int>> expected = {{t0, 11}, {t1, 12}, {a, 13},
                                                             {b, 14},  {d, 15},  {c, 16}};
    for (const auto& [node, recordNo] : expected)
        EXPECT_EQ(node->item.recordNo, recordNo) << node->caption();
    EXPECT_EQ(t0->item.itemType, 1);
    EXPECT_EQ(t0->item.childIndex, 12);
    EXPECT_EQ(a->item.childIndex, 14);
    EXPECT_EQ(t1->item.childIndex, 15);
    EXPECT_EQ(b->item.itemType, 0);
    expectConsistent();
}

TEST_F(TreeEdit, SubitemTurnsAnItemIntoAContainerKeepingTitlesAndIcons)
{
    MenuNode* item = sub("Browser", root());
    item->item.itemType = kTypeUrl;
    giveData(item, blockOf({kind::Url, kind::MenuTitle, kind::DrmListIcon, kind::Unsupported,
                            kind::FileIcon, kind::SoftkeyTitle, kind::DrmStaticIcon,
                            kind::DrmAnimatedIcon, kind::ShortcutData}));
    menu.saveMode.setSaveAll(true);

    MenuNode* child = insert("Games", item, InsertPosition::AddSubitemFirst);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(item->item.itemType, 1);
    const ItemDataBlock* block = doc().data().at(item->item.recordNo);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(kindsOf(block), (std::vector<uint8_t>{0, 15, 12, 1, 16, 17}));
    EXPECT_TRUE(item->item.hasData);
    // Two titles of 11 bytes, three DRM icons of 4 and a file icon of 3 (its role and an empty
    // path's zero unit), each with its 3-byte header.
    EXPECT_EQ(item->item.dataLength, 2 * (11 + 3) + 3 * (4 + 3) + (3 + 3));
    EXPECT_EQ(block->owner, item->item.recordNo);
    expectConsistent();
}

TEST_F(TreeEdit, SubitemUnderAnItemWithOnlyFunctionDataDropsItsBlock)
{
    MenuNode* first = sub("AIM", root());
    MenuNode* item = sub("Browser", root());
    giveData(item, blockOf({kind::Url, kind::Midlet1, kind::Unsupported}));
    giveData(first, blockOf({kind::MenuTitle}));
    ASSERT_EQ(doc().data().count(), 2u);

    insert("Games", item, InsertPosition::AddSubitemLast);
    EXPECT_EQ(item->item.itemType, 1);
    EXPECT_FALSE(item->item.hasData);
    EXPECT_EQ(item->item.dataLength, 0);
    EXPECT_EQ(doc().data().at(item->item.recordNo), nullptr);
    EXPECT_EQ(doc().data().count(), 1u);
    EXPECT_NE(doc().data().at(first->item.recordNo), nullptr);
    expectConsistent();
}

TEST_F(TreeEdit, SubitemUnderAShortcutItemLosesTheShortcutData)
{
    MenuNode* item = sub("DialedCalls", root());
    ASSERT_EQ(item->item.itemType, 9);
    insert("Games", item, InsertPosition::AddSubitemLast);
    EXPECT_EQ(item->item.itemType, 1);
    EXPECT_FALSE(item->item.hasData);
    EXPECT_EQ(doc().data().count(), 0u);
}

TEST_F(TreeEdit, AddingBesideANodeLeavesTheParentsDataAlone)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* child = sub("Games", folder);
    giveData(folder, blockOf({kind::MenuTitle, kind::Url}));
    insert("Radio", child, InsertPosition::AddBefore);
    insert("Camera", child, InsertPosition::AddFirst);
    EXPECT_EQ(kindsOf(doc().data().at(folder->item.recordNo)), (std::vector<uint8_t>{0, 5}));
    expectConsistent();
}

TEST_F(TreeEdit, BlocksMoveWithTheirNodesWhenItemsAreInsertedBefore)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* leaf = sub("Games", folder);
    giveData(leaf, blockOf({kind::MenuTitle}));
    giveData(folder, blockOf({kind::SoftkeyTitle}));
    ASSERT_EQ(leaf->item.recordNo, 12);

    insert("Radio", folder, InsertPosition::AddBefore);
    insert("Camera", folder, InsertPosition::AddBefore);
    EXPECT_EQ(folder->item.recordNo, 13);
    EXPECT_EQ(leaf->item.recordNo, 14);
    ASSERT_NE(doc().data().at(14), nullptr);
    EXPECT_EQ(kindsOf(doc().data().at(14)), (std::vector<uint8_t>{kind::MenuTitle}));
    EXPECT_EQ(kindsOf(doc().data().at(13)), (std::vector<uint8_t>{kind::SoftkeyTitle}));
    EXPECT_EQ(doc().data().count(), 2u);
    expectConsistent();
}

TEST_F(TreeEdit, CustomItemsAreNumberedOneAfterAnother)
{
    auto r1 = insertAvailableItem(menu, customEntry(), root(), InsertPosition::AddSubitemLast);
    auto r2 = insertAvailableItem(menu, customEntry(), r1->node, InsertPosition::AddBefore);
    ASSERT_TRUE(r1.ok() && r2.ok());
    EXPECT_TRUE(r1->custom);
    EXPECT_TRUE(r2->custom);
    EXPECT_EQ(r1->node->item.name, "~1");
    EXPECT_EQ(r1->node->caption(), "~1");
    EXPECT_EQ(r2->node->item.name, "~2");
    EXPECT_EQ(r1->node->item.options, 0x18);
    EXPECT_EQ(r1->node->item.attributes, 0x41);
    EXPECT_EQ(r1->node->item.canHoldItems, 1);
    EXPECT_EQ(menu.customCounter, 2);
}

TEST_F(TreeEdit, CustomNumberingContinuesAfterTheCounterAFileRaised)
{
    menu.customCounter = 7;  // what reading a file with "~7" leaves behind
    EXPECT_EQ(insert("Custom item", root(), InsertPosition::AddSubitemLast)->item.name, "~8");
    // A softkey "~9" raises the counter by one only: its number is passed over.
    at(1)->item.name = "~9";
    EXPECT_EQ(insert("Custom item", root(), InsertPosition::AddSubitemLast)->item.name, "~10");
}

TEST_F(TreeEdit, CustomNumbersPast255ReuseTheLowestFreeOneOfTheDocument)
{
    menu.customCounter = 254;
    MenuNode* last = insert("Custom item", root(), InsertPosition::AddSubitemLast);
    EXPECT_EQ(last->item.name, "~255");
    last->item.name = "~1";
    menu.document.setCaption(last, "~1");
    MenuNode* a = insert("Custom item", root(), InsertPosition::AddSubitemLast);
    MenuNode* b = insert("Custom item", root(), InsertPosition::AddSubitemLast);
    EXPECT_EQ(a->item.name, "~2");
    EXPECT_EQ(b->item.name, "~3");
    EXPECT_EQ(menu.customCounter, 255);
}

TEST_F(TreeEdit, ShortcutEntriesGetShortcutData)
{
    MenuNode* first = sub("Games", root());
    auto r = insertAvailableItem(menu, entry("DialedCalls"), first, InsertPosition::AddBefore);
    ASSERT_TRUE(r.ok());
    MenuNode* node = r->node;
    EXPECT_EQ(node->caption(), "DialedCalls [SC]");
    EXPECT_EQ(node->item.name, "DialedCalls");
    EXPECT_EQ(node->item.itemType, 9);
    EXPECT_TRUE(node->item.hasData);
    EXPECT_EQ(node->item.dataLength, 28);  // 25 bytes and the 3-byte record header

    const ItemDataBlock* block = doc().data().at(node->item.recordNo);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->owner, 11);
    ASSERT_EQ(block->entries.size(), 1u);
    const DataEntry& e = block->entries[0];
    EXPECT_EQ(e.kind, 23);
    EXPECT_EQ(encodedPayloadLength(e), 25u);
    const std::vector<uint8_t> bytes = {
        'D', 'i', 'a', 'l', 'e', 'd', 'C', 'a', 'l', 'l', 's',  // the identifier
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,               // zero padding to 25 bytes
    };
    EXPECT_EQ(e.bytes, bytes);

    // The block follows its node when an item is put before it.
    insert("Radio", node, InsertPosition::AddFirst);
    EXPECT_EQ(node->item.recordNo, 12);
    ASSERT_NE(doc().data().at(12), nullptr);
    EXPECT_EQ(doc().data().at(12)->entries[0].bytes, bytes);
    expectConsistent();
}

TEST_F(TreeEdit, ShortcutIdentifiersLongerThan24AreCutToKeepTheirZero)
{
    MenuNode* node = sub("Games", root());
    ASSERT_TRUE(attachShortcutData(doc(), node, "ABCDEFGHIJKLMNOPQRSTUVWXYZ").ok());
    const auto& bytes = doc().data().at(node->item.recordNo)->entries[0].bytes;
    ASSERT_EQ(bytes.size(), 25u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 24), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(bytes[24], 0);
    EXPECT_FALSE(attachShortcutData(doc(), nullptr, "Games").ok());
}

TEST_F(TreeEdit, ProfileShortcutEntriesAreRecognisedByTheirDisplayName)
{
    menu.items.setAvailable({{"Games", "Games"}, {"MyShort", "MyShort [SC]"}});
    MenuNode* node = sub("MyShort", root());
    EXPECT_EQ(node->item.itemType, 9);
    EXPECT_EQ(asciiText(doc().data().at(node->item.recordNo)->entries[0]), "MyShort");
}

// --- the item-count limit -------------------------------------------------------------

TEST_F(TreeEdit, The246thItemIsRefusedWithAMessage)
{
    MenuNode* folder = sub("Tools", root());
    for (size_t i = 1; i < kMaxMenuItems; ++i)
        ASSERT_NE(sub(i % 2 ? "Games" : "Radio", i % 3 ? folder : root()), nullptr) << i;
    ASSERT_EQ(doc().nodeCount(), 254u);
    MenuNode* last = at(253);
    // Records 0 to 254 are all taken: the highest recordNo is 255.
    uint8_t highest = 0;
    for (MenuNode* n : doc().preorder())
        highest = std::max(highest, n->item.recordNo);
    EXPECT_EQ(highest, 255);
    expectConsistent();

    const uint8_t counter = menu.customCounter;
    const std::vector<std::string> before = menuCaptions();
    for (InsertPosition p : {InsertPosition::AddBefore, InsertPosition::AddFirst,
                             InsertPosition::AddSubitemFirst, InsertPosition::AddSubitemLast}) {
        auto r = insertAvailableItem(menu, customEntry(), folder, p);
        EXPECT_EQ(r.failure(), Error(ErrorKind::Refused, "The menu is full: mma_ucp can hold at most 245 menu items",
                                     "Warning"));
    }
    auto drop = dropOntoNode(menu, last, DragSource::availableEntry(entry("Games")));
    EXPECT_FALSE(drop.ok());
    EXPECT_EQ(doc().nodeCount(), 254u);
    EXPECT_EQ(menuCaptions(), before);
    EXPECT_EQ(menu.customCounter, counter);
    expectConsistent();

    // Replacing and moving still work on a full menu.
    EXPECT_TRUE(replaceWithItem(menu, entry("Camera"), last).ok());
    EXPECT_TRUE(moveNodeUp(doc(), last).ok());
    EXPECT_TRUE(deleteSubtree(doc(), last).ok());
    EXPECT_NE(sub("Games", root()), nullptr);
    expectConsistent();
}

// --- replacing ------------------------------------------------------------------------

TEST_F(TreeEdit, ReplacingASoftkeyKeepsItsPrefix)
{
    MenuNode* lsk = at(1);
    giveData(lsk, blockOf({kind::SoftkeyTitle}));
    auto r = replaceWithItem(menu, entry("Message"), lsk);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->node, lsk);
    EXPECT_FALSE(r->custom);
    EXPECT_EQ(lsk->caption(), "LSK: Message");
    EXPECT_EQ(lsk->item.name, "Message");
    EXPECT_EQ(lsk->item.recordNo, 3);
    EXPECT_EQ(lsk->item.group, 0xCC);
    EXPECT_EQ(lsk->item.attributes, 0x40);
    EXPECT_EQ(lsk->item.options, 0);
    EXPECT_FALSE(lsk->item.hasData);
    EXPECT_EQ(doc().data().at(3), nullptr);

    EXPECT_EQ(replaceWithItem(menu, entry("Mutilmedia"), at(7)).value().node->caption(), "Smart: Multimedia");
    EXPECT_EQ(replaceWithItem(menu, customEntry(), at(2)).value().node->caption(), "RSK: ~1");
    auto sc = replaceWithItem(menu, entry("HomeScreen"), at(4));
    EXPECT_EQ(at(4)->caption(), "Down: HomeScreen [SC]");
    EXPECT_EQ(at(4)->item.itemType, 9);
    ASSERT_NE(doc().data().at(6), nullptr);
    EXPECT_EQ(asciiText(doc().data().at(6)->entries[0]), "HomeScreen");
}

TEST_F(TreeEdit, ReplacingFreesTheBlockFromTheTable)
{
    MenuNode* item = sub("Browser", root());
    MenuNode* other = sub("Games", root());
    item->item.itemType = kTypeUrl;
    giveData(item, blockOf({kind::MenuTitle, kind::Url}));
    giveData(other, blockOf({kind::MenuTitle}));
    item->item.options = 0x08;
    item->item.attributes = 0x60;
    ASSERT_EQ(doc().data().count(), 2u);

    ASSERT_TRUE(replaceWithItem(menu, entry("Camera"), item).ok());
    EXPECT_EQ(item->caption(), "Camera");
    EXPECT_EQ(item->item.name, "Camera");
    EXPECT_EQ(item->item.itemType, 0);
    EXPECT_EQ(item->item.options, 0);
    EXPECT_EQ(item->item.attributes, 0x40);
    EXPECT_FALSE(item->item.hasData);
    EXPECT_EQ(item->item.dataLength, 0);
    EXPECT_EQ(doc().data().at(item->item.recordNo), nullptr);
    EXPECT_EQ(doc().data().count(), 1u);
    expectConsistent();
}

TEST_F(TreeEdit, ReplacingAContainerKeepsItAContainerAndCustomGetsItsOptions)
{
    MenuNode* folder = sub("Tools", root());
    sub("Games", folder);
    auto r = replaceWithItem(menu, customEntry(), folder);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->custom);
    EXPECT_EQ(folder->item.itemType, 1);
    EXPECT_EQ(folder->item.name, "~1");
    EXPECT_EQ(folder->caption(), "~1");
    EXPECT_EQ(folder->item.options, 0x18);
    EXPECT_EQ(folder->item.attributes, 0x40);
    expectConsistent();
}

TEST_F(TreeEdit, ReplaceTakesTheFirstEntryWithTheIdentifier)
{
    menu.items.setAvailable({{"Games", "Games first"}, {"Games", "Games second"}, {"Radio", "Radio"}});
    MenuNode* node = sub("Radio", root());
    ASSERT_TRUE(replaceWithItem(menu, 1, node).ok());
    EXPECT_EQ(node->caption(), "Games first");
}

// --- deleting -------------------------------------------------------------------------

TEST_F(TreeEdit, DeleteAsksFirstAndNoLeavesTheTreeAlone)
{
    MenuNode* item = sub("Games", root());
    prompter.answers = {Answer::No};
    auto r = deleteSubtreeAfterAsking(doc(), item, prompter);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.value());
    EXPECT_EQ(prompter.prompts,
              (std::vector<Prompt>{{MessageIcon::Warning, "Warning",
                                    "The item and all its subitems will be deleted\r\n           Continue?", true}}));
    EXPECT_EQ(doc().nodeCount(), 10u);

    prompter.answers = {Answer::Yes};
    r = deleteSubtreeAfterAsking(doc(), item, prompter);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.value());
    EXPECT_EQ(doc().nodeCount(), 9u);

    // A node that may not be deleted is refused without a question.
    prompter.prompts.clear();
    EXPECT_FALSE(deleteSubtreeAfterAsking(doc(), root(), prompter).ok());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(TreeEdit, DeleteFreesTheBlocksOfTheWholeSubtreeAndMovesTheOthers)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* inner = sub("Games", folder);
    MenuNode* deep = sub("Radio", inner);
    MenuNode* after = sub("Camera", root());
    MenuNode* afterChild = sub("AIM", after);
    giveData(folder, blockOf({kind::MenuTitle}));
    giveData(deep, blockOf({kind::Url}));
    giveData(after, blockOf({kind::SoftkeyTitle}));
    giveData(afterChild, blockOf({kind::DrmListIcon}));
    ASSERT_EQ(doc().data().count(), 4u);

    ASSERT_TRUE(deleteSubtree(doc(), folder).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Camera", "AIM"}));
    EXPECT_EQ(doc().data().count(), 2u);
    EXPECT_EQ(after->item.recordNo, 11);
    EXPECT_EQ(afterChild->item.recordNo, 12);
    EXPECT_EQ(kindsOf(doc().data().at(11)), (std::vector<uint8_t>{kind::SoftkeyTitle}));
    EXPECT_EQ(kindsOf(doc().data().at(12)), (std::vector<uint8_t>{kind::DrmListIcon}));
    expectConsistent();
}

TEST_F(TreeEdit, DeletingTheLastChildTurnsTheContainerBackIntoAnItem)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* only = sub("Games", folder);
    ASSERT_EQ(folder->item.itemType, 1);
    ASSERT_TRUE(deleteSubtree(doc(), only).ok());
    EXPECT_EQ(folder->item.itemType, 0);
    EXPECT_EQ(folder->item.childIndex, 0xFF);

    // The last item of the menu: the Menu Root keeps its childIndex.
    ASSERT_TRUE(deleteSubtree(doc(), folder).ok());
    EXPECT_EQ(doc().nodeCount(), 9u);
    EXPECT_EQ(root()->item.itemType, 1);
    EXPECT_EQ(root()->item.childIndex, 10);
}

// --- moving ---------------------------------------------------------------------------

TEST_F(TreeEdit, MoveUpAndDownAmongSiblings)
{
    MenuNode* a = sub("AIM", root());
    MenuNode* b = sub("Browser", root());
    MenuNode* c = sub("Camera", root());
    giveData(c, blockOf({kind::MenuTitle}));

    EXPECT_FALSE(moveNodeUp(doc(), a).ok());
    EXPECT_FALSE(moveNodeDown(doc(), c).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"AIM", "Browser", "Camera"}));

    ASSERT_TRUE(moveNodeUp(doc(), c).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"AIM", "Camera", "Browser"}));
    EXPECT_EQ(c->item.recordNo, 12);
    EXPECT_EQ(kindsOf(doc().data().at(12)), (std::vector<uint8_t>{kind::MenuTitle}));

    ASSERT_TRUE(moveNodeDown(doc(), a).ok());  // first of three becomes second
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Camera", "AIM", "Browser"}));
    ASSERT_TRUE(moveNodeDown(doc(), a).ok());  // second-to-last becomes last
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Camera", "Browser", "AIM"}));
    EXPECT_EQ(a->item.nextIndex, 0xFF);
    EXPECT_EQ(b->item.nextIndex, b->item.recordNo);
    EXPECT_EQ(c->item.recordNo, 11);
    EXPECT_EQ(kindsOf(doc().data().at(11)), (std::vector<uint8_t>{kind::MenuTitle}));
    expectConsistent();
}

TEST_F(TreeEdit, MovingASubtreeCarriesItsChildrenAndTheirBlocks)
{
    MenuNode* first = sub("Tools", root());
    MenuNode* second = sub("Games", root());
    MenuNode* child = sub("Radio", first);
    MenuNode* grandChild = sub("AIM", child);
    sub("Camera", second);
    giveData(grandChild, blockOf({kind::Url}));

    ASSERT_TRUE(moveNodeDown(doc(), first).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Games", "Camera", "Tools", "Radio", "AIM"}));
    // Games 11, Tools 12, Camera 13, Radio 14, AIM 15.
    EXPECT_EQ(grandChild->item.recordNo, 15);
    EXPECT_EQ(kindsOf(doc().data().at(15)), (std::vector<uint8_t>{kind::Url}));
    expectConsistent();
}

// --- drag and drop --------------------------------------------------------------------

TEST_F(TreeEdit, DroppingATreeNodeMovesItBeforeTheTarget)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* only = sub("Games", folder);
    MenuNode* other = sub("Camera", root());
    giveData(only, blockOf({kind::MenuTitle}));

    auto r = dropOntoNode(menu, other, DragSource::treeNode(only));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->node, only);
    EXPECT_FALSE(r->custom);
    EXPECT_EQ(only->parent(), root());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Tools", "Games", "Camera"}));
    // The folder lost its last child.
    EXPECT_EQ(folder->item.itemType, 0);
    EXPECT_EQ(kindsOf(doc().data().at(only->item.recordNo)), (std::vector<uint8_t>{kind::MenuTitle}));
    expectConsistent();

    // Into a deeper group.
    MenuNode* inner = sub("Radio", other);
    ASSERT_TRUE(dropOntoNode(menu, inner, DragSource::treeNode(folder)).ok());
    EXPECT_EQ(folder->parent(), other);
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Games", "Camera", "Tools", "Radio"}));
    expectConsistent();
}

TEST_F(TreeEdit, DroppingANodeOnItselfOrItsSubtreeIsRefused)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* child = sub("Games", folder);
    MenuNode* grandChild = sub("Radio", child);
    const std::vector<std::string> before = menuCaptions();

    for (MenuNode* target : {folder, child, grandChild}) {
        EXPECT_FALSE(canDragNode(doc(), folder, target)) << target->caption();
        EXPECT_FALSE(canAcceptDrop(doc(), target, DragSource::treeNode(folder)));
        EXPECT_FALSE(dropOntoNode(menu, target, DragSource::treeNode(folder)).ok());
    }
    EXPECT_EQ(menuCaptions(), before);
    EXPECT_EQ(folder->parent(), root());
    // The other way round is fine: a child moved before its ancestor.
    EXPECT_TRUE(dropOntoNode(menu, folder, DragSource::treeNode(grandChild)).ok());
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Radio", "Tools", "Games"}));
    expectConsistent();
}

TEST_F(TreeEdit, DroppingAnAvailableEntryInsertsBeforeTheTarget)
{
    MenuNode* folder = sub("Tools", root());
    MenuNode* child = sub("Games", folder);
    giveData(folder, blockOf({kind::MenuTitle, kind::Url}));

    auto r = dropOntoNode(menu, child, DragSource::availableEntry(customEntry()));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->custom);
    EXPECT_EQ(r->node->parent(), folder);
    EXPECT_EQ(r->node->item.name, "~1");
    EXPECT_EQ(r->node->item.options, 0x18);
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"Tools", "~1", "Games"}));
    // The parent's block is not filtered by a drop.
    EXPECT_EQ(kindsOf(doc().data().at(folder->item.recordNo)), (std::vector<uint8_t>{0, 5}));

    auto sc = dropOntoNode(menu, folder, DragSource::availableEntry(entry("WallPaper")));
    ASSERT_TRUE(sc.ok());
    EXPECT_EQ(sc->node->item.itemType, 9);
    EXPECT_EQ(sc->node->item.dataLength, 28);
    expectConsistent();
}

TEST_F(TreeEdit, DropsOutsideTheMainMenuAreRefused)
{
    MenuNode* item = sub("Games", root());
    for (size_t index = 0; index <= 8; ++index) {
        EXPECT_FALSE(dropOntoNode(menu, at(index), DragSource::availableEntry(0)).ok()) << index;
        EXPECT_FALSE(dropOntoNode(menu, at(index), DragSource::treeNode(item)).ok()) << index;
        EXPECT_FALSE(dropOntoNode(menu, item, DragSource::treeNode(at(index))).ok()) << index;
    }
    EXPECT_FALSE(dropOntoNode(menu, nullptr, DragSource::availableEntry(0)).ok());
    EXPECT_FALSE(dropOntoNode(menu, item, DragSource::treeNode(nullptr)).ok());
    EXPECT_FALSE(dropOntoNode(menu, item, DragSource::availableEntry(menu.items.available().size())).ok());
    EXPECT_EQ(doc().nodeCount(), 10u);
    EXPECT_EQ(item->parent(), root());
}

// --- deep trees -----------------------------------------------------------------------

TEST_F(TreeEdit, DeepChainKeepsItsLinksThroughEveryOperation)
{
    std::vector<MenuNode*> chain;
    MenuNode* parent = root();
    for (int depth = 0; depth < 60; ++depth) {
        parent = sub(depth % 2 ? "Games" : "Tools", parent);
        chain.push_back(parent);
        giveData(parent, blockOf({kind::MenuTitle}));
    }
    MenuNode* radio = sub("Radio", root());
    // The Menu Root's group first (chain[0] 11, Radio 12), then the chain below chain[0].
    EXPECT_EQ(radio->item.recordNo, 12);
    EXPECT_EQ(chain[1]->item.recordNo, 13);
    EXPECT_EQ(chain.back()->item.recordNo, 71);
    expectConsistent();

    ASSERT_TRUE(moveNodeUp(doc(), radio).ok());
    EXPECT_EQ(chain[0]->item.recordNo, 12);
    ASSERT_TRUE(deleteSubtree(doc(), chain[30]).ok());
    EXPECT_EQ(chain[29]->item.itemType, 0);
    EXPECT_EQ(doc().data().count(), 30u);
    ASSERT_TRUE(dropOntoNode(menu, radio, DragSource::treeNode(chain[20])).ok());
    EXPECT_EQ(chain[19]->item.itemType, 0);
    EXPECT_EQ(chain[20]->item.recordNo, 11);
    EXPECT_EQ(doc().data().count(), 30u);
    for (MenuNode* n : {chain[0], chain[19], chain[20], chain[29]})
        EXPECT_NE(doc().data().at(n->item.recordNo), nullptr) << n->item.recordNo;
    expectConsistent();
}

} // namespace
} // namespace tessaro
