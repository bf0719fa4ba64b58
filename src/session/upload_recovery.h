#pragma once
// What a run does when a phone connects whose files an earlier upload left cut short (the phone
// pulled out in the middle): it offers their previous files back.

#include <vector>

#include "core/notice.h"

namespace tessaro {

struct PhoneContext;
class SessionQuestions;

// For each upload to the connected phone that InterruptedUploads holds, asks
// SessionQuestions::putBackInterruptedUpload and, on yes, puts the backup back (putBackBackup).
// What was put back and what failed, in order, for the caller to show. Nothing for a phone
// whose IMEI is not known, or once the phone is gone.
std::vector<Notice> offerInterruptedUploads(PhoneContext& phone, SessionQuestions& questions);

} // namespace tessaro
