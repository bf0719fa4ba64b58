#include "models/file_browser_model.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>

#include "core/progress.h"
#include "core/text_encoding.h"
#include "core/prompter.h"
#include "p2k/file_list_entry.h"
#include "phone/listing.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

std::string fileNameOf(const std::string& localPath)
{
    return std::filesystem::path(localPath).filename().string();
}

// Asked before a transfer replaces a file that is already there: with one file Yes/No, with
// several Yes / Yes to all / No / Cancel.
class OverwriteQuestion {
public:
    enum class Decision { Write, Skip, Stop };

    OverwriteQuestion(Prompter& prompter, bool several) : prompter_(prompter), several_(several) {}

    // `shownPath` is the file as the user knows it (UTF-8).
    Decision ask(const std::string& shownPath)
    {
        if (!askAgain_)
            return Decision::Write;
        const Answer answer = prompter_.ask(MessageIcon::Question, TRANSLATABLE("Core", "Confirmation"),
                                            TRANSLATABLE("Core", "File ") + shownPath
                                                + TRANSLATABLE("Core", " already exists\r\nOverwrite it?"),
                                            several_ ? Buttons::YesAllNoCancel : Buttons::YesNo);
        switch (answer) {
        case Answer::YesToAll:
            askAgain_ = false;
            return Decision::Write;
        case Answer::Yes:
            return Decision::Write;
        case Answer::Cancel:
            return several_ ? Decision::Stop : Decision::Skip;
        default:
            return Decision::Skip;
        }
    }

private:
    Prompter& prompter_;
    bool several_;
    bool askAgain_ = true;
};

// The files of `all` that may be written, after asking for each one `exists` says is there;
// nothing after Cancel.
std::vector<std::string> confirmedFiles(Prompter& prompter, const std::vector<std::string>& all,
                                        const std::function<std::optional<std::string>(const std::string&)>& existing)
{
    OverwriteQuestion question(prompter, all.size() > 1);
    std::vector<std::string> chosen;
    for (const std::string& file : all) {
        const auto shown = existing(file);
        const auto decision = shown ? question.ask(*shown) : OverwriteQuestion::Decision::Write;
        if (decision == OverwriteQuestion::Decision::Stop)
            return {};
        if (decision == OverwriteQuestion::Decision::Write)
            chosen.push_back(file);
    }
    return chosen;
}

// A failure on the phone's side, after which its file may not be what the list says.
bool phoneFailure(const Status& status)
{
    if (status)
        return false;
    const ErrorKind kind = status.failure().kind;
    return kind == ErrorKind::PhoneRefused || kind == ErrorKind::PhoneGone || kind == ErrorKind::NotFound;
}

} // namespace

Status listPhoneFiles(PhoneContext& phone, BrowserState& state, ListingMode mode)
{
    Result<PhoneListing> listed = PhoneListing{};
    switch (mode) {
    case ListingMode::AllFiles:
        listed = listAllFiles(phone, state.volumes);
        break;
    case ListingMode::ByMask:
        listed = listMatchingFiles(phone, state.maskVolumes, state.maskExtension);
        break;
    case ListingMode::IconsOnly:
        listed = listIcons(phone, state.volumes);
        break;
    }
    state.files.clear();
    state.freeBytes.clear();
    if (!listed)
        return listed.failure();
    state.files = std::move(listed->files);
    const std::string volumes = mode == ListingMode::ByMask ? state.maskVolumes
                                                            : std::string(state.volumes.begin(), state.volumes.end());
    for (const char volume : volumes)
        if (const auto free = phone.client.freeSpace(volume))
            state.freeBytes[volume] = *free;
    if (listed->cancelled)
        return Error(ErrorKind::Cancelled, "");
    return Status::success();
}

std::vector<MaskVolume> openMaskVolumes(const std::vector<char>& phoneVolumes, BrowserState& state,
                                        const std::vector<MaskVolume>& shown)
{
    if (phoneVolumes.empty())
        return shown;
    state.maskVolumes.assign(phoneVolumes.begin(), phoneVolumes.end());
    std::vector<MaskVolume> list;
    for (const char letter : phoneVolumes)
        list.push_back({letter, true});
    return list;
}

std::string maskExtensionText(const BrowserState& state)
{
    const std::string& ext = state.maskExtension;
    return (!ext.empty() && ext[0] == '.') ? ext.substr(1) : ext;
}

