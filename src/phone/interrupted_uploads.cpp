#include "phone/interrupted_uploads.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "core/folder_lock.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "phone/phone_backups.h"

namespace tessaro {

namespace {

constexpr char kRecordName[] = "Backups/interrupted-uploads.txt";
// A record that grew past this is no record of ours.
constexpr size_t kMostRecordBytes = size_t{1} << 20;

std::string fileNameOf(const std::string& phonePath)
{
    return phonePath.substr(phonePath.rfind('/') + 1);
}

bool plainByte(unsigned char c)
{
    return c >= 0x20 && c < 0x7F && c != '%';
}

std::string escaped(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        if (plainByte(c)) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c != '%') {
            if (!plainByte(c))
                return std::nullopt;
            out += char(c);
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size())
            return std::nullopt;
        const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3)
            return std::nullopt;
        out += char(value);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

} // namespace

InterruptedUploads::InterruptedUploads(std::string dataFolder) : dataFolder_(std::move(dataFolder))
{
}

std::string InterruptedUploads::file() const
{
    return dataFolder_ + kRecordName;
}

std::vector<InterruptedUpload> InterruptedUploads::all() const
{
    std::vector<InterruptedUpload> out;
    const Result<std::string> text = readWholeFile(file(), FileWording::Plain, kMostRecordBytes);
    if (!text)
        return out;
    for (const std::string_view line : splitLines(*text)) {
        const std::vector<std::string_view> parts = fields(line);
        if (parts.size() != 4)
            continue;
        InterruptedUpload upload;
        upload.phone = std::string(parts[0]);
        unsigned attributes = 0;
        const auto [end, error] = std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), attributes);
        const std::optional<std::string> path = unescaped(parts[3]);
        // Whatever the record says, a backup lies in its phone's folder under its own name.
        if (backupPhoneFolder(upload.phone) != upload.phone || error != std::errc()
            || end != parts[2].data() + parts[2].size() || attributes > 0xFFFF || !path || path->empty()
            || (*path)[0] != '/' || fileNameOf(*path).empty())
            continue;
        const std::string name = fileNameOf(*path) + "." + std::string(parts[1]);
        if (!isBackupName(name, fileNameOf(*path)))
            continue;
        upload.path = *path;
        upload.attributes = uint16_t(attributes);
        upload.backup = backupFolderFor(dataFolder_, upload.phone, upload.path) + name;
        out.push_back(std::move(upload));
    }
    return out;
}

std::vector<InterruptedUpload> InterruptedUploads::ofPhone(const std::string& imei) const
{
    std::vector<InterruptedUpload> out;
    const std::string phone = backupPhoneFolder(imei);
    if (phone == "unknown")
        return out;
    for (InterruptedUpload& upload : all())
        if (upload.phone == phone)
            out.push_back(std::move(upload));
    return out;
}

std::optional<InterruptedUpload> InterruptedUploads::find(const std::string& imei, const std::string& path) const
{
    const std::string phone = backupPhoneFolder(imei);
    for (InterruptedUpload& upload : all())
        if (upload.phone == phone && upload.path == path)
            return std::move(upload);
    return std::nullopt;
}

namespace {

std::string render(const std::vector<InterruptedUpload>& uploads)
{
    std::string text;
    for (const InterruptedUpload& upload : uploads) {
        const std::string name = std::filesystem::path(upload.backup).filename().string();
        const std::string stamp = name.substr(std::min(name.size(), fileNameOf(upload.path).size() + 1));
        text +=
            upload.phone + "\t" + stamp + "\t" + std::to_string(upload.attributes) + "\t" + escaped(upload.path) + "\n";
    }
    return text;
}

} // namespace

Status InterruptedUploads::remember(const InterruptedUpload& upload)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file()).parent_path(), ec);
    // Read, changed and written under the folder's lock, so two runs never lose each other's.
    const FolderLock lock(file());
    if (Status locked = lock.status(); !locked)
        return locked;
    std::vector<InterruptedUpload> uploads = all();
    const bool known = std::any_of(uploads.begin(), uploads.end(), [&](const InterruptedUpload& u) {
        return u.phone == upload.phone && u.path == upload.path;
    });
    if (known)
        return Status::success();
    uploads.push_back(upload);
    return replaceFile(file(), render(uploads), ReplaceOptions{.folderLocked = true});
}

Status InterruptedUploads::forget(const std::string& imei, const std::string& path)
{
    const std::string phone = backupPhoneFolder(imei);
    const auto matches = [&](const InterruptedUpload& u) { return u.phone == phone && u.path == path; };
    {
        const std::vector<InterruptedUpload> uploads = all();
        if (std::none_of(uploads.begin(), uploads.end(), matches))
            return Status::success();
    }
    const FolderLock lock(file());
    if (Status locked = lock.status(); !locked)
        return locked;
    std::vector<InterruptedUpload> uploads = all();
    uploads.erase(std::remove_if(uploads.begin(), uploads.end(), matches), uploads.end());
    return replaceFile(file(), render(uploads), ReplaceOptions{.folderLocked = true});
}

} // namespace tessaro
