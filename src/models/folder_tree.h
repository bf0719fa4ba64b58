#pragma once
// The phone's folders as a tree, built from the paths of a phone file list: each folder with
// its subfolders sorted by name and the names of its files in list order. The volumes are the
// folders below the root.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "p2k/file_list_entry.h"

namespace tessaro {

// A folder of the tree. The root "Phone" has no name of its own and the empty path.
struct FolderNode {
    std::string name;
    FolderNode* parent = nullptr;
    std::vector<std::unique_ptr<FolderNode>> children; // sorted by name, exact bytes
    std::vector<std::string> files;                    // the file names in list order
    std::optional<uint32_t> freeBytes;                 // a volume's free space, when the phone told it
};

class FolderTree {
public:
    // Clears the tree and adds every path of `files` in list order; each volume takes its free
    // space from `freeBytes` when listed there.
    void build(const std::vector<PhoneFileEntry>& files, const std::map<char, uint32_t>& freeBytes);
    const FolderNode& root() const { return root_; }
    // Adds the file of a phone path ("/a/mobile/x.gif"), with the folders it lies in.
    void addFile(const std::string& path);
    // The folder of `folderPath` ("/a/mobile"), made with its parents when missing.
    FolderNode& addFolder(const std::string& folderPath);
    // The folder reached by the components of `folderPath`; null when absent.
    const FolderNode* find(const std::string& folderPath) const;
    // A node of this tree for changing it (nodes never move in memory).
    FolderNode& edit(const FolderNode& node) { return const_cast<FolderNode&>(node); }
    // Takes a folder other than the root, and everything below it, out of the tree.
    void remove(const FolderNode& node);
    // "/" + the names from below the root down to `node`; empty for the root.
    static std::string pathOf(const FolderNode& node);

private:
    FolderNode* addFolders(const std::vector<std::string>& components);

    FolderNode root_;
};

} // namespace tessaro
