#pragma once
// A virtual phone in a temporary folder with everything the phone operations need around
// it: the context, a log file, recording progress windows and a recording prompter. The
// operations reach the phone through a RecordingPhone.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "p2k/operation_log.h"
#include "phone/phone_context.h"
#include "p2k/virtual_phone.h"
#include "support/recording_phone.h"
#include "support/recording_progress.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"

namespace tessaro::testing {

struct PhoneSpec {
    std::string model = "E398";
    std::string firmware = "R373_G_0E.30.49R";
    int lp = 0x1234;
    std::string imei = "312345678901234";
    std::string volumes = "abc";
};

// Writes phone.json and the volume folders of a virtual phone into `dir`.
inline void makePhoneFolder(const std::filesystem::path& dir, const PhoneSpec& spec = {})
{
    std::filesystem::create_directories(dir);
    writeText(dir / "phone.json", "{\"model\": \"" + spec.model + "\", \"firmware\": \"" + spec.firmware
                                      + "\", \"lp\": " + std::to_string(spec.lp) + ", \"imei\": \""
                                      + spec.imei + "\"}\n");
    for (const char v : spec.volumes)
        std::filesystem::create_directories(dir / std::string(1, v));
}

// `size` bytes that differ from block to block and never end in 0x08.
inline std::vector<uint8_t> patternBytes(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t((i * 7 + i / 1024 + 1) % 251 + 10);
    return bytes;
}

// Splits a CR LF text into its lines; the last line must end with CR LF too.
inline std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

class VirtualPhoneRig {
public:
    explicit VirtualPhoneRig(const PhoneSpec& spec = {}, VirtualPhone::Options options = {})
    {
        makePhoneFolder(phoneDir(), spec);
        std::filesystem::create_directories(temp.path() / "pc");
        auto opened = VirtualPhone::open(phoneDir(), options);
        if (!opened)
            throw std::runtime_error(opened.error());
        virtualPhone = opened.value().get();
        api = std::make_unique<RecordingPhone>(std::move(opened).value(),
                                               [phone = virtualPhone] { phone->unplug(); });
        context = std::make_unique<PhoneContext>(
            PhoneContext{*api, link, log, progress, prompter, (temp.path() / "pc").string() + "/"});
        if (!log.create(logPath()))
            throw std::runtime_error("cannot create the log");
        log.setEnabled(true);
    }

    // Plugs the phone in and marks the link connected, without the connection sequence.
    void connect()
    {
        virtualPhone->plug();
        link.connected = true;
    }

    std::filesystem::path phoneDir() const { return temp.path() / "phone"; }
    // The file behind a phone path such as "/a/mobile/x".
    std::filesystem::path phoneFile(const std::string& phonePath) const
    {
        return phoneDir() / phonePath.substr(1);
    }
    void putPhoneFile(const std::string& phonePath, const std::vector<uint8_t>& bytes) const
    {
        std::filesystem::create_directories(phoneFile(phonePath).parent_path());
        writeBytes(phoneFile(phonePath), bytes);
    }
    std::string local(const std::string& name) const { return (temp.path() / "pc" / name).string(); }
    std::string logPath() const { return local("p2klog.txt"); }
    std::vector<std::string> logLines() const { return crlfLines(readText(logPath())); }

    // The SendCmd requests recorded so far.
    std::vector<PhoneRequest> commands() const
    {
        std::vector<PhoneRequest> out;
        for (auto& r : api->requests())
            if (r.call == PhoneCall::SendCmd)
                out.push_back(r);
        return out;
    }

    TempDir temp;
    // The phone calls go through `api`; the virtual phone behind it plugs in and out.
    std::unique_ptr<RecordingPhone> api;
    VirtualPhone* virtualPhone = nullptr;
    PhoneLinkState link;
    OperationLog log;
    RecordingProgressFactory progress;
    RecordingPrompter prompter;
    std::unique_ptr<PhoneContext> context;
    PhoneContext& phone() { return *context; }
};

} // namespace tessaro::testing
