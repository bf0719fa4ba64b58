#pragma once
// `DoubleProgressWindow`: the double progress window of a batch of file transfers, with the bar of
// the file in progress, the bar of the whole batch and the batch counters.

#include "core/progress.h"
#include "ui/progress_dialog.h"

namespace tessaro {

class DoubleProgressWindow : public ProgressDialog, public BatchProgress {
    Q_OBJECT
public:
    // Centred on `owner`; no title-bar buttons. Both counters start at 0.
    explicit DoubleProgressWindow(QWidget* owner);

    void setCaption(const std::string& caption) override { showCaption(caption); }
    std::string caption() const override { return shownCaption(); }
    // Bar 0 is the file in progress, bar 1 the batch.
    void setBar(int bar, int percent) override { moveBar(bar, percent); }
    bool cancelled() const override { return isCancelled(); }

    QProgressBar* bar(int index) const { return barAt(index == 0 ? 0 : 1); }
};

} // namespace tessaro
