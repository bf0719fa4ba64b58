#include "phone/phone_backups.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_error.h"
#include "core/replacing_file.h"
#include "phone/phone_context.h"

namespace tessaro {

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

struct FoundBackup {
    BackupName name;
    std::filesystem::path path;
    bool empty = false;
    std::time_t modified = 0;
};

// The backups of `phoneName` in `folder`, oldest first.
std::vector<FoundBackup> backupsIn(const std::string& folder, const std::string& phoneName)
{
    std::vector<FoundBackup> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (auto name = parseBackupName(entry.path().filename().string(), phoneName))
            found.push_back({std::move(*name), entry.path(), st.st_size == 0, st.st_mtime});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.name.stamp, a.name.number) < std::tie(b.name.stamp, b.name.number);
    });
    return found;
}

} // namespace

std::string backupPhoneFolder(const std::string& imei)
{
    const bool usable = !imei.empty() && std::all_of(imei.begin(), imei.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    return usable ? imei : "unknown";
}

std::string backupFolderFor(const std::string& dataFolder, const std::string& imei, const std::string& phonePath)
{
    std::string relative = phonePath.substr(0, phonePath.rfind('/') + 1);
    relative.erase(0, relative.find_first_not_of('/'));
    return dataFolder + "Backups/" + backupPhoneFolder(imei) + "/" + relative;
}

std::string backupFolderFor(const PhoneContext& phone, const std::string& phonePath)
{
    return backupFolderFor(phone.dataFolder, phone.link.imei, phonePath);
}

bool isBackupName(const std::string& fileName, const std::string& phoneName)
{
    return parseBackupName(fileName, phoneName).has_value();
}

Result<std::string> reserveBackup(const std::string& folder, const std::string& phoneName)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = folder + phoneName + "." + stamp;
    constexpr int kMostClashes = 10000;
    for (int n = 0; n < kMostClashes; ++n) {
        const std::string path = n == 0 ? base : base + "-" + std::to_string(n);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return fileError(FileStep::Create, path, errno);
    }
    return fileError(FileStep::Create, base, EEXIST);
}

void removeOldBackups(const std::string& folder, const std::string& phoneName, const std::vector<std::string>& keep)
{
    const auto kept = [&keep](const std::filesystem::path& path) {
        return std::find(keep.begin(), keep.end(), path.string()) != keep.end();
    };
    const std::time_t now = std::time(nullptr);
    std::vector<FoundBackup> counted;
    for (FoundBackup& backup : backupsIn(folder, phoneName)) {
        if (kept(backup.path))
            continue;
        if (!backup.empty) {
            counted.push_back(std::move(backup));
            continue;
        }
        std::error_code ec;
        if (now - backup.modified >= kStaleTemporarySeconds)
            std::filesystem::remove(backup.path, ec);
    }
    for (size_t i = 0; i + size_t(kBackupsKept) < counted.size(); ++i) {
        std::error_code ec;
        std::filesystem::remove(counted[i].path, ec);
    }
}

std::string newestBackup(const std::string& folder, const std::string& phoneName)
{
    const std::vector<FoundBackup> found = backupsIn(folder, phoneName);
    const auto newest = std::find_if(found.rbegin(), found.rend(), [](const auto& b) { return !b.empty; });
    return newest == found.rend() ? std::string() : newest->path.string();
}

} // namespace tessaro
