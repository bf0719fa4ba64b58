#include <CLI/CLI.hpp>

int main(int argc, char** argv)
{
    CLI::App app{"tessaro-cli: the Tessaro menu document engine for scripting"};
    CLI11_PARSE(app, argc, argv);
    return 0;
}
