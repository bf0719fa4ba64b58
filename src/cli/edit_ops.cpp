#include "cli/edit_ops.h"

#include <charconv>
#include <string>

#include "core/prompter.h"
#include "core/open_menu.h"
#include "edit/edit_rules.h"
#include "edit/tree_edit.h"
#include "session/document_controller.h"

namespace tessaro::cli {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits an op text into words from the left; the rest can be taken whole.
class OpText {
public:
    explicit OpText(std::string_view text) : text_(text) {}

    // The next blank-separated word; empty at the end.
    std::string_view word()
    {
        skipBlanks();
        size_t end = 0;
        while (end < text_.size() && !isBlank(text_[end]))
            ++end;
        const std::string_view w = text_.substr(0, end);
        text_.remove_prefix(end);
        return w;
    }
    // Everything after the blanks that follow the last word taken.
    std::string_view rest()
    {
        skipBlanks();
        const std::string_view r = text_;
        text_ = {};
        return r;
    }
    bool atEnd()
    {
        skipBlanks();
        return text_.empty();
    }

private:
    void skipBlanks()
    {
        while (!text_.empty() && isBlank(text_.front()))
            text_.remove_prefix(1);
    }
    std::string_view text_;
};

Error quoted(ErrorKind kind, const std::string& what, std::string_view text)
{
    return Error(kind, what + " \"" + std::string(text) + "\"");
}

// The node at an absolute index given as a decimal number.
Result<MenuNode*> nodeOf(std::string_view word, const OpenMenu& menu)
{
    if (word.empty())
        return Error(ErrorKind::Format, "missing node number");
    size_t index = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), index);
    if (ec != std::errc() || end != word.data() + word.size())
        return quoted(ErrorKind::Format, "bad number", word);
    MenuNode* node = menu.document.nodeAt(index);
    if (!node)
        return Error(ErrorKind::NotFound, "no node " + std::string(word));
    return node;
}

Result<size_t> entryOf(std::string_view identifier, const OpenMenu& menu)
{
    if (identifier.empty())
        return Error(ErrorKind::Format, "missing item");
    const size_t position = menu.items.findAvailable(identifier);
    if (position >= menu.items.available().size())
        return quoted(ErrorKind::NotFound, "unknown item", identifier);
    return position;
}

// The editor offers an edit only where the edit rules allow it, so the refusals it shows are
// the limits met beyond them (the menu is full); such a refusal is told as the editor tells it
// before the op fails. `allowed` is whether the rules allowed the edit.
Status statusOf(const Result<EditResult>& result, bool allowed, Prompter& prompter)
{
    if (result.ok())
        return Status::success();
    if (allowed && result.failure().kind == ErrorKind::Refused)
        prompter.show(MessageIcon::Warning, result.failure().caption, result.error());
    return result.failure();
}

Status noMoreWords(OpText& text)
{
    if (!text.atEnd())
        return quoted(ErrorKind::Format, "unexpected", text.rest());
    return Status::success();
}

// Runs one op of the tree; the history is the caller's.
Status applyTreeOp(std::string_view op, OpenMenu& menu, Prompter& prompter)
{
    OpText text(op);
    const std::string_view verb = text.word();
    MenuDocument& document = menu.document;

    if (verb == "insert") {
        const std::string_view where = text.word();
        InsertPosition position;
        if (where == "before")
            position = InsertPosition::AddBefore;
        else if (where == "first")
            position = InsertPosition::AddFirst;
        else if (where == "subfirst")
            position = InsertPosition::AddSubitemFirst;
        else if (where == "sublast")
            position = InsertPosition::AddSubitemLast;
        else
            return quoted(ErrorKind::Format, "unknown insert position", where);
        auto node = nodeOf(text.word(), menu);
        if (!node)
            return node.failure();
        auto entry = entryOf(text.rest(), menu);
        if (!entry)
            return entry.failure();
        const bool subitem = position == InsertPosition::AddSubitemFirst || position == InsertPosition::AddSubitemLast;
        const bool allowed = subitem ? canAddSubitem(document, *node) : canAddItem(document, *node);
        return statusOf(insertAvailableItem(menu, *entry, *node, position), allowed, prompter);
    }
    if (verb == "replace") {
        auto node = nodeOf(text.word(), menu);
        if (!node)
            return node.failure();
        auto entry = entryOf(text.rest(), menu);
        if (!entry)
            return entry.failure();
        return statusOf(replaceWithItem(menu, *entry, *node), canReplace(document, *node), prompter);
    }
    if (verb == "delete" || verb == "up" || verb == "down") {
        auto node = nodeOf(text.word(), menu);
        if (!node)
            return node.failure();
        if (Status s = noMoreWords(text); !s)
            return s;
        if (verb == "delete")
            return deleteSubtree(document, *node);
        return verb == "up" ? moveNodeUp(document, *node) : moveNodeDown(document, *node);
    }
    if (verb == "move") {
        auto node = nodeOf(text.word(), menu);
        if (!node)
            return node.failure();
        auto target = nodeOf(text.word(), menu);
        if (!target)
            return target.failure();
        if (Status s = noMoreWords(text); !s)
            return s;
        const DragSource source = DragSource::treeNode(*node);
        return statusOf(dropOntoNode(menu, *target, source), canAcceptDrop(document, *target, source), prompter);
    }
    if (verb == "drop") {
        auto target = nodeOf(text.word(), menu);
        if (!target)
            return target.failure();
        auto entry = entryOf(text.rest(), menu);
        if (!entry)
            return entry.failure();
        const DragSource source = DragSource::availableEntry(*entry);
        return statusOf(dropOntoNode(menu, *target, source), canAcceptDrop(document, *target, source), prompter);
    }
    if (verb.empty())
        return Error(ErrorKind::Format, "empty op");
    return quoted(ErrorKind::Format, "unknown op", verb);
}

// The step name an op is recorded under, as the window names the same action.
std::string_view stepName(std::string_view op)
{
    OpText text(op);
    const std::string_view verb = text.word();
    if (verb == "insert")
        return undo_step::InsertItem;
    if (verb == "replace")
        return undo_step::ReplaceItem;
    if (verb == "delete")
        return undo_step::DeleteItem;
    if (verb == "up")
        return undo_step::MoveUp;
    if (verb == "down")
        return undo_step::MoveDown;
    return undo_step::DropItem;
}

} // namespace

Status applyEditOp(std::string_view op, DocumentController& document, Prompter& prompter)
{
    OpText text(op);
    const std::string_view verb = text.word();
    if (verb == "undo" || verb == "redo") {
        if (Status s = noMoreWords(text); !s)
            return s;
        const bool done = verb == "undo" ? document.undo().has_value() : document.redo().has_value();
        if (!done)
            return Error(ErrorKind::Refused, verb == "undo" ? "nothing to undo" : "nothing to redo");
        return Status::success();
    }
    return document.change(stepName(op), {}, [&] { return applyTreeOp(op, document.menu(), prompter); });
}

} // namespace tessaro::cli
