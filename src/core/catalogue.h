#pragma once
// The built-in item catalogue, the 47 phone languages and the seven softkey positions.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

struct CatalogueRow {
    const char* identifier;   // name stored in the mma_ucp record
    const char* displayName;  // shown in the tree and in "Available mma items"
};

// The catalogue rows written to a new itembase.dat, in order. "Custom item" is not among
// them: it is appended in memory to the item base and to the available items.
constexpr int kCatalogueRows = 152;
extern const std::array<CatalogueRow, kCatalogueRows> kItemCatalogue;

inline constexpr std::string_view kCustomItem = "Custom item";
inline constexpr std::string_view kShortcutMark = "[SC]";

// True when a display name marks a shortcut item (it ends with "[SC]").
bool isShortcutDisplayName(std::string_view displayName);

// Languages: ids 1..47, shown as two upper-case hex digits ("01".."2F").
constexpr int kLanguageCount = 47;
extern const std::array<const char*, kLanguageCount> kLanguageNames;
// Name of language id (1..47); empty for any other id.
std::string languageName(int id);
// Shown form of language id: two upper-case hex digits; empty outside 1..47.
std::string languageShown(int id);
// Id of a shown form ("0A" -> 10); 0 when the text is not one of the 47 shown forms.
int languageFromShown(std::string_view shown);

// Softkey positions in record order: LSK, RSK, Up, Down, Left, Right, Smart.
constexpr int kSoftkeyCount = 7;
extern const std::array<const char*, kSoftkeyCount> kSoftkeyPrefixes;
// Caption prefix of softkey position k (0..6), e.g. "LSK: "; empty outside.
std::string softkeyPrefix(int k);

struct DefaultSoftkey {
    const char* identifier;
    const char* displayName;
};
// The seven softkeys of a new document.
extern const std::array<DefaultSoftkey, kSoftkeyCount> kDefaultSoftkeys;

} // namespace tessaro
