#include "support/cli_run.h"

#include <sys/wait.h>

#include <cstdlib>

namespace tessaro::testing {

namespace {
std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (const char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
} // namespace

CliRun runProgram(const std::string& program, const TempDir& dir, const std::vector<std::string>& args,
                  const std::string& stdoutPath)
{
    std::string command = quoted(program);
    for (const auto& a : args)
        command += " " + quoted(a);
    const std::string out = stdoutPath.empty() ? dir.file("stdout.txt") : stdoutPath;
    command += " </dev/null >" + quoted(out) + " 2>" + quoted(dir.file("stderr.txt"));
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = stdoutPath.empty() ? readText(dir.file("stdout.txt")) : std::string();
    run.err = readText(dir.file("stderr.txt"));
    return run;
}

CliRun runInFolder(const std::string& program, const std::string& folder, const TempDir& dir,
                   std::vector<std::string> args)
{
    args.insert(args.begin(), {"--dir", folder});
    return runProgram(program, dir, args);
}

} // namespace tessaro::testing
