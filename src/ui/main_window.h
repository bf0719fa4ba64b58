#pragma once
// `MainWindow`: the main window. It shows the open document as a tree, the available items,
// the save mode and the profile selector, and routes every command to the core: reading and
// writing mma_ucp, tree editing, profiles, settings and the phone round trip. It also runs the
// start-up sequence, the fade in and out, the item summary and the close sequence. Its parts
// (commands, central area, status bar, tray icon, popup menus) only show and report; the window
// wires them to the open menu's session.

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/notice.h"
#include "core/result.h"
#include "edit/edit_rules.h"
#include "models/main_window_rules.h"
#include "models/window_fade.h"
#include "phone/connection_monitor.h"
#include "session/menu_session.h"
#include "ui/entry_dialogs.h"
#include "ui/window_questions.h"

class QLabel;
class QSplitter;
class QTimer;

namespace tessaro {

class EditorSession;
class AvailableItemsBox;
class EmptyTreeHint;
class FileDialogs;
class GuiDispatch;
class MenuNode;
class MenuTreeModel;
class MenuTreeView;
class Prompter;
class SplashScreen;
class AboutBox;
class DifferencesWindow;
class ItemPopupMenus;
class ItemSummaryView;
class ItemPropertiesWindow;
class MainCommands;
class MainStatusBar;
class PhoneTrayIcon;
class PreviewDock;
class ProfileSelector;
class SaveModePanel;
class BrowserChoices;
struct BrowserDialogs;
enum class InsertPosition;

class MainWindow : public QMainWindow, private PhoneLinkView {
    Q_OBJECT
public:
    // Runs the start-up sequence. `about` is an about box to show (may be null: one is made
    // when first asked for).
    MainWindow(EditorSession& context, Prompter& prompter, FileDialogs& files,
                AboutBox* about = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    EditorSession& context() const { return ctx_; }
    MenuTreeView* tree() const { return tree_; }
    // The splitter between the tree and the panel on its right.
    QSplitter* splitter() const { return splitter_; }
    const WindowFade& fade() const { return fade_; }
    const JokeMode& joke() const { return joke_; }
    // The phone-screen preview beside the tree.
    PreviewDock* previewDock() const { return previewDock_; }
    // The splash while it is shown, else null.
    SplashScreen* splash() const { return splash_; }
    // Panel 1..3 of the status bar.
    QLabel* statusPanel(int number) const;
    // Tray image shown: 14 connected, 15 disconnected.
    int trayImage() const;
    QString balloonTitle() const;
    QString balloonText() const;
    // The display text remembered from the last pick in the available items.
    const std::string& pickedEntry() const { return picked_; }
    // The open menu's life: where it came from, which file Save writes, its undo history.
    MenuSession& menuSession() { return menu_; }
    const UndoHistory& history() const { return menu_.document().history(); }

    // --- commands (each also bound to its menu entry or button) -------------------------
    void newDocument();
    void openDocument();
    // Open the given file, as the Open command does once its dialog returned a path.
    void openFile(const std::string& path);
    // "&Save": writes to the file the document came from or was last saved to (asking first
    // when that file changed on disk since); without one, as "Save as...". True when written.
    bool saveDocument();
    // "Save &as...": true when the document was written.
    bool saveDocumentAs();
    // The phone commands.
    void openFromPhone();
    void saveToPhone();
    // Menus as text: the open menu as a JSON description, one read back as the open menu,
    // and what differs between the open menu and a file or the phone's menu.
    // Before Save to phone writes over a phone menu that differs from the open one: shown the
    // changes, true to go on (see WindowQuestions).
    void setPhoneChangesQuestion(WindowQuestions::PhoneChangesQuestion question)
    {
        questions_.setPhoneChangesQuestion(std::move(question));
    }
    void exportText();
    void importText();
    void compareWithFile();
    void compareWithPhone();
    void restartPhone();
    void showSetup();
    void showAbout();
    // Edit → Undo / Redo.
    void undoStep();
    void redoStep();
    void insertItem(InsertPosition position);
    void replaceItem();
    void deleteItem();
    void moveItemUp();
    void moveItemDown();
    // "Modify item": the item properties window on the selected node; OK stores its result.
    void modifyItem();
    // How the item properties window is shown; true when it closed with OK. Modal by default;
    // tests answer it without a modal loop.
    void setItemEditorRunner(std::function<bool(ItemPropertiesWindow&)> runner) { runItemEditor_ = std::move(runner); }
    // A drop the tree's acceptance test let through.
    void dropOnNode(MenuNode* target, const DragSource& source);
    // A pick in the available items: remembers its text and opens their menu when a node is
    // selected.
    void pickAvailableItem(int index);
    // A user's choice in the profile selector.
    void pickProfile(int index);
    // Double-click on the label of the available items.
    void toggleJokeMode();
    // The pointer over the tray icon.
    void trayIconHovered();
    // One tick of the fade timer.
    void fadeTick();

    // Enables the entries of the two popup menus for the selected node (done each time one
    // opens).
    void updatePopupMenus();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the connection monitor shows (always on the GUI thread).
    void setImeiPanel(const std::string& text) override;
    void setPhonePanel(const std::string& text) override;
    void setStatusLamp(StatusLamp lamp) override;
    void setTrayImage(int image) override;
    void showTrayBalloon(const std::string& text) override;
    void setPhoneActionsEnabled(bool openAndRestart, bool save) override;
    bool menuHasNodes() const override;
    // The profile selection when a phone connects.
    void selectPhoneProfile(const std::string& prefix);
    // After a phone connected: offers back the files an interrupted upload left cut on it.
    void offerInterruptedUploads();
    // The available items, the selector and the save mode after the core changed them.
    void showProfileState();

    // The commands of the menu bar, the tool bar and the popup menus, connected to what they do.
    void buildActions();
    void buildProfileSelector();
    void buildCentral();
    void startUp();

    // The save-mode controls follow the open menu's save mode.
    void showSaveMode();
    void fillAvailableItems();
    void fillProfileSelector();
    // After New or Open: the document commands follow the rules.
    void documentCommandsChanged();
    void showStatusLine();
    void showItemSummary();
    // The item properties window on `node`, and its result stored on OK.
    void modifyNode(MenuNode* node);
    // The "Create new..." entry of the selector.
    void createFirmwareProfile();
    // Reports an error text of a failed file operation.
    void showError(const std::string& text);
    // A failure in a message box under its own caption.
    void showFailure(const Error& error, MessageIcon icon = MessageIcon::Error);
    void showNotices(const std::vector<Notice>& notices);
    // After a save: a failure shown, a success said in the status bar. True when saved.
    bool saved(const Status& status, const QString& where);
    // After an open: the tree has the focus and its first menu item is selected.
    void focusFirstItem();

    // Before New, Open, Open from phone and closing: true when the action may go on (the
    // document is unchanged, or was saved, or the user discards the changes).
    bool confirmUnsavedChanges();
    // A click on a save-mode control, recorded as one step.
    void changeSaveMode(const std::function<void(SaveMode&)>& change);
    // After every change of the document or its history: the Edit menu, the title's modified
    // mark, the commands that need a document and the status line follow.
    void documentChanged();
    void textActionsChanged();
    // The changes from the menu at `otherPath` (named `otherName`) to the open one, in the
    // differences window.
    void showDifferences(const std::string& otherPath, const QString& otherName);
    // The window after an undo or redo brought back a state seen in `view`.
    void showRestored(const std::optional<ViewState>& view);
    ViewState viewState() const;
    // The title: what is open (its file's name, or where it came from) with its modified mark,
    // beside the main caption or a joke caption.
    void showTitle();

    EditorSession& ctx_;
    Prompter& prompter_;
    FileDialogs& files_;
    QPointer<AboutBox> about_;
    std::unique_ptr<AboutBox> ownAbout_;

    MenuTreeModel* model_ = nullptr;
    MenuTreeView* tree_ = nullptr;
    EmptyTreeHint* emptyTreeHint_ = nullptr;
    QSplitter* splitter_ = nullptr;
    AvailableItemsBox* available_ = nullptr;
    ProfileSelector* profiles_ = nullptr;
    ItemSummaryView* summary_ = nullptr;
    SaveModePanel* saveMode_ = nullptr;
    MainStatusBar* status_ = nullptr;
    PhoneTrayIcon* tray_ = nullptr;
    QTimer* timer_ = nullptr;
    ItemPopupMenus* popupMenus_ = nullptr;
    PreviewDock* previewDock_ = nullptr;

    MainCommands* commands_ = nullptr;
    QPointer<DifferencesWindow> differences_;

    std::shared_ptr<GuiDispatch> dispatch_;
    SplashScreen* splash_ = nullptr;
    WindowFade fade_;
    JokeMode joke_;
    // The program's caption in the title: the main one, or the joke's.
    const char* caption_ = kMainCaption;
    WindowQuestions questions_;
    MenuSession menu_;
    // The open menu's undo history and open state (menu_'s).
    DocumentController& document_;
    std::string picked_;
    // How long a line in the status bar stands before the panels come back, in milliseconds.
    static constexpr int kStatusMessageTime = 15000;
    std::function<bool(ItemPropertiesWindow&)> runItemEditor_;
    // The phone file browser's dialogs and platform choices, made at its first use.
    std::unique_ptr<BrowserDialogs> browserDialogs_;
    std::unique_ptr<BrowserChoices> browserChoices_;
    // The language each entry dialog of the item properties window opens with.
    EntryLanguages entryLanguages_;
};

} // namespace tessaro
