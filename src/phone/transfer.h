#pragma once
// Copying files between the phone and the computer with FSAC requests, and the attribute
// change of a phone file. Every call logs its requests and reports progress.

#include <string>

namespace tessaro {

struct PhoneContext;
class BatchProgress;

// How a read of a phone file ended: the bytes stored, or -1. `cutShort`: the phone stopped
// answering after part of the file had arrived. The local file is replaced only by a whole,
// non-empty phone file; after a failure it is left as it was.
struct PhoneReadResult {
    int stored = -1;
    bool cutShort = false;
};

// Reads a phone file into a local file; `batch` null shows its own progress window, else
// reports into the caller's double progress window. `expectedSize` only scales the progress.
PhoneReadResult readPhoneFile(PhoneContext& phone, const std::string& phonePath,
                              const std::string& localPath, int expectedSize, BatchProgress* batch);

// readPhoneFile with its own progress window; returns the bytes stored, or -1.
int downloadFile(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                int expectedSize);
// The same inside a batch, reporting into the caller's double progress window.
int downloadFileInBatch(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                 int expectedSize, BatchProgress& progress);
// Writes a local file to the phone; returns the local file's size when all of it was sent,
// else -1.
// A transfer cancelled from its progress window stops after the block in progress, sets
// PhoneContext::cancelled and returns -1 without a message; a cancelled upload deletes the
// phone file, a cancelled download leaves the local file as it was.
int uploadFile(PhoneContext& phone, const std::string& localPath, const std::string& phonePath);
int uploadFileInBatch(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress& progress);
// File_Create + File_Close with the attribute bits (1 read-only, 2 hidden, 4 system); -1 on
// failure.
int setPhoneAttributes(PhoneContext& phone, const std::string& phonePath, int attributes);

} // namespace tessaro
