#include "core/catalogue.h"

#include "core/bytes.h"

namespace tessaro {

const std::array<const char*, kSoftkeyCount> kSoftkeyPrefixes = {
    "LSK: ", "RSK: ", "Up: ", "Down: ", "Left: ", "Right: ", "Smart: ",
};

const std::array<DefaultSoftkey, kSoftkeyCount> kDefaultSoftkeys = {{
    {"PhoneBook", "PhoneBook"},
    {"Message", "Message"},
    {"RecentCall", "RecentCall"},
    {"Mutilmedia", "Multimedia"},
    {"Datebook", "Datebook"},
    {"MMRingStyle", "MMRingStyle"},
    {"VoiceRecord", "VoiceRecord"},
}};

bool isShortcutDisplayName(std::string_view displayName)
{
    return displayName.size() >= kShortcutMark.size() &&
           displayName.substr(displayName.size() - kShortcutMark.size()) == kShortcutMark;
}

std::string languageName(int id)
{
    if (id < 1 || id > kLanguageCount)
        return {};
    return kLanguageNames[id - 1];
}

std::string languageShown(int id)
{
    if (id < 1 || id > kLanguageCount)
        return {};
    return hexDigits(uint32_t(id), 2);
}

int languageFromShown(std::string_view shown)
{
    for (int id = 1; id <= kLanguageCount; ++id)
        if (languageShown(id) == shown)
            return id;
    return 0;
}

std::string softkeyPrefix(int k)
{
    if (k < 0 || k >= kSoftkeyCount)
        return {};
    return kSoftkeyPrefixes[k];
}

} // namespace tessaro
