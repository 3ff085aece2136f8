#include "cli/cli_commands.h"
#include "cli/cli_options.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return galerion::RunCli(galerion::ParseCommandLine(args));
    } catch (const galerion::TUsageError& e) {
        std::cerr << "galerion-cli: " << e.what() << "\nTry 'galerion-cli --help'.\n";
        return galerion::kExitUsage;
    }
}
