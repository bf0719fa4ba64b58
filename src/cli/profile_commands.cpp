#include "cli/cli_context.h"

namespace tessaro::cli {

void registerProfileCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
