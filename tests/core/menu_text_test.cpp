// The text form of a menu: export and compile give the file back byte for byte, hostile
// descriptions are refused at their JSON path, and the comparison names each kind of change.
#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "core/menu_description.h"
#include "core/menu_diff.h"
#include "core/menu_reader.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "core/text_file.h"
#include "core/open_menu.h"
#include "support/menu_builder.h"

namespace tessaro {
namespace {

using testing::richFile;
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::ordered_json;

MenuDescription described(const Bytes& file)
{
    OpenMenu menu;
    const auto r = readMenuBytes(file, menu, ReadOptions{false, {}});
    EXPECT_TRUE(r.ok() && r->warnings.empty()) << r.error();
    MenuDescription d = describeMenu(menu.document, menu.saveMode);
    d.saveMode.setSaveAll(true);
    return d;
}

// The largest menu: 245 items in folders of five, each with titles and icons.
Bytes largestFile()
{
    using namespace testing;
    MenuBuilder b;
    int folder = MenuBuilder::kRoot;
    for (int i = 0; i < 245; ++i) {
        const auto o = ByteOrder::Big;
        const int item = b.add(i % 5 ? folder : MenuBuilder::kRoot, "~" + std::to_string(i + 1), i % 5 ? 0 : 1,
                               join({titleRecord(0, {{1, u"Item"}, {7, u"Eintrag"}}, 36, o),
                                     iconRecord(12, kRoleList, u"/a/i.gif", o), drmRecord(15, 0x12, uint16_t(i), o)}));
        if (i % 5 == 0)
            folder = item;
    }
    return b.bytes();
}

TEST(MenuText, ExportThenCompileGivesTheFileBack)
{
    struct Case {
        std::string name;
        Bytes file;
    };
    std::vector<Case> cases = {
        {"36 big-endian", richFile(36, ByteOrder::Big, false, 12, true)},
        {"36 CDMA", richFile(36, ByteOrder::Little, false, 12, true)},
        {"22 0C", richFile(22, ByteOrder::Big, false, 12, false)},
        {"22 06", richFile(22, ByteOrder::Big, false, 6, false)},
        {"22 06 c698p", richFile(22, ByteOrder::Big, true, 6, false)},
        {"22 CDMA 06", richFile(22, ByteOrder::Little, false, 6, false)},
        {"22 CDMA 0C", richFile(22, ByteOrder::Little, false, 12, false)},
        {"largest", largestFile()},
    };
    const auto sample = readWholeFileBytes(TESSARO_SOURCE_DIR "/examples/virtual-phone/a/mobile/system/mma_ucp");
    ASSERT_TRUE(sample.ok());
    cases.push_back({"sample phone", sample.value()});
    for (const Case& c : cases) {
        const MenuDescription d = described(c.file);
        const std::string text = menuTextOf(d);
        const auto parsed = parseMenuText(text);
        ASSERT_TRUE(parsed.ok()) << c.name << ": " << parsed.error();
        EXPECT_EQ(parsed.value(), d) << c.name;
        EXPECT_EQ(menuTextOf(parsed.value()), text) << c.name;
        OpenMenu menu;
        ASSERT_TRUE(installMenuDescription(parsed.value(), menu).ok()) << c.name;
        EXPECT_EQ(menuTextOf(menu.document, menu.saveMode), text) << c.name;
        const auto bytes = renderMenuFile(menu);
        ASSERT_TRUE(bytes.ok()) << c.name << ": " << bytes.error();
        EXPECT_EQ(bytes.value(), c.file) << c.name;
    }
}

TEST(MenuText, ReadableShape)
{
    using namespace testing;
    MenuBuilder b;
    const auto o = ByteOrder::Big;
    b.add(
        MenuBuilder::kRoot, "~4", kTypeUrl,
        join({titleRecord(0, {{1, u"Web"}, {35, u"\u0421\u0435\u0442\u044C"}}, 36, o),
              iconRecord(12, kRoleStatic, u"/a/w.gif", o), drmRecord(15, 0x12, 7, o), asciiRecord(5, "http://x.org", o),
              shortcutRecord("DialedCalls", o), dataRecord(30, Bytes{0x0A, 0xFF}, o)}));
    const Json j = Json::parse(menuTextOf(described(b.bytes())));
    EXPECT_EQ(j["saveMode"].dump(), R"({"recordSize":36,"iconMarker":"0C","c698p":false,"cdma":false,"saveAll":true})");
    EXPECT_EQ(j["softkeys"][0].dump(), R"({"id":"PhoneBook","type":"item","options":"0x00","attributes":"0x41"})");
    EXPECT_EQ(j["menu"][0].dump(),
              R"({"id":"~4","type":"url","options":"0x00","attributes":"0x41","data":[)"
              R"({"kind":"menuTitle","titles":[{"language":"01","text":"Web"},{"language":"23","text":"Сеть"}]},)"
              R"({"kind":"icon","role":"static","path":"/a/w.gif"},{"kind":"drmListIcon","number":7,"first":"0x12"},)"
              R"({"kind":"url","text":"http://x.org"},{"kind":"shortcut","target":"DialedCalls"},)"
              R"({"kind":"unsupported","records":[{"kind":30,"hex":"0aff"}]}]})");
}

TEST(MenuText, HostileDescriptionsAreRefusedAtTheirPath)
{
    const std::string valid = menuTextOf(described(richFile(36, ByteOrder::Big, false, 12, true)));
    struct Case {
        const char* pointer; // replaced in the valid description, or "" for the text itself
        Json value;
        std::string error;
    };
    Json many = Json::array();
    for (int i = 0; i < 246; ++i)
        many.push_back({{"id", "~" + std::to_string(i + 1)}});
    const Case cases[] = {
        {"/menu/0/id", "NoSuchItem",
         "/menu/0/id: unknown identifier \"NoSuchItem\": it is not among the available items"},
        {"/menu/0/data/0/titles/1/text", std::string(400, 'x'),
         "/menu/0/data/0/titles/1: the title is too long: 400 characters, at most 399"},
        {"/menu", many, "/menu/245: more than 245 menu items; an mma_ucp file holds no more"},
        {"/saveMode/recordSize", 22,
         "/menu/3/data/2: a dial number cannot be saved in 22-byte records, where that record is an icon"},
        {"/menu/0/items/1/id", "VeryLongIdentifierOfAnItem",
         "/menu/0/items/1/id: the identifier \"VeryLongIdentifierOfAnItem\" has 26 characters; 36-byte records hold 25"},
        {"/menu/3/data/3/records/0/hex", "dxad",
         "/menu/3/data/3/records/0/hex: bad hexadecimal: expected pairs of the digits 0-9 and a-f"},
        {"/menu/0/id", 5, "/menu/0/id: expected a string, found an integer"},
        {"/menu/0/type", "folder",
         "/menu/0/type: unknown item type \"folder\" (one of item, container, url, call, sms, java, showText, action, "
         "shortcut, or a number)"},
        {"/menu/0/attributes", 300, "/menu/0/attributes: 300 is out of range (0 to 255)"},
        {"/menu/0/options", "0x1G",
         "/menu/0/options: \"0x1G\" is no byte; expected two hexadecimal digits such as \"0x41\""},
        {"/menu/0/data/0/kind", "banner", "/menu/0/data/0/kind: unknown record kind \"banner\""},
        {"/menu/0/data/0/titles/0/language", "1",
         "/menu/0/data/0/titles/0/language: \"1\" is no language; expected two hexadecimal digits such as \"01\""},
        {"/menu/0/colour", "red", "/menu/0/colour: unknown key \"colour\""},
        {"/softkeys/6", nullptr, "/softkeys/6: expected an object, found null"},
        {"/softkeys/0/items", Json::array({{{"id", "Radio"}}}), "/softkeys/0/items: a softkey holds no subitems"},
        {"/menu/0/items/1/items/0/data/0/text", "caf\u00e9 \u20ac",
         "/menu/0/items/1/items/0/data/0/text: the character U+20AC does not fit one byte (U+0000 to U+00FF)"},
        {"", "{\"menu\": [}",
         "/: not JSON at line 1, column 11: syntax error while parsing value - unexpected '}'; "
         "expected '[', '{', or a literal"},
        {"", "{\"menu\": 1e999}", "/: not JSON: number overflow parsing '1e999'"},
        {"", "{\"menu\": [-9223372036854775809]}", "/: not JSON: number overflow parsing '-9223372036854775809'"},
        {"", std::string("{\"menu\": []}\n\0{", 15), "/: not JSON at line 2, column 1: a zero byte after the value"},
        // What JSON would take with a loss: a key given twice keeps only its last value.
        {"", R"({"softkeys": [], "menu": [{"id": "Games"}], "menu": []})", "/menu: the key \"menu\" is given twice"},
        {"", R"({"menu": [{"id": "Games"}, {"id": "~4", "data": [{"kind": "url", "text": "a", "text": "b"}]}]})",
         "/menu/1/data/0/text: the key \"text\" is given twice"},
        // Faults of the JSON come before those of its values, wherever they are.
        {"", R"({"menu": [{"id": 5}], "softkeys": [{"id": "Games", "id": "Games"}]})",
         "/softkeys/0/id: the key \"id\" is given twice"},
        {"/menu/0/data/0/titles/0/utf16", "0041",
         "/menu/0/data/0/titles/0: both \"text\" and \"utf16\"; give one of them"},
        {"/menu/1/data/0/hex", std::string(50, '0'), "/menu/1/data/0: both \"target\" and \"hex\"; give one of them"},
        // Nesting: refused before it runs deep; a menu needs about 500 levels at most.
        {"", "{\"menu\": " + std::string(10000, '[') + std::string(10000, ']') + "}",
         "/: arrays and objects nested deeper than 10000 levels; a menu needs far fewer"},
        {"", "{\"saveMode\": " + std::string(70000, '[') + std::string(70000, ']') + "}",
         "/: arrays and objects nested deeper than 10000 levels; a menu needs far fewer"},
        {"", "{\"menu\": " + std::string(9999, '[') + std::string(9999, ']') + "}", "/softkeys: missing"},
        // Raw records of kinds the reader knows would be read as those kinds, or as damage.
        {"/menu/3/data/3/records/0/kind", 5,
         "/menu/3/data/3/records/0/kind: kind 5 is no unsupported kind: write the record as {\"kind\": \"url\", ...}"},
        {"/menu/3/data/3/records/0/kind", 18,
         "/menu/3/data/3/records/0/kind: kind 18 is no unsupported kind: write the record as {\"kind\": \"code12\", "
         "...}"},
        {"/menu/3/data/3/records/0", Json{{"kind", 15}, {"hex", "12000007"}},
         "/menu/3/data/3/records/0/kind: kind 15 is no unsupported kind: write the record as {\"kind\": "
         "\"drmListIcon\", ...}"},
    };
    for (const Case& c : cases) {
        std::string text = c.value.get_ptr<const std::string*>() && !*c.pointer ? c.value.get<std::string>() : valid;
        if (*c.pointer) {
            Json j = Json::parse(valid);
            j[Json::json_pointer(c.pointer)] = c.value;
            text = j.dump();
        }
        OpenMenu menu;
        ASSERT_TRUE(installMenuDescription(parseMenuText(valid).value(), menu).ok());
        const size_t nodes = menu.document.nodeCount();
        const auto parsed = parseMenuText(text);
        const Status installed = parsed ? installMenuDescription(parsed.value(), menu) : Status(parsed.failure());
        EXPECT_EQ(installed.error(), c.error) << c.pointer;
        EXPECT_EQ(menu.document.nodeCount(), nodes) << c.pointer;
    }
}

TEST(MenuText, UnsupportedRecordsAreWrittenOnlyWhenTheyReadBackAsTheyAre)
{
    // Too short to read as their kinds, these come back as unsupported records, as they are.
    Json j = Json::parse(menuTextOf(described(richFile(36, ByteOrder::Big, false, 12, true))));
    j["menu"][3]["data"][3]["records"] = Json::parse(R"([{"kind": 0, "hex": ""}, {"kind": 12, "hex": ""},
        {"kind": 15, "hex": "120000"}, {"kind": 254, "hex": "0aff"}])");
    const auto parsed = parseMenuText(j.dump());
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    OpenMenu menu;
    ASSERT_TRUE(installMenuDescription(parsed.value(), menu).ok());
    const auto bytes = renderMenuFile(menu);
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    const MenuDescription back = described(bytes.value());
    EXPECT_EQ(back.menu[3].data[3], parsed.value().menu[3].data[3]);