void applyMask(BrowserState& state, const std::vector<MaskVolume>& volumes, const std::string& text)
{
    state.maskVolumes.clear();
    for (const auto& v : volumes)
        if (v.checked)
            state.maskVolumes.push_back(v.letter);
    state.maskExtension = text.empty() ? std::string() : "." + text;
    state.mode = ListingMode::ByMask;
}

FileBrowserModel::FileBrowserModel(PhoneContext& phone, BrowserState& state)
    : phone_(phone), state_(state)
{
}

void FileBrowserModel::buildTree()
{
    selectFolder(nullptr);
    tree_.build(state_.files, state_.freeBytes);
}

void FileBrowserModel::open()
{
    currentFolder_.clear();
    usePath_ = false;
    usePathText_.clear();
    confirmDeletions_ = true;
}

void FileBrowserModel::selectFolder(const FolderNode* node)
{
    rows_.clear();
    selection_.clear();
    iconPath_.clear();
    if (!node || !node->parent) {
        selected_ = nullptr;
        return;
    }
    selected_ = node;
    fillRows();
    currentFolder_ = folderPath(*node) + "/";
    if (usePath_)
        usePathText_ = currentFolder_;
}

void FileBrowserModel::fillRows()
{
    rows_.clear();
    selection_.clear();
    if (!selected_)
        return;
    for (const auto& name : selected_->files)
        rows_.push_back(rowFor(name));
}

FileRow FileBrowserModel::rowFor(const std::string& name) const
{
    FileRow row{name, {}, attributeLetters(0)};
    const int at = entryIndex(folderPath(*selected_) + "/" + name);
    if (at >= 0) {
        row.size = std::to_string(state_.files[size_t(at)].size);
        row.attributes = attributeLetters(state_.files[size_t(at)].attributes);
    }
    return row;
}

int FileBrowserModel::entryIndex(const std::string& path) const
{
    for (size_t i = 0; i < state_.files.size(); ++i)
        if (state_.files[i].path == path)
            return int(i);
    return -1;
}

FolderNode* FileBrowserModel::mutableSelected()
{
    return selected_ ? &tree_.edit(*selected_) : nullptr;
}

void FileBrowserModel::setSelection(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int r) { return r < 0 || r >= int(rows_.size()); }),
               rows.end());
    selection_ = std::move(rows);
}

void FileBrowserModel::selectAll()
{
    selection_.clear();
    for (int i = 0; i < int(rows_.size()); ++i)
        selection_.push_back(i);
}

void FileBrowserModel::clickFile()
{
    if (!selection_.empty())
        iconPath_ = filePath(selection_.front());
}

std::string FileBrowserModel::filePath(int row) const
{
    if (!selected_ || row < 0 || row >= int(rows_.size()))
        return {};
    return folderPath(*selected_) + "/" + rows_[size_t(row)].name;
}

void FileBrowserModel::setUsePath(bool on)
{
    usePath_ = on;
    usePathText_ = on ? currentFolder_ : std::string();
}

Result<std::string> FileBrowserModel::uploadTarget()
{
    std::string target;
    if (selected_ && !usePath_) {
        target = folderPath(*selected_);
    } else {
        if (!usePath_ || usePathText_.empty())
            return Error(ErrorKind::Refused, TRANSLATABLE("Core", "Target directory not specified"));
        target = usePathText_;
        currentFolder_ = target;
    }
    if (target.empty() || target.back() != '/')
        target += '/';
    return target;
}

