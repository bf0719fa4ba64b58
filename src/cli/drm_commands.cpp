// tessaro-cli drm info|get|export and to-gif: the DRM icons of a CG15 image and the
// BMP-to-GIF conversion, for scripts.
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/cli_progress.h"
#include "core/bytes.h"
#include "drm/bmp_to_gif.h"
#include "drm/drmpack.h"
#include "drm/file_io.h"
#include "session/editor_session.h"

namespace tessaro::cli {

namespace {

constexpr const char* kNoImage = "[no image]";

void loadPack(CliContext& ctx, DrmPack& pack, const std::string& path)
{
    pack.setPackPath(path);
    auto total = pack.loadDrmPack(path);
    if (!total)
        ctx.fail(total.error());
}

// A DRM icon number as the picker shows it: decimal digits only, 1 to total - 1.
bool parseNumber(const std::string& text, uint32_t total, uint32_t& number)
{
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + uint64_t(c - '0');
    }
    if (value < 1 || value + 1 > total)
        return false;
    number = uint32_t(value);
    return true;
}

void info(CliContext& ctx, const std::string& path)
{
    DrmPack pack;
    loadPack(ctx, pack, path);
    nlohmann::ordered_json out;
    out["total"] = pack.total();
    out["kind"] = packKindName(pack.kind());
    out["rawCount"] = pack.rawCount();
    out["storedCount"] = pack.storedCount();
    out["offsetEntries"] = pack.offsetTable().size();
    out["imageBase"] = hexNumber(pack.imageBase(), 8);
    out["fileSize"] = pack.image().size();
    std::cout << out.dump(2) << '\n';
}

void get(CliContext& ctx, const std::string& path, const std::string& numberText, const std::string& outPath)
{
    DrmPack pack;
    loadPack(ctx, pack, path);
    uint32_t number = 0;
    if (!parseNumber(numberText, pack.total(), number))
        ctx.fail(kNoImage);
    auto gif = pack.extractDrmIcon(number - 1);
    if (!gif)
        ctx.fail(kNoImage);
    const Status written = writeFileBytes(outPath, *gif);
    if (!written)
        ctx.fail(written.error());
}

// "Exporting DRM icons: P%" on the terminal line of the export.
std::string exportCaption(uint64_t done, uint64_t total)
{
    return "Exporting DRM icons: " + std::to_string(percentOf(done, total)) + "%";
}

void exportAll(CliContext& ctx, const std::string& path, const std::string& dir)
{
    DrmPack pack;
    loadPack(ctx, pack, path);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error)
        ctx.fail("Cannot create folder \"" + dir + "\". " + error.message());

    // Numbers 1 to total - 1 show indices 0 to total - 2.
    const uint32_t offered = pack.total() > 0 ? pack.total() - 1 : 0;
    uint32_t written = 0;
    {
        const auto progress = openTerminalProgress();
        for (uint32_t index = 0; index < offered; ++index) {
            progress->setCaption(exportCaption(index, offered));
            auto gif = pack.extractDrmIcon(index);
            if (!gif)
                continue;
            const std::string file = (std::filesystem::path(dir) / (std::to_string(index + 1) + ".gif")).string();
            const Status status = writeFileBytes(file, *gif);
            if (!status)
                ctx.fail(status.error());
            ++written;
        }
        progress->setCaption(exportCaption(offered, offered));
    }
    std::cout << written << '\n';
}

} // namespace

void registerDrmCommands(CLI::App& app, CliContext& ctx)
{
    auto* drm = app.add_subcommand("drm", "DRM icons of a CG15 firmware image");
    drm->require_subcommand(1);

    auto infoArgs = std::make_shared<std::string>();
    auto* infoCommand = drm->add_subcommand("info", "Print the icon total and the pack layout as JSON");
    infoCommand->add_option("CG15", *infoArgs, "The CG15 firmware image (*.smg, *.bin)")->required();
    infoCommand->callback([&ctx, infoArgs] { info(ctx, *infoArgs); });

    struct GetArgs {
        std::string image, number, out;
    };
    auto getArgs = std::make_shared<GetArgs>();
    auto* getCommand = drm->add_subcommand("get", "Write DRM icon NUMBER (1 to total - 1) as a GIF file");
    getCommand->add_option("CG15", getArgs->image, "The CG15 firmware image")->required();
    getCommand->add_option("NUMBER", getArgs->number, "The DRM icon number as the picker shows it")->required();
    getCommand->add_option("OUT", getArgs->out, "The GIF file to write")->required();
    getCommand->callback([&ctx, getArgs] { get(ctx, getArgs->image, getArgs->number, getArgs->out); });

    struct ExportArgs {
        std::string image, dir;
    };
    auto exportArgs = std::make_shared<ExportArgs>();
    auto* exportCommand = drm->add_subcommand("export", "Write every icon that has an image as DIR/NUMBER.gif; "
                                                        "prints how many were written");
    exportCommand->add_option("CG15", exportArgs->image, "The CG15 firmware image")->required();
    exportCommand->add_option("DIR", exportArgs->dir, "The folder to write into (created if missing)")->required();
    exportCommand->callback([&ctx, exportArgs] { exportAll(ctx, exportArgs->image, exportArgs->dir); });

    struct ToGifArgs {
        std::string in, out;
    };
    auto toGifArgs = std::make_shared<ToGifArgs>();
    auto* toGif = app.add_subcommand("to-gif", "Convert a 32-bit BMP picture to GIF with the DRM icon quantiser");
    toGif->add_option("IN", toGifArgs->in, "The BMP file")->required();
    toGif->add_option("OUT", toGifArgs->out, "The GIF file to write")->required();
    toGif->callback([&ctx, toGifArgs] {
        const Status status = convertBmpToGif(toGifArgs->in, toGifArgs->out);
        if (!status)
            ctx.fail(status.error());
    });
}

} // namespace tessaro::cli
