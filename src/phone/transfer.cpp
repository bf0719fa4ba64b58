#include "phone/transfer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_error.h"
#include "core/progress.h"
#include "core/replacing_file.h"
#include "core/text_encoding.h"
#include "core/translatable.h"
#include "p2k/fsac_channel.h"
#include "p2k/phone_file_transfer.h"
#include "phone/interrupted_uploads.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using LocalFile = std::unique_ptr<std::FILE, FileCloser>;

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

std::string percentText(int percent)
{
    return std::to_string(percent) + "%";
}

// A caption is redrawn only when its text changes.
void showCaption(Progress& window, const std::string& text)
{
    if (window.caption() != text)
        window.setCaption(text);
}

// x / y as a percentage while x is below y, else 100.
int cappedPercent(uint64_t x, int64_t y)
{
    return int64_t(x) < y ? percentOf(x, uint64_t(y)) : 100;
}

TransferKind downloadKind(const BatchProgress* batch)
{
    return batch ? TransferKind::BatchDownload : TransferKind::Download;
}

TransferKind uploadKind(const BatchProgress* batch)
{
    return batch ? TransferKind::BatchUpload : TransferKind::Upload;
}

Error cancelledError()
{
    return Error(ErrorKind::Cancelled, TRANSLATABLE("Core", "Cancelled"));
}

// The progress of one transfer: its own window, or the caller's double window.
class TransferProgress {
public:
    TransferProgress(PhoneContext& phone, BatchProgress* batch) : batch_(batch)
    {
        if (!batch_)
            single_ = phone.progress.openSingle();
    }
    Progress& window() { return batch_ ? static_cast<Progress&>(*batch_) : *single_; }
    BatchProgress* batch() { return batch_; }

private:
    BatchProgress* batch_;
    std::unique_ptr<Progress> single_;
};

// `label` leads the caption of the transfer's own window.
Status download(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                TransferProgress& progress, const std::string& label)
{
    BatchProgress* batch = progress.batch();
    const std::string& phonePath = file.path;
    const std::string readError = TRANSLATABLE("Core", "Error reading ") + latin1ToUtf8(phonePath);
    if (!FsacChannel::fits(phonePath.size()))
        return Error(ErrorKind::Refused, readError);
    // The data goes into a new file beside the target, which replaces the target only once
    // the whole file has arrived: a failed or cut short read leaves the local file as it was.
    int createError = 0;
    auto created = ReplacingFile::create(localPath, &createError);
    if (!created) {
        if (created.failure().kind == ErrorKind::ReadOnly)
            return created.failure().withCaption(kErrorCaption);
        return (createError == EINVAL ? fileError(FileStep::Create, localPath, kNotRegularReason)
                                      : fileError(FileStep::Create, localPath, createError))
            .withCaption(kErrorCaption);
    }
    ReplacingFile& local = created.value();

    PhoneFileTransfer remote(phone.client, phonePath, downloadKind(batch), readError);
    // Opening sets the attribute bits: the file's own keep them as they are.
    if (const Status opened = remote.open(file.attributes); !opened)
        return opened;
    if (const Status sought = remote.seekToStart(); !sought) {
        (void)remote.close();
        return sought;
    }

    const std::string name = fileName(localPath);
    Progress& window = progress.window();
    if (batch) {
        showCaption(*batch, "Downloading " + name + " 0% (Total "
                                + percentText(percentOf(batch->bytesDone, batch->batchTotal)) + ")");
        batch->setBar(0, 0);
    } else {
        window.setCaption(label + " 0%");
    }

    const uint32_t size = file.size;
    uint32_t stored = 0;
    Status outcome;
    while (stored < size) {
        const int wanted = int(std::min<uint32_t>(FsacChannel::kBlockSize, size - stored));
        const auto block = remote.read(wanted);
        if (!block) {
            outcome = block.failure();
            break;
        }
        const int delivered = int(block->size());
        if (Status written = local.write(*block); !written) {
            outcome = written.failure().withCaption(kErrorCaption);
            break;
        }
        stored += uint32_t(delivered);
        const int filePercent = cappedPercent(stored, size);
        if (batch) {
            batch->bytesDone += uint32_t(delivered);
            const int total = cappedPercent(batch->bytesDone, batch->batchTotal);
            showCaption(*batch, "Downloading " + name + " " + percentText(filePercent) + " (Total "
                                    + percentText(total) + ")");
            batch->setBar(0, filePercent);
            batch->setBar(1, total);
        } else {
            showCaption(window, label + " " + percentText(filePercent));
            window.setBar(0, filePercent);
        }
        if (window.cancelled() && stored < size) {
            outcome = cancelledError();
            break;
        }
    }

    if (outcome)
        if (Status committed = local.commit(); !committed)
            outcome = committed.failure().withCaption(kErrorCaption);
    local.discard();
    const Status closed = remote.close();
    if (outcome.cancelled())
        remote.logDownloadCancelled();
    // The local copy is whole by now and stays; but a phone that keeps the file open may
    // refuse to open another until it restarts, which the user has to know.
    if (outcome && !closed)
        return Error(closed.failure().kind,
                     TRANSLATABLE("Core", "The copy of ") + latin1ToUtf8(phonePath) + TRANSLATABLE("Core", " in ")
                         + localPath
                         + TRANSLATABLE("Core", " is complete, but the phone refused to close the file: it may hold "
                                                "the file open until it is restarted"))
            .withCaption(kErrorCaption);
    return outcome;
}

