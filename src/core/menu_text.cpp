#include "core/menu_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <optional>

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

// Far deeper than a menu nests: kMaxMenuItems items take about twice as many levels.
constexpr size_t kMaxTextDepth = 10000;

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

// --- writing ---

// Writes the text form straight into a string, in the layout of the text form: an object or
// array of plain values on one line, any other one element per line, two spaces per level.
class TextWriter {
public:
    explicit TextWriter(std::string& out) : out_(out) {}

    void open(char bracket, bool multiLine)
    {
        element();
        out_ += bracket;
        levels_.push_back({bracket == '{' ? '}' : ']', multiLine, true});
    }

    void close()
    {
        const Level level = levels_.back();
        levels_.pop_back();
        if (level.multiLine && !level.first) {
            out_ += '\n';
            out_.append(2 * levels_.size(), ' ');
        }
        out_ += level.closing;
    }

    void key(std::string_view name)
    {
        element();
        out_ += '"';
        out_ += name;
        out_ += "\": ";
        afterKey_ = true;
    }

    void string(std::string_view utf8)
    {
        element();
        out_ += '"';
        escaped(utf8);
        out_ += '"';
    }

    // A UTF-16 text as a JSON string.
    void string(std::u16string_view text)
    {
        element();
        out_ += '"';
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
            if (c < 0x80)
                escape(static_cast<char>(c));
            else
                appendUtf8(out_, c);
        }
        out_ += '"';
    }

    // One byte per character as a JSON string.
    void latin1(std::string_view text)
    {
        element();
        out_ += '"';
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80) {
                escape(c);
            } else {
                out_ += static_cast<char>(0xC0 | (b >> 6));
                out_ += static_cast<char>(0x80 | (b & 0x3F));
            }
        }
        out_ += '"';
    }

    void number(unsigned value)
    {
        element();
        char digits[12];
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
        out_.append(digits, end);
    }

    void boolean(bool value)
    {
        element();
        out_ += value ? "true" : "false";
    }

private:
    struct Level {
        char closing;
        bool multiLine;
        bool first;
    };

    // The separator and indentation before the next element of the open level.
    void element()
    {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (levels_.empty())
            return;
        Level& level = levels_.back();
        if (level.multiLine) {
            out_ += level.first ? "\n" : ",\n";
            out_.append(2 * levels_.size(), ' ');
        } else if (!level.first) {
            out_ += ", ";
        }
        level.first = false;
    }

    // Appends text, escaping what JSON needs escaped; runs of other characters go at once.
    void escaped(std::string_view text)
    {
        size_t run = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 && c != '"' && c != '\\')
                continue;
            out_.append(text.data() + run, i - run);
            escape(text[i]);
            run = i + 1;
        }
        out_.append(text.data() + run, text.size() - run);
    }

    void escape(char c)
    {
        switch (c) {
        case '"': out_ += "\\\""; return;
        case '\\': out_ += "\\\\"; return;
        case '\b': out_ += "\\b"; return;
        case '\f': out_ += "\\f"; return;
        case '\n': out_ += "\\n"; return;
        case '\r': out_ += "\\r"; return;
        case '\t': out_ += "\\t"; return;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out_ += "\\u00";
                out_ += hexDigits(static_cast<unsigned char>(c), 2, false);
            } else {
                out_ += c;
            }
        }
    }

    std::string& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

template <size_t N>
void writeNameOrNumber(TextWriter& w, const std::array<std::pair<uint8_t, const char*>, N>& names, uint8_t value)
{
    for (const auto& [code, name] : names)
        if (code == value) {
            w.string(std::string_view(name));
            return;
        }
    w.number(value);
}

void writeByte(TextWriter& w, uint8_t value)
{
    w.string(std::string_view(hexNumber(value, 2)));
}

// A UTF-16 text under `key`, or under "utf16" as big-endian units when UTF-8 cannot carry it.
void writeText(TextWriter& w, std::string_view key, std::u16string_view text)
{
    if (isPairedUtf16(text)) {
        w.key(key);
        w.string(text);
        return;
    }
    std::vector<uint8_t> units;
    for (char16_t u : text)
        append16(units, u, ByteOrder::Big);
    w.key("utf16");
    w.string(std::string_view(hexText(units)));
}

