#include "p2k/no_phone.h"

namespace tessaro {

int NoPhone::P2K_Init(StatusCallback)
{
    return 0;
}

int NoPhone::P2K_SendCMD(uint16_t, const uint8_t*, int, uint8_t*, int* replyLength)
{
    if (replyLength)
        *replyLength = 0;
    return -1;
}

int NoPhone::P2K_Restart() { return -1; }
int NoPhone::File_Create(const std::string&, int) { return -1; }
int NoPhone::File_Close() { return -1; }
int NoPhone::File_Delete(const std::string&) { return -1; }
int NoPhone::File_CreateDir(const std::string&, int) { return -1; }
int NoPhone::File_DeleteDir(const std::string&) { return -1; }
int NoPhone::File_CountEx(const std::string&) { return -1; }
int NoPhone::File_ListEx(uint8_t*, int, ProgressCallback) { return -1; }
int NoPhone::Seem_Read(int, int, int, int, uint8_t*, int) { return -1; }
int NoPhone::Seem_Write(int, int, int, int, const uint8_t*) { return -1; }

} // namespace tessaro
