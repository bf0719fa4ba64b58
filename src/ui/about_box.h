#pragma once
// `TAboutBox`: the program's about box, created once at program start and shown modally.

#include <QDialog>

namespace tessaro {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tessaro
