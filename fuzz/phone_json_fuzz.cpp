// Reads arbitrary bytes as the virtual phone's phone.json and builds the answers the phone
// gives from its identity: SEEM records and VERSION replies. A file that is accepted must
// give answers of the lengths the phone's protocol has.
#include <cstdint>
#include <string>

#include "p2k/phone_folder.h"
#include "fuzz_support.h"

using tessaro::PhoneIdentity;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto id = PhoneIdentity::parse(std::string(fuzz::textOf(data, size)));
    if (!id)
        return 0;
    fuzz::check(id->imei.size() == 15);
    fuzz::check(id->modelRecord().size() == 2 * id->model.size() + 2);
    fuzz::check(id->imeiRecord().size() == 9);
    const auto firmware = id->firmwareReply();
    fuzz::check(firmware.size() == 5 + id->firmware.size() && firmware[0] == 4 + id->firmware.size());
    fuzz::check(id->lpReply() == std::vector<uint8_t>({0, uint8_t(id->lp >> 8), uint8_t(id->lp), 0}));
    return 0;
}
