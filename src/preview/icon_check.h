#pragma once
// The icons a menu names that cannot be shown: paths the phone (or the icon folder) lacks,
// DRM numbers beyond the firmware image's icons, pictures no decoder reads. One line each,
// for tessaro-cli check and for the question before Save to phone.

#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "preview/icon_sources.h"
#include "preview/item_icon.h"

namespace tessaro {

class DrmPack;
class MenuDocument;
class MenuNode;
struct OpenMenu;
struct PhoneContext;

struct IconProblem {
    const MenuNode* node = nullptr;
    IconRole role = IconRole::List;
    IconRef icon;
    IconLook look;
    // "Settings/Tools: static icon: /a/mobile/picture/x.gif is not on the phone"
    std::string line;
};

// The node's place in the tree as a path of names below its top node ("Settings/Tools"); the
// softkeys' under "Softkeys". Empty for a top node.
std::string nodePathText(const MenuNode& node);
// The node the path names (see nodePathText), matched by names; null when there is none. An
// empty path is the Menu Root.
const MenuNode* findNodeByPath(const MenuDocument& document, std::string_view path);

// The phone paths the menu's icons name, each once, in tree order.
std::vector<std::string> namedIconPaths(const OpenMenu& menu);

// Every icon of every item, in tree order and list, static, animated order, that `sources`
// finds missing or unreadable.
std::vector<IconProblem> findIconProblems(const OpenMenu& menu, const IconSources& sources);

// The icons of the menu the connected phone lacks: its icon folders listed (no file fetched)
// and the DRM numbers checked against `pack` when one is loaded. The lines of
// findIconProblems; the error of a listing the phone refused.
Result<std::vector<std::string>> iconsMissingOnPhone(PhoneContext& phone, const OpenMenu& menu, const DrmPack* pack);

} // namespace tessaro
