#include "workspace/preview_settings.h"

#include <cstdlib>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "core/file_error.h"
#include "core/replacing_file.h"
#include "core/text_file.h"

namespace tessaro {

namespace {

constexpr const char* kSection = "preview";
constexpr const char* kScreensSection = "preview screens";

bool load(CSimpleIniA& ini, const std::string& path)
{
    const auto content = readWholeFile(path);
    return content && ini.LoadData(content->data(), content->size()) >= 0;
}

// Text files of the editor use CR LF line ends.
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

} // namespace

PreviewSettings loadPreviewSettings(const std::string& path)
{
    PreviewSettings settings;
    CSimpleIniA ini;
    ini.SetSpaces(false);
    if (!load(ini, path))
        return settings;
    settings.shown = std::string(ini.GetValue(kSection, "Shown", "0")) == "1";
    settings.list = std::string(ini.GetValue(kSection, "Style", "Grid")) == "List";
    settings.screen = ini.GetValue(kSection, "Screen", "");
    const std::string language = ini.GetValue(kSection, "Language", "0");
    const int number = language.size() <= 2 && language.find_first_not_of("0123456789") == std::string::npos
                           ? std::atoi(language.c_str())
                           : 0;
    settings.language = number <= 47 ? number : 0;
    settings.iconFolder = ini.GetValue(kSection, "IconFolder", "");
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(kScreensSection, keys);
    for (const auto& key : keys)
        settings.profileScreens[key.pItem] = ini.GetValue(kScreensSection, key.pItem, "");
    return settings;
}

Status savePreviewSettings(const std::string& path, const PreviewSettings& settings)
{
    CSimpleIniA ini;
    ini.SetSpaces(false);
    load(ini, path);
    ini.SetValue(kSection, "Shown", settings.shown ? "1" : "0", nullptr, true);
    ini.SetValue(kSection, "Style", settings.list ? "List" : "Grid", nullptr, true);
    ini.SetValue(kSection, "Screen", settings.screen.c_str(), nullptr, true);
    ini.SetValue(kSection, "Language", std::to_string(settings.language).c_str(), nullptr, true);
    ini.SetValue(kSection, "IconFolder", settings.iconFolder.c_str(), nullptr, true);
    for (const auto& [profile, screen] : settings.profileScreens)
        ini.SetValue(kScreensSection, profile.c_str(), screen.c_str(), nullptr, true);
    return store(ini, path);
}

} // namespace tessaro
