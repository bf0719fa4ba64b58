// The test program of the fake USB bus. The bus needs libumockdev-preload in this process (it
// also sends the uevents through the emulated udev), so a run without it starts itself again
// under the preload, as umockdev-wrapper would. (Whether the preload works shows only once a
// testbed exists: umockdev_in_mock_environment() remembers its first answer.)

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const char* loaded = std::getenv("LD_PRELOAD");
    if (!loaded || !std::strstr(loaded, "libumockdev-preload")) {
        if (std::getenv("TESSARO_FAKE_BUS_RESTARTED")) {
            std::fprintf(stderr, "libumockdev-preload.so.0 could not be preloaded\n");
            return 1;
        }
        setenv("TESSARO_FAKE_BUS_RESTARTED", "1", 1);
        const char* preloaded = std::getenv("LD_PRELOAD");
        std::string preload = "libumockdev-preload.so.0";
        if (preloaded && *preloaded)
            preload += std::string(":") + preloaded;
        setenv("LD_PRELOAD", preload.c_str(), 1);
        // A sanitizer build insists on its runtime coming first among the preloads.
        const char* asan = std::getenv("ASAN_OPTIONS");
        std::string asanOptions = "verify_asan_link_order=0";
        if (asan && *asan)
            asanOptions += std::string(":") + asan;
        setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
        execv("/proc/self/exe", argv);
        return 127;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
