#pragma once
// The editor's answers to the open menu's questions: each a message box through the prompter
// (Yes / No, or Save / Discard / Cancel), and the list of what Save to phone changes on the
// phone in a window of its own.

#include <functional>

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "core/prompter.h"
#include "session/session_questions.h"

namespace tessaro {

class WindowQuestions : public SessionQuestions {
public:
    // Before Save to phone writes over a phone menu that differs from the open one: shown the
    // changes, true to go on. Without one set, a window lists them with "Save to phone" and
    // Cancel; tests answer it without a window.
    using PhoneChangesQuestion = std::function<bool(const QStringList& changes)>;

    // Boxes stand over `parent`.
    WindowQuestions(Prompter& prompter, QWidget* parent);

    void setPhoneChangesQuestion(PhoneChangesQuestion question) { phoneChanges_ = std::move(question); }
    // Before Save to phone sends a menu naming icons the phone lacks: shown the changes (maybe
    // none) and the missing icons, true to go on. Without one set, the window of the changes
    // lists both; tests answer it without a window.
    using MissingIconsQuestion = std::function<bool(const QStringList& changes, const QStringList& missingIcons)>;
    void setMissingIconsQuestion(MissingIconsQuestion question) { missingIcons_ = std::move(question); }

    UnsavedChoice saveChangesFirst() override;
    bool overwriteChangedFile(const std::string& path) override;
    bool replaceReadOnlyFile(const std::string& path) override;
    bool leaveOutUnknownRecords(size_t count) override;
    bool replaceProfile(const std::string& path) override;
    bool patchJavaTables() override;
    bool writeOverPhoneMenu(const std::vector<std::string>& changes) override;
    bool sendWithMissingIcons(const std::vector<std::string>& changes,
                              const std::vector<std::string>& missingIcons) override;
    bool putBackPhoneMenu(const std::string& backup) override;
    bool putBackInterruptedUpload(const std::string& phonePath, const std::string& backup) override;

private:
    bool yes(MessageIcon icon, const QString& caption, const QString& question);
    // The window of Save to phone: the changes, and below them the missing icons when there
    // are any, with "Save to phone" and Cancel.
    bool askSaveToPhone(const QStringList& changes, const QStringList& missingIcons);

    Prompter& prompter_;
    QPointer<QWidget> parent_;
    PhoneChangesQuestion phoneChanges_;
    MissingIconsQuestion missingIcons_;
};

} // namespace tessaro
