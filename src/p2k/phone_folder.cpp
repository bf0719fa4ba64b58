#include "p2k/phone_folder.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "core/bytes.h"
#include "core/file_error.h"
#include "core/replacing_file.h"
#include "core/text_file.h"
#include "p2k/p2k_api.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// Longest firmware text a VERSION reply can carry: its length byte counts 4 more.
constexpr size_t kMaxFirmware = 255 - 4;
// Longest model whose record (16-bit units plus the ending unit) fits a SEEM buffer.
constexpr size_t kMaxModel = kSeemBufferSize / 2 - 1;

bool isVolumeLetter(const std::string& name)
{
    return name.size() == 1 && name[0] >= 'a' && name[0] <= 'z';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// '*' any run of characters, '?' any one; letters match in either case.
bool globMatch(const std::string& glob, const std::string& name)
{
    size_t g = 0, n = 0, starG = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (g < glob.size() && glob[g] == '*') {
            starG = g++;
            starN = n;
        } else if (g < glob.size() && (glob[g] == '?' || lowerAscii(glob[g]) == lowerAscii(name[n]))) {
            ++g;
            ++n;
        } else if (starG != std::string::npos) {
            g = starG + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*')
        ++g;
    return g == glob.size();
}

// A regular file of bounded size only: a pipe or a device put in the folder must not hang the
// phone or be read without end.
std::optional<std::vector<uint8_t>> fileBytes(const fs::path& file)
{
    auto bytes = readWholeFileBytes(file.string());
    if (!bytes)
        return std::nullopt;
    return std::move(bytes).value();
}

std::string hex4(int value, bool upper)
{
    return hexDigits(uint32_t(value), 4, upper);
}

bool isIdentityRecord(int seem, int record)
{
    return (seem == 0x0117 || seem == 0x0004) && record == 1;
}

} // namespace

// ---- identity ---------------------------------------------------------------------------

Result<PhoneIdentity> PhoneIdentity::parse(const std::string& text)
{
    using nlohmann::json;
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return Error(ErrorKind::Format, "phone.json: not a JSON object");

    PhoneIdentity id;
    auto textField = [&](const char* key, std::string& out, size_t maxLength) -> Status {
        const auto it = doc.find(key);
        if (it == doc.end() || !it->is_string())
            return Error(ErrorKind::Format, std::string("phone.json: \"") + key + "\" must be a string");
        out = it->get<std::string>();
        if (out.find('\0') != std::string::npos)
            return Error(ErrorKind::Format, std::string("phone.json: \"") + key + "\" holds a zero character");
        if (out.size() > maxLength)
            return Error(ErrorKind::Format, std::string("phone.json: \"") + key + "\" is longer than "
                                                + std::to_string(maxLength) + " bytes");
        return Status::success();
    };
    if (Status s = textField("model", id.model, kMaxModel); !s)
        return s.failure();
    if (Status s = textField("firmware", id.firmware, kMaxFirmware); !s)
        return s.failure();
    if (Status s = textField("imei", id.imei, 15); !s)
        return s.failure();
    if (id.imei.size() != 15
        || !std::all_of(id.imei.begin(), id.imei.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return Error(ErrorKind::Format, "phone.json: \"imei\" must be 15 digits");

    const auto lp = doc.find("lp");
    if (lp == doc.end() || !lp->is_number_integer())
        return Error(ErrorKind::Format, "phone.json: \"lp\" must be a whole number");
    const bool inRange = lp->is_number_unsigned() ? lp->get<uint64_t>() <= 0xFFFF
                                                  : lp->get<int64_t>() >= 0 && lp->get<int64_t>() <= 0xFFFF;
    if (!inRange)
        return Error(ErrorKind::Format, "phone.json: \"lp\" must lie between 0 and 65535");
    id.lp = uint16_t(lp->get<int64_t>());
    return id;
}

std::vector<uint8_t> PhoneIdentity::modelRecord() const
{
    std::vector<uint8_t> record;
    for (const char c : model)
        append16(record, uint8_t(c), ByteOrder::Big);
    append16(record, 0, ByteOrder::Big);
    return record;
}

std::vector<uint8_t> PhoneIdentity::imeiRecord() const
{
    auto d = [&](int i) { return uint8_t(imei[i] - '0'); };
    std::vector<uint8_t> record(9);
    record[0] = 0x08;                      // digits that follow, as the phone stores it
    record[1] = uint8_t(d(0) << 4 | 0x0A); // first digit in the high nibble
    for (int k = 2; k <= 7; ++k)           // two digits per byte, low nibble first
        record[k] = uint8_t(d(2 * k - 2) << 4 | d(2 * k - 3));
    record[8] = uint8_t(d(14) << 4 | d(13));
    return record;
}

std::vector<uint8_t> PhoneIdentity::firmwareReply() const
{
    std::vector<uint8_t> reply(5 + firmware.size(), 0);
    reply[0] = uint8_t(4 + firmware.size());
    std::copy(firmware.begin(), firmware.end(), reply.begin() + 5);
    return reply;
}

std::vector<uint8_t> PhoneIdentity::lpReply() const
{
    return {0x00, uint8_t(lp >> 8), uint8_t(lp), 0x00};
}

// ---- opening ----------------------------------------------------------------------------

Result<PhoneFolder> PhoneFolder::open(const fs::path& dir)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return Error(ErrorKind::NotFound, "Virtual phone folder not found: " + dir.string());
    const auto json = fileBytes(dir / "phone.json");
    if (!json)
        return fileError(FileStep::Read, (dir / "phone.json").string());
    auto identity = PhoneIdentity::parse(std::string(json->begin(), json->end()));
    if (!identity)
        return identity.failure();
    PhoneFolder folder(dir, std::move(identity).value());
    if (Status s = folder.loadAttributes(); !s)
        return s.failure();
    return folder;
}

PhoneFolder::PhoneFolder(fs::path dir, PhoneIdentity identity)
    : dir_(std::move(dir)), identity_(std::move(identity))
{
}

// ---- paths ------------------------------------------------------------------------------

std::optional<PhoneFolder::Location> PhoneFolder::locate(const std::string& phonePath) const
{
    if (phonePath.size() < 2 || phonePath.size() > size_t(kMaxEntryPath) || phonePath[0] != '/'
        || phonePath.find('\0') != std::string::npos)
        return std::nullopt;
    std::vector<std::string> parts;
    size_t start = 1;
    for (;;) {
        const size_t slash = phonePath.find('/', start);
        parts.push_back(phonePath.substr(start, slash == std::string::npos ? std::string::npos
                                                                           : slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    if (parts.size() > 1 && parts.back().empty())
        parts.pop_back(); // a folder written with its trailing "/"
    if (!isVolumeLetter(parts.front()))
        return std::nullopt;

    Location out{dir_, ""};
    for (const auto& part : parts) {
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        out.file /= part;
        out.phonePath += "/" + part;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(out.file, ec)))
            return std::nullopt;
    }
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(dir_ / parts.front(), ec)))
        return std::nullopt;
    return out;
}

fs::path PhoneFolder::resolve(const std::string& phonePath) const
{
    const auto at = locate(phonePath);
    return at ? at->file : fs::path();
}

// ---- files and folders ------------------------------------------------------------------

PhoneFolder::Kind PhoneFolder::kind(const Location& at) const
{
    std::error_code ec;
    const auto status = fs::symlink_status(at.file, ec);
    if (!fs::exists(status))
        return Kind::Nothing;
    if (fs::is_regular_file(status))
        return Kind::File;
    return fs::is_directory(status) ? Kind::Folder : Kind::Other;
}

bool PhoneFolder::hasParentFolder(const Location& at) const
{
    std::error_code ec;
    return fs::is_directory(at.file.parent_path(), ec);
}

std::optional<uint64_t> PhoneFolder::fileSize(const Location& at) const
{
    std::error_code ec;
    if (!fs::is_regular_file(at.file, ec))
        return std::nullopt;
    const uint64_t size = fs::file_size(at.file, ec);
    if (ec)
        return std::nullopt;
    return size;
}

bool PhoneFolder::read(const Location& at, uint64_t offset, std::span<uint8_t> out) const
{
    std::ifstream in(at.file, std::ios::binary);
    in.seekg(std::streamoff(offset));
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size()));
    return bool(in);
}

