#pragma once
// What the single and the double progress window share: a modal window without title-bar
// buttons, centred on its owner when shown, whose caption is both its title and the label
// over its bars, which run from 0 to 100, and a Cancel button that asks the operation to stop.
// The operations run on the GUI thread; the window keeps itself drawn by handling pending
// events (at most about 30 times a second) whenever the operation moves a bar or the caption.
// Being application-modal, it takes the user's input and no other window does.

#include <initializer_list>
#include <string>
#include <vector>

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessaro {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    // A window named `objectName` over `owner` with one bar, at 0, for each of `barNames`.
    ProgressDialog(QWidget* owner, const QString& objectName,
                   std::initializer_list<const char*> barNames);

    // Bar `index` (0 is the top one); null when the window has no such bar.
    QProgressBar* barAt(int index) const;
    // The Cancel button; a click makes isCancelled() true for good.
    QPushButton* cancelButton() const { return cancel_; }
    bool isCancelled() const { return cancelled_; }
    // Draws the window and handles the events waiting for it, unless that was done less than
    // a thirtieth of a second ago (`force`: regardless).
    void keepDrawn(bool force = false);

protected:
    // Shows `caption` as title and label, redrawn only when the text changes.
    void showCaption(const std::string& caption);
    const std::string& shownCaption() const { return caption_; }
    // Moves bar `index` to `percent`, clamped to 0..100; an index without a bar is ignored.
    void moveBar(int index, int percent);

    void showEvent(QShowEvent* event) override;
    // The operation closes the window, not the user; Escape means Cancel.
    void reject() override;

private:
    std::string caption_;
    QLabel* label_;
    std::vector<QProgressBar*> bars_;
    QPushButton* cancel_;
    bool cancelled_ = false;
    QElapsedTimer sinceDrawn_;
};

} // namespace tessaro
