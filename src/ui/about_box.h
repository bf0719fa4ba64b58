#pragma once
// `AboutBox`: the program's about box, created once at program start and shown modally.

#include <QDialog>

namespace tessaro {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tessaro
