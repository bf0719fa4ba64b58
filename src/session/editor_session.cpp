#include "session/editor_session.h"

#include "phone/connection_monitor.h"

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

EditorSession::EditorSession(std::string folder, std::unique_ptr<P2kApi> library, Prompter& prompter,
                       ProgressFactory& progress)
    : dataFolder(withSeparator(std::move(folder))), profiles(dataFolder),
      api(std::move(library)), phone{*api, link, log, progress, prompter, dataFolder},
      roundTrip{phone, roundTripState, javaSlots, settings, workingFolder.path()}
{
}

EditorSession::~EditorSession()
{
    // A virtual phone joins its callback thread here; status calls still under way reach a
    // monitor that exists and a window that no longer takes them.
    api.reset();
}

} // namespace tessaro
