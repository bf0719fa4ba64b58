#include "p2k/phone_file_transfer.h"

#include "p2k/operation_log.h"
#include "p2k/phone_client.h"

namespace tessaro {

namespace {

std::string rc(int value)
{
    return std::to_string(value);
}

} // namespace

PhoneFileTransfer::PhoneFileTransfer(PhoneClient& client, std::string path, TransferKind kind, std::string failureText)
    : client_(client), channel_(client.api_), path_(std::move(path)), kind_(kind), failureText_(std::move(failureText))
{
}

std::string PhoneFileTransfer::tag() const
{
    switch (kind_) {
    case TransferKind::Download: return "[P2KFileRead]";
    case TransferKind::BatchDownload: return "[P2KGroupRead]";
    case TransferKind::Upload: break;
    case TransferKind::BatchUpload: return "[P2KGroupWrite]";
    }
    return "[P2KFileWrite]";
}

void PhoneFileTransfer::logLine(const std::string& text)
{
    client_.log_.writeLine(tag() + " " + text);
}

Status PhoneFileTransfer::open(uint32_t attributes)
{
    logLine("Enter " + path_);
    const int result = channel_.open(path_, attributes);
    logLine("Send command FSAC (0x0000) RC=" + rc(result));
    if (result == -1)
        return client_.failure(failureText_);
    return Status::success();
}

Status PhoneFileTransfer::seekToStart()
{
    const int result = channel_.seek(0, 0);
    logLine("Send command FSAC (0x0003) RC=" + rc(result));
    if (result == -1)
        return client_.failure(failureText_);
    return Status::success();
}

Result<std::span<const uint8_t>> PhoneFileTransfer::read(int count)
{
    int delivered = 0;
    const int result = channel_.read(count, &delivered);
    const char* received = kind_ == TransferKind::BatchDownload ? " bytes received" : " bytes received=";
    logLine("Send command FSAC (0x0001) RC=" + rc(result) + received + rc(delivered));
    // A phone that answers with nothing would otherwise be asked for ever.
    if (result == -1 || delivered <= 0)
        return client_.failure(failureText_);
    return std::span<const uint8_t>(channel_.reply(), size_t(delivered));
}

Status PhoneFileTransfer::write(std::span<const uint8_t> bytes)
{
    const int result = channel_.write(bytes.data(), uint32_t(bytes.size()));
    logLine("Send command FSAC (0x0002) RC=" + rc(result) + " bytes sent=" + rc(8 + int(bytes.size())));
    if (result == -1)
        return client_.failure(failureText_);
    return Status::success();
}

Status PhoneFileTransfer::close()
{
    const int result = channel_.close();
    logLine("Send command FSAC (0x0004) RC=" + rc(result));
    if (result == -1)
        return client_.failure(failureText_);
    return Status::success();
}

Status PhoneFileTransfer::deleteLongerFile()
{
    return client_.removeFile(path_, tag() + " The phone kept the old file's tail,", failureText_);
}

Status PhoneFileTransfer::deleteCancelledUpload()
{
    return client_.removeFile(path_, tag() + " Upload cancelled,", failureText_);
}

Status PhoneFileTransfer::deleteFailedUpload()
{
    return client_.removeFile(path_, tag() + " Upload failed,", failureText_);
}

void PhoneFileTransfer::logDownloadCancelled()
{
    logLine("Download cancelled, nothing kept of " + path_);
}

void PhoneFileTransfer::logPuttingBack(bool cancelled)
{
    logLine(std::string(cancelled ? "Upload cancelled" : "Upload failed") + ", putting back " + path_);
}

} // namespace tessaro