// A local file to upload: a regular file, opened without waiting (a pipe would block a plain
// open until a writer came).
Result<LocalFile> openLocalFile(const std::string& localPath)
{
    const int fd = ::open(localPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fileError(FileStep::Open, localPath, errno).withCaption(kErrorCaption);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        return fileError(FileStep::Open, localPath, folder ? kFolderReason : kNotRegularReason)
            .withCaption(kErrorCaption);
    }
    if (uintmax_t(info.st_size) > uintmax_t(INT_MAX)) {
        ::close(fd);
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "File too large: ") + localPath);
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        return fileError(FileStep::Open, localPath, error).withCaption(kErrorCaption);
    }
    return LocalFile(file);
}

// Sends the local file to the phone through `remote`: open with `attributes`, the blocks,
// close. No seek: a fresh open starts at the beginning of the file. `opened` tells whether the
// phone opened its file, which from then on is no longer what it was.
Status upload(const std::string& localPath, PhoneFileTransfer& remote, uint32_t attributes, TransferProgress& progress,
              bool cancellable, bool& opened)
{
    opened = false;
    BatchProgress* batch = progress.batch();
    auto local = openLocalFile(localPath);
    if (!local)
        return local.failure();
    struct stat info {};
    if (::fstat(::fileno(local->get()), &info) != 0)
        return fileError(FileStep::Read, localPath, errno).withCaption(kErrorCaption);
    const int size = int(std::min<uintmax_t>(uintmax_t(info.st_size), uintmax_t(INT_MAX)));
    const std::string name = fileName(localPath);
    const auto label = [&](int percent) {
        std::string text = TRANSLATABLE("Core", "Uploading ") + name + " " + percentText(percent);
        if (batch)
            text += TRANSLATABLE("Core", " (Total ") + percentText(percentOf(batch->bytesDone, batch->batchTotal))
                + ")";
        return text;
    };
    if (const Status open = remote.open(attributes); !open)
        return open;
    opened = true;

    Progress& window = progress.window();
    showCaption(window, label(0));
    uint8_t block[FsacChannel::kBlockSize];
    int sent = 0;
    Status outcome;
    while (sent < size) {
        const int count = std::min(FsacChannel::kBlockSize, size - sent);
        if (std::fread(block, 1, size_t(count), local->get()) != size_t(count)) {
            outcome = fileError(FileStep::Read, localPath).withCaption(kErrorCaption);
            break;
        }
        if (const Status written = remote.write({block, size_t(count)}); !written) {
            outcome = written;
            break;
        }
        sent += count;
        if (batch)
            batch->bytesDone += uint32_t(count);
        const int percent = cappedPercent(uint64_t(sent), size);
        window.setBar(0, percent);
        if (batch)
            batch->setBar(1, cappedPercent(batch->bytesDone, batch->batchTotal));
        showCaption(window, label(percent));
        if (cancellable && window.cancelled() && sent < size) {
            outcome = cancelledError();
            break;
        }
    }
    local->reset();
    const Status closed = remote.close();
    // The phone may keep the last data until the close: a failed close is a failed upload.
    if (outcome && !closed)
        outcome = closed;
    return outcome;
}

