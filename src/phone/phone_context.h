#pragma once
// Everything the phone operations work with, gathered in one place the caller owns.

#include <string>

#include "core/progress.h"
#include "core/prompter.h"
#include "p2k/file_list_entry.h"
#include "p2k/phone_client.h"
#include "p2k/phone_link_state.h"

namespace tessaro {

class P2kApi;
class OperationLog;

struct PhoneContext {
    // The client talks to the phone through `api` and logs into `log`; each of the parts must
    // outlive the context.
    PhoneContext(P2kApi& api, PhoneLinkState& link, OperationLog& log, ProgressFactory& progress, Prompter& prompter,
                 std::string dataFolder)
        : client(api, link, log), link(link), progress(progress), prompter(prompter), dataFolder(std::move(dataFolder))
    {
    }

    // Every request to the phone goes through the client, which logs it.
    PhoneClient client;
    PhoneLinkState& link;
    ProgressFactory& progress;
    Prompter& prompter;
    std::string dataFolder; // with a trailing separator
};

} // namespace tessaro
