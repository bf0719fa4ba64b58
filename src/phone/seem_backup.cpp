#include "phone/seem_backup.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/prompter.h"
#include "core/replacing_file.h"
#include "core/translatable.h"
#include "core/text_file.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

void refuseTooLarge(PhoneContext& phone, uintmax_t size)
{
    phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"),
                        TRANSLATABLE("Core", "Backup file is too large for SEEM 0032_0001: ") + std::to_string(size)
                            + TRANSLATABLE("Core", " bytes, at most ") + std::to_string(kSeemBufferSize));
}

} // namespace

bool backupSeemRecord(PhoneContext& phone, const std::string& path)
{
    if (!phone.link.connected || path.empty())
        return false;
    std::array<uint8_t, kSeemBufferSize> buffer{};
    const int count = phone.api.Seem_Read(kBackupSeem, kBackupSeemRecord, 0, 0, buffer.data(),
                                           int(buffer.size()));
    // A count beyond the buffer cannot be a record the phone delivered: no backup is better
    // than one made of bytes that never came from it.
    if (count < 0 || count > kSeemBufferSize) {
        phone.prompter.show(MessageIcon::Information, TRANSLATABLE("Core", "P2K Error"),
                            TRANSLATABLE("Core", "Error reading SEEM"));
        return false;
    }
    const Status written = replaceFile(
        path, std::string_view(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(count)));
    if (!written) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"), written.error());
        return false;
    }
    phone.prompter.show(MessageIcon::Information, "", TRANSLATABLE("Core", "SEEM 0032_0001 backed up"));
    return true;
}

bool restoreSeemRecord(PhoneContext& phone, const std::string& path)
{
    if (!phone.link.connected || path.empty())
        return false;
    // The size is checked before the file is loaded, so any file can be offered safely.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > static_cast<uintmax_t>(kSeemBufferSize)) {
        refuseTooLarge(phone, size);
        return false;
    }
    auto bytes = readWholeFile(path);
    if (!bytes) {
        phone.prompter.show(MessageIcon::Error, TRANSLATABLE("Core", "Error"), bytes.error());
        return false;
    }
    if (bytes->size() > static_cast<size_t>(kSeemBufferSize)) {
        refuseTooLarge(phone, bytes->size());
        return false;
    }
    // The record image is always a full buffer, so an empty file still passes valid memory.
    std::array<uint8_t, kSeemBufferSize> record{};
    std::copy(bytes->begin(), bytes->end(), record.begin());
    const int result = phone.api.Seem_Write(kBackupSeem, kBackupSeemRecord, 0,
                                            static_cast<int>(bytes->size()), record.data());
    if (result == -1) {
        phone.prompter.show(MessageIcon::Information, TRANSLATABLE("Core", "P2K Error"),
                            TRANSLATABLE("Core", "Error writing SEEM"));
        return false;
    }
    phone.prompter.show(MessageIcon::Information, "", TRANSLATABLE("Core", "Backup SEEM 0032_0001 restored"));
    return true;
}

} // namespace tessaro