std::string writeErrorOf(const std::string& phonePath)
{
    return TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath);
}

// The size a local file has now.
Result<uint32_t> localSize(const std::string& localPath)
{
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(localPath, ec);
    if (ec)
        return fileError(FileStep::Read, localPath, ec.value()).withCaption(kErrorCaption);
    return uint32_t(std::min<uintmax_t>(size, UINT32_MAX));
}

// Writes `localPath` as `phonePath` with attribute bits 0, and over an existing file (`over`)
// checks the size in a listing: whether a phone cuts the old file's tail when a shorter one is
// written over it is not known, and only a file the phone kept longer is deleted and written
// again. Then sets `attributes` unless they are 0. How the upload of a file back from its backup
// goes: the phone's file is whole again only when all of it succeeded.
Status writeWhole(PhoneContext& phone, const std::string& localPath, const std::string& phonePath, bool over,
                  uint16_t attributes, BatchProgress* batch)
{
    TransferProgress progress(phone, batch);
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(batch), writeErrorOf(phonePath));
    bool opened = false;
    if (Status sent = upload(localPath, remote, 0, progress, false, opened); !sent)
        return sent;
    if (over) {
        const auto size = localSize(localPath);
        if (!size)
            return size.failure();
        const auto listed = phone.client.findFile(phonePath);
        if (!listed)
            return Error(listed.failure().kind, writeErrorOf(phonePath));
        if (!*listed || (*listed)->size < *size)
            return Error(ErrorKind::PhoneRefused, writeErrorOf(phonePath));
        if ((*listed)->size > *size) {
            if (Status removed = remote.deleteLongerFile(); !removed)
                return removed;
            if (Status sent = upload(localPath, remote, 0, progress, false, opened); !sent)
                return sent;
        }
    }
    if (attributes != 0)
        return phone.client.setAttributes(phonePath, attributes);
    return Status::success();
}

// A path a phone file can have: a folder, then a name.
bool isFilePath(const std::string& phonePath)
{
    const size_t slash = phonePath.rfind('/');
    return slash != std::string::npos && slash + 1 != phonePath.size();
}

// Uploads in one go, as uploadFiles describes: the listings of the folders they go to, each
// asked for once, and the files written over whose sizes are still to be checked.
class UploadRun {
public:
    // `keepCopies` false: the files written over are known to be cut (put back from a backup
    // on record), and no backup of them is made.
    UploadRun(PhoneContext& phone, BatchProgress* batch, bool keepCopies = true)
        : phone_(phone), batch_(batch), keepCopies_(keepCopies), record_(phone.dataFolder)
    {
    }

    // Sends one file, up to its close; the size check of a file written over waits for
    // checkSizes(). Fills `result`, and returns its status.
    Status send(const UploadItem& item, UploadResult& result);
    // Checks the size of each file sent over an existing one, one listing per folder.
    void checkSizes();
    // The file `phonePath` was before the run wrote it, as its folder's listing gave it.
    std::optional<PhoneFileEntry> previous(const std::string& phonePath) const;

private:
    // How far an upload got with the phone's file.
    enum class Left { Untouched, Cut };

    struct Sent {
        UploadItem item;
        PhoneFileEntry previous;
        std::string backup; // made by this run
        UploadResult* result;
    };

    // What the phone has at `phonePath`, from its folder's listing (asked for once); nothing
    // when the phone refuses to count there (a folder it does not have: the file is new).
    Result<std::optional<PhoneFileEntry>> lookUp(const std::string& phonePath);
    // The backup of `file` in a new exclusively named file; the failure says why and that
    // nothing was uploaded.
    Result<std::string> keepBackup(const PhoneFileEntry& file);
    // The failure of an upload that left the phone's file `left`: puts back what the file was,
    // or remembers that it could not. The error to report.
    Status recover(const UploadItem& item, const std::optional<PhoneFileEntry>& previous, const std::string& backup,
                   Status failure, Left left, UploadReport& report);
    Status succeeded(const UploadItem& item, UploadResult& result);
    // Notes the file sent in its folder's listing.
    void written(const UploadItem& item);

    PhoneContext& phone_;
    BatchProgress* batch_;
    bool keepCopies_;
    InterruptedUploads record_;
    std::map<std::string, std::vector<PhoneFileEntry>> listings_;
    std::map<std::string, std::optional<PhoneFileEntry>> replaced_;
    std::vector<Sent> toCheck_;
};

