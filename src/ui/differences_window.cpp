#include "ui/differences_window.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tessaro {

DifferencesWindow::DifferencesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("differencesWindow"));
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("differencesText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(640, 400);
}

void DifferencesWindow::showChanges(const QString& otherName, QStringList changes)
{
    setWindowTitle(tr("Changes from %1 to this menu").arg(otherName));
    if (changes.isEmpty())
        changes << tr("The menus are the same.");
    text_->setPlainText(changes.join(u'\n'));
    show();
    raise();
}

} // namespace tessaro
