#include "phone/transfer.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/progress.h"
#include "core/prompter.h"
#include "core/replacing_file.h"
#include "core/translatable.h"
#include "p2k/fsac_channel.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

constexpr uint32_t kEofCheckOffset = 0x000003FF;
constexpr uint8_t kEofMarker = 0x08;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using LocalFile = std::unique_ptr<std::FILE, FileCloser>;

std::string fileName(const std::string& localPath)
{
    return std::filesystem::path(localPath).filename().string();
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

} // namespace

PhoneReadResult readPhoneFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                              int expectedSize, BatchProgress* batch)
{
    const std::string tag = batch ? "[P2KGroupRead]" : "[P2KFileRead]";
    phone.cancelled = false;
    // A path that does not fit the 4096-byte request buffer is refused before anything happens.
    if (!FsacChannel::fits(phonePath.size(), false))
        return {};
    // The data goes into a new file beside the target, which replaces the target only once
    // the whole file has arrived: a failed or cut short read (a mistyped path, an unplugged
    // phone) leaves the local file as it was.
    auto created = ReplacingFile::create(localPath);
    if (!created) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                            TRANSLATABLE("Core", "Cannot create ") + localPath);
        return {};
    }
    ReplacingFile& local = created.value();
    OperationLog& log = phone.log;
    log.writeLine(tag + " Enter " + phonePath);

    FsacChannel channel(phone.api);
    int rc = channel.open(phonePath, false);
    log.writeLine(tag + " Send command FSAC (0x0000) RC=" + std::to_string(rc));
    // The group read goes on to the seek whatever the open answered.
    if (rc == -1 && !batch)
        return {};
    rc = channel.seek(0, 0);
    log.writeLine(tag + " Send command FSAC (0x0003) RC=" + std::to_string(rc));
    if (rc == -1)
        return {};

    const std::string name = fileName(localPath);
    std::unique_ptr<Progress> single;
    if (batch) {
        showCaption(*batch, "Downloading " + name + " 0% (Total "
                                + percentText(percentOf(batch->bytesDone, batch->batchTotal)) + ")");
        batch->setBar(0, 0);
    } else {
        single = phone.progress.openSingle();
        single->setCaption(phone.progressLabel + " 0%");
    }

    const std::string receivedText = batch ? " bytes received" : " bytes received=";
    int64_t stored = 0;
    bool fullBlock = false;
    bool endOfFile = false;
    bool localFailed = false;
    for (;;) {
        int delivered = 0;
        rc = channel.read(&delivered);
        log.writeLine(tag + " Send command FSAC (0x0001) RC=" + std::to_string(rc) + receivedText
                    + std::to_string(delivered));
        if (rc == -1)
            break;
        if (delivered == FsacChannel::kBlockSize)
            fullBlock = true;
        if (delivered == 1 && channel.reply()[0] == kEofMarker) {
            endOfFile = true;
            break;
        }
        // A phone that answers with nothing would otherwise be asked for ever; a file past
        // what the count can hold ends the same way. Neither is a whole file.
        if (delivered == 0 || stored + delivered > INT_MAX)
            break;
        if (!local.write({channel.reply(), size_t(delivered)})) {
            localFailed = true;
            break;
        }
        stored += delivered;
        const int filePercent = cappedPercent(uint64_t(stored), expectedSize);
        if (batch) {
            batch->bytesDone += uint32_t(delivered);
            const int total = cappedPercent(batch->bytesDone, batch->batchTotal);
            showCaption(*batch, "Downloading " + name + " " + percentText(filePercent) + " (Total "
                                    + percentText(total) + ")");
            batch->setBar(0, filePercent);
            batch->setBar(1, total);
        } else {
            showCaption(*single, phone.progressLabel + " " + percentText(filePercent));
            single->setBar(0, filePercent);
        }
        if ((batch ? static_cast<Progress&>(*batch) : *single).cancelled()) {
            phone.cancelled = true;
            break;
        }
    }

    if (endOfFile && fullBlock) {
        rc = channel.seek(kEofCheckOffset, 2);
        log.writeLine(tag + " Send command FSAC (0x0003) - check EOF RC=" + std::to_string(rc));
        int delivered = 0;
        rc = channel.read(&delivered);
        log.writeLine(tag + " Send command FSAC (0x0001) RC=" + std::to_string(rc) + receivedText
                    + std::to_string(delivered));
        // Without the check's answer the file's last byte may be missing.
        if (rc == -1)
            endOfFile = false;
        else if (delivered == FsacChannel::kBlockSize
                 && !local.write({channel.reply() + FsacChannel::kBlockSize - 1, 1}))
            localFailed = true;
    }

    const bool whole = endOfFile && stored > 0 && !localFailed;
    if (whole && !local.commit())
        localFailed = true;
    local.discard();
    rc = channel.close();
    log.writeLine(tag + " Send command FSAC (0x0004) RC=" + std::to_string(rc));
    // What arrived of a cancelled read was only ever in the temporary file, now discarded.
    if (phone.cancelled) {
        log.writeLine(tag + " Download cancelled, nothing kept of " + phonePath);
        return {};
    }
    if (localFailed) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                            TRANSLATABLE("Core", "Cannot write ") + localPath);
        return {};
    }
    if (!whole)
        return {-1, stored > 0};
    return {int(stored), false};
}

