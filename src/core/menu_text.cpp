#include "core/menu_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

#include <simdjson.h>

#include "core/bytes.h"
#include "core/hex_text.h"
#include "core/json_path.h"
#include "core/menu_document.h"
#include "core/menu_text_faults.h"
#include "core/menu_writer.h"
#include "core/text_encoding.h"

namespace tessaro {

namespace {

// How the fields of a record kind are written.
enum class Shape { Titles, Ascii, Icon, Drm, Code, Action, Shortcut, Unsupported };

struct KindName {
    uint8_t kind;
    std::string_view name;
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
constexpr std::array<std::pair<uint8_t, std::string_view>, 9> kTypeNames = {{
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

// Editors on some systems start a UTF-8 text with a byte-order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr std::array<std::pair<uint8_t, std::string_view>, 3> kRoleNames = {{
    {kRoleList, "list"},
    {kRoleStatic, "static"},
    {kRoleAnimated, "animated"},
}};

// --- writing ---

// Writes the text form straight into a string, in the layout of the text form: an object or
// array of plain values on one line, any other one element per line, two spaces per level.
// Bytes go through a cursor into room made ahead, not one append each.
class TextWriter {
public:
    // Starts with room for about `size` bytes; more is made as needed.
    explicit TextWriter(size_t size) : out_(size, '\0'), at_(out_.data()), end_(at_ + size) {}

    // The text written, with a final line break.
    std::string text() &&
    {
        put('\n');
        out_.resize(static_cast<size_t>(at_ - out_.data()));
        return std::move(out_);
    }

    void open(char bracket, bool multiLine)
    {
        element();
        put(bracket);
        levels_.push_back({bracket == '{' ? '}' : ']', multiLine, true});
    }

    void close()
    {
        const Level level = levels_.back();
        levels_.pop_back();
        if (level.multiLine && !level.first)
            newLine();
        put(level.closing);
    }

    // A key of the text form (a literal, so its length is known where it is written).
    template <size_t N>
    void key(const char (&name)[N])
    {
        element();
        char* p = room(N + 3);
        *p++ = '"';
        p = std::copy_n(name, N - 1, p);
        *p++ = '"';
        *p++ = ':';
        *p++ = ' ';
        at_ = p;
        afterKey_ = true;
    }

    // A text of plain ASCII that needs no escapes: a name of the text form.
    void name(std::string_view text)
    {
        element();
        char* p = room(text.size() + 2);
        *p++ = '"';
        p = std::copy(text.begin(), text.end(), p);
        *p++ = '"';
        at_ = p;
    }

    // A UTF-16 text as a JSON string.
    void string(std::u16string_view text)
    {
        element();
        // At most six bytes a unit: "\u001f", or three for a unit of UTF-8 (a pair makes four).
        char* p = room(6 * text.size() + 2);
        *p++ = '"';
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
            p = c < 0x80 ? escaped(p, static_cast<char>(c)) : writeUtf8(p, c);
        }
        *p++ = '"';
        at_ = p;
    }

    // One byte per character as a JSON string.
    void latin1(std::string_view text)
    {
        element();
        char* p = room(6 * text.size() + 2);
        *p++ = '"';
        for (char c : text)
            p = static_cast<unsigned char>(c) < 0x80 ? escaped(p, c) : writeUtf8(p, static_cast<unsigned char>(c));
        *p++ = '"';
        at_ = p;
    }

    // Bytes as a string of lower-case hexadecimal digits, "0aff".
    void hex(std::span<const uint8_t> bytes)
    {
        element();
        char* p = room(2 * bytes.size() + 2);
        *p++ = '"';
        for (uint8_t b : bytes)
            p = hexByte(p, b, kLowerDigits);
        *p++ = '"';
        at_ = p;
    }

    // A byte as a string of two upper-case hexadecimal digits, after "0x" if `prefixed`:
    // "0x41", "01".
    void byte(uint8_t value, bool prefixed)
    {
        element();
        char* p = room(6);
        *p++ = '"';
        if (prefixed) {
            *p++ = '0';
            *p++ = 'x';
        }
        p = hexByte(p, value, kUpperDigits);
        *p++ = '"';
        at_ = p;
    }

    void number(unsigned value)
    {
        element();
        char* p = room(10);
        at_ = std::to_chars(p, p + 10, value).ptr;
    }

