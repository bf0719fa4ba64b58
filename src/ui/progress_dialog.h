#pragma once
// What the single and the double progress window share: a modal window without title-bar
// buttons, centred on its owner when shown, whose caption is both its title and its label
// `Label1`, over bars `ProgressBar1`, `ProgressBar2`, ... that run from 0 to 100.

#include <string>
#include <vector>

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tessaro {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    // A window named `objectName` over `owner` with `barCount` bars, all at 0.
    ProgressDialog(QWidget* owner, const QString& objectName, int barCount);

    // Bar `index` (0 is `ProgressBar1`); null when the window has no such bar.
    QProgressBar* barAt(int index) const;

protected:
    // Shows `caption` as title and label, redrawn only when the text changes.
    void showCaption(const std::string& caption);
    const std::string& shownCaption() const { return caption_; }
    // Moves bar `index` to `percent`, clamped to 0..100; an index without a bar is ignored.
    void moveBar(int index, int percent);

    void showEvent(QShowEvent* event) override;
    // The operation closes the window, not the user.
    void reject() override {}

private:
    std::string caption_;
    QLabel* label_;
    std::vector<QProgressBar*> bars_;
};

} // namespace tessaro
