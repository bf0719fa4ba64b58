#pragma once
// Undo and redo for the open document. Each user action is one step: the state of the
// document before it (tree with records and captions, item data, save mode) is kept whole.
// A document holds at most 255 records, so a copy is small and cheap next to the work of a
// renumbering. The custom counter is not part of a step: it is never lowered, so a custom
// number once handed out is not handed out again.
//
// The history also knows which state was last opened or saved, so "modified" means "differs
// from the saved state by the steps in between" and undoing back to it counts as unchanged.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/item_data.h"
#include "core/mma_item.h"
#include "core/save_mode.h"
#include "core/translatable.h"

namespace tessaro {

struct OpenMenu;

// The names of the steps, as the Edit menu shows them after "Undo " / "Redo ".
namespace undo_step {
inline constexpr std::string_view InsertItem = TRANSLATABLE("Core", "Insert item");
inline constexpr std::string_view ReplaceItem = TRANSLATABLE("Core", "Replace item");
inline constexpr std::string_view DeleteItem = TRANSLATABLE("Core", "Delete item");
inline constexpr std::string_view MoveUp = TRANSLATABLE("Core", "Move up");
inline constexpr std::string_view MoveDown = TRANSLATABLE("Core", "Move down");
inline constexpr std::string_view DropItem = TRANSLATABLE("Core", "Drop item");
inline constexpr std::string_view ModifyItem = TRANSLATABLE("Core", "Modify item");
inline constexpr std::string_view ChangeSaveMode = TRANSLATABLE("Core", "Change save mode");
} // namespace undo_step

// Where a view of the tree stood: the selected node and the expanded nodes, as absolute
// indices (-1: nothing selected). The history keeps it with each state and hands it back.
struct ViewState {
    int selected = -1;
    std::vector<int> expanded;

    bool operator==(const ViewState&) const = default;
};

class UndoHistory {
public:
    // A copy of everything an undo brings back, with the view it was seen in.
    struct Snapshot {
        struct Node {
            std::string caption;
            MenuRecord item;
            std::vector<Node> children;

            bool operator==(const Node&) const = default;
        };
        struct Slot {
            size_t slot = 0;
            ItemDataBlock block;

            bool operator==(const Slot&) const = default;
        };
        std::optional<Node> softkeys;
        std::optional<Node> menuRoot;
        std::vector<Slot> data;
        SaveMode saveMode;
        ViewState view;

        // Same document and save mode; the view does not count.
        bool sameDocument(const Snapshot& other) const;
    };

    // The most steps kept; the oldest go first.
    static constexpr size_t kMaxSteps = 500;

    explicit UndoHistory(OpenMenu& menu);

    // Starts a fresh history (New, Open, Open from phone): nothing to undo or redo, and the
    // document as it stands counts as saved.
    void clear();

    // The state before a user action; hand it to commit() once the action is done.
    Snapshot capture(ViewState view = {}) const;
    // Ends a user action. When the document differs from `before`, `before` becomes the step
    // `name` and every redo step is dropped; returns whether a step was recorded.
    bool commit(std::string_view name, Snapshot before);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Name of the step undo() / redo() would take back or bring again; empty when none.
    std::string undoName() const;
    std::string redoName() const;

    // Brings back the state before the last step. Returns the view that state was left in,
    // nothing when there is no step (the document is untouched). `current` is kept for redo.
    std::optional<ViewState> undo(ViewState current = {});
    // Brings back the state the last undo left; nothing when there is none.
    std::optional<ViewState> redo(ViewState current = {});

    // The document differs from the state last opened or saved.
    bool isModified() const { return savedAt_ != static_cast<long>(undo_.size()); }
    // The document as it stands has been saved (to a file or to the phone).
    void setSaved() { savedAt_ = static_cast<long>(undo_.size()); }
    // The document as it stands differs from what was read (a damaged file was repaired
    // while it was read), so it counts as modified until it is saved.
    void setUnsaved() { savedAt_ = -1; }

private:
    struct Step {
        std::string name;
        Snapshot state;
    };
    void restore(const Snapshot& state);

    OpenMenu& menu_;
    std::vector<Step> undo_;   // oldest first
    std::vector<Step> redo_;   // next redo last
    // Number of undo steps at the saved state; -1 when no sequence of undo and redo leads back.
    long savedAt_ = 0;
};

} // namespace tessaro
