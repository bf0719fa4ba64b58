#include "ui/entry_dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/catalogue.h"
#include "ui/core_text.h"
#include "ui/mnemonics.h"

namespace tessaro {

namespace {

constexpr int kMemoMaxLength = 400;

QComboBox* languageList(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("languageChoice"));
    return box;
}

void fillLanguages(QComboBox* box, int language)
{
    box->clear();
    for (const char* name : kLanguageNames)
        box->addItem(coreText(name));
    box->setCurrentIndex(language >= 0 && language < kLanguageCount ? language : 0);
}

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QCoreApplication::translate("tessaro::EntryDialogs", "OK"),
                                         QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QCoreApplication::translate("tessaro::EntryDialogs", "Cancel"),
                                             QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// Enter closes the text editor with OK instead of starting a new line.
class SingleParagraphMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

} // namespace

TitleEntryDialog::TitleEntryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("titleEntryDialog"));
    setWindowTitle(tr("Name settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Type in new name"), this));
    titleField_ = new QLineEdit(this);
    titleField_->setObjectName(QStringLiteral("titleField"));
    layout->addWidget(titleField_);
    layout->addWidget(new QLabel(tr("Select language"), this));
    languages_ = languageList(this);
    layout->addWidget(languages_);
    layout->addWidget(okCancel(this));
    connect(languages_, &QComboBox::activated, this, [this] { titleField_->setFocus(); });
    giveMnemonics(*this);
}

void TitleEntryDialog::prepare(int language, const QString& text)
{
    fillLanguages(languages_, language);
    titleField_->setText(text);
}

int TitleEntryDialog::language() const { return languages_->currentIndex(); }

QString TitleEntryDialog::text() const { return titleField_->text(); }

TextEntryDialog::TextEntryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("textEntryDialog"));
    setWindowTitle(tr("Text editor "));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Select language"), this));
    languages_ = languageList(this);
    layout->addWidget(languages_);
    textField_ = new SingleParagraphMemo(this);
    textField_->setObjectName(QStringLiteral("textField"));
    layout->addWidget(textField_);
    layout->addWidget(okCancel(this));
    connect(languages_, &QComboBox::activated, this, [this] { textField_->setFocus(); });
    connect(textField_, &QPlainTextEdit::textChanged, this, &TextEntryDialog::limitText);
    giveMnemonics(*this);
}

void TextEntryDialog::prepare(int language, const QString& text)
{
    fillLanguages(languages_, language);
    textField_->setPlainText(text);
}

int TextEntryDialog::language() const { return languages_->currentIndex(); }

QString TextEntryDialog::text() const
{
    QString text = textField_->toPlainText();
    text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return text;
}

// Pasted text may bring line breaks or more than the memo holds: both are taken out at once.
void TextEntryDialog::limitText()
{
    const QString current = textField_->toPlainText();
    QString limited = current;
    limited.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QChar(0x2029));
    limited.truncate(kMemoMaxLength);
    if (limited == current)
        return;
    const QSignalBlocker block(textField_);
    textField_->setPlainText(limited);
    QTextCursor cursor = textField_->textCursor();
    cursor.movePosition(QTextCursor::End);
    textField_->setTextCursor(cursor);
}

} // namespace tessaro