bool PhoneFolder::resize(const Location& at, uint64_t size)
{
    std::error_code ec;
    if (fs::is_regular_file(at.file, ec)) {
        fs::resize_file(at.file, size, ec);
        return !ec;
    }
    std::ofstream create(at.file, std::ios::binary);
    return bool(create);
}

bool PhoneFolder::write(const Location& at, uint64_t offset, std::span<const uint8_t> bytes)
{
    std::fstream out(at.file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(std::streamoff(offset));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out.flush());
}

bool PhoneFolder::removeFile(const Location& at)
{
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(at.file, ec)) || !fs::remove(at.file, ec))
        return false;
    if (attributes_.erase(at.phonePath))
        (void)saveAttributes(); // the file is gone either way
    return true;
}

bool PhoneFolder::createFolder(const Location& at)
{
    std::error_code ec;
    return !fs::exists(fs::symlink_status(at.file, ec)) && fs::is_directory(at.file.parent_path(), ec)
        && fs::create_directory(at.file, ec);
}

bool PhoneFolder::removeFolder(const Location& at)
{
    std::error_code ec;
    // "/a" is a volume.
    return at.phonePath.size() > 2 && fs::is_directory(fs::symlink_status(at.file, ec))
        && fs::is_empty(at.file, ec) && fs::remove(at.file, ec);
}

