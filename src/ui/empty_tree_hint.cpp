#include "ui/empty_tree_hint.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/wrapping_command_button.h"

namespace tessaro {

EmptyTreeHint::EmptyTreeHint(QAbstractScrollArea& tree, QAction& openFile, QAction& openFromPhone, QAction& newMenu)
    : QWidget(tree.viewport())
{
    setObjectName(QStringLiteral("emptyTreeHint"));

    auto* title = new QLabel(tr("No menu is open"), this);
    title->setObjectName(QStringLiteral("emptyTreeTitle"));
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);

    commands_ = new QWidget(this);
    auto* column = new QVBoxLayout(commands_);
    column->setContentsMargins(0, 0, 0, 0);
    addCommand("openFileCommand", tr("&Open a menu file..."), openFile);
    WrappingCommandButton* phone = addCommand("openFromPhoneCommand", tr("Open from the &phone"), openFromPhone);
    addCommand("newMenuCommand", tr("Start a &new menu"), newMenu);
    // The phone command has no shortcut to show; it says instead why it is off.
    showPhoneState(*phone, openFromPhone);
    connect(&openFromPhone, &QAction::changed, phone,
            [this, phone, &openFromPhone] { showPhoneState(*phone, openFromPhone); });

    // A little above the middle, where the eye looks first in an empty view.
    auto* layout = new QVBoxLayout(this);
    // The commands keep a margin of their own; the tree is often narrow.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(2);
    layout->addWidget(title);
    layout->addWidget(commands_, 0, Qt::AlignHCenter);
    layout->addStretch(3);

    tree.viewport()->installEventFilter(this);
    setGeometry(tree.viewport()->rect());
}

WrappingCommandButton* EmptyTreeHint::addCommand(const char* name, const QString& caption, QAction& action)
{
    auto* command = new WrappingCommandButton(caption, commands_);
    command->setObjectName(QString::fromLatin1(name));
    command->setIcon(action.icon());
    commands_->layout()->addWidget(command);
    // trigger() does nothing while the action is off, like its menu entry.
    connect(command, &QAbstractButton::clicked, &action, &QAction::trigger);
    auto follow = [command, &action] {
        command->setEnabled(action.isEnabled());
        command->setNote(action.shortcut().toString(QKeySequence::NativeText));
    };
    follow();
    connect(&action, &QAction::changed, command, follow);
    return command;
}

void EmptyTreeHint::showPhoneState(WrappingCommandButton& command, const QAction& openFromPhone)
{
    command.setNote(openFromPhone.isEnabled() ? tr("A phone is connected") : tr("No phone is connected"));
}

void EmptyTreeHint::showEvent(QShowEvent* event)
{
    // Scrolling the tree moves the viewport's children, hidden ones too: back in place.
    setGeometry(parentWidget()->rect());
    QWidget::showEvent(event);
}

bool EmptyTreeHint::eventFilter(QObject* watched, QEvent* event)
{
    // The hint covers the whole viewport, so it stays centred as the tree is resized.
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(static_cast<QWidget*>(watched)->rect());
    return QWidget::eventFilter(watched, event);
}

} // namespace tessaro
