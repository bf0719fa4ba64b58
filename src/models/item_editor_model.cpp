#include "models/item_editor_model.h"

#include <algorithm>

#include "core/item_data_codec.h"
#include "core/item_data_fields.h"
#include "core/menu_document.h"
#include "core/mma_item.h"
#include "core/prompter.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

constexpr uint8_t kFunctionAttributes = 0x60;
constexpr uint8_t kAttributeBits = kAttrLockable | kAttrNonChangeable | kAttrProtected;

constexpr const char* kResetQuestion = TRANSLATABLE("Core", "This will remove all data\r\n   Continue?");

// Letters and decimal digits of Latin-1: phone paths are 8-bit, so these are the ones that
// matter; anything above is left to the caller's classification.
bool latin1LetterOrDigit(char16_t c)
{
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return true;
    if (c == 0xAA || c == 0xB5 || c == 0xBA)
        return true;
    return c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7;
}

// A number field's text as bytes; characters outside ASCII can only fail the digit check.
std::string narrow(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::u16string widen(const std::string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out.push_back(c);
    return out;
}

// Digits only (checked before), so this cannot fail except by overflow, which the range
// check has refused too.
long decimal(const std::string& text)
{
    long value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > 1000000)
            return value;
    }
    return value;
}

std::vector<Title> titlesOf(const TitleListState& list)
{
    std::vector<Title> titles;
    for (const auto& row : list.rows) {
        if (titles.size() == kMaxTitles)
            break;
        titles.push_back({row.language, row.text.substr(0, kMaxTitleChars)});
    }
    return titles;
}

// The choice of "Item function:" a function record belongs to.
ItemFunction functionOfKind(uint8_t entryKind)
{
    switch (entryKind) {
    case kind::ShowText: return ItemFunction::ShowText;
    case kind::Url: return ItemFunction::Url;
    case kind::Midlet1:
    case kind::MidletName:
    case kind::MidletVendor: return ItemFunction::AppStart;
    case kind::Action: return ItemFunction::Action;
    case kind::ShortcutData: return ItemFunction::Shortcut;
    default: return ItemFunction::CallSend;
    }
}

} // namespace

std::optional<std::string> checkPhonePath(const std::u16string& text,
                                          const std::function<bool(char16_t)>& isLetterOrDigit)
{
    if (text.empty())
        return std::nullopt;
    if (text[0] != u'/')
        return TRANSLATABLE("Core", "Invalid path delimiter. Expecting '/'");
    if (text.size() == 1)
        return std::nullopt;
    if (text[1] != u'a' && text[1] != u'b' && text[1] != u'c' && text[1] != u'e')
        return TRANSLATABLE("Core", "Invalid volume letter. Expecting a,b,c,e");
    if (text.size() == 2)
        return std::nullopt;
    if (text[2] != u'/')
        return TRANSLATABLE("Core", "Invalid path delimiter. Expecting '/'");
    static constexpr std::u16string_view kPunctuation = u"()-./[]_";
    for (size_t i = 3; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (latin1LetterOrDigit(c) || kPunctuation.find(c) != std::u16string_view::npos)
            continue;
        if (c > 0xFF && isLetterOrDigit && isLetterOrDigit(c))
            continue;
        return TRANSLATABLE("Core", "Invalid character in file name");
    }
    return std::nullopt;
}

std::optional<std::string> checkNumber(const std::string& text, long minimum, long maximum)
{
    if (text.empty())
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return TRANSLATABLE("Core", "Invalid numeric value");
    const long value = decimal(text);
    if (value < minimum)
        return TRANSLATABLE("Core", "Value too small");
    if (value > maximum)
        return TRANSLATABLE("Core", "Value too big");
    return std::nullopt;
}

std::optional<std::string> checkDialNumber(const std::string& text)
{
    static constexpr std::string_view kDialCharacters = "#*+0123456789npw";
    for (char c : text)
        if (kDialCharacters.find(c) == std::string_view::npos)
            return TRANSLATABLE("Core", "Invalid dialing character");
    return std::nullopt;
}

