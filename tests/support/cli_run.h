#pragma once
// Runs a command-line program with arguments and collects its exit status, stdout and stderr.

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tessaro::testing {

struct CliRun {
    int status = -1;   // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args` (each passed as one word); the output is caught in files in `dir`,
// or stdout goes to `stdoutPath` when one is given (out is then empty).
CliRun runProgram(const std::string& program, const TempDir& dir, const std::vector<std::string>& args,
                  const std::string& stdoutPath = {});

// The same with `--dir FOLDER` ahead of `args`: the tool keeps Profiles/, tessaro.ini and
// p2klog.txt in FOLDER.
CliRun runInFolder(const std::string& program, const std::string& folder, const TempDir& dir,
                   std::vector<std::string> args);

} // namespace tessaro::testing
