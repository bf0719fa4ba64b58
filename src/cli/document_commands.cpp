// tessaro-cli dump and convert: the menu document of an mma_ucp file, read as the editor opens
// it, printed for people or as JSON, or written again under another save mode.
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/save_mode_options.h"
#include "core/bytes.h"
#include "core/catalogue.h"
#include "core/hex_text.h"
#include "core/item_base_file.h"
#include "core/item_data_codec.h"
#include "core/item_lists.h"
#include "core/menu_document.h"
#include "core/menu_writer.h"
#include "core/text_encoding.h"
#include "session/editor_session.h"

namespace tessaro::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string markerText(IconMarker marker)
{
    return marker == IconMarker::K06 ? "06" : "0C";
}

bool isTitles(uint8_t k)
{
    return k == kind::MenuTitle || k == kind::SoftkeyTitle || k == kind::ShowText;
}

bool isText(uint8_t k)
{
    return k == kind::Url || k == kind::DialNumber || k == kind::Midlet1 || k == kind::MidletName ||
           k == kind::MidletVendor || k == kind::ShortcutData;
}

bool isDrm(uint8_t k)
{
    return k == kind::DrmListIcon || k == kind::DrmStaticIcon || k == kind::DrmAnimatedIcon;
}

bool isValue(uint8_t k)
{
    return k == kind::Code12 || k == kind::Code13 || k == kind::Code14 || k == kind::Action;
}

// The tree text of a node. The reader leaves an identifier the item base lacks without a display
// name until the item base takes it in, which a command that only reads never does: shown here
// by the name it would get there, the name the file holds.
std::string captionOf(const OpenMenu& menu, const MenuNode* node)
{
    const MenuDocument& doc = menu.document;
    const MenuRecord& item = node->item;
    const bool top = node == doc.softkeys() || node == doc.menuRoot();
    if (top || isCustomName(item.name) || menu.items.findAvailable(item.name) < menu.items.available().size())
        return latin1ToUtf8(node->caption());
    const std::string name = itemBaseDisplayName(item.name, item.itemType == kTypeShortcut);
    if (node->parent() != doc.softkeys())
        return latin1ToUtf8(name);
    return latin1ToUtf8(softkeyPrefix(static_cast<int>(node->row())) + name);
}

// --- JSON -----------------------------------------------------------------------------------

Json entryJson(const DataEntry& e)
{
    Json j;
    j["kind"] = e.kind;
    j["length"] = encodedPayloadLength(e);
    if (isTitles(e.kind)) {
        Json titles = Json::array();
        for (const Title& t : e.titles)
            titles.push_back({{"language", t.language}, {"text", utf16ToUtf8(textUpToZero(t.text))}});
        j["titles"] = std::move(titles);
    } else if (isText(e.kind)) {
        j["text"] = latin1ToUtf8(asciiText(e));
    } else if (e.kind == kind::FileIcon) {
        j["role"] = e.role;
        j["path"] = utf16ToUtf8(textUpToZero(e.path));
    } else if (isDrm(e.kind)) {
        j["first"] = e.first;
        j["number"] = e.number;
    } else if (isValue(e.kind)) {
        j["value"] = e.value;
    } else if (e.kind == kind::Unsupported) {
        Json records = Json::array();
        for (const UnsupportedRecord& r : e.records)
            records.push_back({{"kind", r.kind}, {"length", r.length}, {"payload", hexText(r.payload)}});
        j["records"] = std::move(records);
    }
    return j;
}