    // In 22-byte files kind 6 is an icon.
    EXPECT_EQ(recordKindName(6, 22), "icon");
    EXPECT_EQ(recordKindName(6, 36), "dialNumber");
    EXPECT_EQ(recordKindName(kind::Unsupported, 36), "");
    EXPECT_EQ(recordKindName(30, 36), "");
}

TEST(MenuText, WhatLooksLikeAMenuText)
{
    const std::pair<std::string, bool> cases[] = {
        {"{\"menu\": []}", true},
        {" \r\n\t{", true},
        {"\xEF\xBB\xBF{\"menu\": []}", true},
        {"\xEF\xBB\xBF \n{", true},
        {"\xEF\xBB{", false},
        {"\xEF\xBB\xBF", false},
        {"", false},
        {std::string("\x01\x00\x00", 3), false},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(looksLikeMenuText(bytes), text) << bytes;
}

TEST(MenuDiff, OneLinePerKindOfChange)
{
    const MenuDescription base = described(richFile(36, ByteOrder::Big, false, 12, true));
    // base.menu: Games (Calculator, Tools (~12, ~13)), DialedCalls, ~14, ~15, Radio
    struct Case {
        const char* name;
        std::function<void(MenuDescription&)> edit;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"nothing", [](MenuDescription&) {}, {}},
        {"save mode", [](MenuDescription& d) { d.saveMode.setCdma(true); }, {"save mode: CDMA off -> on"}},
        {"added",
         [](MenuDescription& d) { d.menu.insert(d.menu.begin() + 1, DescribedItem{.name = "~20"}); },
         {"added ~20 at menu #2"}},
        {"removed",
         [](MenuDescription& d) { d.menu[0].items[1].items.pop_back(); },
         {"removed ~13 from Games/Tools #2"}},
        {"moved",
         [](MenuDescription& d) {
             d.menu[0].items[1].items.push_back(d.menu[0].items[0]);
             d.menu[0].items.erase(d.menu[0].items.begin());
         },
         {"moved Calculator from Games #1 to Games/Tools #3"}},
        {"reordered",
         [](MenuDescription& d) { std::swap(d.menu[1], d.menu[2]); },
         {"moved ~14 from menu #3 to menu #2"}},
        {"replaced softkey", [](MenuDescription& d) { d.softkeys[1].name = "~30"; }, {"RSK: Message replaced by ~30"}},
        {"type and bytes",
         [](MenuDescription& d) {
             d.menu[4].itemType = kTypeJava;
             d.menu[4].options = 0x08;
             d.menu[4].attributes = 0x61;
         },
         {"Radio: type item -> java", "Radio: options 0x00 -> 0x08", "Radio: attributes 0x41 -> 0x61"}},
        {"titles",
         [](MenuDescription& d) {
             auto& titles = d.menu[0].data[0].titles;
             titles[1].text = u"Spielen";
             titles.pop_back();
             titles.push_back({2, u"Juegos"});
         },
         {"Games: menu title 07 \"Spiele\" -> \"Spielen\"", "Games: menu title 06 removed (\"Jeux\")",
          "Games: menu title 02 added \"Juegos\""}},
        {"icons",
         [](MenuDescription& d) {
             d.menu[0].data[1].path = u"/b/g.gif";
             d.menu[0].data[2].number = 18;
         },
         {"Games: static icon \"/b/games.gif\" -> \"/b/g.gif\"",
          "Games: DRM list icon 17 (first byte 0x12) -> 18 (first byte 0x12)"}},
        {"function",
         [](MenuDescription& d) {
             d.menu[3].data[2].bytes = {'1', '2', 0};
         },
         {"~15: dial number \"+15551234\" -> \"12\""}},
        {"order only",
         [](MenuDescription& d) { std::swap(d.menu[0].data[1], d.menu[0].data[2]); },
         {"Games: data records in another order"}},
    };
    for (const Case& c : cases) {
        MenuDescription after = base;
        c.edit(after);
        EXPECT_EQ(menuChangeLines(base, after), c.lines) << c.name;
    }
}

} // namespace
} // namespace tessaro
