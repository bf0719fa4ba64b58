#include "workspace/profiles.h"

#include <algorithm>
#include <filesystem>

#include "core/catalogue.h"
#include "core/folder_lock.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "core/open_menu.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFormatSection = "[mma_ucp format]";
constexpr std::string_view kItemsSection = "[mma items]";
constexpr std::string_view kProfileExtension = ".prf";

// A decimal number made of digits only; 0 for anything else, as the format line is read.
int decimalOrZero(std::string_view token)
{
    if (token.empty() || token.size() > 9)
        return 0;
    int value = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Tokens of the format line are separated by one or more spaces; the first starts in column 1.
class TokenCursor {
public:
    explicit TokenCursor(std::string_view line) : line_(line) {}
    std::string_view first() { return take(); }
    std::string_view next()
    {
        while (pos_ < line_.size() && line_[pos_] == ' ')
            ++pos_;
        return take();
    }

private:
    std::string_view take()
    {
        const size_t end = std::min(line_.find(' ', pos_), line_.size());
        std::string_view token = line_.substr(pos_, end - pos_);
        pos_ = end;
        return token;
    }
    std::string_view line_;
    size_t pos_ = 0;
};

// A name that can only be a file of the Profiles folder itself.
bool isProfileFileName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string catalogueText()
{
    std::string text;
    for (const auto& row : kItemCatalogue) {
        text += row.identifier;
        text += ';';
        text += row.displayName;
        text += "\r\n";
    }
    return text;
}

std::vector<ItemEntry> catalogueEntries()
{
    std::vector<ItemEntry> entries;
    entries.reserve(kItemCatalogue.size());
    for (const auto& row : kItemCatalogue)
        entries.push_back({row.identifier, row.displayName});
    return entries;
}

} // namespace

std::vector<ItemEntry> parseItemBase(std::string_view text)
{
    std::vector<ItemEntry> entries;
    for (std::string_view line : splitLines(text)) {
        const size_t semicolon = line.find(';');
        ItemEntry entry;
        if (semicolon == std::string_view::npos) {
            entry.identifier = std::string(line);
            entry.displayName = entry.identifier;
        } else {
            entry.identifier = std::string(line.substr(0, semicolon));
            entry.displayName = std::string(line.substr(semicolon + 1));
        }
        // "Custom item" is appended in memory as the last entry; it never comes from the file.
        if (entry.identifier.empty() || entry.identifier == kCustomItem)
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

ProfileManager::ProfileManager(std::string dataFolder)
{
    setDataFolder(std::move(dataFolder));
    rebuildSelector();
}

std::string ProfileManager::currentFolder()
{
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    if (ec)
        return "./";
    std::string folder = cwd.string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

void ProfileManager::setDataFolder(std::string folder)
{
    if (folder.empty())
        folder = ".";
    if (folder.back() != '/')
        folder += '/';
    folder_ = std::move(folder);
}

std::string ProfileManager::profilesFolder() const
{
    return folder_ + "Profiles/";
}

std::string ProfileManager::itemBasePath() const
{
    return profilesFolder() + "itembase.dat";
}

std::string ProfileManager::profilePath(const std::string& name) const
{
    return profilesFolder() + name + std::string(kProfileExtension);
}

Status ProfileManager::startUp(ItemLists& items, bool writeFiles)
{
    std::error_code ec;
    if (writeFiles)
        fs::create_directories(profilesFolder(), ec);
    Status status = loadItemBase(items, writeFiles);
    if (ec && status.ok())
        status = Error(ErrorKind::Io,
                       TRANSLATABLE("Core", "Cannot create the folder ") + profilesFolder() + ": " + ec.message());
    profileNames();
    rebuildSelector();
    return status;
}

Status ProfileManager::loadItemBase(ItemLists& items, bool writeFiles)
{
    const std::string path = itemBasePath();
    std::error_code ec;
    // Under the folder's lock: a second program starting at the same time must not write the
    // catalogue over lines the first one has just appended.
    const FolderLock lock(path);
    if (Status locked = lock.status(); !locked)
        return locked;
    if (!fs::exists(path, ec) && !ec) {
        // A first start: the item base is the catalogue, and the file is made from it.
        items.setBase(catalogueEntries());
        items.makeAllAvailable();
        return writeFiles ? replaceFile(path, catalogueText(), {.folderLocked = true}) : Status{};
    }
    auto text = readWholeFile(path);
    if (!text)
        return text.failure();
    items.setBase(parseItemBase(*text));
    items.makeAllAvailable();
    return {};
}

Status ProfileManager::reloadItemBase(ItemLists& items)
{
    auto text = readWholeFile(itemBasePath());
    if (!text)
        return text.failure();
    items.setBase(parseItemBase(*text));
    items.makeAllAvailable();
    selectorIndex_ = 0;
    return {};
}

void ProfileManager::profileNames()
{
    profiles_.clear();
    std::error_code ec;
    fs::directory_iterator it(profilesFolder(), fs::directory_options::skip_permission_denied, ec);
    if (ec)
        return;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::string file = it->path().filename().string();
        if (file.size() <= kProfileExtension.size() || file.front() == '.')
            continue;
        if (file.compare(file.size() - kProfileExtension.size(), kProfileExtension.size(),
                         kProfileExtension) != 0)
            continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        profiles_.push_back(file.substr(0, file.size() - kProfileExtension.size()));
    }
    // The directory order of Linux file systems is arbitrary; a sorted list reads better and
    // stays the same from run to run.
    std::sort(profiles_.begin(), profiles_.end());
}

void ProfileManager::rebuildSelector()
{
    selector_.clear();
    selector_.emplace_back(kSelectorDefault);
    selector_.insert(selector_.end(), profiles_.begin(), profiles_.end());
    selector_.emplace_back(kSelectorCreateNew);
    selectorIndex_ = 0;
}

void ProfileManager::setSelectorIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(selector_.size()))
        selectorIndex_ = index;
}

