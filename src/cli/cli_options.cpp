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
                            album with --all): write the picture files and the database rows;
                            --dry-run says what would happen, --incremental writes only what
                            is missing or was made from something else
  init-db [CONNECTION]      create the tables from create_tables.sql, or from
                            create_tables.postgresql.sql for Provider=PostgreSQL (default: the
                            DB setting; a SQLite file that does not exist yet is created)
  settings [list]           show every setting with its value, allowed values and meaning
  settings get NAME         show one setting
  settings set NAME=VALUE   change one setting and store it

Options:
  --settings FILE           settings file to use instead of ~/.config/Tarnwick/Galerion.reg
  --db CONNECTION|FILE      database for this run: a connection string or a SQLite file
  --set NAME=VALUE          a setting for this run only (repeatable), e.g. --set ResizeMode=1
  --update-mode MODE        albums already stored: ask, insert, update or cancel
  --force                   process or save settings although the settings file has lines
                            that could not be read (they are dropped at a save; the file is
                            kept beside itself as .broken first)
  --quiet                   log errors only
  --verbose                 log everything, progress included
  --help                    show this text; COMMAND --help shows the command's own help
  --version                 show the version

Exit status: 0 success, 1 a photo or album failed, 2 usage error, 77 missing database
components, 130 stopped by Ctrl-C.
)";

