#pragma once
// The phone library when no phone backend is chosen: it starts, and no phone ever connects,
// so the phone commands stay disabled and no error is shown.

#include "p2k/p2k_api.h"

namespace tessaro {

class NoPhone : public P2kApi {
public:
    // Succeeds and never calls `status`.
    int P2K_Init(StatusCallback status) override;
    // Every other operation fails with -1: there is no phone to talk to.
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
};

} // namespace tessaro
