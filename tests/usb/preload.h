#pragma once
// The fake USB bus needs libumockdev-preload in the test process (it also sends the uevents
// through the emulated udev), so a test program started without it starts itself again under
// the preload, as umockdev-wrapper would.

namespace tessaro::testing {

// Returns when the preload is in place; otherwise executes the program again with it and does
// not return (or returns false when even that failed, after saying why).
bool runUnderUmockdevPreload(char** argv);

} // namespace tessaro::testing
