#pragma once
// The rules of the "Item properties" window: a working copy of one item's data block with
// presence marks, the state of every control (texts, checks, which parts are enabled), the
// input checks with their messages, and the commit that turns the working copy back into a
// data block and the node's itemType, Options and Attributes. The window only shows this
// state and passes the user's actions in.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/item_data.h"
#include "core/item_data_fields.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

class MenuDocument;
class MenuNode;
class Prompter;

// Caption and tail of every input error of the editor.
inline constexpr const char* kInputErrorCaption = TRANSLATABLE("Core", "Input format error");
inline constexpr const char* kInputIgnored = TRANSLATABLE("Core", "Input will be ignored");
// Asked (caption "Confirmation", question icon, Yes/No) before Cancel throws changes away.
inline constexpr const char* kDiscardItemChangesQuestion =
    TRANSLATABLE("Core", "Discard the changes to this item?");

// Title lists hold at most this many rows.
inline constexpr size_t kMaxTitleRows = 12;

// The "Item function:" choice, in the order of its items.
enum class ItemFunction { None = 0, Url, AppStart, Action, Shortcut, CallSend, ShowText };
inline constexpr int kFunctionCount = 7;

enum class TitleList { Menu = 0, Softkey = 1, ShowText = 2 };
enum class IconRow { Animated = 0, Static = 1, List = 2 };
enum class IconSource { FS, DRM };
enum class EditorPage { Visual, Function };

// The plain text fields of the function page.
enum class FunctionField {
    Url,          // "URL link"
    Midlet1,      // "MIDlet-1" of the application to start
    MidletName,   // "MIDlet name"
    MidletVendor, // "MIDlet vendor"
    ActionCode,   // "Emulate action": decimal, 0..65535
    ShortcutData, // "Shortcut data [?]", up to 25 characters
    Code12,       // "Code 0x12 [?]": decimal, 0..255
    Code13,       // "Code 0x13 [?]"
    Code14,       // "Code 0x14 [?]"
    DialNumber,   // "Dial this number"
};
inline constexpr int kFunctionFieldCount = 10;

// Input checks; each returns the failure text, nothing when the input passes. An empty input
// always passes. `isLetterOrDigit` classifies characters above U+00FF (the Latin-1 letters
// and digits are known here); without it such characters fail.
std::optional<std::string> checkPhonePath(const std::u16string& text,
                                          const std::function<bool(char16_t)>& isLetterOrDigit = {});
std::optional<std::string> checkNumber(const std::string& text, long minimum, long maximum);
std::optional<std::string> checkDialNumber(const std::string& text);
// The whole message text of a failed check: failure, line break, "Input will be ignored".
std::string inputErrorText(const std::string& failure);

// One row of a title list.
struct TitleRow {
    std::string number;      // "#1", "#2", ... as numbered when added
    uint8_t language = 1;    // language id 1..47
    std::u16string text;

    bool operator==(const TitleRow&) const = default;
};

struct TitleListState {
    std::vector<TitleRow> rows;
    bool addEnabled = true;
    bool editEnabled = false;
    bool deleteEnabled = false;
};

struct IconRowState {
    IconSource source = IconSource::FS;
    std::u16string text;         // path (FS) or DRM icon number (DRM)
    bool enabled = true;         // the field and its "Source" choice
    bool pickerEnabled = false;
    bool previewVisible = false;
    bool drmMark = false;        // the icon came from the DRM set
};

// What the caller takes from the editor after OK.
struct ItemEditResult {
    bool hasData = false;
    ItemDataBlock block;         // owner byte not set: the caller stores it at the node's slot
    uint8_t itemType = 0;
    uint8_t options = 0;
    uint8_t attributes = 0;

    bool operator==(const ItemEditResult&) const = default;
};

class ItemEditorModel {
public:
    ItemEditorModel();

    // --- operations of the window ---------------------------------------------------------
    // Fills the editor from a node: its block (or none), itemType, whether it is a softkey,
    // Attributes and Options.
    void load(const ItemDataBlock* block, uint8_t itemType, bool softkey, uint8_t attributes,
                  uint8_t options);
    // Resets the whole editor; `resetAll` is the "Reset All Data" variant, which also clears
    // Options and the three attribute bits.
    void clearPanel(bool resetAll = false);
    // Resets the function page.
    void clearFunctionTab();
    // Rebuilds the working copy from the controls ("OK" and "Apply").
    void applyDataChange();
    // True when the working copy holds anything worth a block.
    bool hasData(bool saveAll) const;
    // The block built from the working copy in the fixed entry order, with the itemType,
    // Options and Attributes that its entries imply. Runs on the last applyDataChange.
    ItemEditResult commit(bool saveAll) const;

