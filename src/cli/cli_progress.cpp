#include "cli/cli_progress.h"

#include <iostream>

#include <unistd.h>

namespace tessaro::cli {

namespace {

class TerminalProgress : public BatchProgress {
public:
    TerminalProgress() = default;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;
    ~TerminalProgress() override
    {
        if (shown_)
            std::cerr << '\n' << std::flush;
    }

    void setCaption(const std::string& caption) override
    {
        // Redrawn only when the text changes.
        if (shown_ && caption == caption_)
            return;
        caption_ = caption;
        std::cerr << '\r' << caption_ << "\x1b[K" << std::flush;
        shown_ = true;
    }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
    bool shown_ = false;
};

} // namespace

std::unique_ptr<Progress> QuietProgressFactory::openSingle()
{
    return std::make_unique<QuietProgress>();
}

bool TerminalProgressFactory::enabled()
{
    return isatty(STDERR_FILENO) == 1;
}

std::unique_ptr<Progress> TerminalProgressFactory::openSingle()
{
    return openTerminalProgress();
}

std::unique_ptr<BatchProgress> openTerminalProgress()
{
    if (TerminalProgressFactory::enabled())
        return std::make_unique<TerminalProgress>();
    return std::make_unique<QuietProgress>();
}

} // namespace tessaro::cli