void ProfileManager::applyDefaultProfile(OpenMenu& menu)
{
    menu.items.makeAllAvailable();
    // 36-byte records bring "0C" and clear the fix.
    menu.saveMode.setRecordSize(36);
    selectorIndex_ = 0;
}

void ProfileManager::selectProfileEntry(const std::string& name)
{
    auto find = [&]() -> int {
        for (int i = 1; i < createNewIndex(); ++i)
            if (selector_[static_cast<size_t>(i)] == name)
                return i;
        return -1;
    };
    int index = find();
    if (index < 0) {
        // The file was added after the selector was built: list the folder again.
        profileNames();
        rebuildSelector();
        index = find();
    }
    if (index < 0) {
        // Still not among the names (a hidden file, say): the selector names the profile in
        // force all the same, so that it never claims "Default" for a filtered list.
        selector_.insert(selector_.end() - 1, name);
        index = createNewIndex() - 1;
    }
    selectorIndex_ = index;
}

Status ProfileManager::loadProfile(const std::string& name, OpenMenu& menu)
{
    std::error_code ec;
    if (!isProfileFileName(name) || !fs::is_regular_file(profilePath(name), ec)) {
        applyDefaultProfile(menu);
        return Error(ErrorKind::NotFound, TRANSLATABLE("Core", "Profile not found. Default profile will be applied"),
                     TRANSLATABLE("Core", "Missing profile"));
    }

    auto fail = [&](const std::string& text) {
        selectorIndex_ = 0;
        return Error(ErrorKind::Format, text, std::string(kProfileErrorCaption));
    };

    // An unreadable file reads as an empty one: its first line is not the format section.
    const auto content = readWholeFile(profilePath(name));
    const std::string text = content ? *content : std::string();
    const std::vector<std::string_view> lines = splitLines(text);
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string_view(); };

    if (lines.empty() || lines[0] != kFormatSection)
        return fail(TRANSLATABLE("Core", "Invalid profile formatting"));

    SaveMode& mode = menu.saveMode;
    TokenCursor tokens(line(1));
    const int recordSize = decimalOrZero(tokens.first());
    if (recordSize != 22 && recordSize != 36) {
        mode.setRecordSize(36);
        return fail(TRANSLATABLE("Core", "Invalid mma record length (36 byte assumed)"));
    }
    mode.setRecordSize(recordSize);

    const std::string_view marker = tokens.next();
    if (marker != "06" && marker != "0C") {
        mode.forceIconMarker(IconMarker::K0C);
        return fail(TRANSLATABLE("Core", "Invalid user icon marker (0C assumed)"));
    }
    // With 36-byte records the marker is checked but "0C" stays.
    if (recordSize == 22)
        mode.forceIconMarker(marker == "06" ? IconMarker::K06 : IconMarker::K0C);

    const std::string_view fix = tokens.next();
    if (fix != "0" && fix != "1") {
        mode.forceC698p(false);
        return fail(TRANSLATABLE("Core", "C698p fix can be either 1 (ON) or 0 (OFF - assumed)"));
    }
    mode.forceC698p(fix == "1");

    if (line(2) != kItemsSection)
        return fail(TRANSLATABLE("Core", "Invalid profile formatting"));

    std::vector<ItemEntry> available;
    bool unsupportedFound = false;
    std::string unsupported;
    const auto& base = menu.items.base();
    for (size_t i = 3; i < lines.size(); ++i) {
        const std::string_view identifier = lines[i];
        // "Custom item" is always the last entry; a profile cannot place it elsewhere.
        if (identifier == kCustomItem)
            continue;
        const size_t k = menu.items.findInBase(identifier);
        if (k < base.size()) {
            available.push_back({std::string(identifier), base[k].displayName});
        } else {
            unsupportedFound = true;
            unsupported = std::string(identifier);
        }
    }
    menu.items.setAvailable(std::move(available));

    selectProfileEntry(name);
    if (unsupportedFound)
        return fail(TRANSLATABLE("Core", "Unsupported mma item(s) found and omitted: ") + unsupported);
    return Status::success();
}

Result<ProfileManager::Selection> ProfileManager::select(int index, OpenMenu& menu)
{
    if (index < 0 || index >= static_cast<int>(selector_.size()))
        return Selection::Done;
    if (index == 0) {
        applyDefaultProfile(menu);
        return Selection::Done;
    }
    if (index == createNewIndex())
        return Selection::CreateNew;
    const std::string name = selector_[static_cast<size_t>(index)];
    if (Status loaded = loadProfile(name, menu); !loaded)
        return loaded.failure();
    return Selection::Done;
}

} // namespace tessaro
