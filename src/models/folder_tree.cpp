#include "models/folder_tree.h"

#include <algorithm>

namespace tessaro {

namespace {

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = (!path.empty() && path[0] == '/') ? 1 : 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

void FolderTree::build(const std::vector<PhoneFileEntry>& files, const std::map<char, uint32_t>& freeBytes)
{
    root_.children.clear();
    root_.files.clear();
    for (const auto& entry : files)
        addFile(entry.path);
    for (const auto& volume : root_.children)
        if (const auto free = freeBytes.find(volume->name.size() == 1 ? volume->name[0] : '\0');
            free != freeBytes.end())
            volume->freeBytes = free->second;
}

FolderNode* FolderTree::addFolders(const std::vector<std::string>& components)
{
    FolderNode* node = &root_;
    for (const auto& name : components) {
        // Doubled or trailing separators make no folder of their own.
        if (name.empty())
            continue;
        auto& kids = node->children;
        auto at = std::lower_bound(kids.begin(), kids.end(), name,
                                   [](const auto& child, const std::string& n) { return child->name < n; });
        if (at == kids.end() || (*at)->name != name) {
            auto made = std::make_unique<FolderNode>();
            made->name = name;
            made->parent = node;
            at = kids.insert(at, std::move(made));
        }
        node = at->get();
    }
    return node;
}

void FolderTree::addFile(const std::string& path)
{
    auto parts = splitPath(path);
    if (parts.empty())
        return;
    const std::string file = parts.back();
    parts.pop_back();
    FolderNode* folder = addFolders(parts);
    if (!file.empty())
        folder->files.push_back(file);
}

FolderNode& FolderTree::addFolder(const std::string& folderPath)
{
    return *addFolders(splitPath(folderPath));
}

const FolderNode* FolderTree::find(const std::string& folderPath) const
{
    const FolderNode* node = &root_;
    for (const auto& name : splitPath(folderPath)) {
        if (name.empty())
            continue;
        auto at = std::find_if(node->children.begin(), node->children.end(),
                               [&](const auto& child) { return child->name == name; });
        if (at == node->children.end())
            return nullptr;
        node = at->get();
    }
    return node;
}

void FolderTree::remove(const FolderNode& node)
{
    if (!node.parent)
        return;
    auto& siblings = node.parent->children;
    siblings.erase(
        std::find_if(siblings.begin(), siblings.end(), [&](const auto& child) { return child.get() == &node; }));
}

std::string FolderTree::pathOf(const FolderNode& node)
{
    std::string path;
    for (const FolderNode* n = &node; n->parent; n = n->parent)
        path = "/" + n->name + path;
    return path;
}

} // namespace tessaro
