#include "core/item_data_fields.h"

#include <algorithm>

namespace tessaro {

namespace {

constexpr uint8_t kDrmFirstByte = 0x12;
constexpr uint8_t kRoles[3] = {kRoleAnimated, kRoleStatic, kRoleList};
constexpr uint8_t kDrmKinds[3] = {kind::DrmAnimatedIcon, kind::DrmStaticIcon, kind::DrmListIcon};

int rowOfRole(uint8_t role)
{
    if (role == kRoleAnimated)
        return kIconAnimated;
    if (role == kRoleStatic)
        return kIconStatic;
    return kIconList;
}

int rowOfDrmKind(uint8_t entryKind)
{
    return static_cast<int>(std::find(std::begin(kDrmKinds), std::end(kDrmKinds), entryKind) - std::begin(kDrmKinds));
}

std::vector<uint8_t> asciiBytes(const std::string& text)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::vector<Title> titlesUpToZero(const std::vector<Title>& titles)
{
    std::vector<Title> out;
    out.reserve(titles.size());
    for (const auto& t : titles)
        out.push_back({t.language, textUpToZero(t.text)});
    return out;
}

} // namespace

void ItemDataFields::clearFunction()
{
    showText.reset();
    url.reset();
    dial.reset();
    midlet1.reset();
    midletName.reset();
    midletVendor.reset();
    shortcut.reset();
    action.reset();
    codes = {};
    unsupported.reset();
}

bool ItemDataFields::any(bool saveAll) const
{
    const auto some = [](const auto& array) {
        return std::any_of(array.begin(), array.end(), [](const auto& v) { return v.has_value(); });
    };
    return menuTitles || softkeyTitles || some(paths) || some(drm) || showText || url || dial || midlet1 || midletName
           || midletVendor || shortcut || action || some(codes) || (unsupported && saveAll);
}

ItemDataFields readItemDataFields(const ItemDataBlock& block)
{
    ItemDataFields fields;
    for (const auto& entry : block.entries) {
        switch (entry.kind) {
        case kind::MenuTitle: fields.menuTitles = titlesUpToZero(entry.titles); continue;
        case kind::SoftkeyTitle: fields.softkeyTitles = titlesUpToZero(entry.titles); continue;
        case kind::FileIcon: {
            const int row = rowOfRole(entry.role);
            fields.paths[row] = textUpToZero(entry.path);
            fields.drm[row].reset();
            continue;
        }
        case kind::DrmAnimatedIcon:
        case kind::DrmStaticIcon:
        case kind::DrmListIcon: {
            const int row = rowOfDrmKind(entry.kind);
            fields.drm[row] = entry.number;
            fields.paths[row].reset();
            continue;
        }
        case kind::ShowText: fields.showText = titlesUpToZero(entry.titles); break;
        case kind::Url: fields.url = asciiText(entry); break;
        case kind::DialNumber: fields.dial = asciiText(entry); break;
        case kind::Midlet1: fields.midlet1 = asciiText(entry); break;
        case kind::MidletName: fields.midletName = asciiText(entry); break;
        case kind::MidletVendor: fields.midletVendor = asciiText(entry); break;
        case kind::Code12:
        case kind::Code13:
        case kind::Code14: fields.codes[entry.kind - kind::Code12] = static_cast<uint8_t>(entry.value & 0xFF); break;
        case kind::Action: fields.action = entry.value; break;
        case kind::ShortcutData: {
            std::string text = asciiText(entry);
            text.resize(std::min(text.size(), kShortcutDataLength));
            fields.shortcut = std::move(text);
            break;
        }
        default: fields.unsupported = entry; continue;
        }
        fields.lastFunctionKind = entry.kind;
    }
    return fields;
}

ItemDataBlock writeItemDataFields(const ItemDataFields& fields, bool saveAll)
{
    ItemDataBlock block;
    auto& entries = block.entries;
    auto append = [&entries](DataEntry entry) {
        if (entries.size() < kMaxEntries)
            entries.push_back(std::move(entry));
    };
    auto titled = [&](uint8_t entryKind, const std::optional<std::vector<Title>>& titles) {
        if (titles)
            append({.kind = entryKind, .titles = *titles});
    };
    auto ascii = [&](uint8_t entryKind, const std::optional<std::string>& text) {
        if (text)
            append({.kind = entryKind, .bytes = asciiBytes(*text)});
    };

    titled(kind::MenuTitle, fields.menuTitles);
    titled(kind::SoftkeyTitle, fields.softkeyTitles);
    titled(kind::ShowText, fields.showText);
    for (int i = 0; i < 3; ++i)
        if (fields.paths[i])
            append({.kind = kind::FileIcon, .role = kRoles[i], .path = *fields.paths[i]});
    ascii(kind::Url, fields.url);
    ascii(kind::DialNumber, fields.dial);
    ascii(kind::Midlet1, fields.midlet1);
    ascii(kind::MidletName, fields.midletName);
    ascii(kind::MidletVendor, fields.midletVendor);
    for (int i = 0; i < 3; ++i)
        if (fields.drm[i])
            append({.kind = kDrmKinds[i], .first = kDrmFirstByte, .number = *fields.drm[i]});
    if (fields.action)
        append({.kind = kind::Action, .value = *fields.action});
    if (fields.shortcut) {
        DataEntry e{.kind = kind::ShortcutData, .bytes = {fields.shortcut->begin(), fields.shortcut->end()}};
        e.bytes.resize(kShortcutDataLength, 0);
        append(std::move(e));
    }
    for (int i = 0; i < 3; ++i)
        if (fields.codes[i])
            append({.kind = static_cast<uint8_t>(kind::Code12 + i), .value = *fields.codes[i]});
    if (fields.unsupported && saveAll)
        append(*fields.unsupported);
    return block;
}

} // namespace tessaro
