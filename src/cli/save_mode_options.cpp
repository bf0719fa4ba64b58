#include "cli/save_mode_options.h"

#include "core/save_mode.h"

namespace tessaro::cli {

void SaveModeOptions::addTo(CLI::App& command)
{
    command.add_option("--record-size", recordSize_, "22 (old format) or 36 (new format)")
        ->check(CLI::IsMember({22, 36}));
    command.add_option("--icon-marker", iconMarker_, "Kind of file-system icon records: 06 or 0C (22-byte only)")
        ->check(CLI::IsMember({"06", "0C"}));
    c698p_ = command.add_flag("--c698p")->description("Check the c698p mma_ucp fix (22-byte only)");
    noC698p_ = command.add_flag("--no-c698p")->description("Clear the c698p mma_ucp fix");
    c698p_->excludes(noC698p_);
    cdma_ = command.add_flag("--cdma")->description("CDMA mode (little-endian)");
    noCdma_ = command.add_flag("--no-cdma")->description("Big-endian byte order");
    cdma_->excludes(noCdma_);
    command.add_flag("--save-all", saveAll_, "Save all data including currently unsupported");
}

void SaveModeOptions::applyTo(SaveMode& mode) const
{
    if (recordSize_)
        mode.setRecordSize(*recordSize_);
    if (iconMarker_)
        mode.setIconMarker(*iconMarker_ == "06" ? IconMarker::K06 : IconMarker::K0C);
    if (c698p_ && c698p_->count() > 0)
        mode.setC698p(true);
    if (noC698p_ && noC698p_->count() > 0)
        mode.setC698p(false);
    if (cdma_ && cdma_->count() > 0)
        mode.setCdma(true);
    if (noCdma_ && noCdma_->count() > 0)
        mode.setCdma(false);
    if (saveAll_)
        mode.setSaveAll(true);
}

} // namespace tessaro::cli
