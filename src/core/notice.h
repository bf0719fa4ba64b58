#pragma once
// A message for the user that reports no failure: a fallback that was taken, a table that
// grew, a profile that could only be read in part. Operations return their notices in the
// order they arose; the window or the command-line tool shows them.

#include <string>

#include "core/prompter.h"

namespace tessaro {

struct Notice {
    MessageIcon icon = MessageIcon::None;
    std::string caption;
    std::string text;

    bool operator==(const Notice&) const = default;
};

} // namespace tessaro
