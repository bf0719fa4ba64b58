#include "models/collapse_list.h"

#include <algorithm>

namespace tessaro {

TCollapseList::TCollapseList(MenuDocument& document) : document_(document)
{
    document_.addObserver(this);
}

TCollapseList::~TCollapseList()
{
    document_.removeObserver(this);
}

void TCollapseList::add(MenuNode* node)
{
    if (node && std::find(nodes_.begin(), nodes_.end(), node) == nodes_.end())
        nodes_.push_back(node);
}

std::vector<MenuNode*> TCollapseList::toCollapse(const MenuNode* dropped) const
{
    std::vector<MenuNode*> out;
    for (MenuNode* node : nodes_)
        if (!dropped || !node->contains(dropped))
            out.push_back(node);
    return out;
}

std::vector<MenuNode*> TCollapseList::takeForDrop(const MenuNode* dropped)
{
    std::vector<MenuNode*> out = toCollapse(dropped);
    nodes_.clear();
    return out;
}

void TCollapseList::documentReset()
{
    nodes_.clear();
}

void TCollapseList::nodeAboutToBeRemoved(MenuNode* node)
{
    std::erase_if(nodes_, [node](const MenuNode* listed) { return node->contains(listed); });
}

} // namespace tessaro
