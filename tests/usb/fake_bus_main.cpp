// The test program of the fake USB bus: it runs itself under libumockdev-preload.

#include <gtest/gtest.h>

#include "usb/preload.h"

int main(int argc, char** argv)
{
    if (!tessaro::testing::runUnderUmockdevPreload(argv))
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
