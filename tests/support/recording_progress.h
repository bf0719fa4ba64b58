#pragma once
// Progress windows for tests: every window opened, caption set, bar moved and window closed
// is recorded as one line of text, in order:
//   "open"              a single progress window was created
//   "caption TEXT"      setCaption(TEXT)
//   "bar1 P", "bar2 P"  the first (file) / second (batch) bar set to P
//   "close"             the window was destroyed

#include <memory>
#include <string>
#include <vector>

#include "core/progress.h"

namespace tessaro::testing {

// A progress window; as a BatchProgress it stands for the double window too.
class RecordingProgress : public BatchProgress {
public:
    // Records into `events` (a vector of its own when none is given).
    explicit RecordingProgress(std::shared_ptr<std::vector<std::string>> events = nullptr);
    ~RecordingProgress() override;

    void setCaption(const std::string& caption) override;
    std::string caption() const override { return caption_; }
    void setBar(int bar, int percent) override;
    bool cancelled() const override { return cancelAfterBars_ >= 0 && barsSet_ >= cancelAfterBars_; }

    // The user presses Cancel once `count` bar moves have been made (0: at once).
    void cancelAfterBars(int count) { cancelAfterBars_ = count; }

    // The bar positions (0 before any setBar).
    int bar(int index) const { return bars_[index & 1]; }
    // What happened to this window and, when shared, to the others of its factory.
    const std::vector<std::string>& events() const { return *events_; }

private:
    std::shared_ptr<std::vector<std::string>> events_;
    std::string caption_;
    int bars_[2] = {0, 0};
    int barsSet_ = 0;
    int cancelAfterBars_ = -1;
};

class RecordingProgressFactory : public ProgressFactory {
public:
    std::unique_ptr<Progress> openSingle() override;
    // Every window opened from now on is cancelled after `count` bar moves.
    void cancelAfterBars(int count) { cancelAfterBars_ = count; }

    // Lines of all windows opened, in order.
    const std::vector<std::string>& events() const { return *events_; }
    // Only the "caption ..." lines, without their prefix.
    std::vector<std::string> captions() const;
    int opened() const { return opened_; }
    // Windows opened and not yet destroyed.
    int alive() const;
    void clear() { events_->clear(); }

private:
    std::shared_ptr<std::vector<std::string>> events_ = std::make_shared<std::vector<std::string>>();
    int opened_ = 0;
    int cancelAfterBars_ = -1;
};

} // namespace tessaro::testing
