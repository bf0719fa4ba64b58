#pragma once
// A one-line label that gives way when room is short: its text is shortened at the end with
// "…" instead of being cut off or pushed over its neighbours, and the whole text is its tool
// tip. text() stays the whole text.

#include <QLabel>

namespace tessaro {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as drawn at the label's present width.
    QString shownText() const;
    // Room for a few characters and the ellipsis.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tessaro