    void boolean(bool value)
    {
        element();
        const std::string_view word = value ? "true" : "false";
        at_ = std::copy(word.begin(), word.end(), room(word.size()));
    }

private:
    struct Level {
        char closing;
        bool multiLine;
        bool first;
    };

    static constexpr char kLowerDigits[] = "0123456789abcdef";
    static constexpr char kUpperDigits[] = "0123456789ABCDEF";

    // Where the next `size` bytes go.
    char* room(size_t size)
    {
        if (static_cast<size_t>(end_ - at_) < size)
            grow(size);
        return at_;
    }

    void put(char c)
    {
        *room(1) = c;
        ++at_;
    }

    // Kept out of line, so that room() is inlined wherever a byte is written.
    [[gnu::noinline]] void grow(size_t size)
    {
        const size_t used = static_cast<size_t>(at_ - out_.data());
        out_.resize(std::max(2 * out_.size(), used + size));
        at_ = out_.data() + used;
        end_ = out_.data() + out_.size();
    }

    void newLine()
    {
        char* p = room(1 + 2 * levels_.size());
        *p++ = '\n';
        at_ = std::fill_n(p, 2 * levels_.size(), ' ');
    }

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
            if (!level.first)
                put(',');
            newLine();
        } else if (!level.first) {
            char* p = room(2);
            *p++ = ',';
            *p++ = ' ';
            at_ = p;
        }
        level.first = false;
    }

    static char* hexByte(char* p, uint8_t b, const char* digits)
    {
        *p++ = digits[b >> 4];
        *p++ = digits[b & 0xF];
        return p;
    }

    // An ASCII character, escaped as JSON needs.
    static char* escaped(char* p, char c)
    {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20 && c != '"' && c != '\\') {
            *p++ = c;
            return p;
        }
        *p++ = '\\';
        switch (c) {
        case '"': *p++ = '"'; break;
        case '\\': *p++ = '\\'; break;
        case '\b': *p++ = 'b'; break;
        case '\f': *p++ = 'f'; break;
        case '\n': *p++ = 'n'; break;
        case '\r': *p++ = 'r'; break;
        case '\t': *p++ = 't'; break;
        default: p = std::copy_n("u00", 3, p); p = hexByte(p, code, kLowerDigits);
        }
        return p;
    }

    std::string out_;
    char* at_ = nullptr;
    char* end_ = nullptr;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

template <size_t N>
void writeNameOrNumber(TextWriter& w, const std::array<std::pair<uint8_t, std::string_view>, N>& names, uint8_t value)
{
    for (const auto& [code, name] : names)
        if (code == value) {
            w.name(name);
            return;
        }
    w.number(value);
}

// A UTF-16 text under `key`, or under "utf16" as big-endian units when UTF-8 cannot carry it.
template <size_t N>
void writeText(TextWriter& w, const char (&key)[N], std::u16string_view text)
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
    w.hex(units);
}

void writeEntry(TextWriter& w, const DataEntry& e)
{
    const KindName* k = kindOf(e.kind);
    const Shape shape = k ? k->shape : Shape::Unsupported;
    w.open('{', shape == Shape::Titles || shape == Shape::Unsupported);
    w.key("kind");
    w.name(k ? k->name : "unsupported");
    switch (shape) {
    case Shape::Titles:
        w.key("titles");
        w.open('[', !e.titles.empty());
        for (const Title& t : e.titles) {
            w.open('{', false);
            w.key("language");
            w.byte(t.language, false);
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
        w.byte(e.first, true);
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
        if (named) {
            w.key("target");
            w.latin1(std::string_view(reinterpret_cast<const char*>(e.bytes.data()),
                                      static_cast<size_t>(zero - e.bytes.begin())));
        } else {
            w.key("hex");
            w.hex(e.bytes);
        }
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
            w.hex(r.payload);
            w.close();
        }
        w.close();
        break;
    }
    }
    w.close();
}

// What the text form says of an item itself.
struct ItemContent {
    const std::string& name;
    uint8_t itemType;
    uint8_t options;
    uint8_t attributes;
    std::span<const DataEntry> data;
};

// The items of a description.
struct DescribedItems {
    static ItemContent content(const DescribedItem& item)
    {
        return {item.name, item.itemType, item.options, item.attributes, item.data};
    }
    static const std::vector<DescribedItem>& children(const DescribedItem& item) { return item.items; }
    static const DescribedItem& item(const DescribedItem& element) { return element; }
};

