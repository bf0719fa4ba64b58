// Loads arbitrary bytes as a phone profile (Profiles/<name>.prf) through the profile
// selector, with the built-in item base. A profile that loads without an error is written
// again as a firmware scan writes profiles, and must load back to the same save mode and the
// same available items.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/open_menu.h"
#include "workspace/firmware_profile.h"
#include "workspace/profiles.h"
#include "fuzz_support.h"

using namespace tessaro;

namespace {

// The firmware tag whose profile has this save mode; empty when no tag gives it (the "06"
// marker together with the fix).
std::string tagFor(const SaveMode& mode)
{
    const bool sixMarker = mode.recordSize() == 22 && mode.iconMarker() == IconMarker::K06;
    if (mode.c698p())
        return sixMarker ? std::string() : "R3624";
    return sixMarker ? "R364" : "R999";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ProfileManager profiles = [] {
        ProfileManager p(fuzz::scratch().path().string());
        std::filesystem::create_directories(p.profilesFolder());
        return p;
    }();
    ProfileManager manager = profiles;
    const std::string path = manager.profilePath("fuzz");
    fuzz::writeFile(path, fuzz::textOf(data, size));

    OpenMenu menu;
    // The file exists: whatever it holds, it is never a missing profile.
    const Status loaded = manager.loadProfile("fuzz", menu);
    fuzz::check(loaded.ok() || loaded.failure().kind == ErrorKind::Format);
    fuzz::check(menu.saveMode.recordSize() == 22 || menu.saveMode.recordSize() == 36);
    const auto& available = menu.items.available();
    fuzz::check(!available.empty() && available.size() <= ItemLists::kCapacity);
    fuzz::check(available.back().identifier == kCustomItem);
    if (!loaded)
        return 0;
    fuzz::check(manager.selectorText() == "fuzz");

    const std::string tag = tagFor(menu.saveMode);
    if (tag.empty())
        return 0;
    std::vector<FirmwareName> names;
    for (size_t k = 0; k + 1 < available.size(); ++k)
        names.push_back({available[k].identifier, false});
    fuzz::writeFile(path, firmwareProfileText(tag, menu.saveMode.recordSize(), names));

    OpenMenu again;
    fuzz::check(manager.loadProfile("fuzz", again).ok());
    fuzz::check(again.saveMode == menu.saveMode);
    fuzz::check(again.items.available() == available);
    return 0;
}
