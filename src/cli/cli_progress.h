#pragma once
// Progress windows of the command-line tool: one caption line on stderr, redrawn in place,
// when stderr is a terminal; otherwise windows that keep their caption and show nothing.

#include <memory>
#include <string>

#include "core/progress.h"

namespace tessaro::cli {

// A window that keeps its caption and shows nothing.
class QuietProgress : public BatchProgress {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
};

// Opens a QuietProgress for every operation, for commands that show no progress at all.
class QuietProgressFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override;
};

// Opens openTerminalProgress() for every operation.
class TerminalProgressFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override;
    // Whether progress is shown at all: only when stderr is a terminal.
    static bool enabled();
};

// A window on stderr whose caption (bars included in its text) is rewritten in place when it
// changes, and ended with a line break when the window closes; a QuietProgress when stderr is
// not a terminal. It stands for the double window of a batch too.
std::unique_ptr<BatchProgress> openTerminalProgress();

} // namespace tessaro::cli