std::string inputErrorText(const std::string& failure)
{
    return failure + "\r\n" + kInputIgnored;
}

namespace {

Error inputError(const std::string& failure)
{
    return Error(ErrorKind::Format, inputErrorText(failure), kInputErrorCaption);
}

} // namespace

ItemEditorModel::ItemEditorModel()
{
    clearPanel();
}

bool ItemEditorModel::fieldEnabled(FunctionField f) const
{
    switch (f) {
    case FunctionField::Url:
        return groupEnabled(ItemFunction::Url);
    case FunctionField::Midlet1:
    case FunctionField::MidletName:
    case FunctionField::MidletVendor:
        return groupEnabled(ItemFunction::AppStart);
    case FunctionField::ActionCode:
        return groupEnabled(ItemFunction::Action);
    case FunctionField::ShortcutData:
        return groupEnabled(ItemFunction::Shortcut);
    case FunctionField::Code12:
    case FunctionField::Code13:
    case FunctionField::Code14:
        return groupEnabled(ItemFunction::CallSend) && codesEnabled_;
    case FunctionField::DialNumber:
        return groupEnabled(ItemFunction::CallSend) && dialEnabled_;
    }
    return false;
}

void ItemEditorModel::clearPanel(bool resetAll)
{
    send_ = itemType_ == kTypeSms;
    function_ = ItemFunction::None;
    functionChoiceEnabled_ = itemType_ != kTypeContainer;
    functionPageVisible_ = functionChoiceEnabled_;
    applyEnabled_ = false;
    page_ = EditorPage::Visual;
    ++pageTurns_;

    for (auto& list : lists_)
        list = TitleListState{};
    lists_[static_cast<int>(TitleList::ShowText)].addEnabled = false;
    for (auto& icon : icons_) {
        icon = IconRowState{};
        icon.enabled = !softkey_;
        icon.pickerEnabled = !softkey_ && phoneConnected_;
    }
    fields_ = {};
    callSendEnabled_ = false;
    // "Send" leaves no room for a number to dial.
    dialEnabled_ = !send_;
    codesEnabled_ = true;
    resetEnabled_ = false;
    lockable_ = protected_ = nonChangeable_ = false;
    // The offered applications stay listed: only a function choice enables the list again.
    installedEnabled_ = false;
    groupEnabled_ = {};

    copy_ = ItemDataFields{};
    if (itemType_ != kTypeContainer)
        itemType_ = kTypeItem;
    if (resetAll) {
        options_ = 0;
        attributes_ &= static_cast<uint8_t>(~kAttributeBits);
    }
}

void ItemEditorModel::clearFunctionTab()
{
    send_ = itemType_ == kTypeSms;
    applyEnabled_ = false;
    page_ = EditorPage::Visual;
    ++pageTurns_;
    lists_[static_cast<int>(TitleList::ShowText)] = TitleListState{};
    lists_[static_cast<int>(TitleList::ShowText)].addEnabled = false;
    fields_ = {};
    callSendEnabled_ = false;
    dialEnabled_ = !send_;
    codesEnabled_ = true;
    installedEnabled_ = false;
    copy_.clearFunction();
    groupEnabled_ = {};
    if (itemType_ != kTypeContainer)
        itemType_ = kTypeItem;
}