const char* CommandHelp(TCliCommand command) {
    switch (command) {
        case TCliCommand::Albums:
            return R"(Usage: galerion-cli albums [MAINDIR]

Lists the candidate albums: MAINDIR (default: the MainDir setting, a folder plus a mask such as
/home/me/Pictures/*.*) and every folder below it whose name matches the mask, without the
output folders (ps_large, ps_medium, ps_thumb by default), the working folders "tmp" and hidden
folders (names starting with a dot), one full path a line, sorted. A MAINDIR that is not a
folder is an error (exit 2).

Examples:
  galerion-cli albums
  galerion-cli albums ~/Pictures/Holidays
  galerion-cli albums '/srv/photos/20*'
)";
        case TCliCommand::Process:
            return R"(Usage: galerion-cli process [--dry-run] [--incremental] (--all | ALBUM...)

Writes, for every picture of each album folder, the thumbnail, medium and (when ProcessLarge is
on) large JPEG files into the album's sub-folders, and inserts or updates the album, picture and
category rows of the database. Pictures' stored edits (orientation, crop, titles, categories)
are used. An album already in the database follows UpdateMode or --update-mode; "ask" needs a
terminal, and only when an album is actually stored.

  --all            every candidate album below MainDir (see: galerion-cli albums)
  --dry-run        print, per album, whether it is stored and what will be decided, and for
                   each picture which files would be written or kept; change nothing
  --incremental    write a file only when it is missing or was made from something else (a
                   replaced photo, a new crop, other sizes or qualities); every file written
                   records what it was made from (the RecreateChanged setting does the same)

One album whose files cannot be written is reported and the run goes on with the next; the
summary lists albums and pictures written, skipped or unchanged, and failed. Ctrl-C stops after
the picture under way (exit 130); a second Ctrl-C a second or more later ends at once.

Examples:
  galerion-cli --update-mode update process --all
  galerion-cli --update-mode update process --incremental --all     # a nightly cron job
  galerion-cli process --dry-run ~/Pictures/Trip
  galerion-cli --db /srv/site/site.db --set ThumbWidth=200 process ~/Pictures/Trip
)";
        case TCliCommand::InitDb:
            return R"(Usage: galerion-cli init-db [CONNECTION|FILE]

Creates the tables of the site database from create_tables.sql (create_tables.postgresql.sql
for Provider=PostgreSQL). Without an argument the DB setting is used; a SQLite file that does
not exist yet is created, a PostgreSQL database must exist.

Examples:
  galerion-cli init-db
  galerion-cli init-db /srv/site/site.db
  galerion-cli init-db 'Provider=SQLite;Data Source=/srv/site/site.db'
  galerion-cli init-db 'Provider=PostgreSQL;Host=db.example.org;Database=site;User ID=galerion'
)";
        case TCliCommand::Settings:
            return R"(Usage: galerion-cli settings [list | get NAME | set NAME=VALUE]

  list             every setting: NAME=VALUE, then its allowed values and what it does
  get NAME         the value alone (names ignore letter case)
  set NAME=VALUE   checks the value, stores it and shows what was stored; a value outside
                   what the setting allows is refused (exit 2). Enumerated settings take a
                   number or its name; MainDir takes a folder (stored as FOLDER/*.*) or a
                   mask; setting a box size selects the custom size of its group.

Use --set NAME=VALUE (before the command) for a value that lasts one run only.

Examples:
  galerion-cli settings list
  galerion-cli settings get DB
  galerion-cli settings set UpdateMode=update
  galerion-cli settings set ResizeMode=lanczos
  galerion-cli settings set MainDir=$HOME/Pictures
  galerion-cli settings set ThumbWidth=200
)";
        default: return kCliUsage;
    }
}

namespace {

int ParseUpdateMode(const std::string& text) {
    static const std::map<std::string, int> modes = {
        {"ask", 0}, {"insert", 1}, {"update", 2}, {"cancel", 3}};
    const auto it = modes.find(text);
    if (it == modes.end())
        throw TUsageError("--update-mode takes ask, insert, update or cancel, not '" + text + "'");
    return it->second;
}

const std::map<std::string, TCliCommand>& CommandWords() {
    static const std::map<std::string, TCliCommand> commands = {{"albums", TCliCommand::Albums},
                                                                {"process", TCliCommand::Process},
                                                                {"init-db", TCliCommand::InitDb},
                                                                {"settings", TCliCommand::Settings},
                                                                {"help", TCliCommand::Help}};
    return commands;
}

// "--help" anywhere, or "help [COMMAND]": the help of the first command word named.
TCliOptions HelpRequest(const std::vector<std::string>& args) {
    TCliOptions o;
    for (const std::string& a : args) {
        const auto it = CommandWords().find(a);
        if (it != CommandWords().end() && it->second != TCliCommand::Help) {
            o.helpTopic = it->second;
            break;
        }
    }
    return o;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return !args.empty() && args[0] == "help";
}

TCliCommand ParseCommand(const std::string& word) {
    const auto it = CommandWords().find(word);
    if (it == CommandWords().end()) throw TUsageError("unknown command '" + word + "'");
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
    if (AsksForHelp(args)) return HelpRequest(args);
    TCliOptions o;
    bool haveCommand = false;
    auto value = [&](size_t& i) -> const std::string& {
        if (i + 1 >= args.size()) throw TUsageError(args[i] + " needs a value");
        return args[++i];
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version") {
            o.command = TCliCommand::Version;
            return o;
        }
        if (a == "--settings")
            o.settingsFile = value(i);
        else if (a == "--db")
            o.database = value(i);
        else if (a == "--set")
            o.overrides.push_back(SplitAssignment(value(i)));
        else if (a == "--update-mode")
            o.updateMode = ParseUpdateMode(value(i));
        else if (a == "--quiet" || a == "-q")
            o.quiet = true;
        else if (a == "--verbose" || a == "-v")
            o.verbose = true;
        else if (a == "--all")
            o.all = true;
        else if (a == "--dry-run")
            o.dryRun = true;
        else if (a == "--incremental")
            o.incremental = true;
        else if (a == "--force")
            o.force = true;
        else if (a.size() > 1 && a[0] == '-')
            throw TUsageError("unknown option '" + a + "'");
        else if (!haveCommand) {
            o.command = ParseCommand(a);
            haveCommand = true;
        } else
            o.arguments.push_back(a);
    }
    if (!haveCommand) throw TUsageError("no command given");
    if (o.quiet && o.verbose) throw TUsageError("--quiet and --verbose exclude each other");
    if (o.command != TCliCommand::Process) {
        if (o.all) throw TUsageError("--all belongs to process");
        if (o.dryRun) throw TUsageError("--dry-run belongs to process");
        if (o.incremental) throw TUsageError("--incremental belongs to process");
    }
    CheckArguments(o);
    return o;
}

}  // namespace galerion
