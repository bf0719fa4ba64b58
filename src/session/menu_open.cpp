#include "session/menu_open.h"

#include "core/menu_reader.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "core/open_menu.h"
#include "workspace/profiles.h"

namespace tessaro {

namespace {

Result<ReadReport> readUnder(std::span<const uint8_t> bytes, OpenMenu& menu, const ProfileManager& profiles,
                             bool recordUnknown)
{
    ReadOptions options;
    options.acceptUnknown = profiles.isDefaultMode();
    if (recordUnknown)
        options.itemBasePath = profiles.itemBasePath();
    return readMenuBytes(bytes, menu, options);
}

} // namespace

Result<MenuOpenReport> openMenuFile(const std::string& path, OpenMenu& menu, ProfileManager& profiles, bool recordUnknown)
{
    // Read once: every pass below reads the same bytes, the ones the fingerprint is of.
    const auto bytes = readWholeFileBytes(path);
    if (!bytes)
        return bytes.failure();
    MenuOpenReport opened;
    opened.fingerprint = fingerprintOf(path, bytes.value());
    Result<ReadReport> read = readUnder(bytes.value(), menu, profiles, recordUnknown);

    if (!read && read.failure().kind == ErrorKind::Refused) {
        // An identifier outside the profile: the file wins over the profile.
        opened.notices.push_back(
            {MessageIcon::Warning, TRANSLATABLE("Core", "Profile error"),
             TRANSLATABLE("Core", "Selected profile doesn't match mma_ucp\r\n    Default profile will be applied")});
        opened.profileMismatch = true;
        menu.items.makeAllAvailable();
        profiles.setSelectorIndex(0);
        read = readUnder(bytes.value(), menu, profiles, recordUnknown);
    }
    if (!read)
        return read.failure();

    if (read->itemBaseUpdated) {
        opened.itemBaseUpdated = true;
        const Status reloaded = profiles.reloadItemBase(menu.items);
        if (!reloaded)
            return reloaded.failure();
        read = readUnder(bytes.value(), menu, profiles, recordUnknown);
        if (!read)
            return read.failure();
        opened.notices.push_back({MessageIcon::Information, TRANSLATABLE("Core", "Profile info"),
                                  TRANSLATABLE("Core", "Item base has been updated")});
    }
    opened.warnings = std::move(read->warnings);
    opened.bytesOutsideRecords = std::move(read->bytesOutsideRecords);
    opened.repaired = !opened.warnings.empty();
    return opened;
}

Notice repairsNotice(const MenuOpenReport& opened)
{
    std::string text =
        TRANSLATABLE("Core", "The file is damaged. What could not be read as it stands was repaired or left out:");
    for (const std::string& warning : opened.warnings)
        text += "\r\n" + warning;
    return {MessageIcon::Warning, kRepairedCaption, text};
}

} // namespace tessaro
