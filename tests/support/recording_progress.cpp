#include "support/recording_progress.h"

#include <algorithm>

namespace tessaro::testing {

RecordingProgress::RecordingProgress(std::shared_ptr<std::vector<std::string>> events)
    : events_(events ? std::move(events) : std::make_shared<std::vector<std::string>>())
{
}

RecordingProgress::~RecordingProgress()
{
    events_->push_back("close");
}

void RecordingProgress::setCaption(const std::string& caption)
{
    caption_ = caption;
    events_->push_back("caption " + caption);
}

void RecordingProgress::setBar(int bar, int percent)
{
    bars_[bar & 1] = percent;
    ++barsSet_;
    events_->push_back("bar" + std::to_string(bar + 1) + " " + std::to_string(percent));
}

std::unique_ptr<Progress> RecordingProgressFactory::openSingle()
{
    ++opened_;
    events_->push_back("open");
    auto window = std::make_unique<RecordingProgress>(events_);
    window->cancelAfterBars(cancelAfterBars_);
    return window;
}

std::vector<std::string> RecordingProgressFactory::captions() const
{
    std::vector<std::string> out;
    for (const auto& e : *events_)
        if (e.rfind("caption ", 0) == 0)
            out.push_back(e.substr(8));
    return out;
}

int RecordingProgressFactory::alive() const
{
    const auto opens = std::count(events_->begin(), events_->end(), "open");
    const auto closes = std::count(events_->begin(), events_->end(), "close");
    return int(opens - closes);
}

} // namespace tessaro::testing
