#include "cli/cli_context.h"

namespace tessaro::cli {

void registerDocumentCommands(CLI::App&, CliContext&)
{
}

} // namespace tessaro::cli
