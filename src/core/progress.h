#pragma once
// Progress of long operations. The core sets captions and bar positions; the Qt progress
// windows draw them, the command-line tool prints them, tests record them.

#include <cstdint>
#include <memory>
#include <string>

namespace tessaro {

// One progress window, alive for one operation. Bar 0 is the file's bar, bar 1 the batch's
// (the whole batch, only in the double window).
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    virtual void setBar(int bar, int percent) = 0;
    // True once the user asked to stop the operation from its window. Transfers look at it
    // after each block, listings after each volume.
    virtual bool cancelled() const { return false; }
};

// The double progress window of a batch of transfers: two bars plus the batch counters.
class BatchProgress : public Progress {
public:
    uint32_t batchTotal = 0;
    uint32_t bytesDone = 0;
};

// Creates the single progress window (ProgressWindow) of one transfer, listing or scan.
class ProgressFactory {
public:
    virtual ~ProgressFactory() = default;
    virtual std::unique_ptr<Progress> openSingle() = 0;
};

// x / y × 100 rounded to the nearest integer, halves to the even neighbour.
int percentOf(uint64_t x, uint64_t y);

} // namespace tessaro