Result<std::optional<PhoneFileEntry>> UploadRun::lookUp(const std::string& phonePath)
{
    const std::string pattern = listingPatternFor(phonePath);
    auto known = listings_.find(pattern);
    if (known == listings_.end()) {
        auto listed = phone_.client.listFolderOf(phonePath);
        if (!listed && listed.failure().kind == ErrorKind::PhoneGone)
            return Error(ErrorKind::PhoneGone, writeErrorOf(phonePath));
        // A phone refuses to count in a folder it does not have: the file is new there, and
        // the upload's own requests tell whether the phone takes it.
        known = listings_.emplace(pattern, listed ? std::move(listed).value() : std::vector<PhoneFileEntry>()).first;
    }
    for (const PhoneFileEntry& entry : known->second)
        if (entry.path == phonePath)
            return std::optional<PhoneFileEntry>(entry);
    return std::optional<PhoneFileEntry>();
}

std::optional<PhoneFileEntry> UploadRun::previous(const std::string& phonePath) const
{
    const auto found = replaced_.find(phonePath);
    return found == replaced_.end() ? std::nullopt : found->second;
}

void UploadRun::written(const UploadItem& item)
{
    // The listing stays true for the files after this one: a path sent twice is written over
    // the second time, and kept first.
    std::vector<PhoneFileEntry>& listing = listings_[listingPatternFor(item.phonePath)];
    const auto size = localSize(item.localPath);
    const PhoneFileEntry entry{size ? *size : 0, 0, 0, item.phonePath};
    const auto at =
        std::find_if(listing.begin(), listing.end(), [&](const PhoneFileEntry& e) { return e.path == item.phonePath; });
    if (at == listing.end())
        listing.push_back(entry);
    else
        *at = entry;
}

Result<std::string> UploadRun::keepBackup(const PhoneFileEntry& file)
{
    const std::string folder = backupFolderFor(phone_, file.path);
    const std::string name = fileName(file.path);
    // Every backup has a new name, so no replace of the same name ever sweeps what a killed
    // copy left here: the folder is swept as a whole.
    removeStaleTemporaries(folder);
    const auto nothingSent = [](const Error& error) {
        return Error(error.kind,
                     error.text + TRANSLATABLE("Core", ". Nothing was uploaded: the phone's file is as it was"),
                     error.caption);
    };
    auto reserved = reserveBackup(folder, name);
    if (!reserved)
        return nothingSent(reserved.failure().withCaption(kErrorCaption));
    const std::string backup = std::move(reserved).value();
    TransferProgress own(phone_, nullptr);
    const Status kept = download(phone_, file, backup, own, TRANSLATABLE("Core", "Keeping a copy of ") + name);
    if (!kept) {
        std::error_code ec;
        if (std::filesystem::file_size(backup, ec) != file.size || ec || file.size == 0)
            std::filesystem::remove(backup, ec);
        return kept.failure().kind == ErrorKind::Io ? nothingSent(kept.failure()) : kept.failure();
    }
    // A backup an interrupted upload still needs stays, however many came after it.
    std::vector<std::string> needed;
    for (const InterruptedUpload& upload : record_.all())
        needed.push_back(upload.backup);
    removeOldBackups(folder, name, needed);
    return backup;
}

Status UploadRun::succeeded(const UploadItem& item, UploadResult& result)
{
    result.status = Status::success();
    // The phone holds a whole new file: a cut one on record is gone.
    (void)record_.forget(phone_.link.imei, item.phonePath);
    return result.status;
}

