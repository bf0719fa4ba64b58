#pragma once
// Phone volumes and file listings into PhoneContext::fileList.

namespace tessaro {

struct PhoneContext;

// Sends the volume query and fills PhoneContext::volumes; false on failure.
bool QueryVolumes(PhoneContext& phone);

} // namespace tessaro
