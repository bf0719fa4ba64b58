#include "p2k/phone_client.h"

#include <algorithm>
#include <array>

#include "core/text_encoding.h"
#include "core/translatable.h"
#include "p2k/fsac_channel.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_framing.h"
#include "p2k/phone_link_state.h"

namespace tessaro {

namespace {

constexpr char kP2kErrorCaption[] = TRANSLATABLE("Core", "P2K Error");
constexpr int kVolumeReply = 128;
constexpr int kVolumeRecord = 6;
constexpr int kFirmwareReply = 256;
constexpr int kLpReply = 4;
// One listing is held in memory at once; a count beyond this (16 MB of entries) is not
// believed and only this many are fetched.
constexpr int kMostListed = 32768;

std::string rc(int value)
{
    return std::to_string(value);
}

// How a listing's lines read in the log.
struct ListingWords {
    const char* tag;
    const char* volumeQuery; // up to "RC="
};

ListingWords wordsOf(ListingLog listing)
{
    switch (listing) {
    case ListingLog::Icons: return {"[GetIconList]", " Get volume info RC="};
    case ListingLog::AllFiles: return {"[GetFileList]", " Get volume info  RC="};
    case ListingLog::Masked: return {"[GetMaskedList]", " Get volume info RC="};
    case ListingLog::FolderCheck: break;
    }
    return {"[DeleteFolder]", " Get volume info RC="};
}

std::string readError(const std::string& path)
{
    return TRANSLATABLE("Core", "Error reading ") + latin1ToUtf8(path);
}

} // namespace

PhoneClient::PhoneClient(P2kApi& api, PhoneLinkState& link, OperationLog& log) : api_(api), link_(link), log_(log)
{
}

Error PhoneClient::failure(std::string text, std::string caption) const
{
    return Error(link_.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone, std::move(text), std::move(caption));
}

Status PhoneClient::start(P2kApi::StatusCallback status)
{
    if (api_.P2K_Init(std::move(status)) == -1)
        return failure(TRANSLATABLE("Core", "Error initializing P2KAPI library"), "");
    return Status::success();
}

void PhoneClient::logConnection(bool connected)
{
    log_.writeLine(connected ? "Phone connected" : "Phone disconnected");
}

Status PhoneClient::restart()
{
    log_.writeLine("Phone is restarted");
    if (api_.P2K_Restart() == -1)
        return failure(TRANSLATABLE("Core", "Error restarting the phone"));
    return Status::success();
}

Result<std::vector<uint8_t>> PhoneClient::seemRecord(int seem, int record, bool logged)
{
    std::vector<uint8_t> buffer(kSeemBufferSize, 0);
    const int count = api_.Seem_Read(seem, record, 0, 0, buffer.data(), int(buffer.size()));
    if (logged)
        log_.writeLine("Read SEEM " + std::to_string(seem) + "_" + std::to_string(record) + " RC=" + rc(count));
    // A count beyond the buffer cannot be a record the phone delivered: no record is better
    // than one made of bytes that never came from it.
    if (count < 0 || count > kSeemBufferSize)
        return failure(TRANSLATABLE("Core", "Error reading SEEM"), kP2kErrorCaption);
    buffer.resize(size_t(count));
    return buffer;
}

Result<std::vector<uint8_t>> PhoneClient::readIdentitySeem(int seem)
{
    return seemRecord(seem, 1, true);
}

Result<std::vector<uint8_t>> PhoneClient::readSeem(int seem, int record)
{
    return seemRecord(seem, record, false);
}

Status PhoneClient::writeSeem(int seem, int record, std::span<const uint8_t> bytes)
{
    if (bytes.size() > size_t(kSeemBufferSize))
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "Error writing SEEM"), kP2kErrorCaption);
    // The record image is always a full buffer, so an empty record still passes valid memory.
    std::array<uint8_t, kSeemBufferSize> image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    if (api_.Seem_Write(seem, record, 0, int(bytes.size()), image.data()) == -1)
        return failure(TRANSLATABLE("Core", "Error writing SEEM"), kP2kErrorCaption);
    return Status::success();
}

