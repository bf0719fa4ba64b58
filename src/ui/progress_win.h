#pragma once
// `TProgressWin`: the single progress window of one transfer, listing or scan. The operation
// that opens it sets its caption and bar; the window has no behaviour of its own.

#include <QDialog>

#include "core/progress.h"

class QLabel;
class QProgressBar;

namespace tessaro {

class TProgressWin : public QDialog, public Progress {
    Q_OBJECT
public:
    // Centred on `owner`; no caption of its own and no close button.
    explicit TProgressWin(QWidget* owner);

    void setCaption(const std::string& caption) override;
    std::string caption() const override { return caption_; }
    // Only bar 0 exists here; other bars are ignored. Positions are clamped to 0..100.
    void setBar(int bar, int percent) override;

    QProgressBar* bar() const { return bar_; }

protected:
    void showEvent(QShowEvent* event) override;
    // The operation closes the window, not the user.
    void reject() override {}

private:
    std::string caption_;
    QLabel* label_;
    QProgressBar* bar_;
};

// Opens a `TProgressWin` over an owner window for each operation that asks for one.
class QtProgressFactory : public ProgressFactory {
public:
    explicit QtProgressFactory(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    // The window is shown at once and closed when the returned object is destroyed.
    std::unique_ptr<Progress> openSingle() override;

private:
    QWidget* owner_;
};

// Centres a top-level window on its owner (or on the screen without one).
void centreOn(QWidget* window, QWidget* owner);

} // namespace tessaro
