#include "session/document_controller.h"

#include "core/open_menu.h"

namespace tessaro {

DocumentController::DocumentController(OpenMenu& menu) : menu_(menu), history_(menu) {}

void DocumentController::opened(bool repaired)
{
    open_ = !menu_.document.isEmpty();
    history_.clear();
    if (open_ && repaired)
        history_.setUnsaved();
    announce();
}

void DocumentController::saved()
{
    history_.setSaved();
    announce();
}

std::optional<ViewState> DocumentController::undo(ViewState current)
{
    if (!open_)
        return std::nullopt;
    const auto view = history_.undo(std::move(current));
    announce();
    return view;
}

std::optional<ViewState> DocumentController::redo(ViewState current)
{
    if (!open_)
        return std::nullopt;
    const auto view = history_.redo(std::move(current));
    announce();
    return view;
}

void DocumentController::commit(std::string_view step, UndoHistory::Snapshot before)
{
    // Before the first New or Open there is nothing to take back; an action that changed
    // nothing is no step and needs no redrawing.
    if (open_ && history_.commit(step, std::move(before)))
        announce();
}

void DocumentController::announce()
{
    if (listener_)
        listener_();
}

} // namespace tessaro
