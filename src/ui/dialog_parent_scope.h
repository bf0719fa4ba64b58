#pragma once
// While a window is up, the message boxes, file dialogs and progress windows that its
// operations open stand over it, not behind it over the main window. The Qt implementations of
// the interfaces given are moved over the window and moved back when the scope ends; other
// implementations (the recording ones of the tests) are left as they are.

#include <functional>
#include <vector>

class QWidget;

namespace tessaro {

class BrowserChoices;
class FileDialogs;
class ProgressFactory;
class Prompter;

class DialogParentScope {
public:
    explicit DialogParentScope(QWidget* window) : window_(window) {}
    // Restores every parent, the last one changed first.
    ~DialogParentScope();
    DialogParentScope(const DialogParentScope&) = delete;
    DialogParentScope& operator=(const DialogParentScope&) = delete;

    DialogParentScope& add(Prompter& prompter);
    DialogParentScope& add(FileDialogs& files);
    DialogParentScope& add(BrowserChoices& choices);
    DialogParentScope& add(ProgressFactory& progress);

private:
    QWidget* window_;
    std::vector<std::function<void()>> restore_;
};

} // namespace tessaro
