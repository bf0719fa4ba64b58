#include "phone/connection_monitor.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "core/bytes.h"
#include "core/translatable.h"
#include "p2k/operation_log.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {
constexpr int kModelSeem = 0x0117;
constexpr int kImeiSeem = 0x0004;
constexpr int kImeiRecordBytes = 9;
} // namespace

ConnectionMonitor::ConnectionMonitor(PhoneContext& phone, PhoneLinkView& view)
    : phone_(phone), view_(view), wait_([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); })
{
}

Status ConnectionMonitor::openLog()
{
    return phone_.client.log().create(phone_.dataFolder + "p2klog.txt");
}

Status ConnectionMonitor::startLibrary()
{
    if (phone_.link.connected)
        return Status::success();
    return phone_.client.start([this](int connected) {
        if (connected == 0)
            ++disconnects_;
        if (dispatch_)
            dispatch_([this, connected] { onPhoneStatus(connected); });
        else
            onPhoneStatus(connected);
        return connected;
    });
}

Status ConnectionMonitor::initPhoneLink()
{
    const Status logged = openLog();
    const Status started = startLibrary();
    return started ? logged : started;
}

int ConnectionMonitor::onPhoneStatus(int connected)
{
    if (connected != 0)
        connect();
    else
        disconnect();
    return connected;
}

ConnectionMonitor::SeemRead ConnectionMonitor::readSeem(int seem, std::vector<uint8_t>& record, unsigned serial)
{
    // The phone may need a moment after it was plugged in; but a phone that is gone, or
    // never answers, must not keep the program waiting for ever.
    for (int attempt = 1;; ++attempt) {
        if (auto read = phone_.client.readIdentitySeem(seem)) {
            record = std::move(read).value();
            return SeemRead::Read;
        }
        if (disconnects_ != serial)
            return SeemRead::Unplugged;
        if (attempt >= attempts_)
            return SeemRead::GaveUp;
        wait_(kSeemRetryWait);
        if (disconnects_ != serial)
            return SeemRead::Unplugged;
    }
}

void ConnectionMonitor::connect()
{
    // Taken once: an unplug at any point of the sequence, even between two steps, ends it.
    const unsigned serial = disconnects_;
    const auto gone = [this, serial] { return disconnects_ != serial; };
    PhoneLinkState& link = phone_.link;
    link.connected = true;
    phone_.client.logConnection(true);

    std::vector<uint8_t> modelRecord;
    const SeemRead model = readSeem(kModelSeem, modelRecord, serial);
    if (model == SeemRead::Unplugged)
        return;
    link.firmwareVersion = queryFirmwareVersion(phone_);
    if (gone())
        return;

    std::vector<uint8_t> imeiRecord;
    const SeemRead imei = readSeem(kImeiSeem, imeiRecord, serial);
    if (imei == SeemRead::Unplugged)
        return;

    // A record that could not be read leaves its field empty rather than inventing one.
    link.model = model == SeemRead::Read ? decodeModel(modelRecord) : "";
    view_.showTrayBalloon(TRANSLATABLE("Core", "Connected:  ") + link.model);
    view_.setPhonePanel(TRANSLATABLE("Core", "Phone: ") + link.model + "  [" + link.firmwareVersion + "] ");

    link.imei = imei == SeemRead::Read ? decodeImei(imeiRecord) : "";
    view_.setImeiPanel(TRANSLATABLE("Core", " IMEI: ") + link.imei);

    link.lpVersion = queryLpVersion(phone_);
    link.lpVersionText = lpVersionText(link.lpVersion);
    link.unreadable.clear();
    for (const auto& [missing, what] : {std::pair{link.model.empty(), "model"},
                                        std::pair{link.firmwareVersion.empty(), "firmware version"},
                                        std::pair{link.imei.empty(), "IMEI"}})
        if (missing)
            link.unreadable += (link.unreadable.empty() ? "" : ", ") + std::string(what);
    // Enabling the phone actions or choosing a profile for a phone that is no longer there
    // would undo what the disconnection did.
    if (gone())
        return;

    view_.setTrayImage(14);
    view_.setStatusLamp(StatusLamp::Green);
    view_.setPhoneActionsEnabled(true, view_.menuHasNodes());

    if (!link.firmwareVersion.empty()) {
        link.firmwarePrefix = firmwarePrefix(link.firmwareVersion);
        if (selectProfile_)
            selectProfile_(link.firmwarePrefix);
    }
    if (connected_ && !gone())
        connected_();
}

void ConnectionMonitor::disconnect()
{
    ++disconnects_;
    PhoneLinkState& link = phone_.link;
    link.connected = false;
    view_.setTrayImage(15);
    view_.showTrayBalloon(TRANSLATABLE("Core", "Disconnected"));
    view_.setStatusLamp(StatusLamp::Red);
    view_.setPhoneActionsEnabled(false, false);
    view_.setPhonePanel(TRANSLATABLE("Core", "Phone: None "));
    view_.setImeiPanel(TRANSLATABLE("Core", "IMEI: N/A "));
    link.firmwarePrefix.clear();
    if (disconnected_)
        disconnected_();
    phone_.client.logConnection(false);
}

std::string queryFirmwareVersion(PhoneContext& phone)
{
    if (!phone.link.connected)
        return "";
    const auto version = phone.client.readFirmwareVersion();
    return version ? *version : "";
}

uint16_t queryLpVersion(PhoneContext& phone)
{
    if (!phone.link.connected)
        return 0;
    const auto lp = phone.client.readLpVersion();
    return lp ? *lp : 0;
}

std::string decodeModel(std::span<const uint8_t> record)
{
    std::string model;
    for (size_t i = 0; i + 1 < record.size(); i += 2) {
        const uint16_t unit = readBE16(record.data() + i);
        if (unit == 0)
            break;
        model += char(unit & 0xFF);
    }
    return model;
}

int imeiCheckDigit(std::span<const uint8_t, 14> digits)
{
    int sum = 0;
    for (int p = 0; p < 14; ++p) {
        int v = (p % 2 == 0) ? digits[p] : 2 * digits[p];
        if (v > 9)
            v -= 9;
        sum += v;
    }
    return (10 - sum % 10) % 10;
}

std::string decodeImei(std::span<const uint8_t> record)
{
    uint8_t b[kImeiRecordBytes] = {};
    std::copy_n(record.begin(), std::min<size_t>(record.size(), kImeiRecordBytes), b);
    uint8_t digits[14];
    int n = 0;
    digits[n++] = b[1] >> 4;
    for (int k = 2; k <= 7; ++k) {
        digits[n++] = b[k] & 0x0F;
        digits[n++] = b[k] >> 4;
    }
    digits[n++] = b[8] & 0x0F;
    std::string imei;
    for (const uint8_t d : digits)
        imei += char('0' + d);
    imei += char('0' + imeiCheckDigit(std::span<const uint8_t, 14>(digits, 14)));
    return imei;
}

std::string firmwarePrefix(const std::string& firmwareVersion)
{
    const size_t underscore = firmwareVersion.find('_');
    return underscore == std::string::npos ? "" : firmwareVersion.substr(0, underscore);
}

std::string lpVersionText(uint16_t lp)
{
    return hexDigits(lp, 4);
}

} // namespace tessaro
