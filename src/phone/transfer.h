#pragma once
// Copying files between the phone and the computer with FSAC requests, and the attribute
// change of a phone file. Every call logs its requests and reports progress.

#include <string>

namespace tessaro {

struct PhoneContext;
class BatchProgress;

// Reads a phone file into a local file; returns the bytes stored, or -1.
// `expectedSize` only scales the progress. Shows its own progress window.
int P2KFileRead(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                int expectedSize);
// The same inside a batch, reporting into the caller's double progress window.
int P2KGroupRead(PhoneContext& phone, const std::string& phonePath, const std::string& localPath,
                 int expectedSize, BatchProgress& progress);
// Writes a local file to the phone; returns the local file's size when all of it was sent,
// else -1.
int P2KFileWrite(PhoneContext& phone, const std::string& localPath, const std::string& phonePath);
int P2KGroupWrite(PhoneContext& phone, const std::string& localPath, const std::string& phonePath,
                  BatchProgress& progress);
// File_Create + File_Close with the attribute bits (1 read-only, 2 hidden, 4 system); -1 on
// failure.
int SetPhoneAttribute(PhoneContext& phone, const std::string& phonePath, int attributes);

} // namespace tessaro
