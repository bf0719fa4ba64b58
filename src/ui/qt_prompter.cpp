#include "ui/qt_prompter.h"

#include <QMessageBox>

#include "ui/core_text.h"

namespace tessaro {

namespace {

// The boxes' standard buttons show Qt's own texts, which Qt's translations hold. They are
// listed here as well so the editor's translation carries them for systems without Qt's.
[[maybe_unused]] constexpr const char* kStandardButtonTexts[] = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),     QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "&Yes"),   QT_TRANSLATE_NOOP("QPlatformTheme", "Yes to &All"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "&No"),    QT_TRANSLATE_NOOP("QPlatformTheme", "Save"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Discard")};

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The text in the user's language, as the box shows it.
QString boxText(const std::string& text)
{
    QString shown = coreText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace

QString QtPrompter::displayText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void QtPrompter::show(MessageIcon icon, const std::string& caption, const std::string& text)
{
    QMessageBox box(boxIcon(icon), coreText(caption), boxText(text),
                    QMessageBox::Ok, parent_.data());
    // The texts indent their second lines with spaces; keep them as written.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Answer QtPrompter::ask(MessageIcon icon, const std::string& caption, const std::string& text,
                       Buttons buttons)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == Buttons::YesNo)
        standard = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == Buttons::SaveDiscardCancel)
        standard = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    else if (buttons == Buttons::YesAllNoCancel)
        standard = QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(boxIcon(icon), coreText(caption), boxText(text), standard,
                    parent_.data());
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::YesToAll: return Answer::YesToAll;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Save: return Answer::Save;
    case QMessageBox::Discard: return Answer::Discard;
    default: break;
    }
    // Closing the box with Escape or the title bar answers like the negative button.
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

} // namespace tessaro
