#pragma once
// `PhoneFileBrowser`: the phone file browser "Picture Picker". It shows the phone's folders as a
// tree and the files of the chosen folder as a list, lets the user pick one as an icon and
// manage the phone's files on the way. The rules live in FileBrowserModel; this window shows
// the model and passes it the user's clicks and choices.

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/result.h"
#include "models/file_browser_model.h"
#include "ui/file_dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace tessaro {

class FolderTreeView;

struct BrowserDialogs;
struct PhoneContext;

inline constexpr const char* kPhoneFileDialogFilter = QT_TRANSLATE_NOOP("Core", "GIF files|*.gif|All files|*.*");

// The platform choices the browser makes. The windows ask through this interface so tests
// can answer without a real dialog; an empty answer is a cancel.
class BrowserChoices {
public:
    virtual ~BrowserChoices() = default;
    // Existing local files to upload, in the dialog's order.
    virtual std::vector<std::string> openFiles(const FileDialogRequest& request) = 0;
    // A local file to save to (the dialog asks before overwriting).
    virtual std::string saveFile(const FileDialogRequest& request) = 0;
    // A local folder, starting at `folder`.
    virtual std::string chooseFolder(const std::string& caption, const std::string& folder) = 0;
    // A line of text; nothing on cancel.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& label) = 0;
};

// The real dialogs, shown modally over a parent window.
class QtBrowserChoices : public BrowserChoices {
public:
    explicit QtBrowserChoices(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    std::vector<std::string> openFiles(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;
    std::string chooseFolder(const std::string& caption, const std::string& folder) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label) override;

private:
    QWidget* parent_;
};

// What the item editor does for an icon field whose source is "FS": when the phone file list
// is empty it is filled first (the current listing mode for the animated icon, the icon
// listing otherwise); then the browser is shown modally over `parent`. Returns the chosen
// phone path on OK (also kept as the state's chosen path), nothing on Cancel or an empty path.
std::optional<std::string> pickPhoneFile(QWidget* parent, PhoneContext& phone, BrowserState& state,
                                         BrowserDialogs& dialogs, BrowserChoices& choices,
                                         bool animatedIcon);

class PhoneFileBrowser : public QDialog {
    Q_OBJECT
public:
    // Works on the program's file list and browser state, which outlive the window.
    PhoneFileBrowser(PhoneContext& phone, BrowserState& state, BrowserDialogs& dialogs,
               BrowserChoices& choices, QWidget* parent = nullptr);

    const FileBrowserModel& model() const { return model_; }
    // Clears the tree and builds it from the phone file list.
    void buildTree();
    // The text of the "Icon path/name:" field: the result on OK.
    std::string iconPath() const;

    // The commands of the buttons and menus.
    void updateFileList();
    void selectMode(ListingMode mode);
    void listByMask();
    // Shows a failure of the model (a stop the user asked for needs no word); true on success.
    bool report(const Status& outcome);
    void uploadFiles();
    void downloadFiles();
    void deleteFiles();
    void setAttributes();
    void createFolder();
    void deleteFolder();

    // Cancel: the chosen path is cleared.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void prepareOnShow();
    // Puts the model's tree on the tree view, keeping the selected folder and opening the
    // folders of `expanded` (paths; without them, those open now, as long as the model's
    // folders did not go away).
    void showTree(std::optional<std::set<std::string>> expanded = std::nullopt);
    void showRows();
    void folderChanged();
    void fileClicked();
    void usePathToggled(bool checked);
    void syncSelection();
    void updateMenus();
    std::function<std::unique_ptr<BatchProgress>()> batches();

    PhoneContext& phone_;
    BrowserState& state_;
    BrowserDialogs& dialogs_;
    BrowserChoices& choices_;
    FileBrowserModel model_;
    bool showing_ = false;   // the view is being refilled: its signals are not the user's

    FolderTreeView* tree_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* iconPathLabel_ = nullptr;
    QLineEdit* iconPathField_ = nullptr;
    QCheckBox* usePathBox_ = nullptr;
    QLineEdit* usePathField_ = nullptr;
    QPushButton* updateButton_ = nullptr;
    QToolButton* listingModeButton_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* listingModeMenu_ = nullptr;
    QMenu* folderMenu_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace tessaro
