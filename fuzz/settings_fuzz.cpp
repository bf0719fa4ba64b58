// Reads arbitrary bytes as tessaro.ini, then saves a choice of settings into that file as the
// setup window does. The saved file must read back as exactly the settings saved, and every
// other section and key of the file must keep its values.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "workspace/settings.h"
#include "fuzz_support.h"

using namespace tessaro;

namespace {

bool isSetupKey(const std::string& section, const std::string& key)
{
    auto same = [](const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; };
    return same(section, "setup") && (same(key, "SetSystemAttr") || same(key, "LogEnabled")
                                      || same(key, "ReadJ2MEST") || same(key, "PatchJ2MEST"));
}

// Names as people write them: printable ASCII. The INI reader mangles others, whatever the
// program does: a section header without its "]" lends its name, line ends and all, to the
// keys after it. Only keys with such names are compared.
bool isPlainName(const char* name)
{
    for (const char* c = name; *c; ++c)
        if (*c < 0x20 || *c > 0x7E)
            return false;
    return true;
}

// Every value of the file outside the four setup keys under plain names, by section and key,
// in file order.
std::map<std::pair<std::string, std::string>, std::vector<std::string>> otherValues(const std::string& text)
{
    CSimpleIniA ini;
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> values;
    if (ini.LoadData(text.data(), text.size()) < 0)
        return values;
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    for (const auto& section : sections) {
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        for (const auto& key : keys) {
            if (isSetupKey(section.pItem, key.pItem) || !isPlainName(section.pItem) || !isPlainName(key.pItem))
                continue;
            CSimpleIniA::TNamesDepend all;
            ini.GetAllValues(section.pItem, key.pItem, all);
            all.sort(CSimpleIniA::Entry::LoadOrder());
            auto& list = values[{section.pItem, key.pItem}];
            for (const auto& v : all)
                list.emplace_back(v.pItem);
        }
    }
    return values;
}

// One of the settings the setup window can produce, chosen by `bits`.
Settings choice(uint8_t bits)
{
    Settings s;
    s.setSystemAttr = bits & 1;
    s.logEnabled = bits & 2;
    s.j2mestFromPhone = bits & 4;
    s.j2mestFromCard = bits & 8;
    s.readJ2mest = s.j2mestFromPhone || s.j2mestFromCard;
    s.patchJ2mest = s.readJ2mest && (bits & 16);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(fuzz::textOf(data, size));
    const Settings read = parseSettings(text);
    fuzz::check(read.readJ2mest == (read.j2mestFromPhone || read.j2mestFromCard));
    fuzz::check(!read.patchJ2mest || read.readJ2mest);
    fuzz::check(!read.activateSeemItems);

    const std::string path = fuzz::scratch().file("tessaro.ini");
    fuzz::writeFile(path, text);
    fuzz::check(loadSettings(path) == read);

    const Settings wanted = choice(size ? data[size - 1] : 0);
    fuzz::check(saveSettings(path, wanted).ok());
    const std::string saved = fuzz::readFile(path);
    fuzz::check(parseSettings(saved) == wanted);
    // A UTF-8 byte order mark inside the file may land at its start when the save drops what
    // came before it, and the reader then takes the whole file differently.
    if (text.find("\xEF\xBB\xBF", 1) == std::string::npos)
        fuzz::check(otherValues(saved) == otherValues(text));
    return 0;
}
