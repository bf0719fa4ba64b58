#pragma once
// `MainCommands`: the main window's commands as the user finds them: the File menu (New, Open,
// Save, Save as, the phone commands, the menus as text, Exit), Edit (Undo, Redo), Setup, the
// virtual phone's menu when there is one, Help, and the tool bar's buttons. Each command is an
// action with its text, keys, icon and tool tip; the window connects it to what it does and
// enables it.

#include <QObject>

class QAction;
class QMainWindow;
class QToolBar;

namespace tessaro {

class VirtualPhone;

class MainCommands : public QObject {
    Q_OBJECT
public:
    // Fills `window`'s menu bar and gives it the tool bar, with the "Virtual phone" menu when
    // `virtualPhone` is set (it must outlive the window). The commands that need an open menu
    // or a phone start disabled.
    MainCommands(QMainWindow& window, VirtualPhone* virtualPhone);

    // The tool bar, for what stands after the buttons.
    QToolBar* toolBar() const { return toolBar_; }

    QAction* newAction() const { return newAction_; }
    QAction* openAction() const { return openAction_; }
    QAction* saveAction() const { return saveAction_; }
    QAction* saveAsAction() const { return saveAsAction_; }
    QAction* openFromPhoneAction() const { return openFromPhoneAction_; }
    QAction* saveToPhoneAction() const { return saveToPhoneAction_; }
    QAction* restartPhoneAction() const { return restartPhoneAction_; }
    QAction* exportTextAction() const { return exportTextAction_; }
    QAction* importTextAction() const { return importTextAction_; }
    QAction* compareFileAction() const { return compareFileAction_; }
    QAction* comparePhoneAction() const { return comparePhoneAction_; }
    QAction* exitAction() const { return exitAction_; }
    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }
    QAction* setupAction() const { return setupAction_; }
    QAction* aboutAction() const { return aboutAction_; }

private:
    void buildActions();
    void buildTextActions();
    void buildMenus(QMainWindow& window, VirtualPhone* virtualPhone);
    void buildToolBar(QMainWindow& window);

    QToolBar* toolBar_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* openFromPhoneAction_ = nullptr;
    QAction* saveToPhoneAction_ = nullptr;
    QAction* restartPhoneAction_ = nullptr;
    QAction* exportTextAction_ = nullptr;
    QAction* importTextAction_ = nullptr;
    QAction* compareFileAction_ = nullptr;
    QAction* comparePhoneAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* setupAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
};

} // namespace tessaro