// ---- volumes ----------------------------------------------------------------------------

std::vector<char> PhoneFolder::volumes() const
{
    std::vector<char> letters;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir_, ec)) {
        const std::string name = entry.path().filename().string();
        std::error_code statEc;
        if (isVolumeLetter(name) && fs::is_directory(fs::symlink_status(entry.path(), statEc)))
            letters.push_back(name[0]);
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

std::optional<uint64_t> PhoneFolder::freeSpace(char volume) const
{
    std::error_code ec;
    const fs::space_info space = fs::space(dir_ / std::string(1, volume), ec);
    if (ec)
        return std::nullopt;
    return uint64_t(space.available);
}

// ---- listing ----------------------------------------------------------------------------

std::optional<std::vector<PhoneFileEntry>> PhoneFolder::list(const std::string& pattern) const
{
    const size_t slash = pattern.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return std::nullopt;
    const auto folder = locate(pattern.substr(0, slash + 1));
    std::error_code ec;
    if (!folder || !fs::is_directory(fs::symlink_status(folder->file, ec)))
        return std::nullopt;
    const std::string glob = pattern.substr(slash + 1);
    std::vector<PhoneFileEntry> entries;
    fs::recursive_directory_iterator it(folder->file, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code statEc;
        const auto status = it->symlink_status(statEc);
        if (!fs::is_regular_file(status))
            continue; // links are never followed, folders are not listed
        const std::string relative = fs::relative(it->path(), folder->file, statEc).generic_string();
        const std::string phonePath = folder->phonePath + "/" + relative;
        if (statEc || phonePath.size() > size_t(kMaxEntryPath)
            || !globMatch(glob, it->path().filename().string()))
            continue;
        PhoneFileEntry entry;
        entry.size = uint32_t(std::min<uintmax_t>(it->file_size(statEc), 0xFFFFFFFFu));
        entry.attributes = uint16_t(attributes(phonePath));
        entry.path = phonePath;
        entries.push_back(std::move(entry));
    }
    if (ec)
        return std::nullopt;
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    return entries;
}

// ---- attributes -------------------------------------------------------------------------

Result<std::map<std::string, int>> PhoneFolder::parseAttributes(std::string_view text,
                                                                 const std::string& fileName)
{
    const auto doc = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return Error(ErrorKind::Format, fileName + ": not a JSON object");
    std::map<std::string, int> attributes;
    for (const auto& [path, bits] : doc.items()) {
        if (!bits.is_number_integer() || bits.get<int64_t>() < 0 || bits.get<int64_t>() > 0xFFFF)
            return Error(ErrorKind::Format, fileName + ": the bits of \"" + path + "\" must lie between 0 and 65535");
        attributes[path] = int(bits.get<int64_t>());
    }
    return attributes;
}

std::string PhoneFolder::attributesText(const std::map<std::string, int>& attributes)
{
    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [path, bits] : attributes)
        doc[path] = bits;
    // JSON text is UTF-8: a path byte that is not part of a UTF-8 character is written as
    // U+FFFD, so such a path does not read back as itself.
    return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

Status PhoneFolder::loadAttributes()
{
    const fs::path file = dir_ / "attributes.json";
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Status::success();
    const auto bytes = fileBytes(file);
    if (!bytes)
        return fileError(FileStep::Read, file.string());
    auto attributes = parseAttributes(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                                      file.string());
    if (!attributes)
        return attributes.failure();
    attributes_ = std::move(attributes).value();
    return Status::success();
}

bool PhoneFolder::saveAttributes() const
{
    const std::string text = attributesText(attributes_);
    return replaceFile((dir_ / "attributes.json").string(), std::string_view(text)).ok();
}

int PhoneFolder::attributes(const std::string& phonePath) const
{
    const auto bits = attributes_.find(phonePath);
    return bits == attributes_.end() ? 0 : bits->second;
}

bool PhoneFolder::setAttributes(const std::string& phonePath, int bits)
{
    if (attributes(phonePath) == bits)
        return true;
    const auto before = attributes_;
    if (bits == 0)
        attributes_.erase(phonePath);
    else
        attributes_[phonePath] = bits;
    if (saveAttributes())
        return true;
    attributes_ = before;
    return false;
}

// ---- SEEM records -----------------------------------------------------------------------

fs::path PhoneFolder::seemFile(int seem, int record) const
{
    const fs::path lower = dir_ / "seem" / (hex4(seem, false) + "_" + hex4(record, false) + ".seem");
    std::error_code ec;
    if (fs::exists(lower, ec))
        return lower;
    const fs::path upper = dir_ / "seem" / (hex4(seem, true) + "_" + hex4(record, true) + ".seem");
    return fs::exists(upper, ec) ? upper : lower;
}

std::optional<std::vector<uint8_t>> PhoneFolder::seemRecord(int seem, int record) const
{
    if (seem == 0x0117 && record == 1)
        return identity_.modelRecord();
    if (seem == 0x0004 && record == 1)
        return identity_.imeiRecord();
    return fileBytes(seemFile(seem, record));
}

bool PhoneFolder::writeSeemRecord(int seem, int record, uint32_t offset, std::span<const uint8_t> bytes)
{
    if (isIdentityRecord(seem, record))
        return false; // kept in phone.json
    const fs::path file = seemFile(seem, record);
    std::vector<uint8_t> content;
    bool ok = true;
    if (offset > 0) {
        auto old = fileBytes(file);
        ok = old && offset <= old->size();
        if (ok)
            content = std::move(*old);
    }
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (!ok || ec)
        return false;
    content.resize(std::max(content.size(), size_t(offset) + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), content.begin() + offset);
    return replaceFile(file.string(), std::span<const uint8_t>(content)).ok();
}

} // namespace tessaro