// The nodes of a document with their data: the items of its description, read where they
// are instead of copied into one.
struct DocumentItems {
    const ItemDataTable& table;

    ItemContent content(const MenuNode& node) const
    {
        const ItemDataBlock* block = table.at(node.item.recordNo);
        return {node.item.name, node.item.itemType, node.item.options, node.item.attributes,
                block ? std::span<const DataEntry>(block->entries) : std::span<const DataEntry>()};
    }
    static const std::vector<std::unique_ptr<MenuNode>>& children(const MenuNode& node) { return node.children(); }
    static const MenuNode& item(const std::unique_ptr<MenuNode>& element) { return *element; }
};

// About the length of the text of some items, so the text is mostly allocated once.
template <typename Items, typename List>
size_t textSizeGuess(const Items& source, const List& items)
{
    size_t n = 0;
    for (const auto& element : items) {
        const auto& item = source.item(element);
        const ItemContent c = source.content(item);
        n += 120 + c.name.size() + textSizeGuess(source, source.children(item));
        for (const DataEntry& e : c.data) {
            n += 100 + e.bytes.size() * 2 + e.path.size() * 3;
            for (const Title& t : e.titles)
                n += 60 + t.text.size() * 3;
        }
    }
    return n;
}

template <typename Items, typename List>
void writeItems(TextWriter& w, const Items& source, const List& items);

template <typename Items, typename Item>
void writeItem(TextWriter& w, const Items& source, const Item& item)
{
    const ItemContent c = source.content(item);
    const auto& children = source.children(item);
    w.open('{', !c.data.empty() || !children.empty());
    w.key("id");
    w.latin1(c.name);
    w.key("type");
    writeNameOrNumber(w, kTypeNames, c.itemType);
    w.key("options");
    w.byte(c.options, true);
    w.key("attributes");
    w.byte(c.attributes, true);
    if (!c.data.empty()) {
        w.key("data");
        w.open('[', true);
        for (const DataEntry& e : c.data)
            writeEntry(w, e);
        w.close();
    }
    if (!children.empty()) {
        w.key("items");
        writeItems(w, source, children);
    }
    w.close();
}

template <typename Items, typename List>
void writeItems(TextWriter& w, const Items& source, const List& items)
{
    w.open('[', !items.empty());
    for (const auto& element : items)
        writeItem(w, source, source.item(element));
    w.close();
}

// The text of a save mode and two lists of items, the softkeys and the main menu.
template <typename Items, typename List>
std::string writeMenuText(const SaveMode& mode, const Items& source, const List& softkeys, const List& menu)
{
    TextWriter w(textSizeGuess(source, softkeys) + textSizeGuess(source, menu) + 256);
    w.open('{', true);
    w.key("saveMode");
    w.open('{', false);
    w.key("recordSize");
    w.number(static_cast<unsigned>(mode.recordSize()));
    w.key("iconMarker");
    w.name(mode.iconMarker() == IconMarker::K06 ? "06" : "0C");
    w.key("c698p");
    w.boolean(mode.c698p());
    w.key("cdma");
    w.boolean(mode.cdma());
    w.key("saveAll");
    w.boolean(mode.saveAll());
    w.close();
    w.key("softkeys");
    writeItems(w, source, softkeys);
    w.key("menu");
    writeItems(w, source, menu);
    w.close();
    return std::move(w).text();
}

// --- reading ------------------------------------------------------------------------------

using Value = simdjson::dom::element;
using simdjson::dom::element_type;

// A value of the text and where it is; an object's field that the text leaves out is there
// but not present.
struct Field {
    Value value;
    JsonPath path;
    bool present = true;

    explicit operator bool() const { return present; }
};

// A problem with a value, its text complete with the value's JSON path; caught in
// parseMenuText, never leaves this file.
struct TextProblem {
    std::string text;
};

[[noreturn]] void problem(const JsonPath& at, const std::string& what)
{
    throw TextProblem{at.text() + ": " + what};
}