    // --- the user's actions -----------------------------------------------------------------
    // An installed Java application offered for "Application start".
    struct Installed {
        std::string midletName;
        std::string midletVendor;
        std::string midlet1;
        bool card = false;       // from the card's slot table (else the phone's)
    };
    // The window is about to show: whether a phone is connected, whether a phone or card Java
    // slot table was read, and the applications of those tables (phone first, then card).
    void prepare(bool phoneConnected, bool javaRead, std::vector<Installed> installed);
    // A title list's "Add" (language id 1..47; an empty text or a full list adds nothing).
    bool addTitle(TitleList list, uint8_t language, const std::u16string& text);
    // "Edit" of row `row`: an empty text changes nothing.
    bool editTitle(TitleList list, size_t row, uint8_t language, const std::u16string& text);
    bool deleteTitle(TitleList list, size_t row);
    void setIconSource(IconRow row, IconSource source);
    // Typing into an icon or function field: a failed check empties the field and fails
    // (kind Format, caption kInputErrorCaption, inputErrorText) for the window to show.
    Status setIconText(IconRow row, const std::u16string& text);
    void chooseFunction(ItemFunction function);
    Status setFunctionField(FunctionField field, const std::string& text);
    // "Call" (false) or "Send" (true).
    void setSend(bool send);
    void chooseInstalled(size_t index);
    void setLockable(bool on);
    void setProtected(bool on);
    void setNonChangeable(bool on);
    // "Reset All Data": asks first; returns whether the data was reset.
    bool resetAllData(Prompter& prompter);
    // "Apply": rebuilds the working copy, which the window then stores (commit()); from here
    // on Cancel asks only about later changes.
    void applyNow();
    // True when OK would store something else than it would have right after load or the
    // last Apply.
    bool hasChanges(bool saveAll) const;
    // Cancel: with changes, asks kDiscardItemChangesQuestion; true when the window may close.
    bool confirmCancel(Prompter& prompter, bool saveAll) const;

    // Characters above U+00FF in paths are judged by this (the window passes the toolkit's
    // classification).
    void setLetterOrDigit(std::function<bool(char16_t)> classify) { letterOrDigit_ = std::move(classify); }

    // --- state shown by the window ----------------------------------------------------------
    uint8_t itemType() const { return itemType_; }
    uint8_t options() const { return options_; }
    uint8_t attributes() const { return attributes_; }
    bool isSoftkey() const { return softkey_; }

    const TitleListState& titles(TitleList list) const { return lists_[static_cast<int>(list)]; }
    const IconRowState& icon(IconRow row) const { return icons_[static_cast<int>(row)]; }
    bool iconGroupEnabled() const { return !softkey_; }
    const std::string& field(FunctionField f) const { return fields_[static_cast<int>(f)]; }
    bool fieldEnabled(FunctionField f) const;
    ItemFunction function() const { return function_; }
    bool functionChoiceEnabled() const { return functionChoiceEnabled_; }
    bool functionPageVisible() const { return functionPageVisible_; }
    EditorPage page() const { return page_; }
    // Counts the times the editor turned to a page; the window turns to page() only when this
    // changed, so a page the user turned to stays while they work on it.
    unsigned pageTurns() const { return pageTurns_; }
    bool groupEnabled(ItemFunction f) const { return groupEnabled_[static_cast<int>(f)]; }
    bool isSend() const { return send_; }
    bool callSendEnabled() const { return callSendEnabled_; }
    bool applyEnabled() const { return applyEnabled_; }
    bool resetEnabled() const { return resetEnabled_; }
    bool isLockable() const { return lockable_; }
    bool isProtected() const { return protected_; }
    bool isNonChangeable() const { return nonChangeable_; }
    bool protectedEnabled() const { return !softkey_; }
    bool nonChangeableEnabled() const { return softkey_; }
    const std::vector<Installed>& installed() const { return installed_; }
    bool installedEnabled() const { return installedEnabled_; }
    bool hasUnsupported() const { return copy_.unsupported.has_value(); }

private:
    void listChanged(TitleList list);
    void updateListButtons(TitleList list);
    void dialChanged();
    void enableGroup(ItemFunction function);

    uint8_t itemType_ = 0;
    uint8_t options_ = 0;
    uint8_t attributes_ = 0;
    bool softkey_ = false;
    bool phoneConnected_ = false;
    bool javaRead_ = false;

    std::array<TitleListState, 3> lists_;
    std::array<IconRowState, 3> icons_;
    std::array<std::string, kFunctionFieldCount> fields_;
    ItemFunction function_ = ItemFunction::None;
    bool functionChoiceEnabled_ = true;
    bool functionPageVisible_ = true;
    EditorPage page_ = EditorPage::Visual;
    unsigned pageTurns_ = 0;
    std::array<bool, kFunctionCount> groupEnabled_{};
    bool send_ = false;
    bool callSendEnabled_ = false;
    bool dialEnabled_ = true;
    bool codesEnabled_ = true;
    bool applyEnabled_ = false;
    bool resetEnabled_ = false;
    bool lockable_ = false;
    bool protected_ = false;
    bool nonChangeable_ = false;
    std::vector<Installed> installed_;
    bool installedEnabled_ = false;

    // The working copy, rebuilt from the controls by applyDataChange.
    ItemDataFields copy_;
    // What OK would have stored right after load, without and with "Save all data".
    std::array<ItemEditResult, 2> loaded_{};
    std::function<bool(char16_t)> letterOrDigit_;
};

// Stores an editor result on a node after OK: with data the node's slot gets the block (a new
// one when it had none) and hasData and dataLength follow it; without data the block is freed
// and both are cleared. itemType, Options and Attributes are taken from the result either way.
void commitItemEdit(MenuDocument& document, MenuNode& node, const ItemEditResult& result,
                    bool saveAll);

} // namespace tessaro
