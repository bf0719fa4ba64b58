#include "cli/cli_context.h"

namespace tessaro::cli {

void registerDrmCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
