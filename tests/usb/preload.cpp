#include "usb/preload.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tessaro::testing {

namespace {

// Puts `value` in front of the variable's list (separated by `separator`).
void prepend(const char* name, const std::string& value, char separator)
{
    const char* old = std::getenv(name);
    std::string joined = value;
    if (old && *old)
        joined += separator + std::string(old);
    setenv(name, joined.c_str(), 1);
}

} // namespace

bool runUnderUmockdevPreload(char** argv)
{
    const char* loaded = std::getenv("LD_PRELOAD");
    if (loaded && std::strstr(loaded, "libumockdev-preload"))
        return true;
    // (Whether the preload works shows only once a testbed exists:
    // umockdev_in_mock_environment() remembers its first answer.)
    if (std::getenv("TESSARO_FAKE_BUS_RESTARTED")) {
        std::fprintf(stderr, "libumockdev-preload.so.0 could not be preloaded\n");
        return false;
    }
    setenv("TESSARO_FAKE_BUS_RESTARTED", "1", 1);
    prepend("LD_PRELOAD", "libumockdev-preload.so.0", ':');
    // A sanitizer build insists on its runtime coming first among the preloads.
    prepend("ASAN_OPTIONS", "verify_asan_link_order=0", ':');
    execv("/proc/self/exe", argv);
    std::perror("cannot start again under libumockdev-preload");
    return false;
}

} // namespace tessaro::testing
