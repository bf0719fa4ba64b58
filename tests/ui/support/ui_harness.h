#pragma once
// What a window test runs with: a fresh data folder, a recording prompter, file dialogs
// answered from a queue, and the main window over its own EditorSession.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QWidget>
#include <QString>
#include <QStringList>

#include "support/recording_prompter.h"
#include "support/temp_dir.h"
#include "ui/file_dialogs.h"
#include "ui/progress_window.h"

namespace tessaro {
class EditorSession;
class MenuNode;
class P2kApi;
class MainWindow;
class VirtualPhone;
}

namespace tessaro::testing {

// Answers file dialogs from `answers` (an empty string is a cancel) and records the requests.
class FakeFileDialogs : public FileDialogs {
public:
    std::string openFile(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;

    std::deque<std::string> answers;
    std::vector<FileDialogRequest> requests;

private:
    std::string next(const FileDialogRequest& request);
};

class WindowHarness {
public:
    // With no phone library given, the no-phone backend; with no folder given, `dir`.
    explicit WindowHarness(std::unique_ptr<P2kApi> api = nullptr, std::string folder = {});
    ~WindowHarness();

    // Creates the window (the start-up sequence runs). Separate from the constructor so a
    // test can put files into the folder first.
    MainWindow& start();

    TempDir dir;
    RecordingPrompter prompter;
    FakeFileDialogs files;
    QtProgressFactory progress;
    std::unique_ptr<EditorSession> context;
    std::unique_ptr<MainWindow> window;
    // What Save to phone showed before writing, and the answer it gets.
    std::vector<QStringList> phoneChanges;
    bool phoneChangesAccepted = true;
};

// The child of `parent` named `name`; stops the test program when there is none.
template <typename T>
T* child(QObject& parent, const char* name)
{
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

// The children of `window` that a layout gives less than they need (their minimum size hint),
// and any that reach out of the window, by object name (class name when unnamed): what a larger font or a
// scaled screen would cut off.
QStringList clippedChildren(QWidget& window);

// The captions of the children of `node`, in order.
QStringList captionsUnder(const MenuNode* node);

// The offscreen platform cannot make windows transparent or shaped and says so on every fade
// tick; call from initTestCase() to keep the test output readable.
void quietPlatformWarnings();

// Opens the virtual phone kept in `dir`, status calls made on the calling thread.
std::unique_ptr<VirtualPhone> openVirtualPhone(const std::string& dir);

// Copies the sample phone of examples/virtual-phone into `target`.
void copySamplePhone(const std::string& target);

} // namespace tessaro::testing
