#include "support/ui_harness.h"

#include <filesystem>
#include <stdexcept>

#include <QLayout>
#include <QString>
#include <QtGlobal>

#include "core/menu_document.h"
#include "p2k/no_phone.h"
#include "p2k/virtual_phone.h"
#include "session/editor_session.h"
#include "ui/main_window.h"

namespace tessaro::testing {

namespace {

QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support setting window opacity"))
        || message.contains(QLatin1String("does not support setting window masks"))
        || message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

// True when `layout` or one of its inner layouts places `widget`.
bool places(const QLayout* layout, const QWidget* widget)
{
    if (!layout)
        return false;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget || places(item->layout(), widget))
            return true;
    }
    return false;
}

} // namespace

QStringList captionsUnder(const MenuNode* node)
{
    QStringList out;
    for (const auto& c : node->children())
        out << QString::fromStdString(c->caption());
    return out;
}

QStringList clippedChildren(QWidget& window)
{
    QStringList clipped;
    const QRect area = window.rect();
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(&window))
            continue;
        // Widgets a layout places must get what they ask for; those a compound widget places
        // by hand (the two halves of the up/down arrows) only have to stay inside.
        const bool laidOut = places(w->parentWidget()->layout(), w);
        const QSize need = laidOut ? w->minimumSizeHint() : QSize();
        const QSizePolicy policy = w->sizePolicy();
        const bool narrow = policy.horizontalPolicy() != QSizePolicy::Ignored && need.width() > w->width();
        const bool low = policy.verticalPolicy() != QSizePolicy::Ignored && need.height() > w->height();
        const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (narrow || low || !area.contains(at))
            clipped << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                  : w->objectName());
    }
    return clipped;
}

void quietPlatformWarnings()
{
    previousHandler = qInstallMessageHandler(quietHandler);
}

std::string FakeFileDialogs::next(const FileDialogRequest& request)
{
    requests.push_back(request);
    if (answers.empty())
        return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
}

std::string FakeFileDialogs::openFile(const FileDialogRequest& request)
{
    return next(request);
}

std::string FakeFileDialogs::saveFile(const FileDialogRequest& request)
{
    return next(request);
}

WindowHarness::WindowHarness(std::unique_ptr<P2kApi> api, std::string folder)
{
    if (!api)
        api = std::make_unique<NoPhone>();
    if (folder.empty())
        folder = dir.path().string();
    context = std::make_unique<EditorSession>(folder, PhoneBackend{std::move(api)}, prompter, progress);
}

WindowHarness::~WindowHarness()
{
    window.reset();
}

MainWindow& WindowHarness::start()
{
    window = std::make_unique<MainWindow>(*context, prompter, files);
    // The item properties window closes with Cancel unless a test answers it.
    window->setItemEditorRunner([](ItemPropertiesWindow&) { return false; });
    // Save to phone goes on after its list of changes unless a test answers otherwise.
    window->setPhoneChangesQuestion([this](const QStringList& changes) {
        phoneChanges.push_back(changes);
        return phoneChangesAccepted;
    });
    progress.setOwner(window.get());
    return *window;
}

std::unique_ptr<VirtualPhone> openVirtualPhone(const std::string& dir)
{
    auto phone = VirtualPhone::open(dir, VirtualPhone::Options{});
    if (!phone)
        throw std::runtime_error(phone.error());
    return std::move(phone).value();
}

void copySamplePhone(const std::string& target)
{
    std::filesystem::copy(TESSARO_EXAMPLES "/virtual-phone", target,
                          std::filesystem::copy_options::recursive
                              | std::filesystem::copy_options::overwrite_existing);
}

} // namespace tessaro::testing