Status FileBrowserModel::upload(const std::vector<std::string>& localFiles,
                                const std::function<std::unique_ptr<BatchProgress>()>& openBatch)
{
    if (localFiles.empty())
        return Status::success();
    const auto target = uploadTarget();
    if (!target)
        return target.failure();
    // Phone paths hold one byte per character; local names are UTF-8.
    const auto phonePathOf = [&](const std::string& file) { return *target + utf8ToLatin1(fileNameOf(file)); };
    // The phone file list says what is already on the phone.
    const std::vector<std::string> files =
        confirmedFiles(phone_.prompter, localFiles, [&](const std::string& file) -> std::optional<std::string> {
            const std::string phonePath = phonePathOf(file);
            if (entryIndex(phonePath) < 0)
                return std::nullopt;
            return latin1ToUtf8(phonePath);
        });
    if (files.empty())
        return Status::success();
    uint64_t total = 0;
    for (const auto& file : files) {
        std::error_code error;
        const auto size = std::filesystem::file_size(file, error);
        if (error)
            return Error(ErrorKind::Io, error.message());
        total += size;
    }
    std::unique_ptr<BatchProgress> batch;
    if (files.size() > 1) {
        batch = openBatch();
        batch->batchTotal = uint32_t(std::min<uint64_t>(total, UINT32_MAX));
    }
    std::vector<UploadItem> items;
    for (const auto& file : files)
        items.push_back({file, phonePathOf(file)});
    // Each target folder is listed once for the whole batch, not once per file.
    std::vector<UploadResult> results;
    const Status outcome = uploadFiles(phone_, items, batch.get(), &results);
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& phonePath = items[i].phonePath;
        if (!results[i].tried)
            continue;
        if (!results[i].status) {
            if (phoneFailure(results[i].status))
                refreshEntry(phonePath);
            continue;
        }
        std::error_code ec;
        const auto written = std::filesystem::file_size(items[i].localPath, ec);
        // A file written over keeps its one row, with the new size and the bits it was
        // written with.
        if (const int at = entryIndex(phonePath); at >= 0) {
            state_.files[size_t(at)].size = uint32_t(written);
            state_.files[size_t(at)].attributes = 0;
            continue;
        }
        state_.files.push_back(PhoneFileEntry{uint32_t(written), 0, 0, phonePath});
        tree_.addFile(phonePath);
    }
    // New nodes may have moved in the sorted tree, but nodes never move in memory.
    if (selected_)
        fillRows();
    return outcome;
}

void FileBrowserModel::refreshEntry(const std::string& phonePath)
{
    // What a failed transfer left on the phone, or put back, is what the list shows; a phone
    // that no longer answers leaves the list as it was.
    if (!phone_.link.connected)
        return;
    const auto found = phone_.client.findFile(phonePath);
    if (!found)
        return;
    const int at = entryIndex(phonePath);
    if (*found && at >= 0) {
        state_.files[size_t(at)] = **found;
    } else if (*found) {
        state_.files.push_back(**found);
        tree_.addFile(phonePath);
    } else if (at >= 0) {
        forgetDeleted(phonePath, false);
    }
}

uint64_t FileBrowserModel::selectedSize() const
{
    uint64_t total = 0;
    for (const int row : selection_) {
        const int at = entryIndex(filePath(row));
        if (at >= 0)
            total += state_.files[size_t(at)].size;
    }
    return total;
}

Status FileBrowserModel::download(const std::string& phonePath, const std::string& localPath, BatchProgress* batch)
{
    // The listing gave the file's size and attributes; a file it does not hold is looked up.
    const std::string label = TRANSLATABLE("Core", "Downloading ") + fileNameOf(localPath);
    const int at = entryIndex(phonePath);
    if (at < 0)
        return downloadFile(phone_, phonePath, localPath, label);
    if (batch)
        return downloadFile(phone_, state_.files[size_t(at)], localPath, *batch);
    return downloadFile(phone_, state_.files[size_t(at)], localPath, label);
}

Status FileBrowserModel::downloadOne(const std::string& localPath)
{
    if (!selected_ || selection_.empty())
        return Status::success();
    const std::string phonePath = filePath(selection_.front());
    const Status read = download(phonePath, localPath, nullptr);
    if (phoneFailure(read)) {
        refreshEntry(phonePath);
        fillRows();
    }
    return read;
}

Status FileBrowserModel::downloadSelected(const std::string& folder,
                                          const std::function<std::unique_ptr<BatchProgress>()>& openBatch)
{
    if (!selected_ || selection_.empty())
        return Status::success();
    const auto localOf = [&](const std::string& name) {
        return (std::filesystem::path(folder) / latin1ToUtf8(name)).string();
    };
    std::vector<std::string> names;
    for (const int row : selection_)
        names.push_back(rows_[size_t(row)].name);
    names = confirmedFiles(phone_.prompter, names, [&](const std::string& name) -> std::optional<std::string> {
        std::error_code ec;
        const std::string local = localOf(name);
        if (!std::filesystem::exists(local, ec))
            return std::nullopt;
        return local;
    });
    if (names.empty())
        return Status::success();
    const std::string folderPathText = folderPath(*selected_);
    uint64_t total = 0;
    for (const std::string& name : names) {
        const int at = entryIndex(folderPathText + "/" + name);
        if (at >= 0)
            total += state_.files[size_t(at)].size;
    }
    auto batch = openBatch();
    batch->batchTotal = uint32_t(std::min<uint64_t>(total, UINT32_MAX));
    for (const std::string& name : names) {
        const std::string phonePath = folderPathText + "/" + name;
        const std::string local = localOf(name);
        const Status read = download(phonePath, local, batch.get());
        if (!read) {
            if (phoneFailure(read)) {
                refreshEntry(phonePath);
                fillRows();
            }
            return read;
        }
    }
    state_.lastDownloadFolder = folder;
    return Status::success();
}

