#pragma once
// The menu document as a Qt item model: two top rows (Softkeys, Menu Root), one column of
// captions, not editable. Follows every change of the document through its observer.

#include <QAbstractItemModel>

#include <functional>

#include "core/menu_document.h"

namespace tessaro {

class MenuTreeModel : public QAbstractItemModel, private DocumentObserver {
    Q_OBJECT
public:
    explicit MenuTreeModel(MenuDocument& document, QObject* parent = nullptr);
    ~MenuTreeModel() override;

    MenuDocument& document() const { return document_; }
    // The node of an index (nullptr for the invisible root) and back.
    MenuNode* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(const MenuNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // What a node shows beside its name: `decoration` answers the decoration and tooltip roles
    // (an invalid QVariant for nothing). decorationsChanged() has the views ask again.
    using Decoration = std::function<QVariant(const MenuNode& node, int role)>;
    void setDecoration(Decoration decoration) { decoration_ = std::move(decoration); }
    void decorationsChanged();

Q_SIGNALS:
    // A node was added to the tree (the status line counts entries again).
    void nodeAdded(tessaro::MenuNode* node);

private:
    void documentReset() override;
    void nodeAboutToBeInserted(MenuNode* parent, size_t row) override;
    void nodeInserted(MenuNode* node) override;
    void nodeAboutToBeRemoved(MenuNode* node) override;
    void nodeRemoved(MenuNode* parent, size_t row) override;
    void nodeAboutToBeMoved(MenuNode* node, MenuNode* newParent, size_t row) override;
    void nodeMoved(MenuNode* node) override;
    void nodeChanged(MenuNode* node) override;

    int rowOf(const MenuNode* node) const;

    MenuDocument& document_;
    bool moveAsLayoutChange_ = false;
    Decoration decoration_;
};

} // namespace tessaro