Result<std::string> PhoneClient::readFirmwareVersion()
{
    const uint8_t request[2] = {0xFF, 0xFF};
    uint8_t reply[kFirmwareReply] = {};
    int delivered = kFirmwareReply;
    const int result = api_.P2K_SendCMD(kCmdVersion, request, 2, reply, &delivered);
    log_.writeLine("[GetFWVersion] Send command VERSION (0xFFFF)  RC=" + rc(result));
    if (result == -1)
        return failure(TRANSLATABLE("Core", "Error reading the firmware version"));
    delivered = std::clamp(delivered, 0, kFirmwareReply);
    if (delivered == 0)
        return std::string();
    // Bytes 5..L, and only what the phone delivered.
    const int last = std::min<int>(reply[0], delivered - 1);
    if (last < 5)
        return std::string();
    return std::string(reinterpret_cast<const char*>(reply) + 5, size_t(last - 4));
}

Result<uint16_t> PhoneClient::readLpVersion()
{
    const uint8_t request[2] = {0x00, 0x04};
    uint8_t reply[kLpReply] = {};
    int delivered = kLpReply;
    const int result = api_.P2K_SendCMD(kCmdVersion, request, 2, reply, &delivered);
    log_.writeLine("[GetLPVersion] Send command VERSION (0x0004)  RC=" + rc(result));
    if (result == -1)
        return failure(TRANSLATABLE("Core", "Error reading the LP version"));
    // Bytes the phone did not deliver count as 0.
    for (int i = std::clamp(delivered, 0, kLpReply); i < kLpReply; ++i)
        reply[i] = 0;
    return uint16_t(reply[1] * 256 + reply[2]);
}

Result<std::vector<char>> PhoneClient::queryVolumes()
{
    FsacChannel channel(api_);
    int delivered = 0;
    if (channel.volumeInfo(kVolumeReply, &delivered) == -1)
        return failure(TRANSLATABLE("Core", "Error getting volume info"), "");
    // One 6-byte record per volume, the letter in its byte 3.
    std::vector<char> volumes;
    for (int j = 0; j < delivered / kVolumeRecord; ++j)
        volumes.push_back(char(channel.reply()[j * kVolumeRecord + 3]));
    return volumes;
}

Result<std::vector<char>> PhoneClient::queryVolumes(ListingLog listing)
{
    auto volumes = queryVolumes();
    const ListingWords words = wordsOf(listing);
    log_.writeLine(std::string(words.tag) + words.volumeQuery + (volumes ? "0" : "-1"));
    return volumes;
}

Result<uint32_t> PhoneClient::freeSpace(char volume)
{
    FsacChannel channel(api_);
    int delivered = 0;
    const int result = channel.freeSpace(volume, &delivered);
    log_.writeLine(std::string("[FreeSpace] /") + volume + " RC=" + rc(result));
    const auto free = result == -1 ? std::nullopt : parseFreeSpaceAnswer(std::span(channel.reply(), size_t(delivered)));
    if (!free)
        return failure(TRANSLATABLE("Core", "Error getting free space of volume /") + std::string(1, volume));
    return *free;
}

Result<FileCount> PhoneClient::countFiles(const std::string& pattern, ListingLog listing)
{
    const int count = api_.File_CountEx(pattern);
    log_.writeLine(std::string(wordsOf(listing).tag) + " FileCountEx  RC=" + rc(count));
    if (count == -1)
        return failure(readError(pattern));
    return FileCount{pattern, count};
}

Result<std::vector<PhoneFileEntry>> PhoneClient::listFiles(const FileCount& counted, ListingLog listing,
                                                           const ListingProgress& progress)
{
    const int count = std::clamp(counted.files, 0, kMostListed);
    if (count == 0)
        return std::vector<PhoneFileEntry>();
    // Zero-filled, so entries the library leaves unfilled read as empty.
    std::vector<uint8_t> entries(size_t(count) * kFileListEntrySize, 0);
    const int result = api_.File_ListEx(entries.data(), count, [this, &progress](int, int done, int total) {
        log_.writeLine("[ProgressProc] completion=" + rc(done) + " of " + rc(total));
        if (progress)
            progress(done, total);
    });
    log_.writeLine(std::string(wordsOf(listing).tag) + " FileListEx  RC=" + rc(result));
    if (result == -1)
        return failure(readError(counted.pattern));
    std::vector<PhoneFileEntry> files;
    for (int i = 0; i < count; ++i) {
        PhoneFileEntry entry = parseFileListEntry(
            std::span<const uint8_t>(entries).subspan(size_t(i) * kFileListEntrySize, kFileListEntrySize));
        // An entry without a path is one the library did not fill: nothing to show or pick.
        if (!entry.path.empty())
            files.push_back(std::move(entry));
    }
    return files;
}

