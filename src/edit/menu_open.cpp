#include "edit/menu_open.h"

#include "core/menu_reader.h"
#include "core/prompter.h"
#include "core/translatable.h"
#include "core/workspace.h"
#include "workspace/profiles.h"

namespace tessaro {

namespace {

ReadReport readUnder(const std::string& path, Workspace& ws, const ProfileManager& profiles)
{
    ReadOptions options;
    options.acceptUnknown = profiles.isDefaultMode();
    options.itemBasePath = profiles.itemBasePath();
    return readMenuFile(path, ws, options);
}

OpenResult finish(OpenResult result, ReadReport report)
{
    if (report.status == ReadStatus::Failed) {
        result.ok = false;
        result.error = std::move(report.error);
    }
    result.warnings = std::move(report.warnings);
    result.repaired = !result.warnings.empty();
    return result;
}

} // namespace

OpenResult openMenuFile(const std::string& path, Workspace& ws, ProfileManager& profiles,
                        Prompter& prompter)
{
    OpenResult result;
    ReadReport report = readUnder(path, ws, profiles);

    if (report.status == ReadStatus::Aborted) {
        // An identifier outside the profile: the file wins over the profile.
        prompter.show(MessageIcon::Warning, TRANSLATABLE("Core", "Profile error"),
                      TRANSLATABLE("Core", "Selected profile doesn't match mma_ucp\r\n    Default profile will be applied"));
        result.profileMismatch = true;
        ws.items.makeAllAvailable();
        profiles.setSelectorIndex(0);
        report = readUnder(path, ws, profiles);
    }
    if (report.status == ReadStatus::Failed)
        return finish(std::move(result), std::move(report));

    if (report.itemBaseUpdated) {
        result.itemBaseUpdated = true;
        const Status reloaded = profiles.reloadItemBase(ws.items);
        if (!reloaded) {
            result.ok = false;
            result.error = reloaded.error();
            return result;
        }
        report = readUnder(path, ws, profiles);
        prompter.show(MessageIcon::Information, TRANSLATABLE("Core", "Profile info"),
                      TRANSLATABLE("Core", "Item base has been updated"));
    }
    return finish(std::move(result), std::move(report));
}

void showRepairs(const OpenResult& result, Prompter& prompter)
{
    if (!result.repaired)
        return;
    std::string text =
        TRANSLATABLE("Core", "The file is damaged. What could not be read as it stands was repaired or left out:");
    for (const std::string& warning : result.warnings)
        text += "\r\n" + warning;
    prompter.show(MessageIcon::Warning, kRepairedCaption, text);
}

} // namespace tessaro