bool FileBrowserModel::confirmedDelete(const std::string& name, bool several, bool& askAgain,
                                       const std::function<DeleteAnswer(const std::string&)>& askMany,
                                       bool& stop)
{
    const std::string text = TRANSLATABLE("Core", "Delete ") + latin1ToUtf8(name) + "?";
    if (!confirmDeletions_ || !askAgain)
        return true;
    if (!several)
        return phone_.prompter.ask(MessageIcon::Question, TRANSLATABLE("Core", "Confirmation"),
                                   text, Buttons::YesNo)
               == Answer::Yes;
    switch (askMany(text)) {
    case DeleteAnswer::Cancel:
        stop = true;
        return false;
    case DeleteAnswer::YesToAll:
        askAgain = false;
        return true;
    case DeleteAnswer::Skip:
        return false;
    case DeleteAnswer::Yes:
        break;
    }
    return true;
}

Status FileBrowserModel::deleteSelected(const std::function<DeleteAnswer(const std::string& text)>& askMany)
{
    if (!selected_ || selection_.empty())
        return Status::success();
    FolderNode* folder = mutableSelected();
    // Names, not row numbers: rows go away as their files are deleted.
    std::vector<std::string> names;
    for (const int row : selection_)
        names.push_back(rows_[size_t(row)].name);
    const bool several = names.size() > 1;
    bool askAgain = true;
    for (const auto& name : names) {
        bool stop = false;
        // The single-file question depends on how many were selected, not on how many remain.
        const bool yes = confirmedDelete(name, several, askAgain, askMany, stop);
        if (stop)
            break;
        if (!yes)
            continue;
        const std::string phonePath = folderPath(*folder) + "/" + name;
        if (const Status deleted = phone_.client.deleteFile(phonePath); !deleted)
            return deleted;
        auto& files = folder->files;
        const auto at = std::find(files.begin(), files.end(), name);
        if (at != files.end()) {
            const int row = int(at - files.begin());
            files.erase(at);
            rows_.erase(rows_.begin() + row);
            std::vector<int> moved;
            for (const int s : selection_)
                if (s != row)
                    moved.push_back(s > row ? s - 1 : s);
            selection_ = std::move(moved);
        }
        const int entry = entryIndex(phonePath);
        if (entry >= 0)
            state_.files.erase(state_.files.begin() + entry);
        if (iconPath_ == phonePath)
            iconPath_.clear();
    }
    return Status::success();
}

int FileBrowserModel::attributePreset() const
{
    if (selection_.size() != 1)
        return 0;
    const int at = entryIndex(filePath(selection_.front()));
    return at >= 0 ? state_.files[size_t(at)].attributes & 7 : 0;
}

Status FileBrowserModel::applyAttributes(int bits)
{
    if (!selected_)
        return Status::success();
    for (const int row : selection_) {
        const std::string phonePath = filePath(row);
        const Status changed = phone_.client.setAttributes(phonePath, bits);
        if (!changed)
            return changed;
        // The list keeps the new bits, so the cell stays right when the folder is shown again.
        const int at = entryIndex(phonePath);
        if (at >= 0)
            state_.files[size_t(at)].attributes = uint16_t(bits);
        rows_[size_t(row)].attributes = attributeLetters(bits);
    }
    return Status::success();
}

Status FileBrowserModel::createFolder(const std::string& name)
{
    if (!selected_)
        return Error(ErrorKind::Cancelled, "");
    const std::string path = folderPath(*selected_) + "/" + name;
    if (const Status created = phone_.client.createFolder(path); !created)
        return created;
    selectFolder(&tree_.addFolder(path));
    return Status::success();
}

