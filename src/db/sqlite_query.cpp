#include "db/sqlite_query.h"

#include "core/numbers.h"
#include "db/script_text.h"
#include "db/statement_forms.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/text.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string_view>
#include <vector>

namespace galerion {
namespace {

// Long enough for the web site's reads to end, short enough that a stuck reader shows.
constexpr int kBusyTimeoutMs = 5000;

struct TDatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct TStatementFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using TDatabase = std::unique_ptr<sqlite3, TDatabaseCloser>;
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementFinalizer>;

[[noreturn]] void Fail(sqlite3* db) { throw DataAccessError(sqlite3_errmsg(db)); }

void Check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK) Fail(db);
}

// Runs a statement of the connection's own set-up.
void Pragma(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

std::string PragmaText(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    Check(db, sqlite3_prepare_v2(db, sql, -1, &raw, nullptr));
    const TStatement stmt(raw);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW) Fail(db);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    return text ? text : "";
}

TDatabase OpenDatabase(const std::string& path, bool create) {
    if (path.empty()) throw DataAccessError("The connection string names no database file.");
    // ":memory:" and "" are SQLite's names for throw-away databases; a file is meant here.
    const std::string name = path == ":memory:" ? "./" + path : path;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    TDatabase db(raw);
    if (!db) throw DataAccessError("Out of memory opening " + path);
    if (rc != SQLITE_OK) throw DataAccessError(std::string(sqlite3_errmsg(db.get())) + ": " + path);
    sqlite3_extended_result_codes(db.get(), 1);
    Check(db.get(), sqlite3_busy_timeout(db.get(), kBusyTimeoutMs));
    Check(db.get(), sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr));
    return db;
}

// Every statement commits by itself. With the WAL journal a commit needs no sync at NORMAL and
// a crash still leaves a sound file; the rollback journal keeps SQLite's full syncs.
void SetJournal(sqlite3* db, bool newFile) {
    if (newFile) Pragma(db, "PRAGMA journal_mode=WAL");
    if (AsciiLower(PragmaText(db, "PRAGMA journal_mode")) == "wal")
        Pragma(db, "PRAGMA synchronous=NORMAL");
}

bool OnlySpaceAndComments(sqlite3* db, const char* tail) {
    while (*tail) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &raw, &next) != SQLITE_OK) return false;
        const TStatement stmt(raw);
        if (stmt) return false;
        if (next == tail) break;
        tail = next;
    }
    return true;
}

// Exactly one statement: a second one behind the first is refused, never run.
TStatement PrepareOne(sqlite3* db, const std::string& sql) {
    // SQLite would stop reading at a NUL and silently drop what follows.
    if (sql.find('\0') != std::string::npos)
        throw DataAccessError("The statement text holds a NUL character.");
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    Check(db, sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &raw, &tail));
    TStatement stmt(raw);
    if (!stmt) throw DataAccessError("The statement text is empty.");
    if (tail && !OnlySpaceAndComments(db, tail))
        throw DataAccessError("The statement text holds more than one statement.");
    return stmt;
}

// The C form ("45000.5") whatever the user's locale says about decimal points.
bool ParseNumberText(const std::string& text, double& value) {
    if (text.empty()) return false;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    return result.ec == std::errc() && result.ptr == last;
}

class TSqliteQuery final : public TQuery {
public:
    explicit TSqliteQuery(TSqliteOptions options) : options_(std::move(options)) {}

    void SetText(const std::string& sql) override {
        Close();
        text_ = sql;
    }
    const std::string& Text() const override { return text_; }

    void Open() override {
        Run();
        if (!onRow_) return;
        columns_.clear();
        const int count = sqlite3_column_count(stmt_.get());
        for (int i = 0; i < count; ++i) {
            const char* name = sqlite3_column_name(stmt_.get(), i);
            columns_.push_back(AsciiLower(name ? name : ""));
        }
    }

    void Execute() override {
        Run();
        Close();
    }

    bool Eof() const override { return !onRow_; }

    void Next() override {
        if (!onRow_) throw DataAccessError("There is no current row.");
        Step();
    }

    int FieldAsInteger(const std::string& column) override { return IntegerAt(Index(column)); }

    std::string FieldAsText(const std::string& column) override {
        const int i = Index(column);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), i));
        if (!text) return {};
        return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), i)));
    }

    TDateTime FieldAsDateTime(const std::string& column) override {
        const int i = Index(column);
        switch (sqlite3_column_type(stmt_.get(), i)) {
            case SQLITE_NULL: return 0;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT: return CheckedDate(i, sqlite3_column_double(stmt_.get(), i));
            default: break;
        }
        const std::string text = FieldAsText(column);
        if (text.empty()) return 0;
        double number = 0;
        if (ParseNumberText(text, number)) return CheckedDate(i, number);
        try {
            return IsoTextToDateTime(text);
        } catch (const ConvertError& e) {
            throw DataAccessError(ColumnError(i, e.what()));
        }
    }

    // A stored number beyond the years 1-9999 (or no number at all) is no date.
    TDateTime CheckedDate(int column, double value) const {
        if (!IsDateTimeInRange(value))
            throw DataAccessError(
                ColumnError(column, "the value " + std::to_string(value) +
                                        " is not a date between the years 1 and 9999"));
        return value;
    }

    bool FieldAsBool(const std::string& column) override {
        const int i = Index(column);
        if (sqlite3_column_type(stmt_.get(), i) == SQLITE_TEXT) {
            const std::string text = AsciiLower(FieldAsText(column));
            if (text == "true" || text == "yes") return true;
            if (text == "false" || text == "no" || text.empty()) return false;
        }
        if (sqlite3_column_type(stmt_.get(), i) == SQLITE_FLOAT)
            return sqlite3_column_double(stmt_.get(), i) != 0;
        return IntegerAt(i) != 0;
    }

    int FirstFieldAsInteger() override {
        RequireRow();
        if (sqlite3_column_count(stmt_.get()) < 1) throw DataAccessError("The row has no column.");
        return IntegerAt(0);
    }

    void Close() override {
        stmt_.reset();
        onRow_ = false;
        columns_.clear();
    }