void ItemEditorModel::load(const ItemDataBlock* block, uint8_t itemType, bool softkey,
                               uint8_t attributes, uint8_t options)
{
    itemType_ = itemType;
    attributes_ = attributes;
    options_ = options;
    softkey_ = softkey;
    clearPanel();
    lockable_ = (attributes & kAttrLockable) != 0;
    protected_ = (attributes & kAttrProtected) != 0;
    nonChangeable_ = (attributes & kAttrNonChangeable) != 0;

    if (block) {
        resetEnabled_ = true;
        const ItemDataFields read = readItemDataFields(*block);
        auto rowsOf = [](const std::vector<Title>& titles) {
            std::vector<TitleRow> rows;
            for (const auto& t : titles)
                rows.push_back({"#" + std::to_string(rows.size() + 1), t.language, t.text.str()});
            return rows;
        };
        auto loadList = [&](TitleList which, const std::optional<std::vector<Title>>& titles) {
            if (!titles)
                return;
            auto& list = lists_[static_cast<int>(which)];
            list.rows = rowsOf(*titles);
            list.editEnabled = list.deleteEnabled = true;
            list.addEnabled = list.rows.size() < kMaxTitleRows;
        };
        auto setField = [this](FunctionField f, const std::optional<std::string>& text) {
            if (text)
                fields_[static_cast<int>(f)] = *text;
        };
        loadList(TitleList::Menu, read.menuTitles);
        loadList(TitleList::Softkey, read.softkeyTitles);
        loadList(TitleList::ShowText, read.showText);
        for (int row = 0; row < 3; ++row) {
            auto& icon = icons_[row];
            if (read.paths[row]) {
                icon.source = IconSource::FS;
                icon.text = *read.paths[row];
                // Only the animated row's preview comes up with a loaded path.
                icon.previewVisible = row == static_cast<int>(IconRow::Animated) && !icon.text.empty();
            } else if (read.drm[row]) {
                icon.source = IconSource::DRM;
                icon.text = widen(std::to_string(*read.drm[row]));
                icon.previewVisible = true;
                icon.drmMark = true;
            }
        }
        setField(FunctionField::Url, read.url);
        setField(FunctionField::DialNumber, read.dial);
        setField(FunctionField::Midlet1, read.midlet1);
        setField(FunctionField::MidletName, read.midletName);
        setField(FunctionField::MidletVendor, read.midletVendor);
        for (int i = 0; i < 3; ++i)
            if (read.codes[i])
                fields_[static_cast<int>(FunctionField::Code12) + i] = std::to_string(*read.codes[i]);
        if (read.action)
            setField(FunctionField::ActionCode, std::to_string(*read.action));
        setField(FunctionField::ShortcutData, read.shortcut);
        copy_.unsupported = read.unsupported;

        const std::pair<bool, ItemFunction> present[] = {
            {read.showText.has_value(), ItemFunction::ShowText},
            {read.url.has_value(), ItemFunction::Url},
            {read.dial || read.codes[0] || read.codes[1] || read.codes[2], ItemFunction::CallSend},
            {read.midlet1 || read.midletName || read.midletVendor, ItemFunction::AppStart},
            {read.action.has_value(), ItemFunction::Action},
            {read.shortcut.has_value(), ItemFunction::Shortcut}};
        for (const auto& [here, function] : present)
            if (here)
                groupEnabled_[static_cast<int>(function)] = true;
        callSendEnabled_ = read.codes[0] || read.codes[1] || read.codes[2];
        if (read.lastFunctionKind)
            function_ = functionOfKind(*read.lastFunctionKind);
        // A dial number fixes the choice at "Call" and leaves the codes read-only.
        if (!field(FunctionField::DialNumber).empty()) {
            codesEnabled_ = false;
            callSendEnabled_ = false;
            send_ = false;
            dialEnabled_ = true;
        }
    }
    applyEnabled_ = false;
    ItemEditorModel probe = *this;
    probe.applyDataChange();
    loaded_ = {probe.commit(false), probe.commit(true)};
}

void ItemEditorModel::prepare(bool phoneConnected, bool javaRead, std::vector<Installed> installed)
{
    phoneConnected_ = phoneConnected;
    javaRead_ = javaRead;
    applyEnabled_ = false;
    installed_ = javaRead ? std::move(installed) : std::vector<Installed>{};
    if (groupEnabled(ItemFunction::AppStart))
        installedEnabled_ = javaRead_;
    for (auto& icon : icons_)
        icon.pickerEnabled = !softkey_ && (icon.drmMark || phoneConnected_);
}

void ItemEditorModel::updateListButtons(TitleList list)
{
    auto& state = lists_[static_cast<int>(list)];
    const bool usable = list != TitleList::ShowText || groupEnabled(ItemFunction::ShowText);
    state.addEnabled = usable && state.rows.size() < kMaxTitleRows;
    state.editEnabled = state.deleteEnabled = usable && !state.rows.empty();
}

