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
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
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

// A request the phone did not carry out: gone when the link says so, else refused.
Error phoneFailure(const PhoneContext& phone, std::string text)
{
    return Error(phone.link.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone, std::move(text));
}

Error cancelledError()
{
    return Error(ErrorKind::Cancelled, TRANSLATABLE("Core", "Cancelled"));
}

std::string rc(int value)
{
    return std::to_string(value);
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

Status download(PhoneContext& phone, const PhoneFileEntry& file, const std::string& localPath,
                TransferProgress& progress)
{
    BatchProgress* batch = progress.batch();
    const std::string tag = batch ? "[P2KGroupRead]" : "[P2KFileRead]";
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
    OperationLog& log = phone.log;
    log.writeLine(tag + " Enter " + phonePath);

    FsacChannel channel(phone.api);
    // Opening sets the attribute bits: the file's own keep them as they are.
    int result = channel.open(phonePath, file.attributes);
    log.writeLine(tag + " Send command FSAC (0x0000) RC=" + rc(result));
    if (result == -1)
        return phoneFailure(phone, readError);
    result = channel.seek(0, 0);
    log.writeLine(tag + " Send command FSAC (0x0003) RC=" + rc(result));
    if (result == -1) {
        (void)channel.close();
        return phoneFailure(phone, readError);
    }

    const std::string name = fileName(localPath);
    Progress& window = progress.window();
    if (batch) {
        showCaption(*batch, "Downloading " + name + " 0% (Total "
                                + percentText(percentOf(batch->bytesDone, batch->batchTotal)) + ")");
        batch->setBar(0, 0);
    } else {
        window.setCaption(phone.progressLabel + " 0%");
    }

    const std::string receivedText = batch ? " bytes received" : " bytes received=";
    const uint32_t size = file.size;
    uint32_t stored = 0;
    Status outcome;
    while (stored < size) {
        const int wanted = int(std::min<uint32_t>(FsacChannel::kBlockSize, size - stored));
        int delivered = 0;
        result = channel.read(wanted, &delivered);
        log.writeLine(tag + " Send command FSAC (0x0001) RC=" + rc(result) + receivedText + rc(delivered));
        // A phone that answers with nothing would otherwise be asked for ever.
        if (result == -1 || delivered <= 0) {
            outcome = phoneFailure(phone, readError);
            break;
        }
        if (!local.write({channel.reply(), size_t(delivered)})) {
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
            showCaption(window, phone.progressLabel + " " + percentText(filePercent));
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
    result = channel.close();
    log.writeLine(tag + " Send command FSAC (0x0004) RC=" + rc(result));
    if (outcome.cancelled())
        log.writeLine(tag + " Download cancelled, nothing kept of " + phonePath);
    return outcome;
}

// Sends the local file to the phone: open with `attributes`, the blocks, close. No seek: a
// fresh open starts at the beginning of the file.
Status upload(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
              uint32_t attributes, TransferProgress& progress, bool cancellable)
{
    BatchProgress* batch = progress.batch();
    const std::string tag = batch ? "[P2KGroupWrite]" : "[P2KFileWrite]";
    const std::string writeError = TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath);
    if (!FsacChannel::fits(phonePath.size()))
        return Error(ErrorKind::Refused, writeError);
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
    phone.progressLabel = label(0);
    OperationLog& log = phone.log;
    log.writeLine(tag + " Enter " + phonePath);

    FsacChannel channel(phone.api);
    int result = channel.open(phonePath, attributes);
    log.writeLine(tag + " Send command FSAC (0x0000) RC=" + rc(result));
    if (result == -1)
        return phoneFailure(phone, writeError);

    Progress& window = progress.window();
    showCaption(window, phone.progressLabel);
    uint8_t block[FsacChannel::kBlockSize];
    int sent = 0;
    Status outcome;
    while (sent < size) {
        const int count = std::min(FsacChannel::kBlockSize, size - sent);
        if (std::fread(block, 1, size_t(count), local.get()) != size_t(count)) {
            outcome = fileError(FileStep::Read, localPath).withCaption(kErrorCaption);
            break;
        }
        result = channel.write(block, uint32_t(count));
        log.writeLine(tag + " Send command FSAC (0x0002) RC=" + rc(result) + " bytes sent=" + rc(8 + count));
        if (result == -1) {
            outcome = phoneFailure(phone, writeError);
            break;
        }
        sent += count;
        if (batch)
            batch->bytesDone += uint32_t(count);
        const int percent = cappedPercent(uint64_t(sent), size);
        window.setBar(0, percent);
        if (batch)
            batch->setBar(1, cappedPercent(batch->bytesDone, batch->batchTotal));
        phone.progressLabel = label(percent);
        showCaption(window, phone.progressLabel);
        if (cancellable && window.cancelled() && sent < size) {
            outcome = cancelledError();
            break;
        }
    }
    local.reset();
    result = channel.close();
    log.writeLine(tag + " Send command FSAC (0x0004) RC=" + rc(result));
    // The phone may keep the last data until the close: a failed close is a failed upload.
    if (outcome && result == -1)
        outcome = phoneFailure(phone, writeError);
    return outcome;
}

// Writes the local file as `phonePath`. An existing phone file is deleted first: opening it
// would only change its attributes, and what a phone does with the old tail of a longer file
// is not known.
Status replaceOnPhone(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                      bool exists, uint32_t attributes, TransferProgress& progress, bool cancellable)
{
    if (exists) {
        const int removed = phone.api.File_Delete(phonePath);
        phone.log.writeLine(std::string(progress.batch() ? "[P2KGroupWrite]" : "[P2KFileWrite]") + " File_Delete "
                            + phonePath + " RC=" + rc(removed));
        if (removed == -1)
            return phoneFailure(phone, TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath));
    }
    return upload(phone, localPath, phonePath, attributes, progress, cancellable);
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
    // The folder's listing with the file's name as the mask names just that file.
    const int count = phone.api.File_CountEx(phonePath);
    phone.log.writeLine("[FindFile] FileCountEx " + phonePath + " RC=" + rc(count));
    if (count == -1)
        return phoneFailure(phone, readError);
    if (count == 0)
        return std::optional<PhoneFileEntry>();
    const int wanted = std::min(count, 64);
    std::vector<uint8_t> entries(size_t(wanted) * kFileListEntrySize, 0);
    const int listed = phone.api.File_ListEx(entries.data(), wanted, nullptr);
    phone.log.writeLine("[FindFile] FileListEx RC=" + rc(listed));
    if (listed == -1)
        return phoneFailure(phone, readError);
    for (int i = 0; i < wanted; ++i) {
        PhoneFileEntry entry = parseFileListEntry(
            std::span<const uint8_t>(entries).subspan(size_t(i) * kFileListEntrySize, kFileListEntrySize));
        if (entry.path == phonePath)
            return std::optional<PhoneFileEntry>(std::move(entry));
    }
    return std::optional<PhoneFileEntry>();
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
                    BatchProgress* batch)
{
    TransferProgress progress(phone, batch);
    return download(phone, file, localPath, progress);
}

Status downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath)
{
    const auto file = findPhoneFile(phone, phonePath);
    if (!file)
        return file.failure();
    return downloadFile(phone, *file, localPath, nullptr);
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
        const std::string label = phone.progressLabel;
        phone.progressLabel = TRANSLATABLE("Core", "Keeping a copy of ") + fileName(phonePath);
        TransferProgress own(phone, nullptr);
        const Status kept = download(phone, **existing, backup, own);
        phone.progressLabel = label;
        if (!kept)
            return kept;
        if (backupMade)
            *backupMade = backup;
    }

    TransferProgress progress(phone, batch);
    const Status sent = replaceOnPhone(phone, localPath, phonePath, !backup.empty(), 0, progress, true);
    if (sent)
        return sent;
    const std::string tag = batch ? "[P2KGroupWrite]" : "[P2KFileWrite]";
    if (sent.cancelled() && backup.empty()) {
        // Stopped by the user: a part of a new file would look whole by its name.
        const int rc = phone.api.File_Delete(phonePath);
        phone.log.writeLine(tag + " Upload cancelled, File_Delete " + phonePath + " RC=" + std::to_string(rc));
        return sent;
    }
    if (backup.empty())
        return sent;
    if (sent.cancelled()) {
        // Stopped by the user: the phone gets its old file back.
        phone.log.writeLine(tag + " Upload cancelled, putting back " + phonePath);
        TransferProgress restore(phone, batch);
        if (replaceOnPhone(phone, backup, phonePath, true, oldAttributes, restore, false))
            return sent;
    }
    return Error(sent.failure().kind,
                 TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath)
                     + TRANSLATABLE("Core", ". The phone's previous file is kept in ") + backup);
}

Status setPhoneAttributes(PhoneContext& phone, const std::string& phonePath, int attributes)
{
    const int result = phone.api.File_Create(phonePath, attributes);
    phone.log.writeLine("Set attribute " + std::to_string(attributes) + " to " + phonePath + " RC="
                        + std::to_string(result));
    if (result == -1 || phone.api.File_Close() == -1)
        return phoneFailure(phone, TRANSLATABLE("Core", "Error changing attributes for ") + latin1ToUtf8(phonePath));
    return Status::success();
}

} // namespace tessaro
