#include "session/app_context.h"

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

AppContext::AppContext(std::string folder, std::unique_ptr<P2kApi> library, Prompter& prompter,
                       ProgressFactory& progress)
    : defaultFolder(withSeparator(std::move(folder))), profiles(defaultFolder),
      api(std::move(library)), phone{*api, link, log, progress, prompter, defaultFolder},
      roundTrip{phone, roundTripState, javaSlots, settings, workingFolder.path()}
{
}

AppContext::~AppContext()
{
    // A virtual phone joins its callback thread here; status calls still under way reach a
    // monitor that exists and a window that no longer takes them.
    api.reset();
}

} // namespace tessaro
