#include "cli/cli_context.h"

namespace tessaro::cli {

void registerEditCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
