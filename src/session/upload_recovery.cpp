#include "session/upload_recovery.h"

#include "core/text_encoding.h"
#include "core/translatable.h"
#include "phone/interrupted_uploads.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"
#include "session/session_questions.h"

namespace tessaro {

std::vector<Notice> offerInterruptedUploads(PhoneContext& phone, SessionQuestions& questions)
{
    std::vector<Notice> notices;
    for (const InterruptedUpload& upload : InterruptedUploads(phone.dataFolder).ofPhone(phone.link.imei)) {
        if (!phone.link.connected)
            break;
        if (!questions.putBackInterruptedUpload(upload.path, upload.backup))
            continue;
        const Result<std::string> putBack = putBackBackup(phone, upload.path);
        if (putBack)
            notices.push_back(
                {MessageIcon::Information, "",
                 TRANSLATABLE("Core", "The phone's previous file was put back: ") + latin1ToUtf8(upload.path)});
        else
            notices.push_back({MessageIcon::Error, putBack.failure().caption, putBack.error()});
    }
    return notices;
}

} // namespace tessaro
