#include "models/drag_expanded_nodes.h"

#include <algorithm>

namespace tessaro {

DragExpandedNodes::DragExpandedNodes(MenuDocument& document) : document_(document)
{
    document_.addObserver(this);
}

DragExpandedNodes::~DragExpandedNodes()
{
    document_.removeObserver(this);
}

void DragExpandedNodes::add(MenuNode* node)
{
    if (node && std::find(nodes_.begin(), nodes_.end(), node) == nodes_.end())
        nodes_.push_back(node);
}

std::vector<MenuNode*> DragExpandedNodes::toCollapse(const MenuNode* dropped) const
{
    std::vector<MenuNode*> out;
    for (MenuNode* node : nodes_)
        if (!dropped || !node->contains(dropped))
            out.push_back(node);
    return out;
}

std::vector<MenuNode*> DragExpandedNodes::takeForDrop(const MenuNode* dropped)
{
    std::vector<MenuNode*> out = toCollapse(dropped);
    nodes_.clear();
    return out;
}

void DragExpandedNodes::documentReset()
{
    nodes_.clear();
}

void DragExpandedNodes::nodeAboutToBeRemoved(MenuNode* node)
{
    std::erase_if(nodes_, [node](const MenuNode* listed) { return node->contains(listed); });
}

} // namespace tessaro
