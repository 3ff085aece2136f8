#include "cli/cli_options.h"

#include <filesystem>
#include <map>

namespace galerion {

std::pair<std::string, std::string> SplitAssignment(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        throw TUsageError("expected NAME=VALUE, not '" + text + "'");
    return {text.substr(0, eq), text.substr(eq + 1)};
}

const char* const kCliUsage =
    R"(Usage: galerion-cli [OPTIONS] COMMAND [ARGUMENTS]

Keeps a photo web site up to date from the command line, with the same settings and database as
the Galerion window.

Commands:
  albums [MAINDIR]          list the candidate albums below MAINDIR (default: the MainDir
                            setting), without output and working folders
  process [--all | ALBUM...]
                            prepare and process the named album folders (or every candidate
                            album with --all): write the picture files and the database rows
  init-db [CONNECTION]      create the tables from create_tables.sql, or from
                            create_tables.postgresql.sql for Provider=PostgreSQL (default: the
                            DB setting; a SQLite file that does not exist yet is created)
  settings [list]           show every stored setting with its value
  settings get NAME         show one setting
  settings set NAME=VALUE   change one setting and store it

Options:
  --settings FILE           settings file to use instead of ~/.config/Tarnwick/Galerion.reg
  --db CONNECTION|FILE      database for this run: a connection string or a SQLite file
  --set NAME=VALUE          a setting for this run only (repeatable), e.g. --set ResizeMode=1
  --update-mode MODE        albums already stored: ask, insert, update or cancel
  --quiet                   log errors only
  --verbose                 log everything, progress included
  --help                    show this text
  --version                 show the version

Exit status: 0 success, 1 a photo or album failed, 2 usage error, 77 missing database
components, 130 stopped by Ctrl-C.
)";

namespace {

int ParseUpdateMode(const std::string& text) {
    static const std::map<std::string, int> modes = {
        {"ask", 0}, {"insert", 1}, {"update", 2}, {"cancel", 3}};
    const auto it = modes.find(text);
    if (it == modes.end())
        throw TUsageError("--update-mode takes ask, insert, update or cancel, not '" + text + "'");
    return it->second;
}

TCliCommand ParseCommand(const std::string& word) {
    static const std::map<std::string, TCliCommand> commands = {
        {"albums", TCliCommand::Albums},
        {"process", TCliCommand::Process},
        {"init-db", TCliCommand::InitDb},
        {"settings", TCliCommand::Settings},
        {"help", TCliCommand::Help}};
    const auto it = commands.find(word);
    if (it == commands.end()) throw TUsageError("unknown command '" + word + "'");
    return it->second;
}

void CheckArguments(const TCliOptions& o) {
    const size_t n = o.arguments.size();
    switch (o.command) {
        case TCliCommand::Albums:
        case TCliCommand::InitDb:
            if (n > 1) throw TUsageError("too many arguments");
            break;
        case TCliCommand::Process:
            if (o.all && n > 0) throw TUsageError("give either --all or album folders");
            if (!o.all && n == 0) throw TUsageError("process needs --all or album folders");
            break;
        case TCliCommand::Settings:
            if (n == 0 || o.arguments[0] == "list") {
                if (n > 1) throw TUsageError("settings list takes no argument");
            } else if (o.arguments[0] == "get" || o.arguments[0] == "set") {
                if (n != 2) throw TUsageError("settings " + o.arguments[0] + " takes one argument");
                if (o.arguments[0] == "set") SplitAssignment(o.arguments[1]);
            } else {
                throw TUsageError("settings takes list, get NAME or set NAME=VALUE");
            }
            break;
        default: break;
    }
}

}  // namespace

std::string ConnectionFromArgument(const std::string& connectionOrFile) {
    if (connectionOrFile.find('=') != std::string::npos) return connectionOrFile;
    return "Provider=SQLite;Data Source=" + std::filesystem::absolute(connectionOrFile).string();
}

TCliOptions ParseCommandLine(const std::vector<std::string>& args) {
    TCliOptions o;
    bool haveCommand = false;
    auto value = [&](size_t& i) -> const std::string& {
        if (i + 1 >= args.size()) throw TUsageError(args[i] + " needs a value");
        return args[++i];
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return TCliOptions{};
        if (a == "--version") { o.command = TCliCommand::Version; return o; }
        if (a == "--settings") o.settingsFile = value(i);
        else if (a == "--db") o.database = value(i);
        else if (a == "--set") o.overrides.push_back(SplitAssignment(value(i)));
        else if (a == "--update-mode") o.updateMode = ParseUpdateMode(value(i));
        else if (a == "--quiet" || a == "-q") o.quiet = true;
        else if (a == "--verbose" || a == "-v") o.verbose = true;
        else if (a == "--all") o.all = true;
        else if (a.size() > 1 && a[0] == '-') throw TUsageError("unknown option '" + a + "'");
        else if (!haveCommand) { o.command = ParseCommand(a); haveCommand = true; }
        else o.arguments.push_back(a);
    }
    if (!haveCommand) throw TUsageError("no command given");
    if (o.quiet && o.verbose) throw TUsageError("--quiet and --verbose exclude each other");
    if (o.all && o.command != TCliCommand::Process) throw TUsageError("--all belongs to process");
    CheckArguments(o);
    return o;
}

}  // namespace galerion
