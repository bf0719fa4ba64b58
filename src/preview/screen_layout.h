#pragma once
// The menu as the phone draws it: which items of a container stand in which cell of a grid or
// row of a list, with which title and which picture, the title bar and the two softkey
// labels, all in the pixels of the phone's screen. Computed here from the document, the
// chosen screen and language and the icon sources; a window only draws it.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "preview/icon_sources.h"
#include "preview/item_icon.h"

namespace tessaro {

class MenuNode;
struct OpenMenu;

struct ScreenSize {
    int width = 176;
    int height = 220;

    bool operator==(const ScreenSize&) const = default;
};

// The screens the preview offers, smallest first.
inline constexpr std::array<ScreenSize, 3> kScreenSizes{{{128, 160}, {176, 220}, {240, 320}}};

// "176x220".
std::string screenSizeText(ScreenSize size);
// A size of kScreenSizes from its text; nothing for any other text.
std::optional<ScreenSize> parseScreenSize(std::string_view text);

enum class MenuStyle { Grid, List };

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
    bool operator==(const ScreenRect&) const = default;
};

struct PreviewOptions {
    ScreenSize screen;
    MenuStyle style = MenuStyle::Grid;
    // The phone's language (1..47); 0 takes each item's first title.
    int language = 0;
};

// One item on the screen.
struct ScreenCell {
    const MenuNode* node = nullptr;
    size_t row = 0;      // position in its container
    ScreenRect rect;     // the cell or the list row
    ScreenRect iconRect; // where its picture goes (centred, never larger)
    ScreenRect textRect; // list rows: where its title goes; empty in the grid
    std::string title;   // UTF-8
    bool selected = false;
    bool holdsItems = false; // a container: Enter goes in
    IconRef icon;            // the grid's static icon, the list's list icon
    IconLook look;
    // The selected grid item's animated icon, played in place of the static one.
    IconRef animated;
    IconLook animatedLook;
};

struct ScreenLayout {
    ScreenSize screen;
    MenuStyle style = MenuStyle::Grid;
    const MenuNode* container = nullptr;
    const MenuNode* selected = nullptr;
    ScreenRect titleBar;
    std::string title; // grid: the selected item's title; list: the container's
    ScreenRect body;
    int columns = 1;
    int rows = 0;
    int page = 0; // the page of the selected item, counted from 0
    int pages = 1;
    std::vector<ScreenCell> cells;
    ScreenRect softkeyBar;
    std::string leftSoftkey;
    std::string rightSoftkey;

    // The cell at a point of the screen, or null.
    const ScreenCell* cellAt(int x, int y) const;
};

// Columns and rows of the grid on a screen: 3 x 3, and 3 x 4 from 240 x 320 on.
int gridColumns(ScreenSize screen);
int gridRows(ScreenSize screen);

// The title of `node` the phone shows in `language` (0: its first title): its own menu title,
// or its name from the item base when it has none in that language. Softkey nodes lose their
// position prefix ("LSK: ").
std::string itemTitle(const OpenMenu& menu, const MenuNode& node, int language);

// The container the screen shows for `selected` and the item selected in it: the node's own
// container, or the first item of a top node (Softkeys, Menu Root). Null selected: the main
// menu's first item.
struct ScreenFocus {
    const MenuNode* container = nullptr;
    const MenuNode* selected = nullptr;
};
ScreenFocus screenFocus(const OpenMenu& menu, const MenuNode* selected);

// The screen for `selected` (see screenFocus). `sources` null: every picture unknown.
ScreenLayout layoutScreen(const OpenMenu& menu, const MenuNode* selected, const PreviewOptions& options,
                          const IconSources* sources);

} // namespace tessaro