namespace {

int writeFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
              BatchProgress* batch)
{
    const std::string tag = batch ? "[P2KGroupWrite]" : "[P2KFileWrite]";
    phone.cancelled = false;
    // The single-file write sends the path with a trailing 0 byte, the group write without.
    const bool terminated = !batch;
    if (!FsacChannel::fits(phonePath.size(), terminated))
        return -1;
    LocalFile local(std::fopen(localPath.c_str(), "rb"));
    std::error_code ec;
    const auto fileSize = local ? std::filesystem::file_size(localPath, ec) : 0;
    if (!local || ec) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                            TRANSLATABLE("Core", "Cannot open ") + localPath);
        return -1;
    }
    if (fileSize > uintmax_t(INT_MAX)) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                            TRANSLATABLE("Core", "File too large: ") + localPath);
        return -1;
    }
    const int size = int(fileSize);
    const std::string name = fileName(localPath);
    if (batch)
        phone.progressLabel = TRANSLATABLE("Core", "Uploading ") + name + TRANSLATABLE("Core", " 0% (Total ")
            + percentText(percentOf(batch->bytesDone, batch->batchTotal)) + ")";
    else
        phone.progressLabel = TRANSLATABLE("Core", "Uploading ") + name + " 0%";
    OperationLog& log = phone.log;
    log.writeLine(tag + " Enter " + phonePath);

    FsacChannel channel(phone.api);
    int rc = channel.open(phonePath, terminated);
    log.writeLine(tag + " Send command FSAC (0x0000) RC=" + std::to_string(rc));
    rc = channel.seek(0, 0);
    log.writeLine(tag + " Send command FSAC (0x0003) RC=" + std::to_string(rc));
    // Only the seek decides. A failed seek fails the empty file too: nothing reached the
    // phone, so reporting it as sent would hide the failure.
    if (rc == -1)
        return -1;

    std::unique_ptr<Progress> single;
    if (batch) {
        showCaption(*batch, phone.progressLabel);
    } else {
        single = phone.progress.openSingle();
        single->setCaption(phone.progressLabel);
    }
    Progress& window = batch ? static_cast<Progress&>(*batch) : *single;

    uint8_t block[FsacChannel::kBlockSize];
    int sent = 0;
    bool blockFailed = false;
    bool localFailed = false;
    for (int i = 0; i < size / FsacChannel::kBlockSize; ++i) {
        if (std::fread(block, 1, sizeof block, local.get()) != sizeof block) {
            localFailed = true;
            break;
        }
        rc = channel.write(block, sizeof block);
        log.writeLine(tag + " Send command FSAC (0x0002) RC=" + std::to_string(rc) + " bytes sent="
                    + std::to_string(8 + sizeof block));
        if (rc == -1) {
            blockFailed = true;
            break;
        }
        sent += FsacChannel::kBlockSize;
        const int p = cappedPercent(uint64_t(sent), size);
        window.setBar(0, p);
        if (batch) {
            batch->bytesDone += FsacChannel::kBlockSize;
            const int total = cappedPercent(batch->bytesDone, batch->batchTotal);
            batch->setBar(1, total);
            phone.progressLabel =
                TRANSLATABLE("Core", "Uploading ") + name + " " + percentText(p)
                + TRANSLATABLE("Core", " (Total ") + percentText(total) + ")";
        } else {
            phone.progressLabel = TRANSLATABLE("Core", "Uploading ") + name + " " + percentText(p);
        }
        showCaption(window, phone.progressLabel);
        if (window.cancelled()) {
            phone.cancelled = true;
            break;
        }
    }

    // The remainder follows only whole blocks that all arrived: after a failed block it
    // would land at the wrong place in the phone's file.
    const int rest = size % FsacChannel::kBlockSize;
    if (rest != 0 && !blockFailed && !localFailed && !phone.cancelled) {
        if (std::fread(block, 1, size_t(rest), local.get()) != size_t(rest)) {
            localFailed = true;
        } else {
            rc = channel.write(block, uint32_t(rest));
            log.writeLine(tag + " Send command FSAC (0x0002) RC=" + std::to_string(rc) + " bytes sent="
                        + std::to_string(8 + rest));
            if (rc != -1)
                sent += rest;
            window.setBar(0, 100);
            if (batch) {
                batch->bytesDone += uint32_t(rest);
                // Not limited to 100, unlike the blocks before.
                const int total = percentOf(batch->bytesDone, batch->batchTotal);
                batch->setBar(1, total);
                phone.progressLabel =
                    TRANSLATABLE("Core", "Uploading ") + name + TRANSLATABLE("Core", " 100% (Total ")
                    + percentText(total) + ")";
            } else {
                phone.progressLabel = TRANSLATABLE("Core", "Uploading ") + name + " 100%";
            }
            showCaption(window, phone.progressLabel);
        }
    }

    local.reset();
    rc = channel.close();
    log.writeLine(tag + " Send command FSAC (0x0004) RC=" + std::to_string(rc));
    // A cut off upload would leave a file on the phone that looks whole by name: remove it.
    if (phone.cancelled) {
        rc = phone.api.File_Delete(phonePath);
        log.writeLine(tag + " Upload cancelled, File_Delete " + phonePath + " RC=" + std::to_string(rc));
        return -1;
    }
    if (localFailed) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                            TRANSLATABLE("Core", "Cannot read ") + localPath);
        return -1;
    }
    return sent == size ? size : -1;
}

} // namespace

int downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                int expectedSize)
{
    return readPhoneFile(phone, phonePath, localPath, expectedSize, nullptr).stored;
}

int downloadFileInBatch(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                 int expectedSize, BatchProgress& progress)
{
    return readPhoneFile(phone, phonePath, localPath, expectedSize, &progress).stored;
}

int uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath)
{
    return writeFile(phone, localPath, phonePath, nullptr);
}

int uploadFileInBatch(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress& progress)
{
    return writeFile(phone, localPath, phonePath, &progress);
}

int setPhoneAttributes(PhoneContext& phone, const std::string& phonePath, int attributes)
{
    const int rc = phone.api.File_Create(phonePath, attributes);
    phone.log.writeLine("Set attribute " + std::to_string(attributes) + " to " + phonePath + " RC="
                      + std::to_string(rc));
    if (rc == -1)
        return -1;
    return phone.api.File_Close();
}

} // namespace tessaro
