#include "ui/browser_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/core_text.h"
#include "ui/mnemonics.h"
#include "ui/progress_window.h"

namespace tessaro {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QCoreApplication::translate("tessaro::BrowserDialogs", caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

QString phoneText(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string phoneBytes(const QString& text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    for (const QChar c : text)
        out.push_back(char(c.unicode() & 0xFF));
    return out;
}

MaskDialog::MaskDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("maskDialog"));
    setWindowTitle(tr("Set file mask"));
    setModal(true);
    volumesLabel_ = new QLabel(tr("Check volumes to read"), this);
    volumesLabel_->setObjectName(QStringLiteral("volumesLabel"));
    volumeList_ = new QListWidget(this);
    volumeList_->setObjectName(QStringLiteral("volumeList"));
    extensionLabel_ = new QLabel(tr("Extension (none to read all files)"), this);
    extensionLabel_->setObjectName(QStringLiteral("extensionLabel"));
    extensionField_ = new QLineEdit(this);
    extensionField_->setObjectName(QStringLiteral("extensionField"));
    okButton_ = button(this, "okButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "OK"));
    okButton_->setDefault(true);
    cancelButton_ = button(this, "cancelButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    connect(okButton_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(volumesLabel_);
    layout->addWidget(volumeList_);
    layout->addWidget(extensionLabel_);
    layout->addWidget(extensionField_);
    layout->addLayout(buttons);
    giveMnemonics(*this);
}

void MaskDialog::prepare(const std::vector<char>& phoneVolumes, BrowserState& state)
{
    const auto list = openMaskVolumes(phoneVolumes, state, volumes());
    volumeList_->clear();
    for (const auto& v : list) {
        auto* item = new QListWidgetItem(phoneText(std::string(1, v.letter)), volumeList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(v.checked ? Qt::Checked : Qt::Unchecked);
    }
    extensionField_->setText(phoneText(maskExtensionText(state)));
}

std::vector<MaskVolume> MaskDialog::volumes() const
{
    std::vector<MaskVolume> out;
    for (int i = 0; i < volumeList_->count(); ++i) {
        const auto* item = volumeList_->item(i);
        const std::string letter = phoneBytes(item->text());
        out.push_back({letter.empty() ? char(0) : letter[0], item->checkState() == Qt::Checked});
    }
    return out;
}

void MaskDialog::apply(BrowserState& state) const
{
    applyMask(state, volumes(), phoneBytes(extensionField_->text()));
}

bool MaskDialog::execute(const std::vector<char>& phoneVolumes, BrowserState& state)
{
    prepare(phoneVolumes, state);
    centreOn(this, nullptr);
    if (exec() != kResultOk)
        return false;
    apply(state);
    return true;
}

AttributesDialog::AttributesDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("attributesDialog"));
    setWindowTitle(tr("Set file attributes"));
    setModal(true);
    attributesGroup_ = new QGroupBox(tr("File attributes"), this);
    attributesGroup_->setObjectName(QStringLiteral("attributesGroup"));
    readOnlyBox_ = new QCheckBox(tr("Read-only"), attributesGroup_);
    readOnlyBox_->setObjectName(QStringLiteral("readOnlyBox"));
    hiddenBox_ = new QCheckBox(tr("Hidden"), attributesGroup_);
    hiddenBox_->setObjectName(QStringLiteral("hiddenBox"));
    systemBox_ = new QCheckBox(tr("System"), attributesGroup_);
    systemBox_->setObjectName(QStringLiteral("systemBox"));
    auto* boxes = new QVBoxLayout(attributesGroup_);
    boxes->addWidget(readOnlyBox_);
    boxes->addWidget(hiddenBox_);
    boxes->addWidget(systemBox_);
    okButton_ = button(this, "okButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "OK"));
    okButton_->setDefault(true);
    cancelButton_ = button(this, "cancelButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    connect(okButton_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(attributesGroup_);
    layout->addLayout(buttons);
    giveMnemonics(*this);
}

void AttributesDialog::setAttributes(int bits)
{
    readOnlyBox_->setChecked(bits & 1);
    hiddenBox_->setChecked(bits & 2);
    systemBox_->setChecked(bits & 4);
}

int AttributesDialog::attributes() const
{
    return (readOnlyBox_->isChecked() ? 1 : 0) | (hiddenBox_->isChecked() ? 2 : 0)
           | (systemBox_->isChecked() ? 4 : 0);
}

int AttributesDialog::execute(QWidget* owner, int bits)
{
    setAttributes(bits);
    centreOn(this, owner);
    return exec() == kResultOk ? attributes() : -1;
}

DeleteConfirmDialog::DeleteConfirmDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("deleteConfirmDialog"));
    setWindowTitle(tr("Confirmation"));
    setModal(true);
    questionIcon_ = new QLabel(this);
    questionIcon_->setObjectName(QStringLiteral("questionIcon"));
    questionIcon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    questionLabel_ = new QLabel(tr("Delete selected files?"), this);
    questionLabel_->setObjectName(QStringLiteral("questionLabel"));
    yesButton_ = button(this, "yesButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Yes"));
    yesToAllButton_ = button(this, "yesToAllButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Yes to all"));
    skipButton_ = button(this, "skipButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Skip"));
    cancelButton_ = button(this, "cancelButton", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    cancelButton_->setDefault(true);
    connect(yesButton_, &QPushButton::clicked, this, [this] { done(kResultYes); });
    connect(yesToAllButton_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(skipButton_, &QPushButton::clicked, this, [this] { done(kResultNo); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* text = new QHBoxLayout;
    text->addWidget(questionIcon_);
    text->addWidget(questionLabel_, 1);
    auto* buttons = new QHBoxLayout;
    for (auto* b : {yesButton_, yesToAllButton_, skipButton_, cancelButton_})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addLayout(buttons);
    giveMnemonics(*this);
}

void DeleteConfirmDialog::setText(const std::string& text)
{
    questionLabel_->setText(coreText(text));
}

DeleteAnswer DeleteConfirmDialog::ask(const std::string& text)
{
    setText(text);
    centreOn(this, nullptr);
    switch (exec()) {
    case kResultYes:
        return DeleteAnswer::Yes;
    case kResultOk:
        return DeleteAnswer::YesToAll;
    case kResultNo:
        return DeleteAnswer::Skip;
    default:
        return DeleteAnswer::Cancel;
    }
}

void DeleteConfirmDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter answers Cancel whichever button has the focus: the safe answer.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(kResultCancel);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tessaro
