#include "cli/cli_context.h"

namespace tessaro::cli {

void registerPhoneCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
