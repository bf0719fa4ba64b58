#include "preview/screen_layout.h"

#include <algorithm>

#include "core/catalogue.h"
#include "core/item_data.h"
#include "core/menu_document.h"
#include "core/open_menu.h"
#include "core/text_encoding.h"

namespace tessaro {

namespace {

// The text of `titles` in `language` (0: the first); null when there is none.
const Title* titleIn(const std::vector<Title>& titles, int language)
{
    if (titles.empty())
        return nullptr;
    if (language == 0)
        return &titles.front();
    for (const Title& title : titles)
        if (title.language == language)
            return &title;
    return nullptr;
}

// The title of `kind` (menu or softkey title) of a node in `language`, or nothing.
std::optional<std::string> ownTitle(const OpenMenu& menu, const MenuNode& node, uint8_t kind, int language)
{
    const ItemDataBlock* block = menu.document.data().at(node.item.recordNo);
    if (!block)
        return std::nullopt;
    const Title* found = nullptr;
    // Of two title records of one kind the later counts, as when the item is edited.
    for (const DataEntry& entry : block->entries)
        if (entry.kind == kind)
            found = titleIn(entry.titles, language);
    if (!found)
        return std::nullopt;
    return utf16ToUtf8(found->text.view());
}

// The name a node has in the tree, without a softkey's position prefix.
std::string displayName(const MenuNode& node)
{
    const MenuNode* parent = node.parent();
    if (parent && !parent->parent() && parent->item.group == kGroupSoftkeys) {
        const std::string prefix = softkeyPrefix(int(node.row()));
        if (!prefix.empty() && node.caption().rfind(prefix, 0) == 0)
            return node.caption().substr(prefix.size());
    }
    return node.caption();
}

bool isTopNode(const OpenMenu& menu, const MenuNode* node)
{
    return node == menu.document.softkeys() || node == menu.document.menuRoot();
}

// The label of softkey `position` (0 left, 1 right): its softkey title, else its menu title,
// else its name.
std::string softkeyLabel(const OpenMenu& menu, size_t position, int language)
{
    const MenuNode* softkeys = menu.document.softkeys();
    const MenuNode* key = softkeys ? softkeys->child(position) : nullptr;
    if (!key)
        return {};
    if (auto title = ownTitle(menu, *key, kind::SoftkeyTitle, language))
        return *title;
    return itemTitle(menu, *key, language);
}

ScreenRect inset(ScreenRect rect, int by)
{
    const int dx = std::min(by, rect.width / 2);
    const int dy = std::min(by, rect.height / 2);
    return {rect.x + dx, rect.y + dy, rect.width - 2 * dx, rect.height - 2 * dy};
}

IconLook lookOf(const IconSources* sources, const IconRef& icon)
{
    if (sources)
        return sources->look(icon);
    IconSources none;
    return none.look(icon);
}

} // namespace

std::string screenSizeText(ScreenSize size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::optional<ScreenSize> parseScreenSize(std::string_view text)
{
    for (ScreenSize size : kScreenSizes)
        if (screenSizeText(size) == text)
            return size;
    return std::nullopt;
}

const ScreenCell* ScreenLayout::cellAt(int x, int y) const
{
    for (const ScreenCell& cell : cells)
        if (cell.rect.contains(x, y))
            return &cell;
    return nullptr;
}

int gridColumns(ScreenSize)
{
    return 3;
}

int gridRows(ScreenSize screen)
{
    return screen.height >= 320 ? 4 : 3;
}

std::string itemTitle(const OpenMenu& menu, const MenuNode& node, int language)
{
    if (auto title = ownTitle(menu, node, kind::MenuTitle, language))
        return *title;
    return displayName(node);
}

ScreenFocus screenFocus(const OpenMenu& menu, const MenuNode* selected)
{
    ScreenFocus focus;
    if (menu.document.isEmpty())
        return focus;
    if (!selected)
        selected = menu.document.menuRoot();
    if (isTopNode(menu, selected)) {
        focus.container = selected;
        focus.selected = selected->child(0);
    } else {
        focus.container = selected->parent();
        focus.selected = selected;
    }
    return focus;
}

ScreenLayout layoutScreen(const OpenMenu& menu, const MenuNode* selected, const PreviewOptions& options,
                          const IconSources* sources)
{
    ScreenLayout layout;
    const ScreenSize screen = options.screen;
    layout.screen = screen;
    layout.style = options.style;
    // Title bar and softkey bar take a tenth of the height each.
    const int bar = std::max(12, (screen.height + 5) / 10);
    layout.titleBar = {0, 0, screen.width, bar};
    layout.softkeyBar = {0, screen.height - bar, screen.width, bar};
    layout.body = {0, bar, screen.width, std::max(0, screen.height - 2 * bar)};
    layout.leftSoftkey = softkeyLabel(menu, 0, options.language);
    layout.rightSoftkey = softkeyLabel(menu, 1, options.language);

    const ScreenFocus focus = screenFocus(menu, selected);
    layout.container = focus.container;
    layout.selected = focus.selected;
    if (!focus.container)
        return layout;
    const bool grid = options.style == MenuStyle::Grid;
    const int rowHeight = bar;
    layout.columns = grid ? gridColumns(screen) : 1;
    layout.rows = grid ? gridRows(screen) : std::max(1, layout.body.height / rowHeight);
    const size_t perPage = size_t(layout.columns) * size_t(layout.rows);
    const size_t count = focus.container->childCount();
    const size_t selectedRow = focus.selected ? focus.selected->row() : 0;
    layout.page = int(selectedRow / perPage);
    layout.pages = std::max<int>(1, int((count + perPage - 1) / perPage));
    layout.title = grid ? (focus.selected ? itemTitle(menu, *focus.selected, options.language) : std::string())
                        : itemTitle(menu, *focus.container, options.language);

    const size_t first = size_t(layout.page) * perPage;
    const size_t last = std::min(count, first + perPage);
    layout.cells.reserve(last - first);
    const ItemDataTable& data = menu.document.data();
    for (size_t row = first; row < last; ++row) {
        const MenuNode* node = focus.container->child(row);
        ScreenCell cell;
        cell.node = node;
        cell.row = row;
        cell.selected = node == focus.selected;
        cell.holdsItems = node->hasChildren() || node->item.itemType == kTypeContainer;
        const int at = int(row - first);
        if (grid) {
            const int column = at % layout.columns;
            const int line = at / layout.columns;
            const ScreenRect& body = layout.body;
            const int x0 = body.x + column * body.width / layout.columns;
            const int x1 = body.x + (column + 1) * body.width / layout.columns;
            const int y0 = body.y + line * body.height / layout.rows;
            const int y1 = body.y + (line + 1) * body.height / layout.rows;
            cell.rect = {x0, y0, x1 - x0, y1 - y0};
            cell.iconRect = inset(cell.rect, 2);
            cell.icon = itemIcon(data, *node, IconRole::Static);
            if (cell.selected)
                cell.animated = itemIcon(data, *node, IconRole::Animated);
        } else {
            cell.rect = {layout.body.x, layout.body.y + at * rowHeight, layout.body.width, rowHeight};
            cell.iconRect = inset({cell.rect.x, cell.rect.y, rowHeight, rowHeight}, 2);
            cell.textRect = {cell.rect.x + rowHeight + 2, cell.rect.y, std::max(0, cell.rect.width - rowHeight - 4),
                             rowHeight};
            cell.icon = itemIcon(data, *node, IconRole::List);
        }
        cell.title = itemTitle(menu, *node, options.language);
        cell.look = lookOf(sources, cell.icon);
        if (!cell.animated.isFirmware())
            cell.animatedLook = lookOf(sources, cell.animated);
        layout.cells.push_back(std::move(cell));
    }
    return layout;
}

} // namespace tessaro