void ItemEditorModel::listChanged(TitleList list)
{
    applyEnabled_ = true;
    if (!titles(list).rows.empty())
        resetEnabled_ = true;
    updateListButtons(list);
}

bool ItemEditorModel::addTitle(TitleList list, uint8_t language, const std::u16string& text)
{
    auto& state = lists_[static_cast<int>(list)];
    if (text.empty() || state.rows.size() >= kMaxTitleRows)
        return false;
    state.rows.push_back({"#" + std::to_string(state.rows.size() + 1), language,
                          text.substr(0, kMaxTitleChars)});
    listChanged(list);
    return true;
}

bool ItemEditorModel::editTitle(TitleList list, size_t row, uint8_t language,
                                const std::u16string& text)
{
    auto& state = lists_[static_cast<int>(list)];
    if (text.empty() || row >= state.rows.size())
        return false;
    state.rows[row].language = language;
    state.rows[row].text = text.substr(0, kMaxTitleChars);
    listChanged(list);
    return true;
}

bool ItemEditorModel::deleteTitle(TitleList list, size_t row)
{
    auto& state = lists_[static_cast<int>(list)];
    if (row >= state.rows.size())
        return false;
    state.rows.erase(state.rows.begin() + static_cast<std::ptrdiff_t>(row));
    listChanged(list);
    return true;
}

void ItemEditorModel::setIconSource(IconRow row, IconSource source)
{
    auto& icon = icons_[static_cast<int>(row)];
    icon.source = source;
    icon.text.clear();
    icon.previewVisible = false;
    applyEnabled_ = true;
    icon.pickerEnabled = !softkey_ && (source == IconSource::DRM || phoneConnected_);
}

Status ItemEditorModel::setIconText(IconRow row, const std::u16string& text)
{
    auto& icon = icons_[static_cast<int>(row)];
    icon.text = text;
    icon.previewVisible = !text.empty();
    if (!text.empty())
        resetEnabled_ = true;
    applyEnabled_ = true;
    const auto failure = icon.source == IconSource::DRM ? checkNumber(narrow(text), 1, 4000)
                                                        : checkPhonePath(text, letterOrDigit_);
    if (failure) {
        icon.text.clear();
        icon.previewVisible = false;
        return inputError(*failure);
    }
    return Status::success();
}

void ItemEditorModel::enableGroup(ItemFunction function)
{
    groupEnabled_[static_cast<int>(function)] = true;
    switch (function) {
    case ItemFunction::AppStart:
        installedEnabled_ = javaRead_;
        break;
    case ItemFunction::CallSend:
        callSendEnabled_ = true;
        dialEnabled_ = !send_;
        break;
    case ItemFunction::ShowText:
        updateListButtons(TitleList::ShowText);
        break;
    default:
        break;
    }
}

void ItemEditorModel::chooseFunction(ItemFunction function)
{
    clearFunctionTab();
    function_ = function;
    if (function == ItemFunction::None) {
        page_ = EditorPage::Visual;
        return;
    }
    page_ = EditorPage::Function;
    ++pageTurns_;
    enableGroup(function);
}

Status ItemEditorModel::setFunctionField(FunctionField f, const std::string& text)
{
    auto& value = fields_[static_cast<int>(f)];
    value = text;
    applyEnabled_ = true;
    if (!text.empty())
        resetEnabled_ = true;
    std::optional<std::string> failure;
    switch (f) {
    case FunctionField::ActionCode:
        failure = checkNumber(text, 0, 65535);
        break;
    case FunctionField::Code12:
    case FunctionField::Code13:
    case FunctionField::Code14:
        failure = checkNumber(text, 0, 255);
        break;
    case FunctionField::DialNumber:
        failure = checkDialNumber(text);
        break;
    default:
        break;
    }
    if (failure)
        value.clear();
    if (f == FunctionField::DialNumber)
        dialChanged();
    if (failure)
        return inputError(*failure);
    return Status::success();
}

