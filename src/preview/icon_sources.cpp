#include "preview/icon_sources.h"

#include <filesystem>
#include <system_error>

#include "core/text_encoding.h"
#include "core/text_file.h"
#include "core/translatable.h"
#include "drm/drmpack.h"
#include "preview/gif_check.h"
#include "preview/phone_icons.h"

namespace tessaro {

namespace {

IconLook problem(IconState state, std::string reason)
{
    IconLook look;
    look.state = state;
    look.reason = std::move(reason);
    return look;
}

std::string drmName(uint16_t number)
{
    return TRANSLATABLE("Core", "DRM icon ") + std::to_string(number);
}

bool isFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

void IconSources::setPhone(const PhoneIcons* phone)
{
    phone_ = phone;
    forget();
}

void IconSources::setFolder(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    folder_ = std::move(folder);
    forget();
}

void IconSources::setDrmPack(const DrmPack* pack)
{
    pack_ = pack;
    forget();
}

void IconSources::forget()
{
    known_.clear();
    ++generation_;
}

IconLook IconSources::look(const IconRef& icon) const
{
    if (icon.isFirmware())
        return problem(IconState::PhoneOwn, TRANSLATABLE("Core", "The phone shows its own icon"));
    const std::string key = icon.key();
    if (const auto found = known_.find(key); found != known_.end())
        return found->second;
    IconLook look = icon.source == IconRef::Source::Drm ? lookDrm(icon.number) : lookFile(icon.path);
    // A picture on its way is asked for again once the fetch brought it.
    if (look.state != IconState::Pending)
        known_.emplace(key, look);
    return look;
}

IconLook IconSources::lookFile(const std::string& path) const
{
    const std::string shown = latin1ToUtf8(path);
    const std::string inFolder = folder_.empty() || path.empty() || path[0] != '/' ? std::string() : folder_ + path;
    if (phone_ && phone_->isListed(path)) {
        if (!phone_->onPhone(path))
            return problem(IconState::Missing, shown + TRANSLATABLE("Core", " is not on the phone"));
        if (const std::string copy = phone_->copyOf(path); !copy.empty())
            return readPicture(copy, shown);
        if (!inFolder.empty() && isFile(inFolder))
            return readPicture(inFolder, shown);
        return problem(IconState::Pending, shown + TRANSLATABLE("Core", " is being fetched from the phone"));
    }
    if (!folder_.empty()) {
        if (!inFolder.empty() && isFile(inFolder))
            return readPicture(inFolder, shown);
        return problem(IconState::Missing, shown + TRANSLATABLE("Core", " is not in the icon folder ") + folder_);
    }
    if (phone_)
        return problem(IconState::Pending, shown + TRANSLATABLE("Core", " is being looked for on the phone"));
    return problem(IconState::Unknown, shown + TRANSLATABLE("Core", ": no phone or icon folder to look in"));
}

IconLook IconSources::lookDrm(uint16_t number) const
{
    if (!pack_ || !pack_->isLoaded())
        return problem(IconState::Unknown, drmName(number) + TRANSLATABLE("Core", ": no firmware image chosen"));
    // The picker offers the numbers 1 to total - 1.
    const uint32_t offered = pack_->total() > 0 ? pack_->total() - 1 : 0;
    if (number < 1 || number > offered)
        return problem(IconState::Missing, drmName(number) + TRANSLATABLE("Core", " is beyond the firmware image's ")
                                               + std::to_string(offered) + TRANSLATABLE("Core", " icons"));
    auto gif = pack_->extractDrmIcon(uint32_t(number) - 1);
    if (!gif || !gifDecodes(*gif))
        return problem(IconState::Unreadable,
                       drmName(number) + TRANSLATABLE("Core", " has no picture in the firmware image"));
    IconLook look;
    look.state = IconState::Shown;
    look.gif = std::make_shared<const std::vector<uint8_t>>(std::move(*gif));
    return look;
}

IconLook IconSources::readPicture(const std::string& file, const std::string& path) const
{
    auto bytes = readWholeFileBytes(file);
    if (!bytes)
        return problem(IconState::Unreadable, bytes.error());
    if (!gifDecodes(*bytes))
        return problem(IconState::Unreadable, path + TRANSLATABLE("Core", " cannot be read as a GIF picture"));
    IconLook look;
    look.state = IconState::Shown;
    look.gif = std::make_shared<const std::vector<uint8_t>>(std::move(bytes).value());
    return look;
}

} // namespace tessaro
