#include "preview/item_icon.h"

#include "core/item_data.h"
#include "core/menu_document.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

// The role a file-system icon record plays: its role byte, any unknown value counting as the
// list icon.
IconRole fileIconRole(uint8_t role)
{
    if (role == kRoleAnimated)
        return IconRole::Animated;
    if (role == kRoleStatic)
        return IconRole::Static;
    return IconRole::List;
}

bool drmIconRole(uint8_t kind, IconRole& role)
{
    switch (kind) {
    case kind::DrmListIcon: role = IconRole::List; return true;
    case kind::DrmStaticIcon: role = IconRole::Static; return true;
    case kind::DrmAnimatedIcon: role = IconRole::Animated; return true;
    default: return false;
    }
}

std::string phonePath(std::u16string_view text)
{
    std::string path;
    path.reserve(text.size());
    for (char16_t c : text)
        path += c < 0x100 ? char(c) : '?';
    return path;
}

} // namespace

std::string IconRef::key() const
{
    switch (source) {
    case Source::File: return "file:" + path;
    case Source::Drm: return "drm:" + std::to_string(number);
    case Source::Firmware: break;
    }
    return {};
}

IconRef itemIcon(const ItemDataTable& data, const MenuNode& node, IconRole role)
{
    IconRef icon;
    const ItemDataBlock* block = data.at(node.item.recordNo);
    if (!block)
        return icon;
    for (const DataEntry& entry : block->entries) {
        IconRole entryRole;
        if (entry.kind == kind::FileIcon && fileIconRole(entry.role) == role) {
            icon.source = IconRef::Source::File;
            icon.path = phonePath(entry.path.view());
            icon.number = 0;
        } else if (drmIconRole(entry.kind, entryRole) && entryRole == role) {
            icon.source = IconRef::Source::Drm;
            icon.path.clear();
            icon.number = entry.number;
        }
    }
    return icon;
}

std::string iconRoleName(IconRole role)
{
    switch (role) {
    case IconRole::Static: return TRANSLATABLE("Core", "static icon");
    case IconRole::Animated: return TRANSLATABLE("Core", "animated icon");
    case IconRole::List: break;
    }
    return TRANSLATABLE("Core", "list icon");
}

} // namespace tessaro