const char* typeName(Value v)
{
    switch (v.type()) {
    case element_type::INT64:
    case element_type::UINT64: return "an integer";
    case element_type::DOUBLE: return "a number";
    case element_type::STRING: return "a string";
    case element_type::BOOL: return "true or false";
    case element_type::ARRAY: return "an array";
    case element_type::OBJECT: return "an object";
    case element_type::NULL_VALUE: break;
    }
    return "null";
}

[[noreturn]] void wrongType(const Field& f, const char* expected)
{
    problem(f.path, std::string("expected ") + expected + ", found " + typeName(f.value));
}

simdjson::dom::object objectAt(const Field& f)
{
    simdjson::dom::object object;
    if (f.value.get(object) != simdjson::SUCCESS)
        wrongType(f, "an object");
    return object;
}

// Whether a key read from the text is `known`; most keys are a few letters long.
bool sameKey(std::string_view key, std::string_view known)
{
    if (key.size() != known.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (key[i] != known[i])
            return false;
    return true;
}

// The fields of an object under the keys `known`, in their order, found in one pass over the
// object: an unknown key or one given twice is refused first (in the object's order), then a
// missing one of `required` (in that order).
template <size_t N>
std::array<Field, N> fieldsOf(const Field& object, const std::string_view (&known)[N],
                              std::initializer_list<std::string_view> required = {})
{
    std::array<Field, N> fields;
    for (size_t k = 0; k < N; ++k)
        fields[k] = {Value(), JsonPath(object.path, known[k]), false};
    size_t k = N - 1;
    for (const simdjson::dom::key_value_pair field : objectAt(object)) {
        // Keys mostly come in the order they are written in, so the search starts after the
        // last one found.
        size_t tried = 0;
        do {
            k = k + 1 < N ? k + 1 : 0;
        } while (!sameKey(field.key, known[k]) && ++tried < N);
        if (tried == N)
            problem(JsonPath(object.path, field.key), "unknown key \"" + std::string(field.key) + "\"");
        if (fields[k].present)
            problem(JsonPath(object.path, field.key), "the key \"" + std::string(field.key) + "\" is given twice");
        fields[k].value = field.value;
        fields[k].present = true;
    }
    for (std::string_view key : required)
        for (size_t r = 0; r < N; ++r)
            if (!fields[r] && sameKey(key, known[r]))
                problem(fields[r].path, "missing");
    return fields;
}

// Calls `read` with each element of the array `f` as a field.
template <typename Read>
void forEachElement(const Field& f, Read&& read)
{
    simdjson::dom::array array;
    if (f.value.get(array) != simdjson::SUCCESS)
        wrongType(f, "an array");
    size_t i = 0;
    for (const Value element : array)
        read(Field{element, JsonPath(f.path, i++)});
}

// The number of elements of the array `f` (whatever its type), but no more than a menu uses:
// a hostile text may list millions, which are refused only once read. For a vector's room.
size_t sizeUpTo(const Field& f, size_t most)
{
    simdjson::dom::array array;
    return f.value.get(array) == simdjson::SUCCESS ? std::min(array.size(), most + 1) : 0;
}

std::string_view stringAt(const Field& f)
{
    std::string_view text;
    if (f.value.get(text) != simdjson::SUCCESS)
        wrongType(f, "a string");
    return text;
}

bool boolAt(const Field& f)
{
    bool value = false;
    if (f.value.get(value) != simdjson::SUCCESS)
        wrongType(f, "true or false");
    return value;
}

bool isInteger(const Field& f)
{
    return f.value.type() == element_type::INT64 || f.value.type() == element_type::UINT64;
}

unsigned numberAt(const Field& f, unsigned maximum)
{
    const auto outOfRange = [maximum](const std::string& number) {
        return number + " is out of range (0 to " + std::to_string(maximum) + ")";
    };
    if (f.value.type() == element_type::INT64) {
        const int64_t value = f.value.get_int64().value_unsafe();
        if (value >= 0 && static_cast<uint64_t>(value) <= maximum)
            return static_cast<unsigned>(value);
        problem(f.path, outOfRange(std::to_string(value)));
    }
    // Above the largest signed 64-bit number.
    if (f.value.type() == element_type::UINT64)
        problem(f.path, outOfRange(std::to_string(f.value.get_uint64().value_unsafe())));
    wrongType(f, "an integer");
}

// A byte written as "0x41" (or as a plain integer).
uint8_t byteAt(const Field& f)
{
    if (isInteger(f))
        return static_cast<uint8_t>(numberAt(f, 0xFF));
    const std::string_view text = stringAt(f);
    const auto byte = text.size() == 4 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
                          ? byteOfHex(text.substr(2))
                          : std::nullopt;
    if (!byte)
        problem(f.path, "\"" + std::string(text) + "\" is no byte; expected two hexadecimal digits such as \"0x41\"");
    return *byte;
}

std::vector<uint8_t> hexAt(const Field& f)
{
    auto bytes = bytesOfHex(stringAt(f));
    if (!bytes)
        problem(f.path, "bad hexadecimal: expected pairs of the digits 0-9 and a-f");
    return std::move(*bytes);
}

// A string of one byte per character (U+0000 to U+00FF).
std::string latin1At(const Field& f)
{
    const std::string_view utf8 = stringAt(f);
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (char16_t u : utf8ToUtf16(utf8)) {
        if (u > 0xFF)
            problem(f.path, "the character U+" + hexDigits(u, 4) + " does not fit one byte (U+0000 to U+00FF)");
        out += static_cast<char>(u);
    }
    return out;
}

// A UTF-16 text of the object at `at`, given under `key` (the field `text`) or as "utf16"
// hexadecimal units (the field `units`), never both: one of two different texts would be
// dropped.
EntryText textAt(const JsonPath& at, std::string_view key, const Field& text, const Field& units)
{
    if (text && units)
        problem(at, "both \"" + std::string(key) + "\" and \"utf16\"; give one of them");
    EntryText out;
    if (text) {
        const std::string_view utf8 = stringAt(text);
        out.assign(utf8.size(), [utf8](char16_t* room) { return utf8ToUtf16(utf8, room); });
        return out;
    }
    if (!units)
        problem(text.path, "missing");
    const std::vector<uint8_t> bytes = hexAt(units);
    if (bytes.size() % 2 != 0)
        problem(units.path, "UTF-16 units take four hexadecimal digits each");
    out.assign(bytes.size() / 2, [&bytes](char16_t* room) {
        for (size_t i = 0; i < bytes.size(); i += 2)
            *room++ = static_cast<char16_t>(readBE16(bytes.data() + i));
        return bytes.size() / 2;
    });
    return out;
}

template <size_t N>
uint8_t nameOrNumberAt(const std::array<std::pair<uint8_t, std::string_view>, N>& names, const Field& f,
                       const char* what)
{
    if (isInteger(f))
        return static_cast<uint8_t>(numberAt(f, 0xFF));
    const std::string_view name = stringAt(f);
    for (const auto& [code, known] : names)
        if (name == known)
            return code;
    std::string list;
    for (const auto& [code, known] : names)
        list += (list.empty() ? "" : ", ") + std::string(known);
    problem(f.path,
            "unknown " + std::string(what) + " \"" + std::string(name) + "\" (one of " + list + ", or a number)");
}

// The kind of a record: the first "kind" of its object.
const KindName& kindAt(const Field& entry)
{
    for (const simdjson::dom::key_value_pair field : objectAt(entry)) {
        if (field.key != "kind")
            continue;
        const Field kind{field.value, JsonPath(entry.path, "kind")};
        const std::string_view name = stringAt(kind);
        if (const KindName* k = kindNamed(name))
            return *k;
        problem(kind.path, "unknown record kind \"" + std::string(name) + "\"");
    }
    problem(JsonPath(entry.path, "kind"), "missing");
}

std::vector<Title> titlesAt(const Field& f)
{
    std::vector<Title> titles;
    titles.reserve(sizeUpTo(f, kMaxTitles));
    forEachElement(f, [&titles](const Field& title) {
        const auto [language, text, utf16] = fieldsOf(title, {"language", "text", "utf16"}, {"language"});
        const std::string_view digits = stringAt(language);
        const auto id = byteOfHex(digits);
        if (!id)
            problem(language.path,
                    "\"" + std::string(digits) + "\" is no language; expected two hexadecimal digits such as \"01\"");
        titles.push_back({*id, textAt(title.path, "text", text, utf16)});
    });
    return titles;
}

std::vector<UnsupportedRecord> recordsAt(const Field& f)
{
    std::vector<UnsupportedRecord> records;
    records.reserve(sizeUpTo(f, kMaxUnsupportedRecords));
    forEachElement(f, [&records](const Field& record) {
        const auto [kind, hex] = fieldsOf(record, {"kind", "hex"}, {"kind", "hex"});
        UnsupportedRecord r;
        r.kind = static_cast<uint8_t>(numberAt(kind, 0xFF));
        r.payload = hexAt(hex);
        if (r.payload.size() > 0xFFFF)
            problem(hex.path, "more bytes than a record's length can count (65535)");
        r.length = static_cast<uint16_t>(r.payload.size());
        records.push_back(std::move(r));
    });
    return records;
}

DataEntry entryAt(const Field& f)
{
    const KindName& k = kindAt(f);
    DataEntry e;
    e.kind = k.kind;
    switch (k.shape) {
    case Shape::Titles: {
        const auto [kind, titles] = fieldsOf(f, {"kind", "titles"}, {"titles"});
        e.titles = titlesAt(titles);
        break;
    }
    case Shape::Ascii: {
        const auto [kind, text] = fieldsOf(f, {"kind", "text"}, {"text"});
        const std::string ascii = latin1At(text);
        if (ascii.find('\0') != std::string::npos)
            problem(text.path, "the text holds a zero character");
        e.bytes.reserve(ascii.size() + 1);
        e.bytes.assign(ascii.begin(), ascii.end());
        e.bytes.push_back(0);
        break;
    }
    case Shape::Icon: {
        const auto [kind, role, path, utf16] = fieldsOf(f, {"kind", "role", "path", "utf16"}, {"role"});
        e.role = nameOrNumberAt(kRoleNames, role, "icon role");
        e.path = textAt(f.path, "path", path, utf16);
        break;
    }
    case Shape::Drm: {
        const auto [kind, number, first] = fieldsOf(f, {"kind", "number", "first"}, {"number", "first"});
        e.number = static_cast<uint16_t>(numberAt(number, 0xFFFF));
        e.first = byteAt(first);
        break;
    }
    case Shape::Code:
    case Shape::Action: {
        const auto [kind, value] = fieldsOf(f, {"kind", "value"}, {"value"});
        e.value = static_cast<uint16_t>(numberAt(value, k.shape == Shape::Code ? 0xFF : 0xFFFF));
        break;
    }
    case Shape::Shortcut: {
        const auto [kind, target, hex] = fieldsOf(f, {"kind", "target", "hex"});
        if (target && hex)
            problem(f.path, "both \"target\" and \"hex\"; give one of them");
        if (target) {
            const std::string name = latin1At(target);
            if (name.empty() || name.size() > kShortcutDataLength || name.find('\0') != std::string::npos)
                problem(target.path, "a shortcut target has 1 to " + std::to_string(kShortcutDataLength)
                                         + " characters, none of them zero");
            e.bytes.assign(name.begin(), name.end());
            e.bytes.resize(kShortcutDataLength, 0);
        } else if (hex) {
            e.bytes = hexAt(hex);
            if (e.bytes.size() != kShortcutDataLength)
                problem(hex.path, "shortcut data has " + std::to_string(kShortcutDataLength) + " bytes, not "
                                      + std::to_string(e.bytes.size()));
        } else {
            problem(target.path, "missing");
        }
        break;
    }
    case Shape::Unsupported: {
        const auto [kind, records] = fieldsOf(f, {"kind", "records"}, {"records"});
        e.records = recordsAt(records);
        break;
    }
    }
    return e;
}

std::vector<DescribedItem> itemsAt(const Field& f, size_t depth);

DescribedItem itemAt(const Field& f, size_t depth)
{
    const auto [id, type, options, attributes, data, items] =
        fieldsOf(f, {"id", "type", "options", "attributes", "data", "items"}, {"id"});
    DescribedItem item;
    item.name = latin1At(id);
    if (type)
        item.itemType = nameOrNumberAt(kTypeNames, type, "item type");
    if (options)
        item.options = byteAt(options);
    if (attributes)
        item.attributes = byteAt(attributes);
    if (data) {
        item.data.reserve(sizeUpTo(data, kMaxEntries));
        forEachElement(data, [&item](const Field& entry) { item.data.push_back(entryAt(entry)); });
    }
    if (items) {
        // Deeper than the most items a menu holds is never a menu; stop before the stack does.
        if (depth >= kMaxMenuItems)
            problem(items.path, "items nested deeper than " + std::to_string(kMaxMenuItems) + " levels");
        item.items = itemsAt(items, depth + 1);
    }
    return item;
}

std::vector<DescribedItem> itemsAt(const Field& f, size_t depth)
{
    std::vector<DescribedItem> items;
    items.reserve(sizeUpTo(f, kMaxMenuItems));
    forEachElement(f, [&items, depth](const Field& item) { items.push_back(itemAt(item, depth)); });
    return items;
}

SaveMode saveModeAt(const Field& f)
{
    // Whatever the text lists is meant to be written, unsupported records included.
    SaveMode mode;
    mode.setSaveAll(true);
    if (!f)
        return mode;
    const auto [recordSize, iconMarker, c698p, cdma, saveAll] =
        fieldsOf(f, {"recordSize", "iconMarker", "c698p", "cdma", "saveAll"});
    if (recordSize) {
        const unsigned bytes = numberAt(recordSize, 0xFF);
        if (bytes != 22 && bytes != 36)
            problem(recordSize.path, "records have 22 or 36 bytes, not " + std::to_string(bytes));
        mode.setRecordSize(static_cast<int>(bytes));
    }
    if (iconMarker) {
        const std::string_view marker = stringAt(iconMarker);
        if (marker != "06" && marker != "0C")
            problem(iconMarker.path, "the icon marker is \"06\" or \"0C\", not \"" + std::string(marker) + "\"");
        mode.forceIconMarker(marker == "06" ? IconMarker::K06 : IconMarker::K0C);
    }
    if (c698p)
        mode.forceC698p(boolAt(c698p));
    if (cdma)
        mode.setCdma(boolAt(cdma));
    if (saveAll)
        mode.setSaveAll(boolAt(saveAll));
    return mode;
}

MenuDescription descriptionAt(Value value)
{
    const Field root{value, JsonPath()};
    const auto [saveMode, softkeys, menu] = fieldsOf(root, {"saveMode", "softkeys", "menu"}, {"softkeys", "menu"});
    MenuDescription d;
    d.saveMode = saveModeAt(saveMode);
    d.softkeys = itemsAt(softkeys, 1);
    d.menu = itemsAt(menu, 1);
    return d;
}

} // namespace

