#pragma once
// The command line of galerion-cli.
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace galerion {

// A command line that cannot be understood: exit status 2 with the message.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TCliCommand { Help, Version, Albums, Process, InitDb, Settings };

struct TCliOptions {
    TCliCommand command = TCliCommand::Help;
    // With Help: the command whose help is wanted (Help itself for the overview).
    TCliCommand helpTopic = TCliCommand::Help;
    std::vector<std::string> arguments;  // what follows the command
    bool all = false;                    // process --all
    bool dryRun = false;                 // process --dry-run: say what would happen, touch nothing
    bool incremental = false;            // process --incremental: the RecreateChanged setting
    std::optional<std::string> settingsFile;
    std::optional<std::string> database;                         // connection string or SQLite file
    std::vector<std::pair<std::string, std::string>> overrides;  // --set NAME=VALUE
    std::optional<int> updateMode;  // --update-mode: 0 ask, 1 insert, 2 update, 3 cancel
    bool quiet = false;
    bool verbose = false;
    bool force = false;  // go on after a settings file with lines that could not be read
};

TCliOptions ParseCommandLine(const std::vector<std::string>& args);

// "NAME=VALUE" -> {NAME, VALUE}; TUsageError without '='.
std::pair<std::string, std::string> SplitAssignment(const std::string& text);

// A connection string stays; anything else is taken as a SQLite file path.
std::string ConnectionFromArgument(const std::string& connectionOrFile);

extern const char* const kCliUsage;

// "galerion-cli COMMAND --help": what the command does, its arguments and examples.
const char* CommandHelp(TCliCommand command);

}  // namespace galerion