void writeEntry(TextWriter& w, const DataEntry& e)
{
    const KindName* k = kindOf(e.kind);
    const Shape shape = k ? k->shape : Shape::Unsupported;
    w.open('{', shape == Shape::Titles || shape == Shape::Unsupported);
    w.key("kind");
    w.string(std::string_view(k ? k->name : "unsupported"));
    switch (shape) {
    case Shape::Titles:
        w.key("titles");
        w.open('[', !e.titles.empty());
        for (const Title& t : e.titles) {
            w.open('{', false);
            w.key("language");
            w.string(std::string_view(hexDigits(t.language, 2)));
            writeText(w, "text", t.text.view());
            w.close();
        }
        w.close();
        break;
    case Shape::Ascii:
        w.key("text");
        w.latin1(asciiText(e));
        break;
    case Shape::Icon:
        w.key("role");
        writeNameOrNumber(w, kRoleNames, e.role);
        writeText(w, "path", e.path.view());
        break;
    case Shape::Drm:
        w.key("number");
        w.number(e.number);
        w.key("first");
        writeByte(w, e.first);
        break;
    case Shape::Code:
    case Shape::Action:
        w.key("value");
        w.number(e.value);
        break;
    case Shape::Shortcut: {
        const auto zero = std::find(e.bytes.begin(), e.bytes.end(), uint8_t(0));
        const bool named = e.bytes.size() == kShortcutDataLength && zero != e.bytes.begin()
                           && std::all_of(zero, e.bytes.end(), [](uint8_t b) { return b == 0; });
        w.key(named ? "target" : "hex");
        if (named)
            w.latin1(std::string_view(reinterpret_cast<const char*>(e.bytes.data()),
                                      static_cast<size_t>(zero - e.bytes.begin())));
        else
            w.string(std::string_view(hexText(e.bytes)));
        break;
    }
    case Shape::Unsupported: {
        // An entry of a kind without a name, made in memory, is one record of its bytes.
        const std::vector<UnsupportedRecord> own =
            k ? std::vector<UnsupportedRecord>{} : std::vector<UnsupportedRecord>{{e.kind, 0, e.bytes}};
        const std::vector<UnsupportedRecord>& records = k ? e.records : own;
        w.key("records");
        w.open('[', !records.empty());
        for (const UnsupportedRecord& r : records) {
            w.open('{', false);
            w.key("kind");
            w.number(r.kind);
            w.key("hex");
            w.string(std::string_view(hexText(r.payload)));
            w.close();
        }
        w.close();
        break;
    }
    }
    w.close();
}

void writeItems(TextWriter& w, const std::vector<DescribedItem>& items);

// About the length of the text of some items, so the text is allocated once.
size_t textSizeGuess(const std::vector<DescribedItem>& items)
{
    size_t n = 0;
    for (const DescribedItem& item : items) {
        n += 120 + item.name.size() + textSizeGuess(item.items);
        for (const DataEntry& e : item.data) {
            n += 100 + e.bytes.size() * 2 + e.path.size() * 3;
            for (const Title& t : e.titles)
                n += 60 + t.text.size() * 3;
        }
    }
    return n;
}

void writeItem(TextWriter& w, const DescribedItem& item)
{
    w.open('{', !item.data.empty() || !item.items.empty());
    w.key("id");
    w.latin1(item.name);
    w.key("type");
    writeNameOrNumber(w, kTypeNames, item.itemType);
    w.key("options");
    writeByte(w, item.options);
    w.key("attributes");
    writeByte(w, item.attributes);
    if (!item.data.empty()) {
        w.key("data");
        w.open('[', true);
        for (const DataEntry& e : item.data)
            writeEntry(w, e);
        w.close();
    }
    if (!item.items.empty()) {
        w.key("items");
        writeItems(w, item.items);
    }
    w.close();
}

