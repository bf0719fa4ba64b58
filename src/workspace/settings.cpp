#include "workspace/settings.h"

#include <cstdlib>

// Only the narrow-character reader is used: no wide-character conversion library needed.
// This packaging of SimpleIni keeps the template bodies behind SI_IMPLEMENTATION.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "core/replacing_file.h"
#include "core/text_file.h"
#include "workspace/preview_settings.h"

namespace tessaro {

namespace {

constexpr const char* kSection = "setup";
constexpr const char* kSetSystemAttr = "SetSystemAttr";
constexpr const char* kLogEnabled = "LogEnabled";
constexpr const char* kReadJ2mest = "ReadJ2MEST";
constexpr const char* kPatchJ2mest = "PatchJ2MEST";
constexpr const char* kWindowSection = "window";
constexpr const char* kGeometry = "Geometry";
constexpr const char* kSplitter = "Splitter";
constexpr const char* kPreviewSection = "preview";
constexpr const char* kPreviewScreensSection = "preview screens";

// Keys may repeat in a hand-edited file; like the Windows profile functions, the first one
// counts.
std::string firstValue(const CSimpleIniA& ini, const char* key)
{
    CSimpleIniA::TNamesDepend values;
    if (!ini.GetAllValues(kSection, key, values) || values.empty())
        return {};
    values.sort(CSimpleIniA::Entry::LoadOrder());
    return values.front().pItem ? values.front().pItem : "";
}

// Reads a file into `ini`; false when there is none or it cannot be parsed.
bool load(CSimpleIniA& ini, const std::string& path)
{
    const auto content = readWholeFile(path);
    return content && ini.LoadData(content->data(), content->size()) >= 0;
}

// Writes `ini` over the file; text files of the editor use CR LF line ends.
Status store(const CSimpleIniA& ini, const std::string& path)
{
    std::string text;
    if (ini.Save(text) < 0)
        return fileError(FileStep::Write, path);
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return replaceFile(path, crlf);
}

// A placement value is an even count of hex digits; anything else is ignored.
std::string hexValue(const CSimpleIniA& ini, const char* key)
{
    const char* value = ini.GetValue(kWindowSection, key, "");
    std::string text = value ? value : "";
    const bool hex = text.size() % 2 == 0
        && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    return hex ? text : std::string();
}

// Multi-key mode keeps every occurrence of a repeated key, so the first one can be found and
// a save can replace all of them.
void configure(CSimpleIniA& ini)
{
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
}

} // namespace

std::string settingsPath(const std::string& dataFolder)
{
    return dataFolder + "tessaro.ini";
}

Settings loadSettings(const std::string& path)
{
    const auto content = readWholeFile(path);
    return content ? parseSettings(*content) : Settings{};
}

Settings parseSettings(std::string_view text)
{
    Settings settings;
    CSimpleIniA ini;
    configure(ini);
    if (ini.LoadData(text.data(), text.size()) < 0)
        return settings;

    settings.setSystemAttr = firstValue(ini, kSetSystemAttr) == "1";
    settings.logEnabled = firstValue(ini, kLogEnabled) == "1";
    const std::string read = firstValue(ini, kReadJ2mest);
    if (read == "Phone") {
        settings.readJ2mest = settings.j2mestFromPhone = true;
    } else if (read == "Card") {
        settings.readJ2mest = settings.j2mestFromCard = true;
    } else if (read == "Both") {
        settings.readJ2mest = settings.j2mestFromPhone = settings.j2mestFromCard = true;
    }
    // Patching only makes sense for J2MEST files that are read at all.
    if (settings.readJ2mest)
        settings.patchJ2mest = firstValue(ini, kPatchJ2mest) == "1";
    return settings;
}

Status saveSettings(const std::string& path, const Settings& settings)
{
    CSimpleIniA ini;
    configure(ini);
    // Keep other sections and keys a user may have put into the file.
    load(ini, path);

    const char* read = "None";
    if (settings.readJ2mest) {
        if (settings.j2mestFromPhone && settings.j2mestFromCard)
            read = "Both";
        else if (settings.j2mestFromPhone)
            read = "Phone";
        else
            read = "Card";
    }
    ini.SetValue(kSection, kSetSystemAttr, settings.setSystemAttr ? "1" : "0", nullptr, true);
    ini.SetValue(kSection, kLogEnabled, settings.logEnabled ? "1" : "0", nullptr, true);
    ini.SetValue(kSection, kReadJ2mest, read, nullptr, true);
    ini.SetValue(kSection, kPatchJ2mest, settings.patchJ2mest ? "1" : "0", nullptr, true);

    return store(ini, path);
}

WindowPlacement loadWindowPlacement(const std::string& path)
{
    CSimpleIniA ini;
    configure(ini);
    if (!load(ini, path))
        return {};
    return {hexValue(ini, kGeometry), hexValue(ini, kSplitter)};
}

Status saveWindowPlacement(const std::string& path, const WindowPlacement& placement)
{
    CSimpleIniA ini;
    configure(ini);
    load(ini, path);
    ini.SetValue(kWindowSection, kGeometry, placement.geometry.c_str(), nullptr, true);
    ini.SetValue(kWindowSection, kSplitter, placement.splitter.c_str(), nullptr, true);
    return store(ini, path);
}

PreviewSettings loadPreviewSettings(const std::string& path)
{
    PreviewSettings settings;
    CSimpleIniA ini;
    ini.SetSpaces(false);
    if (!load(ini, path))
        return settings;
    settings.shown = std::string(ini.GetValue(kPreviewSection, "Shown", "0")) == "1";
    settings.list = std::string(ini.GetValue(kPreviewSection, "Style", "Grid")) == "List";
    settings.screen = ini.GetValue(kPreviewSection, "Screen", "");
    const std::string language = ini.GetValue(kPreviewSection, "Language", "0");
    const int number = language.size() <= 2 && language.find_first_not_of("0123456789") == std::string::npos
                           ? std::atoi(language.c_str())
                           : 0;
    settings.language = number <= 47 ? number : 0;
    settings.iconFolder = ini.GetValue(kPreviewSection, "IconFolder", "");
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(kPreviewScreensSection, keys);
    for (const auto& key : keys)
        settings.profileScreens[key.pItem] = ini.GetValue(kPreviewScreensSection, key.pItem, "");
    return settings;
}

Status savePreviewSettings(const std::string& path, const PreviewSettings& settings)
{
    CSimpleIniA ini;
    ini.SetSpaces(false);
    load(ini, path);
    ini.SetValue(kPreviewSection, "Shown", settings.shown ? "1" : "0", nullptr, true);
    ini.SetValue(kPreviewSection, "Style", settings.list ? "List" : "Grid", nullptr, true);
    ini.SetValue(kPreviewSection, "Screen", settings.screen.c_str(), nullptr, true);
    ini.SetValue(kPreviewSection, "Language", std::to_string(settings.language).c_str(), nullptr, true);
    ini.SetValue(kPreviewSection, "IconFolder", settings.iconFolder.c_str(), nullptr, true);
    for (const auto& [profile, screen] : settings.profileScreens)
        ini.SetValue(kPreviewScreensSection, profile.c_str(), screen.c_str(), nullptr, true);
    return store(ini, path);
}

} // namespace tessaro