private:
    void Run() {
        Close();
        Connect();
        stmt_ = PrepareOne(db_.get(), WithoutDeleteStar(text_));
        Step();
    }

    void Step() {
        const int rc = sqlite3_step(stmt_.get());
        onRow_ = rc == SQLITE_ROW;
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) return;
        const std::string message = sqlite3_errmsg(db_.get());
        Close();
        throw DataAccessError(message);
    }

    void Connect() {
        if (db_) return;
        const bool exists = PathExists(options_.path);
        if (!exists && !options_.firstUseScript.empty()) CreateFirstUseDatabase();
        const bool create = !exists && options_.missing == TMissingDatabase::Create;
        TDatabase db = OpenDatabase(options_.path, create);
        SetJournal(db.get(), create);
        db_ = std::move(db);
    }

    // Built under a temporary name and linked into place, so that a failing script never
    // leaves a half-made database that the next start would take as complete.
    void CreateFirstUseDatabase() {
        const std::filesystem::path target(options_.path);
        std::error_code ec;
        if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
        if (ec)
            throw DataAccessError("Cannot create " + target.parent_path().string() + ": " +
                                  ec.message());
        std::vector<std::string> statements;
        try {
            statements = SplitScriptStatements(ReadScriptFile(options_.firstUseScript));
        } catch (const FileError& e) {
            throw DataAccessError(e.what());
        }
        const std::string temporary = options_.path + ".new-" + NewGuidText();
        try {
            TSqliteQuery builder(TSqliteOptions{temporary, TMissingDatabase::Create, {}});
            for (const std::string& statement : statements) {
                builder.SetText(statement);
                builder.Execute();
            }
        } catch (...) {
            RemoveDatabaseFiles(temporary);
            throw;
        }
        PublishWithoutReplacing(temporary);
        RemoveDatabaseFiles(temporary);
    }

    // Another instance may have made the file meanwhile: then that one is kept and used.
    void PublishWithoutReplacing(const std::string& temporary) const {
        if (::link(temporary.c_str(), options_.path.c_str()) == 0 || errno == EEXIST) return;
        // File systems without hard links: a plain rename, unless the file appeared.
        if (PathExists(options_.path)) return;
        if (std::rename(temporary.c_str(), options_.path.c_str()) != 0)
            throw DataAccessError("Cannot create " + options_.path + ": " + std::strerror(errno));
    }

    static void RemoveDatabaseFiles(const std::string& path) {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::filesystem::remove(path + suffix, ec);
    }

    void RequireRow() const {
        if (!onRow_) throw DataAccessError("Either BOF or EOF is True: there is no current row.");
    }

    int Index(const std::string& column) const {
        RequireRow();
        const std::string wanted = AsciiLower(column);
        for (size_t i = 0; i < columns_.size(); ++i)
            if (columns_[i] == wanted) return static_cast<int>(i);
        throw DataAccessError("Item cannot be found in the collection: column " + column +
                              " is not in the rows.");
    }

    int IntegerAt(int i) const {
        sqlite3_stmt* stmt = stmt_.get();
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL: return 0;
            case SQLITE_INTEGER: {
                const sqlite3_int64 value = sqlite3_column_int64(stmt, i);
                if (value < std::numeric_limits<int>::min() ||
                    value > std::numeric_limits<int>::max())
                    throw DataAccessError(ColumnError(i, "value out of the integer range"));
                return static_cast<int>(value);
            }
            case SQLITE_FLOAT: {
                const double value = sqlite3_column_double(stmt, i);
                if (!(value >= std::numeric_limits<int>::min() &&
                      value <= std::numeric_limits<int>::max()))
                    throw DataAccessError(ColumnError(i, "value out of the integer range"));
                return static_cast<int>(Round(value));
            }
            case SQLITE_TEXT: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                int value = 0;
                if (text && TryStrToInt(text, value)) return value;
                throw DataAccessError(
                    ColumnError(i, std::string("'") + (text ? text : "") + "' is not an integer"));
            }
            default: throw DataAccessError(ColumnError(i, "binary value is not an integer"));
        }
    }

    std::string ColumnError(int i, const std::string& what) const {
        const char* name = sqlite3_column_name(stmt_.get(), i);
        return std::string("Column ") + (name ? name : "?") + ": " + what;
    }

    TSqliteOptions options_;
    std::string text_;
    TDatabase db_;  // destroyed last: the statement must be finalized first
    TStatement stmt_;
    bool onRow_ = false;
    std::vector<std::string> columns_;
};

}  // namespace

std::unique_ptr<TQuery> CreateSqliteQuery(TSqliteOptions options) {
    return std::make_unique<TSqliteQuery>(std::move(options));
}

}  // namespace galerion
