#include "ui/window_questions.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/prompter.h"
#include "session/phone_menu.h"
#include "session/unsaved_changes.h"
#include "ui/core_text.h"
#include "workspace/firmware_profile.h"

namespace tessaro {

namespace {

// The texts are the main window's, where the user meets them; each is marked with
// QT_TRANSLATE_NOOP in that context.
QString windowText(const char* text)
{
    return QCoreApplication::translate("tessaro::MainWindow", text);
}

} // namespace

WindowQuestions::WindowQuestions(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent)
{
}

bool WindowQuestions::yes(MessageIcon icon, const QString& caption, const QString& question)
{
    return prompter_.ask(icon, caption.toStdString(), question.toStdString(), Buttons::YesNo) == Answer::Yes;
}

UnsavedChoice WindowQuestions::saveChangesFirst()
{
    switch (prompter_.ask(MessageIcon::Question, TRANSLATABLE("Core", "Confirmation"),
                          std::string(kSaveChangesQuestion), Buttons::SaveDiscardCancel)) {
    case Answer::Save: return UnsavedChoice::Save;
    case Answer::Discard: return UnsavedChoice::Discard;
    default:
        // Anything but a clear choice keeps the menu: losing work is the one mistake that
        // cannot be taken back.
        return UnsavedChoice::Cancel;
    }
}

bool WindowQuestions::overwriteChangedFile(const std::string& path)
{
    return yes(
        MessageIcon::Warning, windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Save")),
        windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow",
                                     "%1 was changed on disk since it was opened or saved here.\nWrite over it?"))
            .arg(QString::fromStdString(path)));
}

bool WindowQuestions::replaceReadOnlyFile(const std::string& path)
{
    return yes(MessageIcon::Warning, windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Save")),
               windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "%1 is read-only.\nReplace it all the same?"))
                   .arg(QString::fromStdString(path)));
}

bool WindowQuestions::leaveOutUnknownRecords(size_t count)
{
    return yes(
        MessageIcon::Warning, windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Save")),
        windowText(QT_TRANSLATE_NOOP(
                       "tessaro::MainWindow",
                       "%1 data records of unknown kinds will be left out. Save all keeps them.\nSave without them?"))
            .arg(count));
}

bool WindowQuestions::replaceProfile(const std::string& path)
{
    return yes(MessageIcon::Question, {},
               coreText(kProfileExistsText) + QString::fromStdString(path) + u'\n'
                   + windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Replace it?")));
}

bool WindowQuestions::patchJavaTables()
{
    return prompter_.ask(MessageIcon::Question, kPatchRequestCaption, kPatchRequestText, Buttons::YesNo) == Answer::Yes;
}

namespace {

QStringList shownLines(const std::vector<std::string>& lines)
{
    QStringList shown;
    for (const std::string& line : lines)
        shown << coreText(line);
    return shown;
}

} // namespace

bool WindowQuestions::writeOverPhoneMenu(const std::vector<std::string>& changes)
{
    const QStringList lines = shownLines(changes);
    if (phoneChanges_)
        return phoneChanges_(lines);
    return askSaveToPhone(lines, {});
}

bool WindowQuestions::sendWithMissingIcons(const std::vector<std::string>& changes,
                                           const std::vector<std::string>& missingIcons)
{
    const QStringList changeLines = shownLines(changes);
    const QStringList missingLines = shownLines(missingIcons);
    if (missingIcons_)
        return missingIcons_(changeLines, missingLines);
    return askSaveToPhone(changeLines, missingLines);
}

bool WindowQuestions::askSaveToPhone(const QStringList& changes, const QStringList& missingIcons)
{
    QDialog question(parent_);
    question.setObjectName(QStringLiteral("phoneChangesQuestion"));
    question.setWindowTitle(windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Save to phone")));
    auto* layout = new QVBoxLayout(&question);
    const auto addList = [&](const QString& heading, const QStringList& lines, const char* name) {
        layout->addWidget(new QLabel(heading, &question));
        auto* text = new QPlainTextEdit(lines.join(u'\n'), &question);
        text->setObjectName(QString::fromLatin1(name));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(text);
    };
    if (!changes.isEmpty())
        addList(windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Saving changes the phone's menu:")), changes,
                "phoneChanges");
    if (!missingIcons.isEmpty())
        addList(windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "The menu names icons the phone does not have:")),
                missingIcons, "missingIcons");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &question);
    buttons->addButton(windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "&Save to phone")),
                       QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &question, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &question, &QDialog::reject);
    layout->addWidget(buttons);
    question.resize(640, 400);
    return question.exec() == QDialog::Accepted;
}

bool WindowQuestions::putBackPhoneMenu(const std::string& backup)
{
    return yes(MessageIcon::Question, windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Save to phone")),
               windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow",
                                            "The phone's previous menu is kept in %1.\nPut it back on the phone now?"))
                   .arg(QString::fromStdString(backup)));
}

bool WindowQuestions::putBackInterruptedUpload(const std::string& phonePath, const std::string& backup)
{
    return yes(
        MessageIcon::Question, windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow", "Interrupted upload")),
        windowText(QT_TRANSLATE_NOOP("tessaro::MainWindow",
                                     "An upload of %1 to this phone was interrupted, which left the file cut "
                                     "short on the phone.\nIts previous file is kept in %2.\nPut it back on the "
                                     "phone now?"))
            .arg(QString::fromLatin1(phonePath.data(), qsizetype(phonePath.size())), QString::fromStdString(backup)));
}

} // namespace tessaro