Status UploadRun::send(const UploadItem& item, UploadResult& result)
{
    result.tried = true;
    UploadReport& report = result.report;
    const std::string& phonePath = item.phonePath;
    const auto fail = [&result](Status failure) {
        result.status = std::move(failure);
        return result.status;
    };
    if (!isFilePath(phonePath) || !FsacChannel::fits(phonePath.size()))
        return fail(Error(ErrorKind::Refused, writeErrorOf(phonePath)));
    // Nothing is asked of the phone for a local file that cannot be sent.
    if (auto local = openLocalFile(item.localPath); !local)
        return fail(local.failure());
    auto found = lookUp(phonePath);
    if (!found)
        return fail(found.failure());
    const std::optional<PhoneFileEntry> existing = *found;
    replaced_.emplace(phonePath, existing);
    // P2K has no rename: the phone's file is overwritten in place, so its old content is kept
    // here first, for a stop from the progress window and for the user after a failure.
    std::string backup;
    if (existing && keepCopies_) {
        auto kept = keepBackup(*existing);
        if (!kept)
            return fail(kept.failure());
        backup = std::move(kept).value();
    }
    report.backup = backup;

    TransferProgress progress(phone_, batch_);
    PhoneFileTransfer remote(phone_.client, phonePath, uploadKind(batch_), writeErrorOf(phonePath));
    bool opened = false;
    const Status sent = upload(item.localPath, remote, 0, progress, true, opened);
    if (!sent)
        return fail(recover(item, existing, backup, sent, opened ? Left::Cut : Left::Untouched, report));
    written(item);
    if (!existing)
        return succeeded(item, result);
    toCheck_.push_back({item, *existing, backup, &result});
    return Status::success();
}

void UploadRun::checkSizes()
{
    // Each folder's listing once, after all its files were sent.
    std::map<std::string, Result<std::vector<PhoneFileEntry>>> listed;
    for (auto sent = toCheck_.begin(); sent != toCheck_.end(); ++sent) {
        const Sent& file = *sent;
        const std::string& phonePath = file.item.phonePath;
        UploadResult& result = *file.result;
        // A path sent again later holds the later file: that one is checked.
        if (std::any_of(sent + 1, toCheck_.end(), [&](const Sent& later) { return later.item.phonePath == phonePath; }))
            continue;
        const std::string pattern = listingPatternFor(phonePath);
        auto listing = listed.find(pattern);
        if (listing == listed.end())
            listing = listed.emplace(pattern, phone_.client.listFolderOf(phonePath)).first;
        const auto size = localSize(file.item.localPath);
        if (!size) {
            result.status = size.failure();
            continue;
        }
        if (!listing->second) {
            // The file was written and closed; only its size could not be looked at.
            result.status =
                Error(listing->second.failure().kind,
                      writeErrorOf(phonePath) + TRANSLATABLE("Core", ". The phone's previous file is kept in ")
                          + result.report.backup);
            continue;
        }
        std::optional<PhoneFileEntry> now;
        for (const PhoneFileEntry& entry : *listing->second)
            if (entry.path == phonePath)
                now = entry;
        if (now && now->size == *size) {
            (void)succeeded(file.item, result);
            continue;
        }
        Status outcome = Error(ErrorKind::PhoneRefused, writeErrorOf(phonePath));
        if (now && now->size > *size) {
            // The phone kept the old file's tail: it goes, and the file is written anew.
            TransferProgress progress(phone_, batch_);
            PhoneFileTransfer remote(phone_.client, phonePath, uploadKind(batch_), writeErrorOf(phonePath));
            bool opened = false;
            outcome = remote.deleteLongerFile();
            if (outcome)
                outcome = upload(file.item.localPath, remote, 0, progress, false, opened);
            if (outcome) {
                (void)succeeded(file.item, result);
                continue;
            }
        }
        result.status = recover(file.item, file.previous, file.backup, outcome, Left::Cut, result.report);
    }
    toCheck_.clear();
}

Status UploadRun::recover(const UploadItem& item, const std::optional<PhoneFileEntry>& previous,
                          const std::string& backup, Status failure, Left left, UploadReport& report)
{
    const std::string& phonePath = item.phonePath;
    const Error& error = failure.failure();
    PhoneFileTransfer remote(phone_.client, phonePath, uploadKind(batch_), writeErrorOf(phonePath));
    if (!previous) {
        // A part of a new file would look whole by its name.
        if (left == Left::Cut) {
            if (failure.cancelled())
                (void)remote.deleteCancelledUpload();
            else if (phone_.link.connected)
                (void)remote.deleteFailedUpload();
        }
        return failure;
    }
    // A file an earlier upload left cut is whole only in that upload's backup.
    const std::optional<InterruptedUpload> cut = record_.find(phone_.link.imei, phonePath);
    report.backup = cut ? cut->backup : backup;
    const std::string keptIn =
        writeErrorOf(phonePath) + TRANSLATABLE("Core", ". The phone's previous file is kept in ") + report.backup;
    if (left == Left::Untouched)
        return error.kind == ErrorKind::Io ? failure : Error(error.kind, keptIn);
    ErrorKind kind = error.kind;
    if (!backup.empty() && phone_.link.connected) {
        // The phone gets its old file back at once, bits included, while it still answers.
        remote.logPuttingBack(failure.cancelled());
        const Status putBack = writeWhole(phone_, backup, phonePath, true, previous->attributes, batch_);
        if (putBack) {
            report.putBack = true;
            if (failure.cancelled())
                return failure;
            return Error(kind,
                         writeErrorOf(phonePath) + TRANSLATABLE("Core", ". The phone's previous file was put back"));
        }
        if (failure.cancelled())
            kind = putBack.failure().kind;
    } else if (failure.cancelled()) {
        kind = phone_.link.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone;
    }
    // The phone keeps a cut file: its backup is offered back when the phone is connected again.
    report.leftCut = true;
    std::string text = keptIn;
    const Status remembered =
        record_.remember({backupPhoneFolder(phone_.link.imei), phonePath, report.backup, previous->attributes});
    if (!remembered)
        text += TRANSLATABLE("Core", ". It could not be noted for when the phone is connected again: ")
                + remembered.error();
    return Error(kind, text);
}

} // namespace

