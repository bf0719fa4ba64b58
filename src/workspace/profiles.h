#pragma once
// The item base file and the phone profiles kept in the Profiles folder of the data folder,
// and the state of the profile selector: "Default", the profile names,
// "Create new...".
//
// Item base file itembase.dat: one item a line, identifier ";" display name.
// Profile file <name>.prf:
//   [mma_ucp format]
//   <record length 22|36> <icon marker 06|0C> <c698p fix 0|1>
//   [mma items]
//   <one identifier a line>

#include <string>
#include <string_view>
#include <vector>

#include "core/item_lists.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

struct OpenMenu;

inline constexpr std::string_view kSelectorDefault = TRANSLATABLE("Core", "Default");
inline constexpr std::string_view kSelectorCreateNew = TRANSLATABLE("Core", "Create new...");

// Parses the text of itembase.dat (LF or CR LF line ends). Each line is split at its first
// ";"; a line without ";" is an identifier shown under its own name. Empty lines, lines with an
// empty identifier and "Custom item" lines are skipped.
std::vector<ItemEntry> parseItemBase(std::string_view text);

class ProfileManager {
public:
    // `dataFolder` gets a trailing separator when it lacks one.
    explicit ProfileManager(std::string dataFolder = "./");

    // The current working directory with a trailing separator; "./" when it cannot be known.
    static std::string currentFolder();

    void setDataFolder(std::string folder);
    const std::string& dataFolder() const { return folder_; }
    std::string profilesFolder() const;   // with a trailing separator
    std::string itemBasePath() const;
    std::string profilePath(const std::string& name) const;

    // Start-up: creates the Profiles folder, loads (or creates) the item base, makes all of it
    // available, lists the profiles and builds the selector at "Default". On failure the
    // item base is the built-in catalogue and the error says which file could not be made.
    // With `writeFiles` false nothing is made: a missing item base is the catalogue in memory.
    Status startUp(ItemLists& items, bool writeFiles = true);

    // Reads itembase.dat into the item base and makes all of it available; when the file does
    // not exist it is created from the built-in catalogue. The file keeps at most 254 entries
    // in memory; further lines stay in the file but are not used. With `writeFiles` false a
    // missing file is not created.
    Status loadItemBase(ItemLists& items, bool writeFiles = true);

    // Reads itembase.dat again, makes all of it available and puts the selector back to
    // "Default". On a read failure the lists stay as they were.
    Status reloadItemBase(ItemLists& items);

    // Fills the profile list from the "*.prf" files of the Profiles folder (hidden files and folders
    // skipped), sorted by name.
    void profileNames();
    const std::vector<std::string>& profiles() const { return profiles_; }

    // Rebuilds the selector from the profile list: "Default", the names, "Create new...", at "Default".
    void rebuildSelector();
    const std::vector<std::string>& selectorEntries() const { return selector_; }
    int selectorIndex() const { return selectorIndex_; }
    // Text of the selected entry.
    const std::string& selectorText() const { return selector_[static_cast<size_t>(selectorIndex_)]; }
    // Index 0: the default profile is in force (files are read in default mode).
    bool isDefaultMode() const { return selectorIndex_ == 0; }
    // Moves the selector without running the selection handler (ignored when out of range).
    void setSelectorIndex(int index);
    int createNewIndex() const { return static_cast<int>(selector_.size()) - 1; }

    // The default profile: all of the item base available, 36-byte records, "0C", no fix;
    // selector at "Default".
    void applyDefaultProfile(OpenMenu& menu);

    // Loads Profiles/<name>.prf into the available items and the save mode. Its failures are
    // shown as warnings: a missing file (kind NotFound, caption "Missing profile") applies the
    // default profile; a profile error (kind Format, caption "Profile error") keeps what was
    // read before it and puts the selector at "Default".
    Status loadProfile(const std::string& name, OpenMenu& menu);

    // What the selection handler of the selector asks the caller to do.
    enum class Selection { Done, CreateNew };
    // The selection handler: index 0 applies the default profile, the last entry asks for a
    // firmware profile (the selector stays where it was), any other loads that profile and
    // fails as loadProfile does.
    Result<Selection> select(int index, OpenMenu& menu);

private:
    // Selects the entry named `name` among the profile names; a name missing from the
    // selector (a file added after it was built) refreshes the list first.
    void selectProfileEntry(const std::string& name);

    std::string folder_;
    std::vector<std::string> profiles_;
    std::vector<std::string> selector_;
    int selectorIndex_ = 0;
};

} // namespace tessaro
