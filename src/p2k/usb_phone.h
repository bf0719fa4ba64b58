#pragma once
// Real P2K phones over USB: the phone library's operations mapped onto the phone's own
// commands (FSAC, SEEM, restart, VERSION) and sent through the P2K framing over a UsbLink.
// One phone at a time: the first Motorola device with a "Motorola Test Command" interface,
// spoken to with control transfers, or over its bulk endpoints when that interface has them.
// A phone found in AT mode is switched to P2K mode and picked up when it comes back. A device
// that could not be looked at is looked at again later; only one that is surely no phone is
// left alone while it stays plugged in.

#include <functional>
#include <memory>
#include <string>

#include "p2k/p2k_api.h"

namespace tessaro {

class UsbLink;

class UsbPhone : public P2kApi {
public:
    struct Options {
        // Bound of every single USB transfer.
        int transferTimeoutMs = 3000;
        // Bound of the wait for a reply to be queued (polling starts at once and backs off).
        int replyTimeoutMs = 5000;
        // Enumeration interval where the link cannot report devices coming and going, and
        // while no phone is connected.
        int rescanIntervalMs = 500;
        // A device whose look failed is looked at again after retryMinMs, the wait doubling
        // with each failure up to retryMaxMs.
        int retryMinMs = 250;
        int retryMaxMs = 2000;
        // A phone asked to switch from AT mode that is still there after this is asked again.
        int switchWaitMs = 10000;
    };
    // A line for the diagnostics (failed replies with the phone's error class in words,
    // mode switches, devices that cannot be opened). May be called on the backend's thread.
    using DiagnosticCallback = std::function<void(const std::string& line)>;
    // A phone was found but cannot be used (no permission, held by another program); the
    // text says why and what to do. Called once per device, on the backend's thread.
    using NoticeCallback = std::function<void(const std::string& text)>;

    explicit UsbPhone(std::unique_ptr<UsbLink> link);
    UsbPhone(std::unique_ptr<UsbLink> link, Options options);
    ~UsbPhone() override;

    void setDiagnostics(DiagnosticCallback diagnostics);
    void setNotice(NoticeCallback notice);
    // Why P2K_Init failed, when it did.
    const std::string& startError() const;

    int P2K_Init(StatusCallback status) override;
    int P2K_SendCMD(uint16_t command, const uint8_t* request, int requestLength, uint8_t* reply,
                    int* replyLength) override;
    int P2K_Restart() override;
    int File_Create(const std::string& path, int attributes) override;
    int File_Close() override;
    int File_Delete(const std::string& path) override;
    int File_CreateDir(const std::string& path, int zero) override;
    int File_DeleteDir(const std::string& path) override;
    int File_CountEx(const std::string& pattern) override;
    int File_ListEx(uint8_t* entries, int count, ProgressCallback progress) override;
    int Seem_Read(int seem, int record, int offset, int length, uint8_t* buffer,
                  int capacity) override;
    int Seem_Write(int seem, int record, int offset, int count, const uint8_t* buffer) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The USB phone over libusb-1.0.
std::unique_ptr<UsbPhone> makeUsbPhone();

} // namespace tessaro