std::string itemTypeText(uint8_t itemType)
{
    for (const auto& [code, name] : kTypeNames)
        if (code == itemType)
            return std::string(name);
    return std::to_string(itemType);
}

std::string menuTextOf(const MenuDescription& description)
{
    return writeMenuText(description.saveMode, DescribedItems(), description.softkeys, description.menu);
}

std::string menuTextOf(const MenuDocument& document, const SaveMode& saveMode)
{
    const std::vector<std::unique_ptr<MenuNode>> none;
    return writeMenuText(saveMode, DocumentItems{document.data()},
                         document.isEmpty() ? none : document.softkeys()->children(),
                         document.isEmpty() ? none : document.menuRoot()->children());
}

Result<MenuDescription> parseMenuText(std::string_view text)
{
    // The fast reader only tells that something is wrong; what and where comes from a slower
    // reading that reports the first fault of the JSON itself, which comes before any problem
    // of its values.
    const auto refused = [text](std::string problem) {
        return Error(ErrorKind::Format, menuTextFault(text).value_or(std::move(problem)));
    };
    std::string_view json = text;
    if (json.starts_with(kByteOrderMark))
        json.remove_prefix(kByteOrderMark.size());
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (const auto error = parser.allocate(json.size(), kMaxMenuTextDepth); error != simdjson::SUCCESS)
        return refused(std::string("/: not JSON: ") + simdjson::error_message(error));
    if (const auto error = parser.parse(json.data(), json.size()).get(root); error != simdjson::SUCCESS)
        return refused(std::string("/: not JSON: ") + simdjson::error_message(error));
    try {
        return descriptionAt(root);
    } catch (const TextProblem& p) {
        return refused(p.text);
    }
}

std::string recordKindName(uint8_t code, int recordSize)
{
    // In 22-byte files kind 6 is a file-system icon written with icon marker 06.
    if (code == kind::DialNumber && recordSize == 22)
        code = kind::FileIcon;
    const KindName* k = code == kind::Unsupported ? nullptr : kindOf(code);
    return k ? std::string(k->name) : std::string();
}

bool looksLikeMenuText(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

} // namespace tessaro
