#pragma once
// `LampShape`: the round lamp in the last status bar panel, red without a phone, green with one.

#include <QColor>
#include <QWidget>

namespace tessaro {

class LampShape : public QWidget {
    Q_OBJECT
public:
    explicit LampShape(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::red;
};

} // namespace tessaro
