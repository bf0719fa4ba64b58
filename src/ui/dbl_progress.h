#pragma once
// `TDblProgress`: the double progress window of a batch of file transfers, with the bar of
// the file in progress, the bar of the whole batch and the batch counters.

#include <QDialog>

#include "core/progress.h"

class QLabel;
class QProgressBar;

namespace tessaro {

class TDblProgress : public QDialog, public BatchProgress {
    Q_OBJECT
public:
    // Centred on `owner`; no title-bar buttons. Both counters start at 0.
    explicit TDblProgress(QWidget* owner);

    void setCaption(const std::string& caption) override;
    std::string caption() const override { return caption_; }
    // Bar 0 is the file in progress (`ProgressBar1`), bar 1 the batch (`ProgressBar2`).
    void setBar(int bar, int percent) override;

    QProgressBar* bar(int index) const { return index == 0 ? bar1_ : bar2_; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override {}

private:
    std::string caption_;
    QLabel* label_;
    QProgressBar* bar1_;
    QProgressBar* bar2_;
};

} // namespace tessaro
