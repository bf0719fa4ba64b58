#include "session/editor_session.h"

#include "p2k/no_phone.h"
#include "p2k/usb_phone.h"
#include "p2k/virtual_phone.h"

namespace tessaro {

namespace {

std::string withSeparator(std::string folder)
{
    if (folder.empty())
        return "./";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

Result<PhoneBackend> makePhoneBackend(const PhoneBackendChoice& choice)
{
    PhoneBackend backend;
    switch (choice.kind) {
    case PhoneBackendChoice::Kind::Virtual: {
        VirtualPhone::Options options;
        options.callbackThread = choice.callbackThread;
        auto opened = VirtualPhone::open(choice.virtualFolder, options);
        if (!opened)
            return opened.failure();
        backend.virtualPhone = opened.value().get();
        backend.api = std::move(opened).value();
        break;
    }
    case PhoneBackendChoice::Kind::Usb: {
        auto usb = makeUsbPhone();
        backend.usbPhone = usb.get();
        backend.api = std::move(usb);
        break;
    }
    case PhoneBackendChoice::Kind::None: backend.api = std::make_unique<NoPhone>(); break;
    }
    return backend;
}

EditorSession::EditorSession(std::string folder, PhoneBackend backend, Prompter& prompter, ProgressFactory& progress)
    : dataFolder(withSeparator(std::move(folder))),
      profiles(dataFolder),
      api(std::move(backend.api)),
      virtualPhone(backend.virtualPhone),
      usbPhone(backend.usbPhone),
      phone{*api, link, log, progress, prompter, dataFolder},
      roundTrip{phone, roundTripState, javaSlots, settings, workingFolder.path()}
{
    // A USB phone's own diagnostics go to the operation log.
    if (usbPhone)
        usbPhone->setDiagnostics([this](const std::string& line) { log.writeLine(line); });
}

EditorSession::~EditorSession()
{
    // A virtual phone joins its callback thread here; status calls still under way reach a
    // monitor that exists and a front end that no longer takes them.
    api.reset();
}

Status EditorSession::startUp(bool readOnly)
{
    const Status started = profiles.startUp(menu.items, !readOnly);
    // An empty item data table and no custom items yet.
    menu.document.clear();
    menu.customCounter = 0;
    settings = loadSettings(settingsPath(dataFolder));
    log.setEnabled(settings.logEnabled);
    return started;
}

EditorSession::PhoneStart EditorSession::startPhone(PhoneLinkView& view, ConnectionMonitor::Dispatch dispatch,
                                                    std::function<void(const std::string&)> selectProfile, bool openLog,
                                                    std::function<void()> connected)
{
    monitor = std::make_unique<ConnectionMonitor>(phone, view);
    if (dispatch)
        monitor->setDispatch(std::move(dispatch));
    monitor->setProfileSelection(std::move(selectProfile));
    monitor->setConnectHook(std::move(connected));
    monitor->setDisconnectHook([this] {
        forgetPhoneState(roundTripState);
        browser.forgetPhone();
    });
    PhoneStart start;
    if (openLog)
        start.log = monitor->openLog();
    start.library = monitor->startLibrary();
    return start;
}

} // namespace tessaro
