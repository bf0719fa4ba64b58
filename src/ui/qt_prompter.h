#pragma once
// Shows the core's messages and questions as modal message boxes.

#include <QPointer>
#include <QWidget>

#include "core/prompter.h"

namespace tessaro {

class QtPrompter : public Prompter {
public:
    // Boxes are centred on `parent` (may be null; setParent() changes it later).
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_.data(); }

    void show(MessageIcon icon, const std::string& caption, const std::string& text) override;
    Answer ask(MessageIcon icon, const std::string& caption, const std::string& text,
               Buttons buttons) override;

    // A core text as the box shows it: "\r\n" becomes a line break.
    static QString displayText(const std::string& text);

private:
    QPointer<QWidget> parent_;
};

} // namespace tessaro