Json documentJson(CliContext& ctx, bool itemBaseUpdated)
{
    const OpenMenu& menu = ctx.menu();
    const SaveMode& mode = menu.saveMode;
    const MenuDocument& doc = menu.document;
    Json out;
    out["format"] = {{"recordSize", mode.recordSize()},
                     {"cdma", mode.cdma()},
                     {"c698p", mode.c698p()},
                     {"iconMarker", markerText(mode.iconMarker())},
                     {"saveAll", mode.saveAll()}};
    out["customCounter"] = menu.customCounter;
    out["dataBlockCount"] = doc.data().count();
    out["itemBaseUpdated"] = itemBaseUpdated;
    Json nodes = Json::array();
    const auto all = doc.preorder();
    for (size_t i = 0; i < all.size(); ++i) {
        const MenuNode* node = all[i];
        const MenuRecord& item = node->item;
        Json n;
        n["index"] = i;
        n["parent"] = doc.indexOf(node->parent());
        n["caption"] = captionOf(menu, node);
        n["itemType"] = item.itemType;
        n["parentIndex"] = item.parentIndex;
        n["nextIndex"] = item.nextIndex;
        n["childIndex"] = item.childIndex;
        n["recordNo"] = item.recordNo;
        n["options"] = item.options;
        n["attributes"] = item.attributes;
        n["name"] = latin1ToUtf8(item.name);
        n["group"] = item.group;
        n["dataOffset"] = item.dataOffset;
        n["dataLength"] = item.dataLength;
        n["hasData"] = item.hasData;
        n["canHoldItems"] = item.canHoldItems;
        const bool top = node == doc.softkeys() || node == doc.menuRoot();
        const ItemDataBlock* block = top ? nullptr : doc.data().at(item.recordNo);
        if (block) {
            Json entries = Json::array();
            for (const DataEntry& e : block->entries)
                entries.push_back(entryJson(e));
            n["data"] = {{"owner", block->owner}, {"entries", std::move(entries)}};
        } else {
            n["data"] = nullptr;
        }
        nodes.push_back(std::move(n));
    }
    out["nodes"] = std::move(nodes);
    return out;
}

// --- text for people ------------------------------------------------------------------------

std::string kindName(uint8_t k)
{
    switch (k) {
    case kind::MenuTitle: return "Menu title";
    case kind::SoftkeyTitle: return "Softkey title";
    case kind::ShowText: return "Show text";
    case kind::Url: return "URL";
    case kind::DialNumber: return "Dial this number";
    case kind::Midlet1: return "MIDlet-1";
    case kind::MidletName: return "MIDlet name";
    case kind::MidletVendor: return "MIDlet vendor";
    case kind::FileIcon: return "Icon (FS)";
    case kind::DrmListIcon: return "List icon (DRM)";
    case kind::DrmStaticIcon: return "Static icon (DRM)";
    case kind::DrmAnimatedIcon: return "Animated icon (DRM)";
    case kind::Code12: return "Code 0x12";
    case kind::Code13: return "Code 0x13";
    case kind::Code14: return "Code 0x14";
    case kind::Action: return "Action code";
    case kind::ShortcutData: return "Shortcut data";
    case kind::Unsupported: return "Unsupported data";
    default: return "Kind " + std::to_string(k);
    }
}

std::string roleName(uint8_t role)
{
    switch (role) {
    case kRoleAnimated: return "animated";
    case kRoleStatic: return "static";
    default: return "list";
    }
}

void printEntry(std::ostream& out, const DataEntry& e, const std::string& indent)
{
    out << indent << kindName(e.kind) << " (kind " << int(e.kind) << ", length " << encodedPayloadLength(e) << ")";
    if (isTitles(e.kind)) {
        out << '\n';
        for (const Title& t : e.titles) {
            const std::string language = languageName(t.language);
            out << indent << "  [" << (language.empty() ? std::to_string(t.language) : languageShown(t.language) + " " + language)
                << "] \"" << utf16ToUtf8(textUpToZero(t.text)) << "\"\n";
        }
        return;
    }
    if (isText(e.kind))
        out << ": \"" << latin1ToUtf8(asciiText(e)) << '"';
    else if (e.kind == kind::FileIcon)
        out << ": " << roleName(e.role) << " (role " << int(e.role) << ") \"" << utf16ToUtf8(textUpToZero(e.path)) << '"';
    else if (isDrm(e.kind))
        out << ": number " << e.number << ", first byte " << hexNumber(e.first, 2);
    else if (isValue(e.kind))
        out << ": " << e.value;
    out << '\n';
    if (e.kind == kind::Unsupported)
        for (const UnsupportedRecord& r : e.records)
            out << indent << "  kind " << int(r.kind) << ", length " << r.length << ": " << hexText(r.payload) << '\n';
}

