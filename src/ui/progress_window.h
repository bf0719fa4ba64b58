#pragma once
// `ProgressWindow`: the single progress window of one transfer, listing or scan. The operation
// that opens it sets its caption and bar; the window has no behaviour of its own.

#include "core/progress.h"
#include "ui/progress_dialog.h"

namespace tessaro {

class ProgressWindow : public ProgressDialog, public Progress {
    Q_OBJECT
public:
    // Centred on `owner`; no caption of its own and no close button.
    explicit ProgressWindow(QWidget* owner);

    void setCaption(const std::string& caption) override { showCaption(caption); }
    std::string caption() const override { return shownCaption(); }
    // Only bar 0 exists here; other bars are ignored. Positions are clamped to 0..100.
    void setBar(int bar, int percent) override { moveBar(bar, percent); }
    bool cancelled() const override { return isCancelled(); }

    QProgressBar* bar() const { return barAt(0); }
};

// Opens a `ProgressWindow` over an owner window for each operation that asks for one.
class QtProgressFactory : public ProgressFactory {
public:
    explicit QtProgressFactory(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

    // The window is shown at once and closed when the returned object is destroyed.
    std::unique_ptr<Progress> openSingle() override;

private:
    QWidget* owner_;
};

// Centres a top-level window on its owner (or on the screen without one).
void centreOn(QWidget* window, QWidget* owner);

} // namespace tessaro
