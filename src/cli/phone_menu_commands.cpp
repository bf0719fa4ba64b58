#include "cli/cli_context.h"

namespace tessaro::cli {

void registerPhoneMenuCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