namespace {

// "3 files and 2 folders", in pieces the windows translate one by one, ending in "?" for the
// question and in "." for the report.
std::string filesAndFolders(size_t files, size_t folders, bool question)
{
    std::string text = std::to_string(files)
                       + (files == 1 ? TRANSLATABLE("Core", " file and ") : TRANSLATABLE("Core", " files and "))
                       + std::to_string(folders);
    if (question)
        return text + (folders == 1 ? TRANSLATABLE("Core", " folder?") : TRANSLATABLE("Core", " folders?"));
    return text + (folders == 1 ? TRANSLATABLE("Core", " folder.") : TRANSLATABLE("Core", " folders."));
}

// One request of a folder's deletion.
struct DeletionStep {
    std::string path;
    bool folder = false;
};

// Depth first: each subfolder with all it holds, then the folder's own files, the folder last.
void deletionSteps(const FolderNode& node, std::vector<DeletionStep>& steps)
{
    for (const auto& child : node.children)
        deletionSteps(*child, steps);
    const std::string path = FolderTree::pathOf(node);
    for (const auto& file : node.files)
        steps.push_back({path + "/" + file, false});
    steps.push_back({path, true});
}

} // namespace

Status FileBrowserModel::learnFolderContents(const std::string& path)
{
    // The listing shown may hold icons only, and the phone deletes no folder that still holds
    // anything: what else lies below is asked for. A phone that will not count the folder
    // leaves what the browser knows.
    const auto counted = phone_.client.countFiles(path + "/*", ListingLog::FolderCheck);
    if (!counted)
        return counted.failure().kind == ErrorKind::PhoneGone ? Status(counted.failure()) : Status::success();
    if (counted->files == 0)
        return Status::success();
    const auto listed = phone_.client.listFiles(*counted, ListingLog::FolderCheck, {});
    if (!listed)
        return listed.failure().kind == ErrorKind::PhoneGone ? Status(listed.failure()) : Status::success();
    for (const PhoneFileEntry& entry : *listed) {
        if (entry.path.rfind(path + "/", 0) != 0 || entryIndex(entry.path) >= 0)
            continue;
        state_.files.push_back(entry);
        tree_.addFile(entry.path);
    }
    return Status::success();
}

void FileBrowserModel::forgetDeleted(const std::string& path, bool folder)
{
    if (folder) {
        const FolderNode* node = tree_.find(path);
        if (!node)
            return;
        if (node == selected_)
            selectFolder(nullptr);
        tree_.remove(*node);
        return;
    }
    const size_t slash = path.rfind('/');
    if (const FolderNode* parent = tree_.find(path.substr(0, slash))) {
        auto& files = tree_.edit(*parent).files;
        files.erase(std::remove(files.begin(), files.end(), path.substr(slash + 1)), files.end());
    }
    if (const int entry = entryIndex(path); entry >= 0)
        state_.files.erase(state_.files.begin() + entry);
    if (iconPath_ == path)
        iconPath_.clear();
}

Status FileBrowserModel::deleteFolder()
{
    if (!selected_)
        return Status::success();
    const std::string path = folderPath(*selected_);
    // The phone keeps its volumes; walking one would only empty it before the refusal.
    if (!selected_->parent || !selected_->parent->parent)
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "A volume of the phone cannot be deleted: ") + path);
    if (const Status learnt = learnFolderContents(path); !learnt)
        return learnt;
    std::vector<DeletionStep> steps;
    deletionSteps(*selected_, steps);
    const size_t files = size_t(std::count_if(steps.begin(), steps.end(), [](const auto& s) { return !s.folder; }));
    const size_t folders = steps.size() - files;
    if (phone_.prompter.ask(MessageIcon::Warning, TRANSLATABLE("Core", "Warning"),
                            TRANSLATABLE("Core", "Delete folder ") + latin1ToUtf8(path)
                                + TRANSLATABLE("Core", " with its ") + filesAndFolders(files, folders - 1, true),
                            Buttons::YesNo)
        != Answer::Yes)
        return Error(ErrorKind::Cancelled, "");
    size_t filesDeleted = 0;
    size_t foldersDeleted = 0;
    for (const DeletionStep& step : steps) {
        const Status deleted =
            step.folder ? phone_.client.deleteFolder(step.path) : phone_.client.deleteFile(step.path);
        if (!deleted) {
            if (selected_)
                fillRows();
            return Error(deleted.failure().kind,
                         deleted.error() + "\r\n" + TRANSLATABLE("Core", "Deleted: ")
                             + filesAndFolders(filesDeleted, foldersDeleted, false) + "\r\n"
                             + TRANSLATABLE("Core", "Left on the phone: ")
                             + filesAndFolders(files - filesDeleted, folders - foldersDeleted, false));
        }
        forgetDeleted(step.path, step.folder);
        ++(step.folder ? foldersDeleted : filesDeleted);
    }
    return Status::success();
}

} // namespace tessaro
