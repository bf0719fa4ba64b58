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

namespace tessaro {

namespace {

constexpr int kMemoMaxLength = 400;

QComboBox* languageList(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("TntComboBox1"));
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
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QCoreApplication::translate("tessaro::EntryDialogs", "Cancel"),
                                             QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
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
    setObjectName(QStringLiteral("TEntryForm1"));
    setWindowTitle(tr("Name settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Type in new name"), this));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("TntEdit1"));
    layout->addWidget(edit_);
    layout->addWidget(new QLabel(tr("Select language"), this));
    languages_ = languageList(this);
    layout->addWidget(languages_);
    layout->addWidget(okCancel(this));
    connect(languages_, &QComboBox::activated, this, [this] { edit_->setFocus(); });
}

void TitleEntryDialog::prepare(int language, const QString& text)
{
    fillLanguages(languages_, language);
    edit_->setText(text);
}

int TitleEntryDialog::language() const { return languages_->currentIndex(); }

QString TitleEntryDialog::text() const { return edit_->text(); }

TextEntryDialog::TextEntryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TEntryForm2"));
    setWindowTitle(tr("Text editor "));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Select language"), this));
    languages_ = languageList(this);
    layout->addWidget(languages_);
    memo_ = new SingleParagraphMemo(this);
    memo_->setObjectName(QStringLiteral("TntMemo1"));
    layout->addWidget(memo_);
    layout->addWidget(okCancel(this));
    connect(languages_, &QComboBox::activated, this, [this] { memo_->setFocus(); });
    connect(memo_, &QPlainTextEdit::textChanged, this, &TextEntryDialog::limitText);
}

void TextEntryDialog::prepare(int language, const QString& text)
{
    fillLanguages(languages_, language);
    memo_->setPlainText(text);
}

int TextEntryDialog::language() const { return languages_->currentIndex(); }

QString TextEntryDialog::text() const
{
    QString text = memo_->toPlainText();
    text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return text;
}

// Pasted text may bring line breaks or more than the memo holds: both are taken out at once.
void TextEntryDialog::limitText()
{
    const QString current = memo_->toPlainText();
    QString limited = current;
    limited.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QChar(0x2029));
    limited.truncate(kMemoMaxLength);
    if (limited == current)
        return;
    const QSignalBlocker block(memo_);
    memo_->setPlainText(limited);
    QTextCursor cursor = memo_->textCursor();
    cursor.movePosition(QTextCursor::End);
    memo_->setTextCursor(cursor);
}

} // namespace tessaro
