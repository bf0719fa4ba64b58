#include "preview/icon_check.h"

#include <unordered_map>

#include "core/menu_document.h"
#include "core/open_menu.h"
#include "core/text_encoding.h"
#include "phone/phone_context.h"
#include "preview/phone_icons.h"

namespace tessaro {

namespace {

constexpr IconRole kRoles[] = {IconRole::List, IconRole::Static, IconRole::Animated};

// Names of a path are separated by '/'; a name holding '/' cannot be named.
std::vector<std::string_view> pathNames(std::string_view path)
{
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

std::string nodePathText(const MenuNode& node)
{
    std::string path;
    for (const MenuNode* at = &node; at->parent(); at = at->parent()) {
        const bool underSoftkeys = !at->parent()->parent() && at->parent()->item.group == kGroupSoftkeys;
        path = at->caption() + (path.empty() ? "" : "/") + path;
        if (underSoftkeys)
            path = at->parent()->caption() + "/" + path;
    }
    return path;
}

const MenuNode* findNodeByPath(const MenuDocument& document, std::string_view path)
{
    if (document.isEmpty())
        return nullptr;
    if (path.empty())
        return document.menuRoot();
    std::vector<std::string_view> names = pathNames(path);
    const MenuNode* at = document.menuRoot();
    size_t first = 0;
    if (names.front() == document.softkeys()->caption()) {
        at = document.softkeys();
        first = 1;
    }
    for (size_t i = first; i < names.size() && at; ++i) {
        const MenuNode* next = nullptr;
        for (const auto& child : at->children())
            if (child->caption() == names[i]) {
                next = child.get();
                break;
            }
        at = next;
    }
    return at;
}

std::vector<std::string> namedIconPaths(const OpenMenu& menu)
{
    std::vector<std::string> paths;
    std::unordered_map<std::string, bool> seen;
    for (const MenuNode* node : menu.document.preorder())
        for (IconRole role : kRoles) {
            const IconRef icon = itemIcon(menu.document.data(), *node, role);
            if (icon.source == IconRef::Source::File && seen.emplace(icon.path, true).second)
                paths.push_back(icon.path);
        }
    return paths;
}

std::vector<IconProblem> findIconProblems(const OpenMenu& menu, const IconSources& sources)
{
    std::vector<IconProblem> problems;
    for (const MenuNode* node : menu.document.preorder())
        for (IconRole role : kRoles) {
            IconRef icon = itemIcon(menu.document.data(), *node, role);
            if (icon.isFirmware())
                continue;
            IconLook look = sources.look(icon);
            if (!look.isProblem())
                continue;
            IconProblem problem;
            problem.node = node;
            problem.role = role;
            problem.line = nodePathText(*node) + ": " + iconRoleName(role) + ": " + look.reason;
            problem.icon = std::move(icon);
            problem.look = std::move(look);
            problems.push_back(std::move(problem));
        }
    return problems;
}

Result<std::vector<std::string>> iconsMissingOnPhone(PhoneContext& phone, const OpenMenu& menu, const DrmPack* pack)
{
    // Listings only: the copies are not needed to tell what the phone lacks.
    PhoneIcons icons{std::string()};
    icons.begin(phone.link.imei, namedIconPaths(menu), PhoneIcons::Fetch::No);
    for (;;) {
        const Result<bool> more = icons.step(phone);
        if (!more)
            return more.failure();
        if (!*more)
            break;
    }
    IconSources sources;
    sources.setPhone(&icons);
    sources.setDrmPack(pack);
    std::vector<std::string> lines;
    for (const IconProblem& problem : findIconProblems(menu, sources))
        lines.push_back(problem.line);
    return lines;
}

} // namespace tessaro
