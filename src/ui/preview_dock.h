#pragma once
// `PreviewDock`: the phone-screen preview docked beside the main window's tree, shown or hidden
// from the View menu, as tessaro.ini remembers. It wires the pane to the window: the tree's
// selection and the screen's follow each other, the tree shows each item's list icon, and a
// phone that comes or goes starts or ends the fetching of its icons.

#include <QDockWidget>

class QMainWindow;

namespace tessaro {

class EditorSession;
class MenuTreeModel;
class MenuTreeView;
class PhonePreviewPane;

class PreviewDock : public QDockWidget {
    Q_OBJECT
public:
    // Docks itself on the right of `window` and adds the View menu before the Help menu.
    PreviewDock(QMainWindow& window, EditorSession& session, MenuTreeView& tree, MenuTreeModel& model);

    PhonePreviewPane* pane() const { return pane_; }
    // The width the window needs beside its own while the pane is shown (0 while hidden), so
    // that the tree keeps its room.
    int widthBeside() const;

private:
    PhonePreviewPane* pane_ = nullptr;
};

} // namespace tessaro
