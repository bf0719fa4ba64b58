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
    setObjectName(QStringLiteral("TMaskRequest"));
    setWindowTitle(tr("Set file mask"));
    setModal(true);
    label1_ = new QLabel(tr("Check volumes to read"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    checkListBox1_ = new QListWidget(this);
    checkListBox1_->setObjectName(QStringLiteral("CheckListBox1"));
    label2_ = new QLabel(tr("Extension (none to read all files)"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    okBtn_ = button(this, "OKBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "OK"));
    okBtn_->setDefault(true);
    cancelBtn_ = button(this, "CancelBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    connect(okBtn_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(checkListBox1_);
    layout->addWidget(label2_);
    layout->addWidget(edit1_);
    layout->addLayout(buttons);
}

void MaskDialog::prepare(const std::vector<char>& phoneVolumes, BrowserState& state)
{
    const auto list = openMaskVolumes(phoneVolumes, state, volumes());
    checkListBox1_->clear();
    for (const auto& v : list) {
        auto* item = new QListWidgetItem(phoneText(std::string(1, v.letter)), checkListBox1_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(v.checked ? Qt::Checked : Qt::Unchecked);
    }
    edit1_->setText(phoneText(maskExtensionText(state)));
}

std::vector<MaskVolume> MaskDialog::volumes() const
{
    std::vector<MaskVolume> out;
    for (int i = 0; i < checkListBox1_->count(); ++i) {
        const auto* item = checkListBox1_->item(i);
        const std::string letter = phoneBytes(item->text());
        out.push_back({letter.empty() ? char(0) : letter[0], item->checkState() == Qt::Checked});
    }
    return out;
}

void MaskDialog::apply(BrowserState& state) const
{
    applyMask(state, volumes(), phoneBytes(edit1_->text()));
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
    setObjectName(QStringLiteral("TOKRightDlg"));
    setWindowTitle(tr("Set file attributes"));
    setModal(true);
    groupBox1_ = new QGroupBox(tr("File attributes"), this);
    groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
    checkBox1_ = new QCheckBox(tr("Read-only"), groupBox1_);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox2_ = new QCheckBox(tr("Hidden"), groupBox1_);
    checkBox2_->setObjectName(QStringLiteral("CheckBox2"));
    checkBox3_ = new QCheckBox(tr("System"), groupBox1_);
    checkBox3_->setObjectName(QStringLiteral("CheckBox3"));
    auto* boxes = new QVBoxLayout(groupBox1_);
    boxes->addWidget(checkBox1_);
    boxes->addWidget(checkBox2_);
    boxes->addWidget(checkBox3_);
    okBtn_ = button(this, "OKBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "OK"));
    okBtn_->setDefault(true);
    cancelBtn_ = button(this, "CancelBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    connect(okBtn_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(groupBox1_);
    layout->addLayout(buttons);
}

void AttributesDialog::setAttributes(int bits)
{
    checkBox1_->setChecked(bits & 1);
    checkBox2_->setChecked(bits & 2);
    checkBox3_->setChecked(bits & 4);
}

int AttributesDialog::attributes() const
{
    return (checkBox1_->isChecked() ? 1 : 0) | (checkBox2_->isChecked() ? 2 : 0)
           | (checkBox3_->isChecked() ? 4 : 0);
}

int AttributesDialog::execute(QWidget* owner, int bits)
{
    setAttributes(bits);
    centreOn(this, owner);
    return exec() == kResultOk ? attributes() : -1;
}

DeleteConfirmDialog::DeleteConfirmDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDelRequest"));
    setWindowTitle(tr("Confirmation"));
    setModal(true);
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    label1_ = new QLabel(tr("Delete selected files?"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    okBtn_ = button(this, "OKBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Yes"));
    button1_ = button(this, "Button1", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Yes to all"));
    button2_ = button(this, "Button2", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Skip"));
    cancelBtn_ = button(this, "CancelBtn", QT_TRANSLATE_NOOP("tessaro::BrowserDialogs", "Cancel"));
    cancelBtn_->setDefault(true);
    connect(okBtn_, &QPushButton::clicked, this, [this] { done(kResultYes); });
    connect(button1_, &QPushButton::clicked, this, [this] { done(kResultOk); });
    connect(button2_, &QPushButton::clicked, this, [this] { done(kResultNo); });
    connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kResultCancel); });

    auto* text = new QHBoxLayout;
    text->addWidget(image1_);
    text->addWidget(label1_, 1);
    auto* buttons = new QHBoxLayout;
    for (auto* b : {okBtn_, button1_, button2_, cancelBtn_})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addLayout(buttons);
}

void DeleteConfirmDialog::setText(const std::string& text)
{
    label1_->setText(coreText(text));
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
