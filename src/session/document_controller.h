#pragma once
// The menu as a user works on it, for the editor's window and `tessaro-cli edit` alike: the
// menu's document, its undo history and whether a document is open. Every change a user
// makes runs through change(), which records it as one undo step; the listener hears of each
// change once, whatever caused it, and redraws what depends on the document.

#include <cassert>
#include <functional>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/result.h"
#include "edit/undo_history.h"

namespace tessaro {

struct OpenMenu;

class DocumentController {
public:
    // Told after every recorded change of the open document or its save mode, and after
    // every change of its history or open state.
    using Listener = std::function<void()>;

    explicit DocumentController(OpenMenu& menu);

    OpenMenu& menu() { return menu_; }
    const UndoHistory& history() const { return history_; }
    // A document was made or read and has not been closed since.
    bool isOpen() const { return open_; }
    // The open document differs from what was last opened or saved.
    bool isModified() const { return open_ && history_.isModified(); }

    void setListener(Listener listener) { listener_ = std::move(listener); }

    // A document was made or read (New, Open, Open from phone): a fresh history; open when it
    // holds nodes. A `repaired` one differs from its file, so it counts as modified.
    void opened(bool repaired = false);
    // The document as it stands was saved, to a file or to the phone.
    void saved();

    // Runs the user action `step` on the document. When it changed the document (or its save
    // mode), the state before becomes an undo step; `view` is where the tree stood, given
    // back by an undo. Returns what `action` returns. Without an open document nothing is
    // recorded. A change that starts while another runs (from a dialog's event loop inside
    // it, say) is refused: its action does not run (an assertion in debug builds).
    template <typename Action>
    decltype(auto) change(std::string_view step, ViewState view, Action&& action)
    {
        using Returned = decltype(std::forward<Action>(action)());
        assert(!changing_ && "a change started while another one runs");
        if (changing_) {
            if constexpr (std::is_void_v<Returned>)
                return;
            else if constexpr (std::is_constructible_v<Returned, Error>)
                return Returned(Error(ErrorKind::Refused, "A change started while another one runs"));
            else
                return Returned{};
        }
        UndoHistory::Snapshot before = history_.capture(std::move(view));
        changing_ = true;
        struct Commit {
            DocumentController& self;
            std::string_view step;
            UndoHistory::Snapshot& before;
            ~Commit()
            {
                self.changing_ = false;
                self.commit(step, std::move(before));
            }
        } commit{*this, step, before};
        return std::forward<Action>(action)();
    }

    // Takes back the last step / brings back the last undone one; the view to show, nothing
    // when there was no step.
    std::optional<ViewState> undo(ViewState current = {});
    std::optional<ViewState> redo(ViewState current = {});

private:
    void commit(std::string_view step, UndoHistory::Snapshot before);
    void announce();

    OpenMenu& menu_;
    UndoHistory history_;
    bool open_ = false;
    bool changing_ = false;
    Listener listener_;
};

} // namespace tessaro
