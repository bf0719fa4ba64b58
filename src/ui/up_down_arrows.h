#pragma once
// A pair of small arrow buttons beside a number field, one above the other. It only shows
// the range and position it is given and reports which arrow was pressed: what a step does
// (including wrapping around) is up to the window that owns it.

#include <QWidget>

#include <cstdint>

class QToolButton;

namespace tessaro {

class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    int64_t minimum() const { return minimum_; }
    int64_t maximum() const { return maximum_; }
    int64_t position() const { return position_; }
    void setMinimum(int64_t minimum) { minimum_ = minimum; }
    void setMaximum(int64_t maximum) { maximum_ = maximum; }
    void setPosition(int64_t position) { position_ = position; }

    // The arrow buttons (named "Up" and "Down"); held down, they repeat.
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

Q_SIGNALS:
    void upClicked();
    void downClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    int64_t minimum_ = 0;
    int64_t maximum_ = 0;
    int64_t position_ = 0;
};

} // namespace tessaro
