#include "core/menu_text.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include <nlohmann/json.hpp>

#include "core/bytes.h"
#include "core/hex_text.h"
#include "core/menu_writer.h"
#include "core/text_encoding.h"

namespace tessaro {

namespace {

using Json = nlohmann::ordered_json;

// How the fields of a record kind are written.
enum class Shape { Titles, Ascii, Icon, Drm, Code, Action, Shortcut, Unsupported };

struct KindName {
    uint8_t kind;
    const char* name;
    Shape shape;
};

constexpr std::array<KindName, 18> kKindNames = {{
    {kind::MenuTitle, "menuTitle", Shape::Titles},
    {kind::SoftkeyTitle, "softkeyTitle", Shape::Titles},
    {kind::ShowText, "showText", Shape::Titles},
    {kind::Url, "url", Shape::Ascii},
    {kind::DialNumber, "dialNumber", Shape::Ascii},
    {kind::Midlet1, "midlet", Shape::Ascii},
    {kind::MidletName, "midletName", Shape::Ascii},
    {kind::MidletVendor, "midletVendor", Shape::Ascii},
    {kind::FileIcon, "icon", Shape::Icon},
    {kind::DrmListIcon, "drmListIcon", Shape::Drm},
    {kind::DrmStaticIcon, "drmStaticIcon", Shape::Drm},
    {kind::DrmAnimatedIcon, "drmAnimatedIcon", Shape::Drm},
    {kind::Code12, "code12", Shape::Code},
    {kind::Code13, "code13", Shape::Code},
    {kind::Code14, "code14", Shape::Code},
    {kind::Action, "action", Shape::Action},
    {kind::ShortcutData, "shortcut", Shape::Shortcut},
    {kind::Unsupported, "unsupported", Shape::Unsupported},
}};

const KindName* kindNamed(std::string_view name)
{
    for (const KindName& k : kKindNames)
        if (name == k.name)
            return &k;
    return nullptr;
}

const KindName* kindOf(uint8_t code)
{
    for (const KindName& k : kKindNames)
        if (code == k.kind)
            return &k;
    return nullptr;
}

// Item types by name; the others are written as numbers.
constexpr std::array<std::pair<uint8_t, const char*>, 9> kTypeNames = {{
    {kTypeItem, "item"},
    {kTypeContainer, "container"},
    {kTypeUrl, "url"},
    {kTypeCall, "call"},
    {kTypeSms, "sms"},
    {kTypeJava, "java"},
    {kTypeShowText, "showText"},
    {kTypeAction, "action"},
    {kTypeShortcut, "shortcut"},
}};

constexpr std::array<std::pair<uint8_t, const char*>, 3> kRoleNames = {{
    {kRoleList, "list"},
    {kRoleStatic, "static"},
    {kRoleAnimated, "animated"},
}};

template <size_t N>
Json nameOrNumber(const std::array<std::pair<uint8_t, const char*>, N>& names, uint8_t value)
{
    for (const auto& [code, name] : names)
        if (code == value)
            return name;
    return value;
}

std::string byteText(uint8_t value)
{
    return "0x" + hexDigits(value, 2);
}

// --- writing ------------------------------------------------------------------------------

// A UTF-16 text as "text", or as "utf16" (big-endian units in hexadecimal) when UTF-8 cannot
// carry it.
void putText(Json& j, const char* key, std::u16string_view text)
{
    if (isPairedUtf16(text)) {
        j[key] = utf16ToUtf8(text);
        return;
    }
    std::vector<uint8_t> units;
    for (char16_t u : text)
        append16(units, u, ByteOrder::Big);
    j["utf16"] = hexText(units);
}

// Shortcut data as the identifier it names when it is one (the rest zero bytes), else as
// hexadecimal.
void putShortcut(Json& j, const std::vector<uint8_t>& bytes)
{
    const auto zero = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    const bool named = bytes.size() == kShortcutDataLength && zero != bytes.begin() &&
                       std::all_of(zero, bytes.end(), [](uint8_t b) { return b == 0; });
    if (named)
        j["target"] = latin1ToUtf8(std::string(bytes.begin(), zero));
    else
        j["hex"] = hexText(bytes);
}

Json entryJson(const DataEntry& e)
{
    Json j;
    const KindName* k = kindOf(e.kind);
    if (!k) {
        // An entry of a kind without a name, made in memory: its bytes are its payload.
        j["kind"] = "unsupported";
        j["records"] = Json::array({Json{{"kind", e.kind}, {"hex", hexText(e.bytes)}}});
        return j;
    }
    j["kind"] = k->name;
    switch (k->shape) {
    case Shape::Titles: {
        Json titles = Json::array();
        for (const Title& t : e.titles) {
            Json title;
            title["language"] = hexDigits(t.language, 2);
            putText(title, "text", t.text.view());
            titles.push_back(std::move(title));
        }
        j["titles"] = std::move(titles);
        break;
    }
    case Shape::Ascii:
        j["text"] = latin1ToUtf8(asciiText(e));
        break;
    case Shape::Icon:
        j["role"] = nameOrNumber(kRoleNames, e.role);
        putText(j, "path", e.path.view());
        break;
    case Shape::Drm:
        j["number"] = e.number;
        j["first"] = byteText(e.first);
        break;
    case Shape::Code:
    case Shape::Action:
        j["value"] = e.value;
        break;
    case Shape::Shortcut:
        putShortcut(j, e.bytes);
        break;
    case Shape::Unsupported: {
        Json records = Json::array();
        for (const UnsupportedRecord& r : e.records)
            records.push_back({{"kind", r.kind}, {"hex", hexText(r.payload)}});
        j["records"] = std::move(records);
        break;
    }
    }
    return j;
}

Json itemJson(const DescribedItem& item)
{
    Json j;
    j["id"] = latin1ToUtf8(item.name);
    j["type"] = nameOrNumber(kTypeNames, item.itemType);
    j["options"] = byteText(item.options);
    j["attributes"] = byteText(item.attributes);
    if (!item.data.empty()) {
        Json data = Json::array();
        for (const DataEntry& e : item.data)
            data.push_back(entryJson(e));
        j["data"] = std::move(data);
    }
    if (!item.items.empty()) {
        Json items = Json::array();
        for (const DescribedItem& child : item.items)
            items.push_back(itemJson(child));
        j["items"] = std::move(items);
    }
    return j;
}

Json itemsJson(const std::vector<DescribedItem>& items)
{
    Json out = Json::array();
    for (const DescribedItem& item : items)
        out.push_back(itemJson(item));
    return out;
}

// Writes `j` with two spaces per level: an array or object of plain values (a title, an item
// without data) on one line, any other one element per line.
void print(const Json& j, size_t indent, std::string& out)
{
    auto plain = [](const Json& v) { return !v.is_structured(); };
    const bool structured = j.is_structured();
    if (!structured || std::all_of(j.begin(), j.end(), plain)) {
        if (!structured) {
            out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
            return;
        }
        // One line, with a space after each separator.
        out += j.is_object() ? '{' : '[';
        bool first = true;
        for (auto it = j.begin(); it != j.end(); ++it) {
            out += first ? "" : ", ";
            first = false;
            if (j.is_object())
                out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
            out += it->dump(-1, ' ', false, Json::error_handler_t::replace);
        }
        out += j.is_object() ? '}' : ']';
        return;
    }
    const std::string inner(indent + 2, ' ');
    out += j.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        out += first ? "" : ",\n";
        first = false;
        out += inner;
        if (j.is_object())
            out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
        print(*it, indent + 2, out);
    }
    out += "\n" + std::string(indent, ' ') + (j.is_object() ? '}' : ']');
}

// --- reading ------------------------------------------------------------------------------

// A problem at a JSON path; caught in parseMenuText, never leaves this file.
struct TextProblem {
    std::string path;
    std::string what;
};

[[noreturn]] void problem(const std::string& path, std::string what)
{
    throw TextProblem{path, std::move(what)};
}

std::string typeName(const Json& j)
{
    if (j.is_number_integer())
        return "an integer";
    if (j.is_number())
        return "a number";
    if (j.is_string())
        return "a string";
    if (j.is_boolean())
        return "true or false";
    if (j.is_array())
        return "an array";
    if (j.is_object())
        return "an object";
    return "null";
}

[[noreturn]] void wrongType(const std::string& path, const Json& j, const char* expected)
{
    problem(path, std::string("expected ") + expected + ", found " + typeName(j));
}

// An object whose keys are among `known`, of which `required` must be there.
void expectObject(const Json& j, const std::string& path, std::initializer_list<const char*> known,
                  std::initializer_list<const char*> required)
{
    if (!j.is_object())
        wrongType(path, j, "an object");
    for (const auto& [key, value] : j.items())
        if (std::none_of(known.begin(), known.end(), [&key](const char* k) { return key == k; }))
            problem(path + "/" + key, "unknown key \"" + key + "\"");
    for (const char* key : required)
        if (!j.contains(key))
            problem(path + "/" + key, "missing");
}

const Json& arrayAt(const Json& j, const std::string& path)
{
    if (!j.is_array())
        wrongType(path, j, "an array");
    return j;
}

const std::string& stringAt(const Json& j, const std::string& path)
{
    if (!j.is_string())
        wrongType(path, j, "a string");
    return j.get_ref<const std::string&>();
}

bool boolAt(const Json& j, const std::string& path)
{
    if (!j.is_boolean())
        wrongType(path, j, "true or false");
    return j.get<bool>();
}

unsigned numberAt(const Json& j, const std::string& path, unsigned maximum)
{
    if (!j.is_number_integer())
        wrongType(path, j, "an integer");
    if (j.is_number_unsigned() ? j.get<uint64_t>() > maximum : true)
        problem(path, j.dump() + " is out of range (0 to " + std::to_string(maximum) + ")");
    return static_cast<unsigned>(j.get<uint64_t>());
}

// A byte written as "0x41" (or as a plain integer).
uint8_t byteAt(const Json& j, const std::string& path)
{
    if (j.is_number_integer())
        return static_cast<uint8_t>(numberAt(j, path, 0xFF));
    const std::string& text = stringAt(j, path);
    const auto bytes = text.size() == 4 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
                           ? bytesOfHex(std::string_view(text).substr(2))
                           : std::nullopt;
    if (!bytes)
        problem(path, "\"" + text + "\" is no byte; expected two hexadecimal digits such as \"0x41\"");
    return (*bytes)[0];
}

std::vector<uint8_t> hexAt(const Json& j, const std::string& path)
{
    auto bytes = bytesOfHex(stringAt(j, path));
    if (!bytes)
        problem(path, "bad hexadecimal: expected pairs of the digits 0-9 and a-f");
    return std::move(*bytes);
}

// A string of one byte per character (U+0000 to U+00FF).
std::string latin1At(const Json& j, const std::string& path)
{
    const std::u16string units = utf8ToUtf16(stringAt(j, path));
    std::string out;
    out.reserve(units.size());
    for (char16_t u : units) {
        if (u > 0xFF)
            problem(path, "the character U+" + hexDigits(u, 4) + " does not fit one byte (U+0000 to U+00FF)");
        out += static_cast<char>(u);
    }
    return out;
}

// A UTF-16 text given as "text" or as "utf16" hexadecimal units.
std::u16string textAt(const Json& j, const char* key, const std::string& path)
{
    if (j.contains(key))
        return utf8ToUtf16(stringAt(j[key], path + "/" + key));
    if (!j.contains("utf16"))
        problem(path + "/" + key, "missing");
    const std::vector<uint8_t> bytes = hexAt(j["utf16"], path + "/utf16");
    if (bytes.size() % 2 != 0)
        problem(path + "/utf16", "UTF-16 units take four hexadecimal digits each");
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(readBE16(bytes.data() + i));
    return text;
}

template <size_t N>
uint8_t nameOrNumberAt(const std::array<std::pair<uint8_t, const char*>, N>& names, const Json& j,
                       const std::string& path, const char* what)
{
    if (j.is_number_integer())
        return static_cast<uint8_t>(numberAt(j, path, 0xFF));
    const std::string& name = stringAt(j, path);
    for (const auto& [code, known] : names)
        if (name == known)
            return code;
    std::string list;
    for (const auto& [code, known] : names)
        list += (list.empty() ? "" : ", ") + std::string(known);
    problem(path, "unknown " + std::string(what) + " \"" + name + "\" (one of " + list + ", or a number)");
}

DataEntry entryAt(const Json& j, const std::string& path)
{
    if (!j.is_object())
        wrongType(path, j, "an object");
    if (!j.contains("kind"))
        problem(path + "/kind", "missing");
    const std::string& name = stringAt(j["kind"], path + "/kind");
    const KindName* k = kindNamed(name);
    if (!k)
        problem(path + "/kind", "unknown record kind \"" + name + "\"");
    DataEntry e;
    e.kind = k->kind;
    switch (k->shape) {
    case Shape::Titles: {
        expectObject(j, path, {"kind", "titles"}, {"titles"});
        const Json& titles = arrayAt(j["titles"], path + "/titles");
        for (size_t t = 0; t < titles.size(); ++t) {
            const std::string at = path + "/titles/" + std::to_string(t);
            expectObject(titles[t], at, {"language", "text", "utf16"}, {"language"});
            const std::string& language = stringAt(titles[t]["language"], at + "/language");
            const auto id = language.size() == 2 ? bytesOfHex(language) : std::nullopt;
            if (!id)
                problem(at + "/language", "\"" + language + "\" is no language; expected two hexadecimal digits such as \"01\"");
            e.titles.push_back({(*id)[0], EntryText(textAt(titles[t], "text", at))});
        }
        break;
    }
    case Shape::Ascii: {
        expectObject(j, path, {"kind", "text"}, {"text"});
        const std::string text = latin1At(j["text"], path + "/text");
        if (text.find('\0') != std::string::npos)
            problem(path + "/text", "the text holds a zero character");
        e.bytes.assign(text.begin(), text.end());
        e.bytes.push_back(0);
        break;
    }
    case Shape::Icon:
        expectObject(j, path, {"kind", "role", "path", "utf16"}, {"role"});
        e.role = nameOrNumberAt(kRoleNames, j["role"], path + "/role", "icon role");
        e.path = EntryText(textAt(j, "path", path));
        break;
    case Shape::Drm:
        expectObject(j, path, {"kind", "number", "first"}, {"number", "first"});
        e.number = static_cast<uint16_t>(numberAt(j["number"], path + "/number", 0xFFFF));
        e.first = byteAt(j["first"], path + "/first");
        break;
    case Shape::Code:
    case Shape::Action:
        expectObject(j, path, {"kind", "value"}, {"value"});
        e.value = static_cast<uint16_t>(numberAt(j["value"], path + "/value", k->shape == Shape::Code ? 0xFF : 0xFFFF));
        break;
    case Shape::Shortcut:
        expectObject(j, path, {"kind", "target", "hex"}, {});
        if (j.contains("target")) {
            const std::string target = latin1At(j["target"], path + "/target");
            if (target.empty() || target.size() > kShortcutDataLength || target.find('\0') != std::string::npos)
                problem(path + "/target", "a shortcut target has 1 to " + std::to_string(kShortcutDataLength) +
                                              " characters, none of them zero");
            e.bytes.assign(target.begin(), target.end());
            e.bytes.resize(kShortcutDataLength, 0);
        } else if (j.contains("hex")) {
            e.bytes = hexAt(j["hex"], path + "/hex");
            if (e.bytes.size() != kShortcutDataLength)
                problem(path + "/hex", "shortcut data has " + std::to_string(kShortcutDataLength) + " bytes, not " +
                                           std::to_string(e.bytes.size()));
        } else {
            problem(path + "/target", "missing");
        }
        break;
    case Shape::Unsupported: {
        expectObject(j, path, {"kind", "records"}, {"records"});
        const Json& records = arrayAt(j["records"], path + "/records");
        for (size_t r = 0; r < records.size(); ++r) {
            const std::string at = path + "/records/" + std::to_string(r);
            expectObject(records[r], at, {"kind", "hex"}, {"kind", "hex"});
            UnsupportedRecord record;
            record.kind = static_cast<uint8_t>(numberAt(records[r]["kind"], at + "/kind", 0xFF));
            record.payload = hexAt(records[r]["hex"], at + "/hex");
            if (record.payload.size() > 0xFFFF)
                problem(at + "/hex", "more bytes than a record's length can count (65535)");
            record.length = static_cast<uint16_t>(record.payload.size());
            e.records.push_back(std::move(record));
        }
        break;
    }
    }
    return e;
}

DescribedItem itemAt(const Json& j, const std::string& path, size_t depth)
{
    expectObject(j, path, {"id", "type", "options", "attributes", "data", "items"}, {"id"});
    DescribedItem item;
    item.name = latin1At(j["id"], path + "/id");
    if (j.contains("type"))
        item.itemType = nameOrNumberAt(kTypeNames, j["type"], path + "/type", "item type");
    if (j.contains("options"))
        item.options = byteAt(j["options"], path + "/options");
    if (j.contains("attributes"))
        item.attributes = byteAt(j["attributes"], path + "/attributes");
    if (j.contains("data")) {
        const Json& data = arrayAt(j["data"], path + "/data");
        for (size_t e = 0; e < data.size(); ++e)
            item.data.push_back(entryAt(data[e], path + "/data/" + std::to_string(e)));
    }
    if (j.contains("items")) {
        // Deeper than the most items a menu holds is never a menu; stop before the stack does.
        if (depth >= kMaxMenuItems)
            problem(path + "/items", "items nested deeper than " + std::to_string(kMaxMenuItems) + " levels");
        const Json& items = arrayAt(j["items"], path + "/items");
        for (size_t i = 0; i < items.size(); ++i)
            item.items.push_back(itemAt(items[i], path + "/items/" + std::to_string(i), depth + 1));
    }
    return item;
}

std::vector<DescribedItem> itemsAt(const Json& j, const std::string& path)
{
    std::vector<DescribedItem> items;
    const Json& array = arrayAt(j, path);
    for (size_t i = 0; i < array.size(); ++i)
        items.push_back(itemAt(array[i], path + "/" + std::to_string(i), 1));
    return items;
}

SaveMode saveModeAt(const Json& j, const std::string& path)
{
    expectObject(j, path, {"recordSize", "iconMarker", "c698p", "cdma", "saveAll"}, {});
    SaveMode mode;
    if (j.contains("recordSize")) {
        const unsigned size = numberAt(j["recordSize"], path + "/recordSize", 0xFF);
        if (size != 22 && size != 36)
            problem(path + "/recordSize", "records have 22 or 36 bytes, not " + std::to_string(size));
        mode.setRecordSize(static_cast<int>(size));
    }
    if (j.contains("iconMarker")) {
        const std::string& marker = stringAt(j["iconMarker"], path + "/iconMarker");
        if (marker != "06" && marker != "0C")
            problem(path + "/iconMarker", "the icon marker is \"06\" or \"0C\", not \"" + marker + "\"");
        mode.forceIconMarker(marker == "06" ? IconMarker::K06 : IconMarker::K0C);
    }
    if (j.contains("c698p"))
        mode.forceC698p(boolAt(j["c698p"], path + "/c698p"));
    if (j.contains("cdma"))
        mode.setCdma(boolAt(j["cdma"], path + "/cdma"));
    if (j.contains("saveAll"))
        mode.setSaveAll(boolAt(j["saveAll"], path + "/saveAll"));
    return mode;
}

// "line 3, column 7" of a byte position.
std::string lineAndColumn(std::string_view text, size_t position)
{
    position = std::min(position, text.size());
    const std::string_view before = text.substr(0, position);
    const size_t line = static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const size_t lineStart = before.rfind('\n');
    const size_t column = position - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

std::string itemTypeText(uint8_t itemType)
{
    const Json name = nameOrNumber(kTypeNames, itemType);
    return name.is_string() ? name.get<std::string>() : std::to_string(itemType);
}

std::string menuTextOf(const MenuDescription& description)
{
    const SaveMode& mode = description.saveMode;
    Json j;
    j["saveMode"] = {{"recordSize", mode.recordSize()},
                     {"iconMarker", mode.iconMarker() == IconMarker::K06 ? "06" : "0C"},
                     {"c698p", mode.c698p()},
                     {"cdma", mode.cdma()},
                     {"saveAll", mode.saveAll()}};
    j["softkeys"] = itemsJson(description.softkeys);
    j["menu"] = itemsJson(description.menu);
    std::string out;
    print(j, 0, out);
    return out + '\n';
}

Result<MenuDescription> parseMenuText(std::string_view text)
{
    Json j;
    try {
        j = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        std::string reason = e.what();
        // The library's message after its own prefix: "syntax error while parsing ...".
        if (const size_t colon = reason.find(": "); colon != std::string::npos)
            reason = reason.substr(colon + 2);
        return Error(ErrorKind::Format, "/: not JSON at " + lineAndColumn(text, e.byte == 0 ? 0 : e.byte - 1) +
                                            ": " + reason);
    }
    const Json& root = j;
    try {
        expectObject(root, "", {"saveMode", "softkeys", "menu"}, {"softkeys", "menu"});
        MenuDescription d;
        if (root.contains("saveMode"))
            d.saveMode = saveModeAt(root["saveMode"], "/saveMode");
        d.softkeys = itemsAt(root["softkeys"], "/softkeys");
        d.menu = itemsAt(root["menu"], "/menu");
        return d;
    } catch (const TextProblem& p) {
        return Error(ErrorKind::Format, (p.path.empty() ? "/" : p.path) + ": " + p.what);
    } catch (const Json::exception& e) {
        return Error(ErrorKind::Format, std::string("/: ") + e.what());
    }
}

} // namespace tessaro