void writeItems(TextWriter& w, const std::vector<DescribedItem>& items)
{
    w.open('[', !items.empty());
    for (const DescribedItem& item : items)
        writeItem(w, item);
    w.close();
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
    for (auto it = j.begin(); it != j.end(); ++it) {
        const std::string& key = it.key();
        if (std::none_of(known.begin(), known.end(), [&key](const char* k) { return key == k; }))
            problem(path + "/" + key, "unknown key \"" + key + "\"");
    }
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
    if (!j.is_number_unsigned() || j.get<uint64_t>() > maximum)
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

// A UTF-16 text given as "text" or as "utf16" hexadecimal units, never both: one of two
// different texts would be dropped.
std::u16string textAt(const Json& j, const char* key, const std::string& path)
{
    if (j.contains(key) && j.contains("utf16"))
        problem(path, std::string("both \"") + key + "\" and \"utf16\"; give one of them");
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
                problem(at + "/language",
                        "\"" + language + "\" is no language; expected two hexadecimal digits such as \"01\"");
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
        if (j.contains("target") && j.contains("hex"))
            problem(path, "both \"target\" and \"hex\"; give one of them");
        if (j.contains("target")) {
            const std::string target = latin1At(j["target"], path + "/target");
            if (target.empty() || target.size() > kShortcutDataLength || target.find('\0') != std::string::npos)
                problem(path + "/target", "a shortcut target has 1 to " + std::to_string(kShortcutDataLength)
                                              + " characters, none of them zero");
            e.bytes.assign(target.begin(), target.end());
            e.bytes.resize(kShortcutDataLength, 0);
        } else if (j.contains("hex")) {
            e.bytes = hexAt(j["hex"], path + "/hex");
            if (e.bytes.size() != kShortcutDataLength)
                problem(path + "/hex", "shortcut data has " + std::to_string(kShortcutDataLength) + " bytes, not "
                                           + std::to_string(e.bytes.size()));
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
    // Whatever the text lists is meant to be written, unsupported records included.
    SaveMode mode;
    mode.setSaveAll(true);
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

// The library's message without its "[json.exception.…] " prefix.
std::string libraryReason(const std::exception& e)
{
    const std::string text = e.what();
    const size_t end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
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

// Builds the JSON value of a text as the library's own reader does, but stops at a key given
// twice in one object (the library keeps the last one and the first is lost without a word)
// and before arrays and objects nest deeper than kMaxTextDepth: a menu nests at most
// kMaxMenuItems items, about twice as many levels of JSON, and no deeper text is a menu.
class TextReader {
public:
    explicit TextReader(Json& root) : root_(root) {}

    bool null() { return value(Json()); }
    bool boolean(bool v) { return value(Json(v)); }
    bool number_integer(Json::number_integer_t v) { return value(Json(v)); }
    bool number_unsigned(Json::number_unsigned_t v) { return value(Json(v)); }
    bool number_float(Json::number_float_t v, const Json::string_t&) { return value(Json(v)); }
    bool string(Json::string_t& v) { return value(Json(std::move(v))); }
    bool binary(Json::binary_t& v) { return value(Json(std::move(v))); }
    bool start_object(size_t) { return open(Json::value_t::object); }
    bool start_array(size_t) { return open(Json::value_t::array); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(Json::string_t& name)
    {
        Level& level = levels_.back();
        auto& object = level.value->get_ref<Json::object_t&>();
        const auto [it, added] = object.emplace(name, Json());
        if (!added) {
            refusal_ = pathHere() + "/" + name + ": the key \"" + name + "\" is given twice";
            return false;
        }
        level.slot = &it->second;
        level.key = &it->first;
        return true;
    }

    bool parse_error(size_t position, const std::string&, const Json::exception& e)
    {
        if (e.id / 100 == 1) {
            std::string reason = e.what();
            // The library's message after its own prefix: "syntax error while parsing ...".
            if (const size_t colon = reason.find(": "); colon != std::string::npos)
                reason = reason.substr(colon + 2);
            notJson_ = reason;
            position_ = position;
        } else {
            // A number too large for a double, say.
            notJson_ = libraryReason(e);
        }
        return false;
    }

    // Why the text was not read, after the reader stopped.
    std::string failure(std::string_view text) const
    {
        if (!refusal_.empty())
            return refusal_;
        if (position_)
            return "/: not JSON at " + lineAndColumn(text, *position_ == 0 ? 0 : *position_ - 1) + ": " + notJson_;
        return "/: not JSON: " + notJson_;
    }

private:
    struct Level {
        Json* value;                      // the open array or object
        Json* slot = nullptr;             // an object's value under its last key
        const std::string* key = nullptr; // that key
    };

    // Where a new value of the innermost open array or object goes.
    Json* place(Json&& v)
    {
        if (levels_.empty()) {
            root_ = std::move(v);
            return &root_;
        }
        Level& level = levels_.back();
        if (level.value->is_array()) {
            auto& array = level.value->get_ref<Json::array_t&>();
            array.push_back(std::move(v));
            return &array.back();
        }
        *level.slot = std::move(v);
        return level.slot;
    }

    bool value(Json&& v)
    {
        place(std::move(v));
        return true;
    }

    bool open(Json::value_t type)
    {
        if (levels_.size() >= kMaxTextDepth) {
            refusal_ = "/: arrays and objects nested deeper than " + std::to_string(kMaxTextDepth)
                       + " levels; a menu needs far fewer";
            return false;
        }
        levels_.push_back({place(Json(type))});
        return true;
    }

    bool close()
    {
        levels_.pop_back();
        return true;
    }

    // The JSON path of the innermost open array or object.
    std::string pathHere() const
    {
        std::string path;
        for (size_t i = 0; i + 1 < levels_.size(); ++i) {
            const Level& level = levels_[i];
            path += '/';
            path += level.value->is_array() ? std::to_string(level.value->size() - 1) : *level.key;
        }
        return path;
    }

    Json& root_;
    std::vector<Level> levels_;
    std::string refusal_;
    std::string notJson_;
    std::optional<size_t> position_;
};

} // namespace

std::string itemTypeText(uint8_t itemType)
{
    for (const auto& [code, name] : kTypeNames)
        if (code == itemType)
            return name;
    return std::to_string(itemType);
}

std::string menuTextOf(const MenuDescription& description)
{
    const SaveMode& mode = description.saveMode;
    std::string out;
    out.reserve(textSizeGuess(description.softkeys) + textSizeGuess(description.menu) + 256);
    TextWriter w(out);
    w.open('{', true);
    w.key("saveMode");
    w.open('{', false);
    w.key("recordSize");
    w.number(static_cast<unsigned>(mode.recordSize()));
    w.key("iconMarker");
    w.string(std::string_view(mode.iconMarker() == IconMarker::K06 ? "06" : "0C"));
    w.key("c698p");
    w.boolean(mode.c698p());
    w.key("cdma");
    w.boolean(mode.cdma());
    w.key("saveAll");
    w.boolean(mode.saveAll());
    w.close();
    w.key("softkeys");
    writeItems(w, description.softkeys);
    w.key("menu");
    writeItems(w, description.menu);
    w.close();
    out += '\n';
    return out;
}

Result<MenuDescription> parseMenuText(std::string_view text)
{
    Json j;
    TextReader reader(j);
    try {
        if (!Json::sax_parse(text.begin(), text.end(), &reader))
            return Error(ErrorKind::Format, reader.failure(text));
    } catch (const Json::exception& e) {
        return Error(ErrorKind::Format, "/: not JSON: " + libraryReason(e));
    }
    const Json& root = j;
    try {
        expectObject(root, "", {"saveMode", "softkeys", "menu"}, {"softkeys", "menu"});
        MenuDescription d;
        // A reference, not a copy: copying a value copies all it nests, one call a level.
        const Json none = Json::object();
        d.saveMode = saveModeAt(root.contains("saveMode") ? root["saveMode"] : none, "/saveMode");
        d.softkeys = itemsAt(root["softkeys"], "/softkeys");
        d.menu = itemsAt(root["menu"], "/menu");
        return d;
    } catch (const TextProblem& p) {
        return Error(ErrorKind::Format, (p.path.empty() ? "/" : p.path) + ": " + p.what);
    } catch (const Json::exception& e) {
        return Error(ErrorKind::Format, "/: " + libraryReason(e));
    }
}

std::string recordKindName(uint8_t code, int recordSize)
{
    // In 22-byte files kind 6 is a file-system icon written with icon marker 06.
    if (code == kind::DialNumber && recordSize == 22)
        code = kind::FileIcon;
    const KindName* k = code == kind::Unsupported ? nullptr : kindOf(code);
    return k ? k->name : std::string();
}

bool looksLikeMenuText(std::string_view bytes)
{
    // Editors on some systems start a UTF-8 text with a byte-order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

} // namespace tessaro
