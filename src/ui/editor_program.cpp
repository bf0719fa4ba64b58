#include "ui/editor_program.h"

#include <QApplication>

#include "p2k/usb_phone.h"
#include "ui/app_icons.h"
#include "ui/main_window.h"
#include "workspace/profiles.h"

namespace tessaro {

void prepareEditorApplication(QApplication& app)
{
    app.setApplicationName(QStringLiteral("Tessaro"));
    app.setApplicationVersion(QStringLiteral(TESSARO_VERSION));
    // Every window, dialog and message box carries the program's icon.
    QApplication::setWindowIcon(applicationIcon());
}

EditorProgram::EditorProgram(PhoneBackend backend)
{
    if (UsbPhone* usb = backend.usbPhone) {
        // A phone that is there but cannot be used is said once, over the window.
        usb->setNotice([this](const std::string& text) {
            QMetaObject::invokeMethod(
                qApp,
                [this, text] { prompter_.show(MessageIcon::Warning, QT_TRANSLATE_NOOP("Core", "Warning"), text); },
                Qt::QueuedConnection);
        });
    }
    session_ =
        std::make_unique<EditorSession>(ProfileManager::currentFolder(), std::move(backend), prompter_, progress_);
    window_ = std::make_unique<MainWindow>(*session_, prompter_, files_);
    prompter_.setParent(window_.get());
    progress_.setOwner(window_.get());
    files_.setParent(window_.get());
}

EditorProgram::~EditorProgram() = default;

} // namespace tessaro