void PhoneClient::logListingCancelled(ListingLog listing)
{
    log_.writeLine(std::string(wordsOf(listing).tag) + " Listing cancelled");
}

std::string listingPatternFor(const std::string& path)
{
    // The folder with the mask "*", as a phone is listed for a transfer; a folder too long
    // for the 256-byte count request is found in a listing of its whole volume instead.
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    if (countRequestFits(folder + "*") || folder.size() < 3)
        return folder + "*";
    return folder.substr(0, 3) + "*";
}

Result<std::vector<PhoneFileEntry>> PhoneClient::listFolderOf(const std::string& path)
{
    // Never the file's own name as the mask: how a phone reads '*', '?' or '[' inside a name
    // used as a mask is not known, and a long path plus its name may not fit the request.
    const std::string pattern = listingPatternFor(path);
    const int count = api_.File_CountEx(pattern);
    log_.writeLine("[FindFile] FileCountEx " + pattern + " RC=" + rc(count));
    if (count == -1)
        return failure(readError(path));
    std::vector<PhoneFileEntry> files;
    if (count <= 0)
        return files;
    const int wanted = std::min(count, kMostListed);
    std::vector<uint8_t> entries(size_t(wanted) * kFileListEntrySize, 0);
    const int listed = api_.File_ListEx(entries.data(), wanted, nullptr);
    log_.writeLine("[FindFile] FileListEx RC=" + rc(listed));
    if (listed == -1)
        return failure(readError(path));
    for (int i = 0; i < wanted; ++i) {
        PhoneFileEntry entry = parseFileListEntry(
            std::span<const uint8_t>(entries).subspan(size_t(i) * kFileListEntrySize, kFileListEntrySize));
        if (!entry.path.empty())
            files.push_back(std::move(entry));
    }
    return files;
}

Result<std::optional<PhoneFileEntry>> PhoneClient::findFile(const std::string& path)
{
    auto listed = listFolderOf(path);
    if (!listed)
        return listed.failure();
    // The listing holds the folder's files and those below it: the name is matched here,
    // byte for byte.
    for (PhoneFileEntry& entry : *listed)
        if (entry.path == path)
            return std::optional<PhoneFileEntry>(std::move(entry));
    return std::optional<PhoneFileEntry>();
}

Status PhoneClient::removeFile(const std::string& path, const std::string& tag, std::string failureText)
{
    const int result = api_.File_Delete(path);
    log_.writeLine(tag + " File_Delete " + path + " RC=" + rc(result));
    if (result == -1)
        return failure(std::move(failureText));
    return Status::success();
}

Status PhoneClient::deleteFile(const std::string& path)
{
    return removeFile(path, "[DeleteFile]", TRANSLATABLE("Core", "Error deleting ") + latin1ToUtf8(path));
}

Status PhoneClient::createFolder(const std::string& path)
{
    const int result = api_.File_CreateDir(path, 0);
    log_.writeLine("[CreateFolder] File_CreateDir " + path + " RC=" + rc(result));
    if (result == -1)
        return failure(TRANSLATABLE("Core", "Error creating ") + latin1ToUtf8(path));
    return Status::success();
}

Status PhoneClient::deleteFolder(const std::string& path)
{
    const int result = api_.File_DeleteDir(path);
    log_.writeLine("[DeleteFolder] File_DeleteDir " + path + " RC=" + rc(result));
    if (result == -1)
        return failure(TRANSLATABLE("Core", "Error deleting ") + latin1ToUtf8(path));
    return Status::success();
}

Status PhoneClient::setAttributes(const std::string& path, int attributes)
{
    const int result = api_.File_Create(path, attributes);
    log_.writeLine("Set attribute " + std::to_string(attributes) + " to " + path + " RC=" + rc(result));
    if (result == -1 || api_.File_Close() == -1)
        return failure(TRANSLATABLE("Core", "Error changing attributes for ") + latin1ToUtf8(path));
    return Status::success();
}

} // namespace tessaro
