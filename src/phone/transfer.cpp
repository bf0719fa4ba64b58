#include "phone/transfer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

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

std::string writeErrorOf(const std::string& phonePath)
{
    return TRANSLATABLE("Core", "Error writing ") + latin1ToUtf8(phonePath);
}

// Writes the local file as `phonePath`, opened with `attributes`: over an existing file too,
// which is opened and written over in place rather than deleted first (a phone may refuse to
// delete a system file, the menu among them).
Status writeToPhone(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                    uint32_t attributes, TransferProgress& progress, bool cancellable)
{
    if (!FsacChannel::fits(phonePath.size()))
        return Error(ErrorKind::Refused, writeErrorOf(phonePath));
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(progress.batch()), writeErrorOf(phonePath));
    return upload(localPath, remote, attributes, progress, cancellable);
}

// After a file was written over an existing one: whether a phone cuts the old file's tail
// when a shorter one is written over it is not known, so the size is checked in a listing.
// Only a file the phone kept longer is deleted and written again.
Status checkNoOldTail(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                      uint32_t attributes, TransferProgress& progress)
{
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(localPath, ec);
    if (ec)
        return fileError(FileStep::Read, localPath).withCaption(kErrorCaption);
    const auto listed = phone.client.findFile(phonePath);
    if (!listed)
        return Error(listed.failure().kind, writeErrorOf(phonePath));
    if (*listed && (*listed)->size == size)
        return Status::success();
    if (!*listed || (*listed)->size < size)
        return Error(ErrorKind::PhoneRefused, writeErrorOf(phonePath));
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(progress.batch()), writeErrorOf(phonePath));
    if (const Status removed = remote.deleteLongerFile(); !removed)
        return removed;
    return upload(localPath, remote, attributes, progress, false);
}

// writeToPhone, and over an existing file the check of its size.
Status putOnPhone(PhoneContext& phone, const std::string& localPath, const std::string& phonePath, bool over,
                  uint32_t attributes, TransferProgress& progress, bool cancellable)
{
    const Status sent = writeToPhone(phone, localPath, phonePath, attributes, progress, cancellable);
    if (!sent || !over)
        return sent;
    return checkNoOldTail(phone, localPath, phonePath, attributes, progress);
}

} // namespace

std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath)
{
    std::string relative = phonePath.substr(0, phonePath.rfind('/') + 1);
    relative.erase(0, relative.find_first_not_of('/'));
    return phone.dataFolder + "Backups/" + backupPhoneFolder(phone.link.imei) + "/" + relative;
}

std::string backupPhoneFolder(const std::string& imei)
{
    const bool usable = !imei.empty() && std::all_of(imei.begin(), imei.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    return usable ? imei : "unknown";
}

namespace {

// Names of the backups: "<name>.<YYYYMMDD-HHMMSS>" and "<name>.<YYYYMMDD-HHMMSS>-<n>".
struct BackupName {
    std::string stamp;
    long number = 0;
};

std::optional<BackupName> parseBackupName(const std::string& fileName, const std::string& phoneName)
{
    const std::string prefix = phoneName + ".";
    if (!fileName.starts_with(prefix))
        return std::nullopt;
    const std::string rest = fileName.substr(prefix.size());
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    constexpr size_t kStamp = 15; // YYYYMMDD-HHMMSS
    if (rest.size() < kStamp || rest[8] != '-' || !digits(std::string_view(rest).substr(0, 8))
        || !digits(std::string_view(rest).substr(9, 6)))
        return std::nullopt;
    BackupName name{rest.substr(0, kStamp)};
    if (rest.size() == kStamp)
        return name;
    const std::string_view number = std::string_view(rest).substr(kStamp + 1);
    if (rest[kStamp] != '-' || !digits(number) || number.size() > 9)
        return std::nullopt;
    name.number = std::stol(std::string(number));
    return name;
}

// Reserves a new backup name of `phonePath`, stamped with the time: the file is created here,
// empty and exclusively, so two uploads in the same second never pick the same name; "-1",
// "-2"... follow on a clash.
Result<std::string> reserveBackup(const PhoneContext& phone, const std::string& phonePath)
{
    const std::string folder = backupFolderFor(phone, phonePath);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = folder + fileName(phonePath) + "." + stamp;
    constexpr int kMostClashes = 10000;
    for (int n = 0; n < kMostClashes; ++n) {
        const std::string path = n == 0 ? base : base + "-" + std::to_string(n);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return fileError(FileStep::Create, path, errno).withCaption(kErrorCaption);
    }
    return fileError(FileStep::Create, base, EEXIST).withCaption(kErrorCaption);
}

// Keeps the newest kBackupsKept backups of the phone file `phoneName` in `folder` and removes
// the older ones. Other files there are left alone.
void removeOldBackups(const std::string& folder, const std::string& phoneName)
{
    std::vector<std::pair<BackupName, std::filesystem::path>> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        if (auto name = parseBackupName(entry.path().filename().string(), phoneName))
            found.emplace_back(std::move(*name), entry.path());
    }
    if (found.size() <= size_t(kBackupsKept))
        return;
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.stamp, a.first.number) < std::tie(b.first.stamp, b.first.number);
    });
    for (size_t i = 0; i + size_t(kBackupsKept) < found.size(); ++i) {
        std::error_code removeError;
        std::filesystem::remove(found[i].second, removeError);
    }
}

