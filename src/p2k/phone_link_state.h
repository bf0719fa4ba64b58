#pragma once
// What the program knows of the phone link: whether a phone is connected, and who it is.

#include <cstdint>
#include <string>

namespace tessaro {

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

} // namespace tessaro
