#include "phone/seem_backup.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "core/replacing_file.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "p2k/p2k_api.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

Error notConnected()
{
    return Error(ErrorKind::PhoneGone, TRANSLATABLE("Core", "No phone connected"));
}

// The record as the phone has it now.
Result<std::vector<uint8_t>> readRecord(PhoneContext& phone)
{
    return phone.client.readSeem(kBackupSeem, kBackupSeemRecord);
}

} // namespace

Status backupSeemRecord(PhoneContext& phone, const std::string& path)
{
    if (path.empty())
        return Error(ErrorKind::Cancelled, "");
    if (!phone.link.connected)
        return notConnected();
    const auto record = readRecord(phone);
    if (!record)
        return record.failure();
    return replaceFile(path, std::string_view(reinterpret_cast<const char*>(record->data()), record->size()));
}

Status restoreSeemRecord(PhoneContext& phone, const std::string& path)
{
    if (path.empty())
        return Error(ErrorKind::Cancelled, "");
    if (!phone.link.connected)
        return notConnected();
    // The size is checked before the file is loaded, so any file can be offered safely.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    const auto tooLarge = [](uintmax_t bytes) {
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "Backup file is too large for SEEM 0032_0001: ")
                                             + std::to_string(bytes) + TRANSLATABLE("Core", " bytes, at most ")
                                             + std::to_string(kSeemBufferSize));
    };
    if (!ec && size > uintmax_t(kSeemBufferSize))
        return tooLarge(size);
    auto bytes = readWholeFile(path);
    if (!bytes)
        return Error(bytes.failure().kind, bytes.error());
    if (bytes->size() > size_t(kSeemBufferSize))
        return tooLarge(bytes->size());
    // A backup of another size is not this phone's record as the phone keeps it: writing it
    // would leave the settings cut or padded.
    const auto current = readRecord(phone);
    if (!current)
        return current.failure();
    if (bytes->size() != current->size())
        return Error(ErrorKind::Refused, TRANSLATABLE("Core", "Backup file does not fit SEEM 0032_0001: ")
                                             + std::to_string(bytes->size())
                                             + TRANSLATABLE("Core", " bytes, the phone's record has ")
                                             + std::to_string(current->size()));
    return phone.client.writeSeem(kBackupSeem, kBackupSeemRecord,
                                  std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
}

} // namespace tessaro
