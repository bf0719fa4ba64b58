#pragma once
// The two small dialogs of the item editor that enter one title: `TitleEntryDialog` "Name
// settings" (menu and softkey titles, one line) and `TextEntryDialog` "Text editor " (texts to
// show, up to 400 characters without line breaks). Each picks one of the 47 languages.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace tessaro {

// The language each dialog selects when it opens: per dialog, kept by the caller for the
// whole run; 0 ("English US") until the first "Edit" of a title.
struct EntryLanguages {
    int nameSettings = 0;   // index into the language table
    int textEditor = 0;
};

class TitleEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TitleEntryDialog(QWidget* parent = nullptr);

    // Fills the language list and selects `language` (an index into the language table).
    void prepare(int language, const QString& text);
    int language() const;
    QString text() const;

private:
    QLineEdit* titleField_ = nullptr;
    QComboBox* languages_ = nullptr;
};

class TextEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextEntryDialog(QWidget* parent = nullptr);

    void prepare(int language, const QString& text);
    int language() const;
    // The memo's text, line breaks left out.
    QString text() const;

private:
    void limitText();

    QComboBox* languages_ = nullptr;
    QPlainTextEdit* textField_ = nullptr;
};

} // namespace tessaro