void ItemEditorModel::dialChanged()
{
    if (!field(FunctionField::DialNumber).empty()) {
        for (auto f : {FunctionField::Code12, FunctionField::Code13, FunctionField::Code14})
            fields_[static_cast<int>(f)].clear();
        codesEnabled_ = false;
        send_ = false;
        if (itemType_ != kTypeContainer)
            itemType_ = kTypeCall;
        callSendEnabled_ = false;
    } else {
        codesEnabled_ = true;
        callSendEnabled_ = groupEnabled(ItemFunction::CallSend);
    }
}

void ItemEditorModel::setSend(bool send)
{
    send_ = send;
    applyEnabled_ = true;
    // A container keeps its type, as on commit: its children depend on it.
    if (itemType_ != kTypeContainer)
        itemType_ = send ? kTypeSms : kTypeCall;
    if (send) {
        fields_[static_cast<int>(FunctionField::DialNumber)].clear();
        dialEnabled_ = false;
    } else {
        dialEnabled_ = true;
    }
}

void ItemEditorModel::chooseInstalled(size_t index)
{
    if (index >= installed_.size())
        return;
    const auto& app = installed_[index];
    fields_[static_cast<int>(FunctionField::Midlet1)] = app.midlet1;
    fields_[static_cast<int>(FunctionField::MidletName)] = app.midletName;
    fields_[static_cast<int>(FunctionField::MidletVendor)] = app.midletVendor;
    applyEnabled_ = true;
    if (!app.midlet1.empty() || !app.midletName.empty() || !app.midletVendor.empty())
        resetEnabled_ = true;
}

void ItemEditorModel::setLockable(bool on)
{
    lockable_ = on;
    attributes_ = on ? (attributes_ | kAttrLockable) : (attributes_ & ~kAttrLockable);
    applyEnabled_ = true;
}

void ItemEditorModel::setProtected(bool on)
{
    protected_ = on;
    attributes_ = on ? (attributes_ | kAttrProtected) : (attributes_ & ~kAttrProtected);
    applyEnabled_ = true;
}

void ItemEditorModel::setNonChangeable(bool on)
{
    nonChangeable_ = on;
    attributes_ = on ? (attributes_ | kAttrNonChangeable) : (attributes_ & ~kAttrNonChangeable);
    applyEnabled_ = true;
}

bool ItemEditorModel::resetAllData(Prompter& prompter)
{
    if (prompter.ask(MessageIcon::Warning, TRANSLATABLE("Core", "Warning"), kResetQuestion,
                     Buttons::YesNo) != Answer::Yes)
        return false;
    clearPanel(true);
    return true;
}

bool ItemEditorModel::hasChanges(bool saveAll) const
{
    // What OK would store: the controls rebuilt into a working copy, then committed.
    ItemEditorModel probe = *this;
    probe.applyDataChange();
    return probe.commit(saveAll) != loaded_[saveAll ? 1 : 0];
}

bool ItemEditorModel::confirmCancel(Prompter& prompter, bool saveAll) const
{
    if (!hasChanges(saveAll))
        return true;
    return prompter.ask(MessageIcon::Question, TRANSLATABLE("Core", "Confirmation"),
                        kDiscardItemChangesQuestion,
                        Buttons::YesNo) == Answer::Yes;
}

void ItemEditorModel::applyNow()
{
    applyDataChange();
    applyEnabled_ = false;
    // What Apply stored is the document's now: Cancel weighs only what comes after it.
    loaded_ = {commit(false), commit(true)};
}

