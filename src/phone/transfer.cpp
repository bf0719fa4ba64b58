#include "phone/transfer.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "core/file_error.h"
#include "core/progress.h"
#include "core/replacing_file.h"
#include "core/text_encoding.h"
#include "core/translatable.h"
#include "p2k/fsac_channel.h"
#include "p2k/phone_file_transfer.h"
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
    auto created = ReplacingFile::create(localPath);
    if (!created)
        return fileError(FileStep::Create, localPath).withCaption(kErrorCaption);
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
        if (!local.write(*block)) {
            outcome = fileError(FileStep::Write, localPath).withCaption(kErrorCaption);
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

    if (outcome && !local.commit())
        outcome = fileError(FileStep::Write, localPath).withCaption(kErrorCaption);
    local.discard();
    (void)remote.close();
    if (outcome.cancelled())
        remote.logDownloadCancelled();
    return outcome;
}

// Sends the local file to the phone through `remote`: open with `attributes`, the blocks,
// close. No seek: a fresh open starts at the beginning of the file.
Status upload(const std::string& localPath, PhoneFileTransfer& remote, uint32_t attributes, TransferProgress& progress,
              bool cancellable)
{
    BatchProgress* batch = progress.batch();
    LocalFile local(std::fopen(localPath.c_str(), "rb"));
    std::error_code ec;
    const auto fileSize = local ? std::filesystem::file_size(localPath, ec) : 0;
    if (!local || ec)
        return fileError(FileStep::Open, localPath).withCaption(kErrorCaption);
    if (fileSize > uintmax_t(INT_MAX))
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "File too large: ") + localPath);
    const int size = int(fileSize);
    const std::string name = fileName(localPath);
    const auto label = [&](int percent) {
        std::string text = TRANSLATABLE("Core", "Uploading ") + name + " " + percentText(percent);
        if (batch)
            text += TRANSLATABLE("Core", " (Total ") + percentText(percentOf(batch->bytesDone, batch->batchTotal))
                + ")";
        return text;
    };
    if (const Status opened = remote.open(attributes); !opened)
        return opened;

    Progress& window = progress.window();
    showCaption(window, label(0));
    uint8_t block[FsacChannel::kBlockSize];
    int sent = 0;
    Status outcome;
    while (sent < size) {
        const int count = std::min(FsacChannel::kBlockSize, size - sent);
        if (std::fread(block, 1, size_t(count), local.get()) != size_t(count)) {
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
    local.reset();
    const Status closed = remote.close();
    // The phone may keep the last data until the close: a failed close is a failed upload.
    if (outcome && !closed)
        outcome = closed;
    return outcome;
}

// Writes the local file as `phonePath`. An existing phone file is deleted first: opening it
// would only change its attributes, and what a phone does with the old tail of a longer file
// is not known.
Status replaceOnPhone(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                      bool exists, uint32_t attributes, TransferProgress& progress, bool cancellable)
{
    const std::string writeError = TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath);
    if (!FsacChannel::fits(phonePath.size()))
        return Error(ErrorKind::Refused, writeError);
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(progress.batch()), writeError);
    if (exists)
        if (const Status removed = remote.deleteFile(); !removed)
            return removed;
    return upload(localPath, remote, attributes, progress, cancellable);
}

} // namespace

std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath)
{
    std::string relative = phonePath.substr(0, phonePath.rfind('/') + 1);
    relative.erase(0, relative.find_first_not_of('/'));
    return phone.dataFolder + "Backups/" + relative;
}

namespace {

// A name for a new backup of `phonePath` that no file has yet.
std::string newBackupPath(const PhoneContext& phone, const std::string& phonePath)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = backupFolderFor(phone, phonePath) + fileName(phonePath) + "." + stamp;
    std::string path = base;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(path, ec); ++n)
        path = base + "-" + std::to_string(n);
    return path;
}

} // namespace

namespace {

// The phone's entry of `phonePath`, or nothing when its folder lists no such file.
Result<std::optional<PhoneFileEntry>> lookUp(PhoneContext& phone, const std::string& phonePath)
{
    const std::string readError = TRANSLATABLE("Core", "Error reading ") + latin1ToUtf8(phonePath);
    const size_t slash = phonePath.rfind('/');
    if (slash == std::string::npos || slash + 1 == phonePath.size())
        return Error(ErrorKind::Refused, readError);
    return phone.client.findFile(phonePath);
}

} // namespace

Result<PhoneFileEntry> findPhoneFile(PhoneContext& phone, const std::string& phonePath)
{
    auto found = lookUp(phone, phonePath);
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

Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress* batch, std::string* backupMade)
{
    if (backupMade)
        backupMade->clear();
    // P2K has no rename: the phone's file is overwritten in place, so its old content is kept
    // here first, for a stop from the progress window and for the user after a failure.
    std::string backup;
    uint32_t oldAttributes = 0;
    const auto existing = lookUp(phone, phonePath);
    if (!existing)
        return Error(existing.failure().kind, TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath));
    if (*existing) {
        backup = newBackupPath(phone, phonePath);
        oldAttributes = (*existing)->attributes;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(backup).parent_path(), ec);
        TransferProgress own(phone, nullptr);
        const Status kept =
            download(phone, **existing, backup, own, TRANSLATABLE("Core", "Keeping a copy of ") + fileName(phonePath));
        if (!kept)
            return kept;
        if (backupMade)
            *backupMade = backup;
    }

    TransferProgress progress(phone, batch);
    const Status sent = replaceOnPhone(phone, localPath, phonePath, !backup.empty(), 0, progress, true);
    if (sent)
        return sent;
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(batch),
                             TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath));
    if (sent.cancelled() && backup.empty()) {
        // Stopped by the user: a part of a new file would look whole by its name.
        (void)remote.deleteCancelledUpload();
        return sent;
    }
    if (backup.empty())
        return sent;
    if (sent.cancelled()) {
        // Stopped by the user: the phone gets its old file back.
        remote.logPuttingBack();
        TransferProgress restore(phone, batch);
        if (replaceOnPhone(phone, backup, phonePath, true, oldAttributes, restore, false))
            return sent;
    }
    return Error(sent.failure().kind,
                 TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath)
                     + TRANSLATABLE("Core", ". The phone's previous file is kept in ") + backup);
}

} // namespace tessaro
