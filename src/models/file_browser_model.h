#pragma once
// The rules of the phone file browser "Picture Picker": the folder tree built from the phone
// file list, the file rows of the selected folder, the upload target, uploads, downloads,
// the delete walk, attributes and folders. The window shows this model and hands it the
// user's choices; every phone call goes through the transfers and the phone client.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "models/folder_tree.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

struct PhoneContext;
class BatchProgress;

// Which listing "Update file list" runs.
enum class ListingMode { IconsOnly = 0, AllFiles = 1, ByMask = 2 };

// What the browser keeps between openings, for the whole run; owned by the application.
struct BrowserState {
    ListingMode mode = ListingMode::IconsOnly;
    std::string maskVolumes = "a";     // volume letters of the masked listing
    std::string maskExtension;         // empty, or "." + the extension typed
    std::string lastDownloadFolder;    // local folder of the last multi-file download
    std::string chosenPath;            // the phone path handed to the item editor
    std::map<char, uint32_t> freeBytes; // each listed volume's free space, as of the listing
    std::vector<char> volumes;         // the phone's volume letters, once asked for
    std::vector<PhoneFileEntry> files; // the last listing, shared with the item editor's icon fields
    // Forgets what was learnt of a phone that went away.
    void forgetPhone()
    {
        freeBytes.clear();
        volumes.clear();
        files.clear();
    }
};

// Runs the listing of `mode` (icons, all files, or by mask; mostly state.mode) into state.files and asks each
// volume listed for its free space. A listing stopped from its window ends Cancelled and
// keeps the volumes listed before it.
Status listPhoneFiles(PhoneContext& phone, BrowserState& state, ListingMode mode);

// One entry of the mask dialog's volume list.
struct MaskVolume {
    char letter = 0;
    bool checked = true;
};

// Opening the mask dialog: with known phone volumes the stored letters become all of them and
// the list holds one checked entry per letter; without, the list stays as `shown` was.
std::vector<MaskVolume> openMaskVolumes(const std::vector<char>& phoneVolumes, BrowserState& state,
                                        const std::vector<MaskVolume>& shown);
// The extension as the dialog's field shows it: without its leading dot.
std::string maskExtensionText(const BrowserState& state);
// OK in the mask dialog: the checked letters in list order, "." + `text` (or empty) as the
// extension, and the masked mode.
void applyMask(BrowserState& state, const std::vector<MaskVolume>& volumes, const std::string& text);

// The answers of the delete confirmation dialog.
enum class DeleteAnswer { Yes, YesToAll, Skip, Cancel };

// One row of the file list.
struct FileRow {
    std::string name;
    std::string size;        // decimal, empty when no list entry matches
    std::string attributes;  // "[RHS]" style
};

class FileBrowserModel {
public:
    FileBrowserModel(PhoneContext& phone, BrowserState& state);

    // Clears the tree and adds every path of the phone file list in list order.
    void buildTree();
    const FolderTree& tree() const { return tree_; }
    const FolderNode& root() const { return tree_.root(); }
    // The folder reached by the components of `folderPath` ("/a/mobile"); null when absent.
    const FolderNode* findFolder(const std::string& folderPath) const { return tree_.find(folderPath); }
    // "/" + the names from below the root down to `node`; empty for the root.
    static std::string folderPath(const FolderNode& node) { return FolderTree::pathOf(node); }

    // Opening the window: no current folder, "Use path" off, confirmations on.
    void open();
    // Selects a folder and fills the rows; the root (or null) leaves no folder selected and no
    // rows. The icon path is cleared.
    void selectFolder(const FolderNode* node);
    const FolderNode* selectedFolder() const { return selected_; }
    // A folder other than the root is selected.
    bool hasFolder() const { return selected_ != nullptr; }
    const std::vector<FileRow>& rows() const { return rows_; }
    // The selected folder's path + "/", or what "Use path" last made current.
    const std::string& currentFolderPath() const { return currentFolder_; }

    // The selected rows, in list order (indices into rows()).
    void setSelection(std::vector<int> rows);
    const std::vector<int>& selection() const { return selection_; }
    void selectAll();
    // A click in the list: the icon path becomes the first selected file's phone path.
    void clickFile();
    const std::string& iconPath() const { return iconPath_; }
    // The phone path of row `row` of the selected folder.
    std::string filePath(int row) const;