void printNode(std::ostream& out, const OpenMenu& menu, const MenuNode* node, int depth)
{
    const MenuDocument& doc = menu.document;
    const MenuRecord& item = node->item;
    const std::string indent(static_cast<size_t>(depth) * 2, ' ');
    out << indent << captionOf(menu, node) << "  [#" << doc.indexOf(node) << ", record " << int(item.recordNo) - 1
        << ", \"" << latin1ToUtf8(item.name) << "\", type " << int(item.itemType) << ", options "
        << hexNumber(item.options, 2) << ", attributes " << hexNumber(item.attributes, 2);
    if (item.hasData)
        out << ", data " << item.dataLength << " bytes at " << item.dataOffset;
    out << "]\n";
    const bool top = node == doc.softkeys() || node == doc.menuRoot();
    if (const ItemDataBlock* block = top ? nullptr : doc.data().at(item.recordNo))
        for (const DataEntry& e : block->entries)
            printEntry(out, e, indent + "    ");
    for (const auto& child : node->children())
        printNode(out, menu, child.get(), depth + 1);
}

void printDocument(std::ostream& out, CliContext& ctx, bool itemBaseUpdated)
{
    const OpenMenu& menu = ctx.menu();
    const SaveMode& mode = menu.saveMode;
    out << "Format: " << mode.recordSize() << "-byte records, " << (mode.cdma() ? "little-endian (CDMA)" : "big-endian")
        << ", icon marker " << markerText(mode.iconMarker()) << ", c698p fix " << (mode.c698p() ? "on" : "off") << '\n'
        << "Custom counter: " << int(menu.customCounter) << '\n'
        << "Data blocks: " << menu.document.data().count() << '\n';
    if (itemBaseUpdated)
        out << "Item base updated\n";
    for (const MenuNode* top : {menu.document.softkeys(), menu.document.menuRoot()})
        if (top)
            printNode(out, menu, top, 0);
}

// --- commands -------------------------------------------------------------------------------

struct ConvertArgs {
    std::string in;
    std::string out;
    SaveModeOptions saveMode;
};

void convert(CliContext& ctx, const ConvertArgs& args)
{
    ctx.openDocument(args.in);
    args.saveMode.applyTo(ctx.menu().saveMode);
    ctx.writeMenu(args.out);
}

} // namespace

void registerDocumentCommands(CLI::App& app, CliContext& ctx)
{
    struct DumpArgs {
        std::string file;
        bool json = false;
    };
    auto dumpArgs = std::make_shared<DumpArgs>();
    auto* dump = app.add_subcommand("dump", "Print the menu document of an mma_ucp file");
    dump->add_option("FILE", dumpArgs->file, "The mma_ucp file")->required();
    dump->add_flag("--json", dumpArgs->json, "Print the document as JSON");
    dump->callback([&ctx, dumpArgs] {
        const MenuOpenReport opened = ctx.openDocument(dumpArgs->file, true);
        if (dumpArgs->json)
            std::cout << documentJson(ctx, opened.itemBaseUpdated).dump(2) << '\n';
        else
            printDocument(std::cout, ctx, opened.itemBaseUpdated);
    });

    auto convertArgs = std::make_shared<ConvertArgs>();
    auto* conv = app.add_subcommand("convert", "Read an mma_ucp file and write it under another save mode");
    conv->add_option("IN", convertArgs->in, "The mma_ucp file to read")->required();
    conv->add_option("OUT", convertArgs->out, "The mma_ucp file to write")->required();
    convertArgs->saveMode.addTo(*conv);
    conv->callback([&ctx, convertArgs] { convert(ctx, *convertArgs); });
}

} // namespace tessaro::cli