// Downloads the phone's `file` into a new backup; its path, or the failure (the reserved name
// then removed unless the copy in it is whole).
Result<std::string> keepBackup(PhoneContext& phone, const PhoneFileEntry& file)
{
    auto reserved = reserveBackup(phone, file.path);
    if (!reserved)
        return reserved.failure();
    const std::string backup = std::move(reserved).value();
    TransferProgress own(phone, nullptr);
    const Status kept =
        download(phone, file, backup, own, TRANSLATABLE("Core", "Keeping a copy of ") + fileName(file.path));
    if (!kept) {
        std::error_code ec;
        if (std::filesystem::file_size(backup, ec) != file.size || ec || file.size == 0)
            std::filesystem::remove(backup, ec);
        return kept.failure();
    }
    removeOldBackups(backupFolderFor(phone, file.path), fileName(file.path));
    return backup;
}

// A path a phone file can have: a folder, then a name.
bool isFilePath(const std::string& phonePath)
{
    const size_t slash = phonePath.rfind('/');
    return slash != std::string::npos && slash + 1 != phonePath.size();
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

Status uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress* batch, std::string* backupMade)
{
    if (backupMade)
        backupMade->clear();
    if (!isFilePath(phonePath))
        return Error(ErrorKind::Refused, writeErrorOf(phonePath));
    // P2K has no rename: the phone's file is overwritten in place, so its old content is kept
    // here first, for a stop from the progress window and for the user after a failure.
    std::optional<PhoneFileEntry> existing;
    if (auto found = phone.client.findFile(phonePath)) {
        existing = std::move(*found);
    } else if (found.failure().kind == ErrorKind::PhoneGone) {
        return Error(ErrorKind::PhoneGone, writeErrorOf(phonePath));
    }
    // A phone refuses to count in a folder it does not have: the file is new there, and the
    // upload's own requests tell whether the phone takes it.
    std::string backup;
    if (existing) {
        auto kept = keepBackup(phone, *existing);
        if (!kept)
            return kept.failure();
        backup = std::move(kept).value();
        if (backupMade)
            *backupMade = backup;
    }

    TransferProgress progress(phone, batch);
    const Status sent = putOnPhone(phone, localPath, phonePath, existing.has_value(), 0, progress, true);
    if (sent)
        return sent;
    PhoneFileTransfer remote(phone.client, phonePath, uploadKind(batch), writeErrorOf(phonePath));
    if (sent.cancelled() && backup.empty()) {
        // Stopped by the user: a part of a new file would look whole by its name.
        (void)remote.deleteCancelledUpload();
        return sent;
    }
    if (backup.empty())
        return sent;
    if (sent.cancelled()) {
        // Stopped by the user: the phone gets its old file back, bits included.
        remote.logPuttingBack();
        TransferProgress restore(phone, batch);
        if (putOnPhone(phone, backup, phonePath, true, existing->attributes, restore, false))
            return sent;
    }
    return Error(sent.failure().kind,
                 writeErrorOf(phonePath) + TRANSLATABLE("Core", ". The phone's previous file is kept in ") + backup);
}

} // namespace tessaro