    // "Use path": on, the field takes the current folder path; off, it is emptied.
    void setUsePath(bool on);
    bool usePath() const { return usePath_; }
    const std::string& usePathText() const { return usePathText_; }
    void setUsePathText(const std::string& text) { usePathText_ = text; }

    // The upload target ending in "/", or nothing after "Target directory not specified".
    Result<std::string> uploadTarget();
    // Uploads `localFiles` in order (uploadFiles: the target folder listed once for all of
    // them): one file with its own progress window, several in one double window made by
    // `openBatch`. A file the phone file list already holds is written over only after the
    // question "File PATH already exists\r\nOverwrite it?" (caption "Confirmation"; Yes/No for
    // one file, Yes / Yes to all / No / Cancel for several, all asked before the first
    // transfer), and keeps its one entry and row. Stops at the first failure, returned; files
    // written stay in the list and tree, and the entry of the file that failed is looked up
    // again, so that it shows what the phone holds now.
    Status upload(const std::vector<std::string>& localFiles,
                const std::function<std::unique_ptr<BatchProgress>()>& openBatch);

    // Downloads the one selected file to `localPath`. After a failure the phone caused, the
    // file's entry is looked up again (gone from the phone: gone from the list).
    Status downloadOne(const std::string& localPath);
    // Downloads the selected files into `folder`, remembered as the last download folder when
    // all of them arrived. Local files that are already there are replaced only after the
    // same question as for uploads.
    Status downloadSelected(const std::string& folder,
                          const std::function<std::unique_ptr<BatchProgress>()>& openBatch);
    // The sum of the selected files' listed sizes.
    uint64_t selectedSize() const;

    // Deletes the selected files, asking first while confirmations are on: with one file a
    // Yes/No question, with several `askMany` (the delete confirmation dialog, given
    // "Delete " + name + "?"). Stops at the first deletion that fails.
    Status deleteSelected(const std::function<DeleteAnswer(const std::string& text)>& askMany);

    // The attribute dialog's preset: the one selected file's bits, 0 for several.
    int attributePreset() const;
    // Sets `bits` on each selected file; stops at the first failure.
    Status applyAttributes(int bits);

    // Creates folder path + "/" + `name` on the phone, adds the node and selects it.
    Status createFolder(const std::string& name);
    // Deletes the selected folder with all it holds, after the question "Delete folder PATH
    // with its N files and M folders?" (caption "Warning"), which counts what the browser
    // knows of the folder together with what the phone lists below it. Deletes depth first:
    // each subfolder's contents and the subfolder, then the folder's files, the folder last.
    // The first request the phone refuses ends it, returned with what was deleted and what is
    // left; the tree, the rows and the file list lose what went. Cancelled when the user said
    // No; Refused for a volume.
    Status deleteFolder();

private:
    void fillRows();
    FileRow rowFor(const std::string& name) const;
    FolderNode* mutableSelected();
    // Adds what the phone lists below `path` and the browser did not know to the file list
    // and the tree. Fails only when the phone is gone.
    Status learnFolderContents(const std::string& path);
    // Looks `phonePath` up on the phone and makes its list entry (and row) what the phone
    // holds; nothing when the phone no longer answers.
    void refreshEntry(const std::string& phonePath);
    // Takes a deleted file or folder out of the tree and the file list.
    void forgetDeleted(const std::string& path, bool folder);
    int entryIndex(const std::string& path) const;
    // Downloads a phone file, with its listed size and attributes when the list holds it.
    Status download(const std::string& phonePath, const std::string& localPath, BatchProgress* batch);
    bool confirmedDelete(const std::string& name, bool several, bool& askAgain,
                         const std::function<DeleteAnswer(const std::string&)>& askMany,
                         bool& stop);

    PhoneContext& phone_;
    BrowserState& state_;
    FolderTree tree_;
    const FolderNode* selected_ = nullptr;
    std::vector<FileRow> rows_;
    std::vector<int> selection_;
    std::string currentFolder_;
    std::string iconPath_;
    std::string usePathText_;
    bool usePath_ = false;
    bool confirmDeletions_ = true;
};

} // namespace tessaro
