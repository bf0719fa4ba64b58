#include "ui/setup_dialog.h"

#include <iterator>

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/prompter.h"
#include "phone/phone_context.h"
#include "phone/seem_backup.h"
#include "ui/file_dialogs.h"
#include "ui/mnemonics.h"

namespace tessaro {

SetupDialog::SetupDialog(Settings& settings, std::string iniPath, PhoneContext* phone,
                       bool phoneConnected, FileDialogs& files, Prompter& prompter, QWidget* parent)
    : QDialog(parent), settings_(settings), iniPath_(std::move(iniPath)), phone_(phone),
      files_(files), prompter_(prompter), model_(settings, phoneConnected && phone != nullptr)
{
    setObjectName(QStringLiteral("setupDialog"));
    setWindowTitle(tr("Settings"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto makeBox = [this](SetupOption which, const char* name, const char* caption) {
        auto* b = new QCheckBox(tr(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        boxes_[which] = b;
        // clicked, not toggled: boxes set from the model must not run their rule again.
        connect(b, &QCheckBox::clicked, this, [this, which](bool checked) {
            model_.setChecked(which, checked);
            showModel();
        });
        return b;
    };
    auto* log = makeBox(SetupOption::LogPhoneOperations, "loggingBox",
                        QT_TR_NOOP("Enable p2k ops logging"));
    auto* system = makeBox(SetupOption::SetSystemAttribute, "systemAttributeBox",
                           QT_TR_NOOP("Set SYSTEM attribute"));
    auto* activate = makeBox(SetupOption::ActivateSeemItems, "activateSeemItemsBox",
                             QT_TR_NOOP("Activate items in SEEM 0032"));
    auto* read = makeBox(SetupOption::ReadJavaSlots, "readJavaSlotsBox", QT_TR_NOOP("Read J2MEST"));
    auto* fromPhone = makeBox(SetupOption::JavaSlotsFromPhone, "fromPhoneBox", QT_TR_NOOP("From phone"));
    auto* fromCard = makeBox(SetupOption::JavaSlotsFromCard, "fromCardBox", QT_TR_NOOP("From card"));
    auto* patch = makeBox(SetupOption::AllowCoreletPatching, "allowPatchingBox",
                          QT_TR_NOOP("Allow patching to run corelets"));

    backupButton_ = new QPushButton(tr("Backup SEEM"), this);
    backupButton_->setObjectName(QStringLiteral("backupSeemButton"));
    restoreButton_ = new QPushButton(tr("Restore backup"), this);
    restoreButton_->setObjectName(QStringLiteral("restoreBackupButton"));
    connect(backupButton_, &QPushButton::clicked, this, &SetupDialog::backupSeem);
    connect(restoreButton_, &QPushButton::clicked, this, &SetupDialog::restoreSeem);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &SetupDialog::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* phoneGroup = new QGroupBox(tr("Phone"), this);
    auto* phoneLayout = new QVBoxLayout(phoneGroup);
    phoneLayout->addWidget(log);
    phoneLayout->addWidget(system);
    phoneLayout->addWidget(activate);
    auto* seemRow = new QHBoxLayout;
    seemRow->addWidget(backupButton_);
    seemRow->addWidget(restoreButton_);
    phoneLayout->addLayout(seemRow);

    auto* javaGroup = new QGroupBox(tr("Java"), this);
    auto* javaLayout = new QVBoxLayout(javaGroup);
    javaLayout->addWidget(read);
    auto* sources = new QVBoxLayout;
    sources->setContentsMargins(20, 0, 0, 0);
    sources->addWidget(fromPhone);
    sources->addWidget(fromCard);
    sources->addWidget(patch);
    javaLayout->addLayout(sources);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(phoneGroup);
    layout->addWidget(javaGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab follows the rows as they are shown: the phone group with its SEEM buttons, then Java.
    QWidget* const order[] = {log,      system, activate, backupButton_, restoreButton_, read, fromPhone,
                              fromCard, patch,  ok,       cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    showModel();
    giveMnemonics(*this);
}

void SetupDialog::showModel()
{
    for (const auto& [which, b] : boxes_) {
        const BoxState state = model_.box(which);
        b->setChecked(state.checked);
        b->setEnabled(state.enabled);
    }
    backupButton_->setEnabled(model_.seemButtonsEnabled());
    restoreButton_->setEnabled(model_.seemButtonsEnabled());
}

void SetupDialog::okClicked()
{
    const Status written = model_.ok(settings_, iniPath_);
    if (!written)
        prompter_.show(MessageIcon::Error, "", written.error());
    accept();
}

void SetupDialog::backupSeem()
{
    if (!phone_ || !phone_->link.connected)
        return;
    const std::string path = files_.saveFile(
        {kSeemBackupSaveTitle, kSeemBackupFilter, kSeemBackupFileName, {}});
    showOutcome(backupSeemRecord(*phone_, path), kSeemBackedUpText);
}

void SetupDialog::restoreSeem()
{
    if (!phone_ || !phone_->link.connected)
        return;
    const std::string path = files_.openFile(
        {kSeemRestoreOpenTitle, kSeemBackupFilter, kSeemBackupFileName, {}});
    showOutcome(restoreSeemRecord(*phone_, path), kSeemRestoredText);
}

void SetupDialog::showOutcome(const Status& outcome, const char* done)
{
    if (outcome)
        prompter_.show(MessageIcon::Information, "", done);
    else if (!outcome.cancelled())
        prompter_.show(MessageIcon::Error, outcome.failure().caption, outcome.error());
}

} // namespace tessaro
