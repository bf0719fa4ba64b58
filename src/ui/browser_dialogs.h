#pragma once
// The three small dialogs of the phone file browser: the file mask (`MaskDialog`), the file
// attributes (`AttributesDialog`) and the delete confirmation (`DeleteConfirmDialog`). They are made once,
// kept for the whole run and keep their control states between showings. Their modal results
// are OK = 1, Cancel = 2, Yes = 6, No = 7.

#include <QDialog>

#include <string>
#include <vector>

#include "models/file_browser_model.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessaro {

// Phone texts are 8-bit: each byte is shown as the character of the same code, and a
// character goes back as its low 8 bits.
QString phoneText(const std::string& bytes);
std::string phoneBytes(const QString& text);

inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

// "Set file mask": which volumes a masked listing reads and the extension it looks for.
class MaskDialog : public QDialog {
    Q_OBJECT
public:
    explicit MaskDialog(QWidget* parent = nullptr);

    // Fills the controls for an opening: with known phone volumes the list is rebuilt with
    // each letter checked (and they become the stored letters); the field shows the stored
    // extension without its dot.
    void prepare(const std::vector<char>& phoneVolumes, BrowserState& state);
    // After OK: stores the checked letters and the extension and selects the masked mode.
    void apply(BrowserState& state) const;
    // prepare, show modally, apply on OK; true on OK.
    bool execute(const std::vector<char>& phoneVolumes, BrowserState& state);

    // The list entries as the user left them.
    std::vector<MaskVolume> volumes() const;

    void reject() override { done(kResultCancel); }

private:
    QLabel* volumesLabel_;
    QListWidget* volumeList_;
    QLabel* extensionLabel_;
    QLineEdit* extensionField_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

// "Set file attributes": three boxes for the bits 1 read-only, 2 hidden, 4 system.
class AttributesDialog : public QDialog {
    Q_OBJECT
public:
    explicit AttributesDialog(QWidget* parent = nullptr);

    void setAttributes(int bits);
    int attributes() const;
    // Presets the boxes, shows the dialog centred on `owner`; the chosen bits on OK, -1 else.
    int execute(QWidget* owner, int bits);

    void reject() override { done(kResultCancel); }

private:
    QGroupBox* attributesGroup_;
    QCheckBox* readOnlyBox_;
    QCheckBox* hiddenBox_;
    QCheckBox* systemBox_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

// "Confirmation": Yes, Yes to all, Skip or Cancel for one file of a multi-file delete.
// Enter and Escape both answer Cancel.
class DeleteConfirmDialog : public QDialog {
    Q_OBJECT
public:
    explicit DeleteConfirmDialog(QWidget* parent = nullptr);

    // The question, "Delete selected files?" until a caller replaces it.
    void setText(const std::string& text);
    // Shows the dialog with `text`; the button chosen.
    DeleteAnswer ask(const std::string& text);

    void reject() override { done(kResultCancel); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* questionLabel_;
    QLabel* questionIcon_;
    QPushButton* yesButton_;
    QPushButton* yesToAllButton_;
    QPushButton* skipButton_;
    QPushButton* cancelButton_;
};

// The three dialogs, made once at program start and kept.
struct BrowserDialogs {
    MaskDialog mask;
    AttributesDialog attributes;
    DeleteConfirmDialog deletion;
};

} // namespace tessaro
