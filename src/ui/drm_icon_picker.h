#pragma once
// `DrmIconPicker`: the "DRM Icon Picker". It steps through the icons of a CG15 firmware image
// by number, previews each at the size it would have on a chosen phone screen and hands the
// chosen number back to the item editor. The rules live in DrmPickerModel; this window shows
// the model and passes it the user's clicks and keys.

#include <QDialog>

#include <optional>
#include <string>

#include "models/drm_picker_model.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaro {

class DrmPack;
class FileDialogs;
class GifPreview;
class Prompter;
class UpDownArrows;

// The open-file dialog that chooses a CG15 image, from the item editor and "Load new...".
inline constexpr const char* kDrmBinaryOpenTitle = QT_TRANSLATE_NOOP("Core", "Select a DRM binary");
inline constexpr const char* kDrmBinaryFilter =
    QT_TRANSLATE_NOOP("Core", "CG15 binaries|*.smg;*.bin|All files|*.*");

// What the item editor does for a DRM icon field: when no pack is loaded it asks for a CG15
// file first (a cancel ends here) and makes it the current pack path; then it shows the
// picker modally over `parent`. Returns the text of the number field on OK, nothing on
// Cancel. Load errors are shown through `prompter`.
std::optional<std::string> pickDrmIcon(QWidget* parent, DrmPack& pack, FileDialogs& files,
                                       Prompter& prompter);

class DrmIconPicker : public QDialog {
    Q_OBJECT
public:
    // Works on the program's pack, which outlives the window; `files` answers "Load new...".
    DrmIconPicker(DrmPack& pack, FileDialogs& files, Prompter& prompter, QWidget* parent = nullptr);

    const DrmPickerModel& model() const { return model_; }
    // The number field's text: the result on OK.
    std::string numberText() const;

    // "Load new...": another CG15 file; cancelling the dialog changes nothing.
    void loadNewImage();
    // The arrows beside the number field: one number up or down, wrapping around at both
    // ends.
    void stepIcon(bool up);
    // "Screen size": the preview takes the chosen size and the window follows.
    void chooseScreenSize(int index);
    // "Centered".
    void setCentered(bool checked);

protected:
    // Each opening reloads the pack from the current pack path and starts at number 1.
    void showEvent(QShowEvent* event) override;
    // The key rules of the number field: digits through the model, Backspace, nothing else
    // that types.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void prepareOnShow();
    void reportLoad(const Status& loaded);
    // Puts the model's number, arrows range, size label and preview on the controls.
    void showNumber();
    void showIcon();
    void applyGeometry();
    bool numberKeyPress(QKeyEvent* key);

    DrmPickerModel model_;
    DrmPack& pack_;
    FileDialogs& files_;
    Prompter& prompter_;

    QLabel* headingLabel_ = nullptr;
    QLineEdit* numberField_ = nullptr;
    UpDownArrows* numberArrows_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    QCheckBox* centeredBox_ = nullptr;
    QGroupBox* screenSizeGroup_ = nullptr;
    QButtonGroup* screenSizes_ = nullptr;
    QGroupBox* previewFrame_ = nullptr;
    GifPreview* preview_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* loadNewButton_ = nullptr;
};

} // namespace tessaro
