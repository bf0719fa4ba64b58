#pragma once
// `EditorProgram`: one run of the editor: its session and main window, and the message boxes,
// progress windows and file dialogs they talk through. `tessaro` makes one; so does the
// start-up benchmark, which measures what the editor does to show its window.

#include <memory>

#include "session/editor_session.h"
#include "ui/file_dialogs.h"
#include "ui/progress_window.h"
#include "ui/qt_prompter.h"

class QApplication;

namespace tessaro {

class MainWindow;

// The application's name, version and the icon of every window.
void prepareEditorApplication(QApplication& app);

class EditorProgram {
public:
    // The session keeps its files in the current folder and talks to the phone through
    // `backend`; the main window runs its start-up sequence, not yet shown.
    explicit EditorProgram(PhoneBackend backend);
    ~EditorProgram();

    MainWindow& window() { return *window_; }
    EditorSession& session() { return *session_; }

private:
    QtPrompter prompter_;
    QtProgressFactory progress_;
    QtFileDialogs files_;
    std::unique_ptr<EditorSession> session_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace tessaro
