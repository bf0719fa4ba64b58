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
    setObjectName(QStringLiteral("TDRMPicker"));
    setWindowTitle(tr("DRM Icon Picker"));
    buildControls();
    showNumber();
    applyGeometry();
}

void DrmIconPicker::buildControls()
{
    label1_ = new QLabel(tr("Select an icon"), this);
    label1_->setObjectName(QStringLiteral("Label1"));

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    // Text reaches the field only through the key rules: no paste from a menu, a drop or an
    // input method.
    edit1_->setContextMenuPolicy(Qt::NoContextMenu);
    edit1_->setAcceptDrops(false);
    edit1_->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit1_->installEventFilter(this);
    label1_->setBuddy(edit1_);

    upDown1_ = new UpDownArrows(this);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    upDown1_->setMinimum(1);
    connect(upDown1_, &UpDownArrows::upClicked, this, [this] { stepIcon(true); });
    connect(upDown1_, &UpDownArrows::downClicked, this, [this] { stepIcon(false); });

    groupBox1_ = new QGroupBox(tr("Picture preview"), this);
    groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
    preview_ = new GifPreview(groupBox1_);
    preview_->setObjectName(QStringLiteral("RxGIFAnimator1"));

    label2_ = new QLabel(coreText(model_.sizeLabel()), this);
    label2_->setObjectName(QStringLiteral("Label2"));

    checkBox1_ = new QCheckBox(tr("Centered"), this);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox1_->setChecked(model_.isCentered());
    preview_->setCentered(model_.isCentered());
    connect(checkBox1_, &QCheckBox::clicked, this, &DrmIconPicker::setCentered);

    radioGroup1_ = new QGroupBox(tr("Screen size"), this);
    radioGroup1_->setObjectName(QStringLiteral("RadioGroup1"));
    screenSizes_ = new QButtonGroup(radioGroup1_);
    auto* radios = new QVBoxLayout(radioGroup1_);
    for (int i = 0; i < DrmPickerModel::kScreenSizeCount; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kScreenSizeCaptions[i]), radioGroup1_);
        screenSizes_->addButton(radio, i);
        radios->addWidget(radio);
    }
    screenSizes_->button(model_.screenSize())->setChecked(true);
    connect(screenSizes_, &QButtonGroup::idClicked, this, &DrmIconPicker::chooseScreenSize);

    button1_ = new QPushButton(tr("OK"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setDefault(true);
    connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
    button2_ = new QPushButton(tr("Cancel"), this);
    button2_->setObjectName(QStringLiteral("Button2"));
    connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
    button3_ = new QPushButton(tr("Load new..."), this);
    button3_->setObjectName(QStringLiteral("Button3"));
    button3_->setToolTip(tr("Open new CG15 binary"));
    connect(button3_, &QPushButton::clicked, this, &DrmIconPicker::loadNewImage);

    auto* frame = new QVBoxLayout(groupBox1_);
    frame->addWidget(preview_);
    auto* left = new QVBoxLayout;
    left->addWidget(groupBox1_);
    left->addWidget(label2_);
    left->addWidget(checkBox1_);
    auto* number = new QHBoxLayout;
    number->setSpacing(0);
    number->addWidget(edit1_);
    number->addWidget(upDown1_);
    number->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(label1_);
    right->addLayout(number);
    right->addStretch(1);
    right->addWidget(radioGroup1_);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button3_);
    buttons->addStretch(1);
    buttons->addWidget(button1_);
    buttons->addWidget(button2_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Room for five digits at any font size; the column keeps at least its usual width.
    const int digit = edit1_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    edit1_->setFixedWidth(qMax(100, digit * 9));
    upDown1_->setFixedWidth(qMax(17, digit * 2));
    upDown1_->setFixedHeight(edit1_->sizeHint().height());
    radioGroup1_->setMinimumWidth(kColumnWidth);

    setTabOrder(edit1_, checkBox1_);
    setTabOrder(checkBox1_, screenSizes_->button(0));
    setTabOrder(screenSizes_->button(DrmPickerModel::kScreenSizeCount - 1), button1_);
    setTabOrder(button1_, button2_);
    setTabOrder(button2_, button3_);
}

std::string DrmIconPicker::numberText() const
{
    return edit1_->text().toStdString();
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
    upDown1_->setMaximum(model_.maximum());
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
    edit1_->setText(QString::fromStdString(model_.text()));
    edit1_->setCursorPosition(int(model_.caret()));
    upDown1_->setMaximum(model_.maximum());
    upDown1_->setPosition(model_.position());
    showIcon();
}

void DrmIconPicker::showIcon()
{
    const QString previous = label2_->text();
    label2_->setText(coreText(model_.sizeLabel()));
    if (const auto& gif = model_.preview()) {
        if (!preview_->setGif(*gif)) {
            // Qt's reader refused what giflib read: the same as any unreadable picture.
            label2_->setText(previous);
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
    if (watched == edit1_) {
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
    const bool selected = edit1_->hasSelectedText();
    const size_t start = size_t(selected ? edit1_->selectionStart() : edit1_->cursorPosition());
    const size_t length = selected ? size_t(edit1_->selectedText().size()) : 0;

    if (key->key() == Qt::Key_Backspace) {
        // The text shrinks; the shown icon and the arrows stay where they were.
        model_.backspace(start, length);
        edit1_->setText(QString::fromStdString(model_.text()));
        edit1_->setCursorPosition(int(model_.caret()));
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
    for (QLayout* l : {groupBox1_->layout(), layout()}) {
        l->invalidate();
        l->activate();
    }
    update();
}

} // namespace tessaro
