#include <gtest/gtest.h>

#include "core/menu_document.h"
#include "core/renumber.h"

namespace tessaro {
namespace {

std::unique_ptr<MenuNode> node(const std::string& name, uint8_t type = kTypeItem)
{
    MenuRecord item;
    item.name = name;
    item.itemType = type;
    return std::make_unique<MenuNode>(name, item);
}

// Softkeys with seven softkeys and an empty Menu Root.
void buildTop(MenuDocument& doc)
{
    auto softkeys = node("Container", kTypeContainer);
    auto root = node("MenuRoot", kTypeContainer);
    doc.setTopNodes(std::move(softkeys), std::move(root));
    for (int i = 0; i < 7; ++i) {
        auto key = node("Key" + std::to_string(i));
        key->item.recordNo = static_cast<uint8_t>(i + 3);
        key->item.group = kGroupSoftkeys;
        doc.appendNode(doc.softkeys(), std::move(key));
    }
    doc.menuRoot()->item.recordNo = 10;
}

TEST(Renumber, SiblingGroupOrderOfNestedTree)
{
    // Root -> (T0, T1), T0 -> (A, B), A -> (D), T1 -> (C)
    MenuDocument doc;
    buildTop(doc);
    MenuNode* t0 = doc.appendNode(doc.menuRoot(), node("T0"));
    MenuNode* t1 = doc.appendNode(doc.menuRoot(), node("T1"));
    MenuNode* a = doc.appendNode(t0, node("A"));
    MenuNode* b = doc.appendNode(t0, node("B"));
    MenuNode* d = doc.appendNode(a, node("D"));
    MenuNode* c = doc.appendNode(t1, node("C"));
    renumberTree(doc);

    // Record positions T0 10, T1 11, A 12, B 13, D 14, C 15; recordNo is position + 1.
    EXPECT_EQ(t0->item.recordNo, 11);
    EXPECT_EQ(t1->item.recordNo, 12);
    EXPECT_EQ(a->item.recordNo, 13);
    EXPECT_EQ(b->item.recordNo, 14);
    EXPECT_EQ(d->item.recordNo, 15);
    EXPECT_EQ(c->item.recordNo, 16);
    for (MenuNode* n : {t0, t1, a, b, d, c})
        EXPECT_EQ(recordNumberOf(doc, n), n->item.recordNo) << n->caption();

    EXPECT_EQ(doc.menuRoot()->item.childIndex, 10);
    EXPECT_EQ(t0->item.parentIndex, 9);
    EXPECT_EQ(t0->item.nextIndex, 11);
    EXPECT_EQ(t1->item.nextIndex, kNoIndex);
    EXPECT_EQ(t0->item.childIndex, 12);
    EXPECT_EQ(a->item.parentIndex, 10);
    EXPECT_EQ(a->item.childIndex, 14);
    EXPECT_EQ(b->item.childIndex, kNoIndex);
    EXPECT_EQ(c->item.parentIndex, 11);
    EXPECT_EQ(t1->item.childIndex, 15);
}

TEST(Renumber, ChildlessContainerBecomesItemAndBlocksFollowTheirNodes)
{
    MenuDocument doc;
    buildTop(doc);
    MenuNode* first = doc.appendNode(doc.menuRoot(), node("First", kTypeContainer));
    MenuNode* second = doc.appendNode(doc.menuRoot(), node("Second"));
    renumberTree(doc);
    EXPECT_EQ(first->item.itemType, kTypeItem);

    ItemDataBlock block;
    block.entries.push_back(DataEntry{.kind = kind::Url, .bytes = {'x', 0}});
    doc.data().store(second->item.recordNo, block);
    second->item.hasData = true;
    ItemDataBlock softkeyBlock;
    softkeyBlock.entries.push_back(DataEntry{.kind = kind::Url, .bytes = {'k', 0}});
    doc.data().store(3, softkeyBlock);

    // Moving Second in front of First gives it recordNo 11; its block moves along.
    doc.moveNode(second, doc.menuRoot(), 0);
    renumberTree(doc);
    EXPECT_EQ(second->item.recordNo, 11);
    ASSERT_NE(doc.data().at(11), nullptr);
    EXPECT_EQ(doc.data().at(11)->owner, 11);
    EXPECT_EQ(doc.data().at(11)->entries[0].bytes[0], 'x');
    EXPECT_EQ(doc.data().at(12), nullptr);
    ASSERT_NE(doc.data().at(3), nullptr);  // softkey blocks stay in their slots
    EXPECT_EQ(doc.data().count(), 2u);
}

TEST(Renumber, AbsoluteIndicesFollowPreorder)
{
    MenuDocument doc;
    buildTop(doc);
    MenuNode* t0 = doc.appendNode(doc.menuRoot(), node("T0"));
    MenuNode* a = doc.appendNode(t0, node("A"));
    MenuNode* t1 = doc.appendNode(doc.menuRoot(), node("T1"));
    EXPECT_EQ(doc.nodeCount(), 12u);
    EXPECT_EQ(doc.indexOf(doc.softkeys()), 0);
    EXPECT_EQ(doc.indexOf(doc.menuRoot()), 8);
    EXPECT_EQ(doc.indexOf(t0), 9);
    EXPECT_EQ(doc.indexOf(a), 10);
    EXPECT_EQ(doc.indexOf(t1), 11);
    for (size_t i = 0; i < doc.nodeCount(); ++i)
        EXPECT_EQ(doc.indexOf(doc.nodeAt(i)), static_cast<int>(i));
    EXPECT_EQ(doc.nodeAt(12), nullptr);
    EXPECT_FALSE(doc.moveNode(t0, a, 0));  // never below itself
}

} // namespace
} // namespace tessaro
