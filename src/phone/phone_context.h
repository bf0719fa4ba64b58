#pragma once
// Everything the phone operations work with, gathered in one place the caller owns.

#include <cstdint>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/prompter.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

class P2kApi;
class OperationLog;

// Identity of the connected phone; the texts keep their last values after a disconnection.
struct PhoneLinkState {
    bool connected = false;
    std::string model;
    std::string firmwareVersion;
    std::string firmwarePrefix;
    uint16_t lpVersion = 0;
    std::string lpVersionText;
    std::string imei;
    // What of the identity could not be read ("model, IMEI"); empty when all of it was.
    std::string unreadable;
};

struct PhoneContext {
    P2kApi& api;
    PhoneLinkState& link;
    OperationLog& log;
    ProgressFactory& progress;
    Prompter& prompter;
    std::string dataFolder;            // with a trailing separator
    std::string progressLabel;            // ProgressLabel
    // The last transfer or listing was stopped from its progress window: its failure needs no
    // further message.
    bool cancelled = false;
};

} // namespace tessaro
