#include "ui/drm_icon_picker.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <filesystem>

#include "core/prompter.h"
#include "drm/drmpack.h"
#include "ui/core_text.h"
#include "ui/dialog_parent_scope.h"
#include "ui/file_dialogs.h"
#include "ui/gif_preview.h"
#include "ui/mnemonics.h"
#include "ui/progress_window.h"
#include "ui/up_down_arrows.h"

namespace tessaro {

namespace {

// The layout around the preview, whose size the model gives for each screen: the "Picture
// preview" frame at the top left with the size label and "Centered" below it, the number and
// "Screen size" in a column on the right (the group's foot level with "Centered"), the
// buttons in a row below everything. The window is as large as its contents, so it grows with
// the preview and with the font.
constexpr int kColumnWidth = 143;

const char* const kScreenSizeCaptions[DrmPickerModel::kScreenSizeCount] = {"128x128", "120x160", "176x220",
                                                                           "240x320"};

// Keys that only move the caret or the selection, copy, or belong to the dialog (Enter for
// OK, Escape for Cancel, Tab to the next control): the field's text stays as it is.
bool leavesTextAlone(const QKeyEvent& key)
{
    if (key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll))
        return true;
    switch (key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

std::string folderOf(const std::string& path)
{
    return path.empty() ? std::string() : std::filesystem::path(path).parent_path().string();
}

} // namespace

std::optional<std::string> pickDrmIcon(QWidget* parent, DrmPack& pack, FileDialogs& files,
                                       Prompter& prompter)
{
    if (!pack.isLoaded()) {
        const std::string path =
            files.openFile({kDrmBinaryOpenTitle, kDrmBinaryFilter, {}, folderOf(pack.packPath())});
        if (path.empty())
            return std::nullopt;
        pack.setPackPath(path);
    }
    DrmIconPicker picker(pack, files, prompter, parent);
    DialogParentScope over(&picker);
    over.add(files).add(prompter);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.numberText();
}

DrmIconPicker::DrmIconPicker(DrmPack& pack, FileDialogs& files, Prompter& prompter, QWidget* parent)
    // A fixed border and only the system menu (with its close box) on the title bar.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      model_(pack), pack_(pack), files_(files), prompter_(prompter)
{
    setObjectName(QStringLiteral("drmIconPicker"));
    setWindowTitle(tr("DRM Icon Picker"));
    buildControls();
    showNumber();
    applyGeometry();
    giveMnemonics(*this);
}

void DrmIconPicker::buildControls()
{
    headingLabel_ = new QLabel(tr("Select an icon"), this);
    headingLabel_->setObjectName(QStringLiteral("headingLabel"));

    numberField_ = new QLineEdit(this);
    numberField_->setObjectName(QStringLiteral("numberField"));
    // Text reaches the field only through the key rules: no paste from a menu, a drop or an
    // input method.
    numberField_->setContextMenuPolicy(Qt::NoContextMenu);
    numberField_->setAcceptDrops(false);
    numberField_->setAttribute(Qt::WA_InputMethodEnabled, false);
    numberField_->installEventFilter(this);
    headingLabel_->setBuddy(numberField_);

    numberArrows_ = new UpDownArrows(this);
    numberArrows_->setObjectName(QStringLiteral("numberArrows"));
    numberArrows_->setMinimum(1);
    connect(numberArrows_, &UpDownArrows::upClicked, this, [this] { stepIcon(true); });
    connect(numberArrows_, &UpDownArrows::downClicked, this, [this] { stepIcon(false); });

    previewFrame_ = new QGroupBox(tr("Picture preview"), this);
    previewFrame_->setObjectName(QStringLiteral("previewFrame"));
    preview_ = new GifPreview(previewFrame_);
    preview_->setObjectName(QStringLiteral("preview"));

    sizeLabel_ = new QLabel(coreText(model_.sizeLabel()), this);
    sizeLabel_->setObjectName(QStringLiteral("sizeLabel"));

    centeredBox_ = new QCheckBox(tr("Centered"), this);
    centeredBox_->setObjectName(QStringLiteral("centeredBox"));
    centeredBox_->setChecked(model_.isCentered());
    preview_->setCentered(model_.isCentered());
    connect(centeredBox_, &QCheckBox::clicked, this, &DrmIconPicker::setCentered);

    screenSizeGroup_ = new QGroupBox(tr("Screen size"), this);
    screenSizeGroup_->setObjectName(QStringLiteral("screenSizeGroup"));
    screenSizes_ = new QButtonGroup(screenSizeGroup_);
    auto* radios = new QVBoxLayout(screenSizeGroup_);
    for (int i = 0; i < DrmPickerModel::kScreenSizeCount; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kScreenSizeCaptions[i]), screenSizeGroup_);
        screenSizes_->addButton(radio, i);
        radios->addWidget(radio);
    }
    screenSizes_->button(model_.screenSize())->setChecked(true);
    connect(screenSizes_, &QButtonGroup::idClicked, this, &DrmIconPicker::chooseScreenSize);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    loadNewButton_ = new QPushButton(tr("Load new..."), this);
    loadNewButton_->setObjectName(QStringLiteral("loadNewButton"));
    loadNewButton_->setToolTip(tr("Open new CG15 binary"));
    connect(loadNewButton_, &QPushButton::clicked, this, &DrmIconPicker::loadNewImage);