Result<PhoneFileEntry> findPhoneFile(PhoneContext& phone, const std::string& phonePath)
{
    if (!isFilePath(phonePath))
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "Error reading ") + latin1ToUtf8(phonePath));
    auto found = phone.client.findFile(phonePath);
    if (!found)
        return found.failure();
    if (!*found)
        return Error(ErrorKind::NotFound, latin1ToUtf8(phonePath) + TRANSLATABLE("Core", " is not on the phone"));
    return std::move(**found);
}

Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                    const std::string& label)
{
    TransferProgress progress(phone, nullptr);
    return download(phone, file, localPath, progress, label);
}

Status downloadFile(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath, BatchProgress& batch)
{
    TransferProgress progress(phone, &batch);
    return download(phone, file, localPath, progress, "");
}

Status downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                    const std::string& label)
{
    const auto file = findPhoneFile(phone, phonePath);
    if (!file)
        return file.failure();
    return downloadFile(phone, *file, localPath, label);
}

Status uploadFiles(PhoneContext& phone, const std::vector<UploadItem>& files, BatchProgress* batch,
                   std::vector<UploadResult>* results)
{
    std::vector<UploadResult> own;
    std::vector<UploadResult>& out = results ? *results : own;
    out.assign(files.size(), UploadResult{});
    UploadRun run(phone, batch);
    for (size_t i = 0; i < files.size(); ++i)
        if (!run.send(files[i], out[i]))
            break;
    // Files written before a failure are whole files by now, and are checked as such.
    run.checkSizes();
    for (const UploadResult& result : out)
        if (result.tried && !result.status)
            return result.status;
    return Status::success();
}

Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath, BatchProgress* batch,
                  UploadReport* report)
{
    std::vector<UploadResult> results;
    const Status sent = uploadFiles(phone, {{localPath, phonePath}}, batch, &results);
    if (report)
        *report = results.front().report;
    return sent;
}

Result<std::string> putBackBackup(PhoneContext& phone, const std::string& phonePath)
{
    const std::optional<InterruptedUpload> cut = InterruptedUploads(phone.dataFolder).find(phone.link.imei, phonePath);
    const std::string backup = cut ? cut->backup : newestBackup(backupFolderFor(phone, phonePath), fileName(phonePath));
    std::error_code ec;
    if (backup.empty() || !std::filesystem::is_regular_file(backup, ec))
        return Error(ErrorKind::NotFound, TRANSLATABLE("Core", "No backup of ") + latin1ToUtf8(phonePath)
                                              + TRANSLATABLE("Core", " is kept for this phone"));
    // A file known to be cut is not worth a backup of its own; any other is kept first.
    UploadRun run(phone, nullptr, !cut);
    UploadResult result;
    if (run.send({backup, phonePath}, result))
        run.checkSizes();
    if (!result.status)
        return result.status.failure();
    const std::optional<PhoneFileEntry> replaced = run.previous(phonePath);
    const uint16_t attributes = cut ? cut->attributes : replaced ? replaced->attributes : 0;
    if (attributes != 0)
        if (Status set = phone.client.setAttributes(phonePath, attributes); !set)
            return set.failure();
    return backup;
}

} // namespace tessaro
