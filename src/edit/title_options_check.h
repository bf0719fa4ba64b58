#pragma once
// Items whose titles and options disagree: the item properties window gives an item that has
// titles of its own the options optionsWithTitles names, but a title written into a menu text
// by hand leaves the options as they were written.

#include <string>
#include <vector>

namespace tessaro {

class MenuDocument;

// One warning for each softkey and main-menu item that has menu or softkey titles but options
// other than the editor would give it, in tree order, each starting with the JSON path of the
// item's options in the text form ("/menu/3/items/0/options: ..."). None for an empty document.
std::vector<std::string> titleOptionsWarnings(const MenuDocument& document);

} // namespace tessaro
