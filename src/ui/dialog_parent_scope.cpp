#include "ui/dialog_parent_scope.h"

#include <QPointer>

#include "ui/file_dialogs.h"
#include "ui/phone_file_browser.h"
#include "ui/progress_window.h"
#include "ui/qt_prompter.h"

namespace tessaro {

namespace {

// Moves `target` (when it is the Qt kind T) over `window` and returns how to move it back.
template <typename T, typename Base, typename Get, typename Set>
std::function<void()> reparent(Base& target, QWidget* window, Get get, Set set)
{
    auto* qt = dynamic_cast<T*>(&target);
    if (!qt)
        return {};
    QPointer<QWidget> before = (qt->*get)();
    (qt->*set)(window);
    return [qt, before, set] { (qt->*set)(before.data()); };
}

} // namespace

DialogParentScope::~DialogParentScope()
{
    for (auto it = restore_.rbegin(); it != restore_.rend(); ++it)
        (*it)();
}

DialogParentScope& DialogParentScope::add(Prompter& prompter)
{
    if (auto undo = reparent<QtPrompter>(prompter, window_, &QtPrompter::parent, &QtPrompter::setParent))
        restore_.push_back(std::move(undo));
    return *this;
}

DialogParentScope& DialogParentScope::add(FileDialogs& files)
{
    if (auto undo = reparent<QtFileDialogs>(files, window_, &QtFileDialogs::parent, &QtFileDialogs::setParent))
        restore_.push_back(std::move(undo));
    return *this;
}

DialogParentScope& DialogParentScope::add(BrowserChoices& choices)
{
    if (auto undo = reparent<QtBrowserChoices>(choices, window_, &QtBrowserChoices::parent,
                                               &QtBrowserChoices::setParent))
        restore_.push_back(std::move(undo));
    return *this;
}

DialogParentScope& DialogParentScope::add(ProgressFactory& progress)
{
    if (auto undo = reparent<QtProgressFactory>(progress, window_, &QtProgressFactory::owner,
                                                &QtProgressFactory::setOwner))
        restore_.push_back(std::move(undo));
    return *this;
}

} // namespace tessaro