    auto* frame = new QVBoxLayout(previewFrame_);
    frame->addWidget(preview_);
    auto* left = new QVBoxLayout;
    left->addWidget(previewFrame_);
    left->addWidget(sizeLabel_);
    left->addWidget(centeredBox_);
    auto* number = new QHBoxLayout;
    number->setSpacing(0);
    number->addWidget(numberField_);
    number->addWidget(numberArrows_);
    number->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(headingLabel_);
    right->addLayout(number);
    right->addStretch(1);
    right->addWidget(screenSizeGroup_);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(loadNewButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Room for five digits at any font size; the column keeps at least its usual width.
    const int digit = numberField_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    numberField_->setFixedWidth(qMax(100, digit * 9));
    numberArrows_->setFixedWidth(qMax(17, digit * 2));
    numberArrows_->setFixedHeight(numberField_->sizeHint().height());
    screenSizeGroup_->setMinimumWidth(kColumnWidth);

    setTabOrder(numberField_, centeredBox_);
    setTabOrder(centeredBox_, screenSizes_->button(0));
    setTabOrder(screenSizes_->button(DrmPickerModel::kScreenSizeCount - 1), okButton_);
    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, loadNewButton_);
}

std::string DrmIconPicker::numberText() const
{
    return numberField_->text().toStdString();
}

void DrmIconPicker::showEvent(QShowEvent* event)
{
    // A spontaneous show is the window system giving the window back, not an opening.
    if (!event->spontaneous()) {
        centreOn(this, parentWidget());
        prepareOnShow();
    }
    QDialog::showEvent(event);
}

void DrmIconPicker::prepareOnShow()
{
    reportLoad(model_.open());
}

void DrmIconPicker::loadNewImage()
{
    const std::string path = files_.openFile(
        {kDrmBinaryOpenTitle, kDrmBinaryFilter, {}, folderOf(pack_.packPath())});
    if (path.empty())
        return;
    reportLoad(model_.loadNew(path));
}

void DrmIconPicker::reportLoad(const Status& loaded)
{
    if (loaded) {
        showNumber();
        return;
    }
    // The load stopped before the number was reset: the field and the preview keep what they
    // showed, but no number is offered any more.
    numberArrows_->setMaximum(model_.maximum());
    prompter_.show(MessageIcon::Error, "", loaded.error());
}

void DrmIconPicker::stepIcon(bool up)
{
    // With no number to offer the arrows do nothing.
    if (model_.maximum() < 1)
        return;
    if (up)
        model_.stepUp();
    else
        model_.stepDown();
    showNumber();
}

void DrmIconPicker::showNumber()
{
    numberField_->setText(QString::fromStdString(model_.text()));
    numberField_->setCursorPosition(int(model_.caret()));
    numberArrows_->setMaximum(model_.maximum());
    numberArrows_->setPosition(model_.position());
    showIcon();
}

void DrmIconPicker::showIcon()
{
    const QString previous = sizeLabel_->text();
    sizeLabel_->setText(coreText(model_.sizeLabel()));
    if (const auto& gif = model_.preview()) {
        if (!preview_->setGif(*gif)) {
            // Qt's reader refused what giflib read: the same as any unreadable picture.
            sizeLabel_->setText(previous);
            prompter_.show(MessageIcon::Error, "", preview_->errorString().toStdString());
        }
        return;
    }
    preview_->clear();
    if (!model_.previewError().empty())
        prompter_.show(MessageIcon::Error, "", model_.previewError());
}

bool DrmIconPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == numberField_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return numberKeyPress(static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            // The middle button pastes the primary selection on X11.
            return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool DrmIconPicker::numberKeyPress(QKeyEvent* key)
{
    const bool selected = numberField_->hasSelectedText();
    const size_t start = size_t(selected ? numberField_->selectionStart() : numberField_->cursorPosition());
    const size_t length = selected ? size_t(numberField_->selectedText().size()) : 0;

    if (key->key() == Qt::Key_Backspace) {
        // The text shrinks; the shown icon and the arrows stay where they were.
        model_.backspace(start, length);
        numberField_->setText(QString::fromStdString(model_.text()));
        numberField_->setCursorPosition(int(model_.caret()));
        return true;
    }
    const QString text = key->text();
    const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) {
        // A refused digit leaves the text, caret and selection as they were.
        if (model_.typeDigit(char(text[0].unicode()), start, length))
            showNumber();
        return true;
    }
    return !leavesTextAlone(*key);
}

void DrmIconPicker::chooseScreenSize(int index)
{
    model_.setScreenSize(index);
    applyGeometry();
}

void DrmIconPicker::setCentered(bool checked)
{
    model_.setCentered(checked);
    preview_->setCentered(checked);
}

void DrmIconPicker::applyGeometry()
{
    const PickerGeometry g = model_.geometry();
    preview_->setFixedSize(g.previewWidth, g.previewHeight);
    // The frame and the window follow at once, not when the layouts' requests come round.
    for (QLayout* l : {previewFrame_->layout(), layout()}) {
        l->invalidate();
        l->activate();
    }
    update();
}

} // namespace tessaro