void ItemEditorModel::applyDataChange()
{
    // Everything is rebuilt from what the controls show, so an emptied field really goes.
    auto unsupported = std::move(copy_.unsupported);
    copy_ = ItemDataFields{};
    copy_.unsupported = std::move(unsupported);

    if (!titles(TitleList::Menu).rows.empty())
        copy_.menuTitles = titlesOf(titles(TitleList::Menu));
    if (!titles(TitleList::Softkey).rows.empty())
        copy_.softkeyTitles = titlesOf(titles(TitleList::Softkey));

    for (int i = 0; i < 3; ++i) {
        const auto& icon = icons_[i];
        if (icon.text.empty())
            continue;
        if (icon.source == IconSource::DRM) {
            const std::string digits = narrow(icon.text);
            if (!checkNumber(digits, 1, 4000))
                copy_.drm[i] = static_cast<uint16_t>(decimal(digits));
        } else {
            copy_.paths[i] = icon.text;
        }
    }

    auto take = [this](FunctionField f, std::optional<std::string>& into) {
        if (!field(f).empty())
            into = field(f);
    };
    switch (function_) {
    case ItemFunction::Url:
        take(FunctionField::Url, copy_.url);
        break;
    case ItemFunction::AppStart:
        take(FunctionField::Midlet1, copy_.midlet1);
        take(FunctionField::MidletName, copy_.midletName);
        take(FunctionField::MidletVendor, copy_.midletVendor);
        break;
    case ItemFunction::Action:
        if (!checkNumber(field(FunctionField::ActionCode), 0, 65535) &&
            !field(FunctionField::ActionCode).empty())
            copy_.action = static_cast<uint16_t>(decimal(field(FunctionField::ActionCode)));
        break;
    case ItemFunction::Shortcut:
        take(FunctionField::ShortcutData, copy_.shortcut);
        break;
    case ItemFunction::CallSend:
        for (int i = 0; i < 3; ++i) {
            const std::string& code = fields_[static_cast<int>(FunctionField::Code12) + i];
            if (!code.empty() && !checkNumber(code, 0, 255))
                copy_.codes[i] = static_cast<uint8_t>(decimal(code));
        }
        take(FunctionField::DialNumber, copy_.dial);
        break;
    case ItemFunction::ShowText:
        if (!titles(TitleList::ShowText).rows.empty())
            copy_.showText = titlesOf(titles(TitleList::ShowText));
        break;
    case ItemFunction::None: copy_.clearFunction(); break;
    }
}

bool ItemEditorModel::hasData(bool saveAll) const
{
    return copy_.any(saveAll);
}

ItemEditResult ItemEditorModel::commit(bool saveAll) const
{
    ItemEditResult result;
    result.hasData = hasData(saveAll);
    result.block = writeItemDataFields(copy_, saveAll);
    result.itemType = itemType_;
    result.options = options_;
    result.attributes = attributes_;
    if (copy_.menuTitles || copy_.softkeyTitles)
        result.options = optionsWithTitles(result.options);
    // A function record sets the type and attributes, the last one in record order counting.
    // A container keeps its type: its children depend on it, and a function record that came
    // with it from a file does not make it a leaf.
    const bool anyCode = copy_.codes[0] || copy_.codes[1] || copy_.codes[2];
    const std::pair<bool, uint8_t> functions[] = {{copy_.showText.has_value(), kTypeShowText},
                                                  {copy_.url.has_value(), kTypeUrl},
                                                  {copy_.dial.has_value(), kTypeCall},
                                                  {copy_.midlet1 || copy_.midletName || copy_.midletVendor, kTypeJava},
                                                  {copy_.action.has_value(), kTypeAction},
                                                  {copy_.shortcut.has_value(), kTypeShortcut},
                                                  {anyCode, send_ ? kTypeSms : kTypeCall}};
    for (const auto& [present, itemType] : functions) {
        if (!present)
            continue;
        if (itemType_ != kTypeContainer)
            result.itemType = itemType;
        result.attributes = kFunctionAttributes;
    }
    return result;
}

void commitItemEdit(MenuDocument& document, MenuNode& node, const ItemEditResult& result,
                    bool saveAll)
{
    const size_t slot = node.item.recordNo;
    if (result.hasData) {
        document.data().store(slot, result.block);
        node.item.hasData = true;
        node.item.dataLength = itemDataLength(document.data().at(slot), saveAll);
    } else {
        document.data().drop(slot);
        node.item.hasData = false;
        node.item.dataLength = 0;
    }
    node.item.options = result.options;
    node.item.attributes = result.attributes;
    node.item.itemType = result.itemType;
    document.touch(&node);
}

} // namespace tessaro
