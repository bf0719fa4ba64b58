#pragma once
// `ItemPropertiesWindow`: the "Item properties" window. It edits one menu item's titles, icons,
// attributes and function on a private working copy; the caller stores the result on the
// node after OK. The rules live in ItemEditorModel; this window shows the model's state and
// passes the user's clicks and typing to it.

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

#include "models/item_editor_model.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace tessaro {

class EditorSession;
class FileDialogs;
class GifPreview;
class Prompter;
struct EntryLanguages;

// What an entry dialog is asked: which one ("Text editor " for texts to show, else "Name
// settings"), the language to select (an index into the language table) and the text.
struct EntryRequest {
    bool showText = false;
    int language = 0;
    QString text;
};
// What it answers on OK.
struct EntryAnswer {
    int language = 0;
    QString text;
};
// Shows an entry dialog modally over `parent`; nothing on Cancel. Tests answer without one.
using EntryRunner = std::function<std::optional<EntryAnswer>(QWidget* parent, const EntryRequest&)>;
// Shows the phone file browser modally over `parent` for an icon row (`animatedIcon` for the
// animated row); the chosen phone path, nothing on Cancel.
using PhoneFilePicker = std::function<std::optional<std::string>(QWidget* parent, bool animatedIcon)>;

// The real dialogs, TitleEntryDialog and TextEntryDialog.
std::optional<EntryAnswer> runEntryDialog(QWidget* parent, const EntryRequest& request);

class ItemPropertiesWindow : public QDialog {
    Q_OBJECT
public:
    // `languages` holds the remembered language of each entry dialog for the whole run.
    ItemPropertiesWindow(EditorSession& context, Prompter& prompter, FileDialogs& files, EntryLanguages& languages,
           QWidget* parent = nullptr);
    ~ItemPropertiesWindow() override;

    const ItemEditorModel& model() const { return model_; }
    void setEntryRunner(EntryRunner runner) { entryRunner_ = std::move(runner); }
    // Without a phone file picker the FS picker buttons stay off and paths are typed.
    void setPhoneFilePicker(PhoneFilePicker picker);

    // Fills the window from a node: its block (or none), itemType, softkey flag, Attributes,
    // Options.
    void loadItem(const ItemDataBlock* block, uint8_t itemType, bool softkey, uint8_t attributes,
                  uint8_t options);
    // The block and node fields to store after OK (`saveAll`: "Save all data" is on).
    ItemEditResult itemResult(bool saveAll) const { return model_.commit(saveAll); }
    // Apply stores through `store` what OK would store, as a step of its own; without it
    // Apply only keeps the change for OK.
    void setApplyHandler(std::function<void(const ItemEditResult&)> store) { applyHandler_ = std::move(store); }

    // --- handlers ------------------------------------------------------------------------
    void addMenuTitle() { addTitle(TitleList::Menu); }
    void editMenuTitle() { editTitle(TitleList::Menu); }
    void deleteMenuTitle() { deleteTitle(TitleList::Menu); }
    void addSoftkeyTitle() { addTitle(TitleList::Softkey); }
    void editSoftkeyTitle() { editTitle(TitleList::Softkey); }
    void deleteSoftkeyTitle() { deleteTitle(TitleList::Softkey); }
    void addShowTextTitle() { addTitle(TitleList::ShowText); }
    void editShowTextTitle() { editTitle(TitleList::ShowText); }
    void deleteShowTextTitle() { deleteTitle(TitleList::ShowText); }
    // "Reset All Data".
    void resetAllDataClicked();
    // The picker button of an icon row.
    void pickerClick(IconRow row);
    void okClicked();   // OK
    void cancelClicked();   // Cancel
    void applyClicked();   // Apply
    // Cancel, Escape or the close box: with changes, asks before they are thrown away.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The message of a field's failed input check, if it failed.
    void showInputError(const Status& checked);
    void buildControls();
    QWidget* buildVisualPage();
    QWidget* buildFunctionPage();
    // Puts the model's state on every control.
    void refresh();
    void refreshList(TitleList list);
    void refreshPreview(IconRow row);
    void addTitle(TitleList list);
    void editTitle(TitleList list);
    void deleteTitle(TitleList list);
    int& rememberedLanguage(TitleList list);
    void stopPreviews();

    EditorSession& ctx_;
    Prompter& prompter_;
    FileDialogs& files_;
    EntryLanguages& languages_;
    EntryRunner entryRunner_;
    PhoneFilePicker phoneFilePicker_;
    ItemEditorModel model_;
    // The editor's page turns already shown (see ItemEditorModel::pageTurns).
    unsigned shownPageTurns_ = ~0u;

    QTabWidget* pages_ = nullptr;
    QWidget* visualPage_ = nullptr;
    QWidget* functionPage_ = nullptr;
    std::function<void(const ItemEditResult&)> applyHandler_;
    bool placed_ = false; // sized and placed on its screen once
    std::array<QTreeWidget*, 3> lists_{};
    std::array<std::array<QPushButton*, 3>, 3> listButtons_{};   // Add, Edit, Delete per list
    QGroupBox* iconGroup_ = nullptr;
    std::array<QGroupBox*, 3> sourceGroups_{};
    std::array<QRadioButton*, 3> fsButtons_{};
    std::array<QRadioButton*, 3> drmButtons_{};
    std::array<QLineEdit*, 3> iconFields_{};
    std::array<QPushButton*, 3> pickerButtons_{};
    std::array<GifPreview*, 3> previews_{};
    QCheckBox* lockable_ = nullptr;
    QCheckBox* protected_ = nullptr;
    QCheckBox* nonChangeable_ = nullptr;
    QComboBox* functionChoice_ = nullptr;
    std::array<QGroupBox*, kFunctionCount> functionGroups_{};   // index by ItemFunction; [0] unused
    std::array<QLineEdit*, kFunctionFieldCount> functionFields_{};
    QComboBox* installedApps_ = nullptr;
    QRadioButton* callButton_ = nullptr;
    QRadioButton* sendButton_ = nullptr;
    QPushButton* resetAllButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};

} // namespace tessaro
