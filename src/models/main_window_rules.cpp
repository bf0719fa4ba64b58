#include "models/main_window_rules.h"

#include <array>

#include "core/item_data.h"
#include "core/menu_document.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

// Softkeys (1), seven softkeys and the Menu Root are not entries.
constexpr size_t kFixedNodes = 9;

} // namespace

std::string statusLine(int formatRead, int saveRecordSize, size_t nodeCount)
{
    // An empty tree counts no entries rather than a negative number.
    const size_t entries = nodeCount > kFixedNodes ? nodeCount - kFixedNodes : 0;
    const int recordSize = formatRead > 0 ? formatRead : saveRecordSize;
    return TRANSLATABLE("Core", "Format: ") + std::to_string(recordSize) + TRANSLATABLE("Core", "-byte  Entries: ")
           + std::to_string(entries);
}

std::optional<std::vector<std::string>> itemSummary(const MenuDocument& document,
                                                    const MenuNode* node)
{
    const int index = document.indexOf(node);
    if (index < 0 || index == 0 || index == 8)
        return std::nullopt;
    std::vector<std::string> lines{TRANSLATABLE("Core", "Item summary:"), ""};
    if (!node->item.hasData) {
        lines.emplace_back(TRANSLATABLE("Core", "[Not modified]"));
        return lines;
    }
    const ItemDataBlock* block = document.data().at(node->item.recordNo);
    if (!block)
        return lines;
    // Groups whose line is added only for their first entry.
    enum Group { Phone, Midlet, FileIcon, DrmIcon, GroupCount };
    std::array<bool, GroupCount> seen{};
    auto once = [&](Group g, const char* text) {
        if (!seen[g])
            lines.emplace_back(text);
        seen[g] = true;
    };
    for (const DataEntry& entry : block->entries) {
        switch (entry.kind) {
        case kind::MenuTitle: lines.emplace_back(TRANSLATABLE("Core", "Name in menu modified")); break;
        case kind::SoftkeyTitle: lines.emplace_back(TRANSLATABLE("Core", "Softkey name modified")); break;
        case kind::Url: lines.emplace_back(TRANSLATABLE("Core", "URL attached")); break;
        case kind::DialNumber:
        case kind::Code12:
        case kind::Code13:
        case kind::Code14: once(Phone, TRANSLATABLE("Core", "Phone number attached")); break;
        case kind::Midlet1:
        case kind::MidletName:
        case kind::MidletVendor: once(Midlet, TRANSLATABLE("Core", "MIDlet attached")); break;
        case kind::FileIcon: once(FileIcon, TRANSLATABLE("Core", "Icon(s) modified [source: file]")); break;
        case kind::DrmListIcon:
        case kind::DrmStaticIcon:
        case kind::DrmAnimatedIcon: once(DrmIcon,
                                         TRANSLATABLE("Core", "Icon(s) modified [source: DRM]")); break;
        case kind::ShowText: lines.emplace_back(TRANSLATABLE("Core", "Text screen attached")); break;
        case kind::Action: lines.emplace_back(TRANSLATABLE("Core", "Action emulated")); break;
        case kind::ShortcutData: lines.emplace_back(TRANSLATABLE("Core", "Shortcut data")); break;
        default: lines.emplace_back(TRANSLATABLE("Core", "Unsupported Data")); break;
        }
    }
    return lines;
}

DocumentCommands documentCommands(bool documentOpen, bool connected)
{
    if (!documentOpen)
        return {};
    return {true, connected, true};
}

} // namespace tessaro
