#pragma once
// A phone's file system and records kept in a folder DIR:
//   a/, b/, c/, e/ ...      one folder per volume, named by one lower-case letter; the phone
//                           path /a/mobile/system/mma_ucp is the file DIR/a/mobile/system/mma_ucp
//   phone.json              {"model": str, "firmware": str, "lp": 0..65535, "imei": 15 digits}
//   seem/SSSS_RRRR.seem     SEEM records other than the identity ones (hex numbers)
//   attributes.json         attribute bits of phone files, by phone path
// Phone paths never lead out of DIR: links are not followed and "." and ".." are refused.
// Not thread-safe: its owner serialises the calls.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

// The phone's identity, from phone.json.
struct PhoneIdentity {
    std::string model;
    std::string firmware;
    uint16_t lp = 0;
    std::string imei;   // 15 digits

    // Parses phone.json text; the error names the field that is missing or wrong.
    static Result<PhoneIdentity> parse(const std::string& json);
    // SEEM 0x0117 record 1: the model as 16-bit units, high byte first, ended by 0x0000.
    std::vector<uint8_t> modelRecord() const;
    // SEEM 0x0004 record 1: 9 bytes holding the IMEI digits as nibbles.
    std::vector<uint8_t> imeiRecord() const;
    // Reply to VERSION 0xFFFF: byte 0 = 4 + length, bytes 5 on the firmware text.
    std::vector<uint8_t> firmwareReply() const;
    // Reply to VERSION 0x0004: the LP version in bytes 1 and 2, high byte first.
    std::vector<uint8_t> lpReply() const;
};

class PhoneFolder {
public:
    // A phone path that was accepted: where it lies in DIR and its canonical form
    // ("/a/mobile/x.gif", no trailing "/").
    struct Location {
        std::filesystem::path file;
        std::string phonePath;
    };
    // What a location holds, links not followed.
    enum class Kind { Nothing, File, Folder, Other };

    // Opens the phone kept in `dir`: reads and checks phone.json and attributes.json.
    static Result<PhoneFolder> open(const std::filesystem::path& dir);

    // Parses the text of attributes.json into attribute bits by phone path; the error names
    // `fileName` and the entry that is wrong.
    static Result<std::map<std::string, int>> parseAttributes(std::string_view text,
                                                              const std::string& fileName);
    // The attributes.json text of attribute bits by phone path.
    static std::string attributesText(const std::map<std::string, int>& attributes);

    const PhoneIdentity& identity() const { return identity_; }
    const std::filesystem::path& path() const { return dir_; }

    // Where a phone path lies; nothing when it is refused (leaves DIR, passes through a link,
    // names no volume, "." or ".." or empty components, longer than 503 bytes).
    std::optional<Location> locate(const std::string& phonePath) const;
    // The file of locate(), empty when refused.
    std::filesystem::path resolve(const std::string& phonePath) const;

    Kind kind(const Location& at) const;
    // Whether the folder that would hold `at` is there.
    bool hasParentFolder(const Location& at) const;
    // The size of the file at `at`; nothing when no file is there.
    std::optional<uint64_t> fileSize(const Location& at) const;
    // Reads `out.size()` bytes from `offset`; false when they cannot all be read.
    [[nodiscard]] bool read(const Location& at, uint64_t offset, std::span<uint8_t> out) const;
    // Cuts the file to `size` bytes; a missing file is created empty.
    [[nodiscard]] bool resize(const Location& at, uint64_t size);
    // Writes `bytes` at `offset` of the existing file.
    [[nodiscard]] bool write(const Location& at, uint64_t offset, std::span<const uint8_t> bytes);
    // Deletes the file and forgets its attributes; false when no file is there.
    [[nodiscard]] bool removeFile(const Location& at);
    // Creates a folder inside an existing one; false when something is there already.
    [[nodiscard]] bool createFolder(const Location& at);
    // Deletes an empty folder; a volume itself stays.
    [[nodiscard]] bool removeFolder(const Location& at);

    // The volume letters in order: the one-letter folders of DIR.
    std::vector<char> volumes() const;
    // Bytes free on the disk holding a volume.
    std::optional<uint64_t> freeSpace(char volume) const;

    // Every file at or below the pattern's folder whose name matches its last part ('*' any
    // run, '?' any one character, letters in either case), sorted by path, links not
    // followed; nothing when the folder is refused or cannot be read.
    std::optional<std::vector<PhoneFileEntry>> list(const std::string& pattern) const;

    // The attribute bits of a phone path (0 when none were set).
    int attributes(const std::string& phonePath) const;
    // Sets the bits and stores them in attributes.json; false (and unchanged) when they
    // cannot be stored.
    [[nodiscard]] bool setAttributes(const std::string& phonePath, int bits);

    // A SEEM record: the identity ones (0x0117 and 0x0004, record 1) from phone.json, the
    // others from DIR/seem; nothing when there is none.
    std::optional<std::vector<uint8_t>> seemRecord(int seem, int record) const;
    // Writes `bytes` into a record from `offset` (keeping what lies before it); false for the
    // identity records and for an offset past the end of the record.
    [[nodiscard]] bool writeSeemRecord(int seem, int record, uint32_t offset,
                                       std::span<const uint8_t> bytes);

private:
    PhoneFolder(std::filesystem::path dir, PhoneIdentity identity);
    std::filesystem::path seemFile(int seem, int record) const;
    Status loadAttributes();
    bool saveAttributes() const;

    std::filesystem::path dir_;
    PhoneIdentity identity_;
    std::map<std::string, int> attributes_;
};

} // namespace tessaro
