#include "db/postgres_query.h"

#include "core/numbers.h"
#include "db/postgres_connection_string.h"
#include "db/statement_columns.h"
#include "db/statement_forms.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <dlfcn.h>
#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace galerion {
namespace {

// The client library's functions that the backend uses, looked up once per library file.
struct TClientLibrary {
    decltype(&PQconnectdbParams) connectdbParams = nullptr;
    decltype(&PQstatus) status = nullptr;
    decltype(&PQerrorMessage) errorMessage = nullptr;
    decltype(&PQfinish) finish = nullptr;
    decltype(&PQsetNoticeProcessor) setNoticeProcessor = nullptr;
    decltype(&PQparameterStatus) parameterStatus = nullptr;
    decltype(&PQtransactionStatus) transactionStatus = nullptr;
    decltype(&PQsocket) socket = nullptr;
    decltype(&PQexec) exec = nullptr;
    decltype(&PQexecParams) execParams = nullptr;
    decltype(&PQresultStatus) resultStatus = nullptr;
    decltype(&PQresultErrorField) resultErrorField = nullptr;
    decltype(&PQresultErrorMessage) resultErrorMessage = nullptr;
    decltype(&PQclear) clear = nullptr;
    decltype(&PQntuples) ntuples = nullptr;
    decltype(&PQnfields) nfields = nullptr;
    decltype(&PQfname) fname = nullptr;
    decltype(&PQgetvalue) getvalue = nullptr;
    decltype(&PQgetlength) getlength = nullptr;
    decltype(&PQgetisnull) getisnull = nullptr;
};

template <class TFunction>
void Bind(void* handle, const char* name, TFunction& slot) {
    slot = reinterpret_cast<TFunction>(::dlsym(handle, name));
    if (!slot)
        throw MissingComponentsError(std::string("The PostgreSQL client library lacks ") + name);
}

TClientLibrary LoadClientLibrary(const std::string& file) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        throw MissingComponentsError(why ? why : "cannot load " + file);
    }
    TClientLibrary pq;
    try {
        Bind(handle, "PQconnectdbParams", pq.connectdbParams);
        Bind(handle, "PQstatus", pq.status);
        Bind(handle, "PQerrorMessage", pq.errorMessage);
        Bind(handle, "PQfinish", pq.finish);
        Bind(handle, "PQsetNoticeProcessor", pq.setNoticeProcessor);
        Bind(handle, "PQparameterStatus", pq.parameterStatus);
        Bind(handle, "PQtransactionStatus", pq.transactionStatus);
        Bind(handle, "PQsocket", pq.socket);
        Bind(handle, "PQexec", pq.exec);
        Bind(handle, "PQexecParams", pq.execParams);
        Bind(handle, "PQresultStatus", pq.resultStatus);
        Bind(handle, "PQresultErrorField", pq.resultErrorField);
        Bind(handle, "PQresultErrorMessage", pq.resultErrorMessage);
        Bind(handle, "PQclear", pq.clear);
        Bind(handle, "PQntuples", pq.ntuples);
        Bind(handle, "PQnfields", pq.nfields);
        Bind(handle, "PQfname", pq.fname);
        Bind(handle, "PQgetvalue", pq.getvalue);
        Bind(handle, "PQgetlength", pq.getlength);
        Bind(handle, "PQgetisnull", pq.getisnull);
    } catch (...) {
        ::dlclose(handle);
        throw;
    }
    return pq;
}

// Loaded libraries stay loaded (and their tables alive) until the process ends: kept
// connections are closed through them at exit.
const TClientLibrary& ClientLibrary(const std::string& file) {
    static std::mutex mutex;
    static auto* loaded = new std::map<std::string, const TClientLibrary*>();
    const std::lock_guard lock(mutex);
    if (const auto it = loaded->find(file); it != loaded->end()) return *it->second;
    const auto* pq = new TClientLibrary(LoadClientLibrary(file));
    loaded->emplace(file, pq);
    return *pq;
}

struct TConnectionCloser {
    const TClientLibrary* pq;
    void operator()(PGconn* connection) const { pq->finish(connection); }
};
struct TResultClearer {
    const TClientLibrary* pq;
    void operator()(PGresult* result) const { pq->clear(result); }
};
using TConnection = std::unique_ptr<PGconn, TConnectionCloser>;
using TResult = std::unique_ptr<PGresult, TResultClearer>;

std::string TrimmedEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

// Idle: no statement under way, no transaction left open, nothing sent by the server since
// (a server going down says goodbye on the socket).
bool SoundAndIdle(const TClientLibrary& pq, PGconn* connection) {
    if (pq.status(connection) != CONNECTION_OK) return false;
    if (pq.transactionStatus(connection) != PQTRANS_IDLE) return false;
    pollfd socket{pq.socket(connection), POLLIN, 0};
    return ::poll(&socket, 1, 0) == 0;
}

// Connections left by released query objects, for the next ones with the same connection
// string. Two at most: the category list works with two query objects at once.
class TConnectionShelf {
public:
    static TConnectionShelf& Instance() {
        static TConnectionShelf shelf;
        return shelf;
    }

    TConnection Take(const std::string& key) {
        const std::lock_guard lock(mutex_);
        if (key != key_) idle_.clear();
        while (!idle_.empty()) {
            TConnection connection = std::move(idle_.back());
            idle_.pop_back();
            if (SoundAndIdle(*connection.get_deleter().pq, connection.get())) return connection;
        }
        return TConnection(nullptr, {nullptr});
    }

    void Put(const std::string& key, TConnection connection) {
        const std::lock_guard lock(mutex_);
        if (key != key_) {
            idle_.clear();
            key_ = key;
        }
        if (idle_.size() < kMaxIdle) idle_.push_back(std::move(connection));
    }

    void Clear() {
        const std::lock_guard lock(mutex_);
        idle_.clear();
        key_.clear();
    }

private:
    static constexpr size_t kMaxIdle = 2;
    std::mutex mutex_;
    std::string key_;
    std::vector<TConnection> idle_;
};

void IgnoreNotice(void*, const char*) {}

// Without a timeout of the user's, an unreachable host would hold the window for minutes.
constexpr const char* kDefaultConnectTimeoutSeconds = "10";

// Every statement is its own transaction. Waiting for each commit's WAL flush would make the
// server many times slower than the file backend, which syncs at checkpoints only; without the
// wait a server crash may lose the last moments of commits but never leaves a broken database,
// and the next run writes them again. The user's own options come after, so a
// "-c synchronous_commit=on" there wins.
constexpr const char* kSessionOptions = "-c synchronous_commit=off";

void AddSessionOptions(std::vector<std::pair<std::string, std::string>>& keywords) {
    for (auto& [keyword, value] : keywords)
        if (keyword == "options") {
            value = std::string(kSessionOptions) + " " + value;
            return;
        }
    keywords.emplace_back("options", kSessionOptions);
}

TConnection OpenConnection(const TClientLibrary& pq, const std::string& connectionString) {
    auto keywords = PostgresConnectionKeywords(connectionString);
    AddSessionOptions(keywords);
    keywords.emplace_back("client_encoding", "UTF8");
    keywords.emplace_back("fallback_application_name", "galerion");
    bool timeout = false;
    for (const auto& [keyword, value] : keywords) timeout = timeout || keyword == "connect_timeout";
    if (!timeout) keywords.emplace_back("connect_timeout", kDefaultConnectTimeoutSeconds);
    std::vector<const char*> names, values;
    for (const auto& [keyword, value] : keywords) {
        names.push_back(keyword.c_str());
        values.push_back(value.c_str());
    }
    names.push_back(nullptr);
    values.push_back(nullptr);
    // expand_dbname 0: a database name is only ever a name, never more connection settings.
    TConnection connection(pq.connectdbParams(names.data(), values.data(), 0), {&pq});
    if (!connection) throw DataAccessError("Out of memory connecting to the PostgreSQL server.");
    if (pq.status(connection.get()) != CONNECTION_OK)
        throw DataAccessError(TrimmedEnd(pq.errorMessage(connection.get())));
    pq.setNoticeProcessor(connection.get(), IgnoreNotice, nullptr);
    return connection;
}

bool ParameterIs(const TClientLibrary& pq, PGconn* connection, const char* name,
                 std::string_view lowerPrefix) {
    const char* value = pq.parameterStatus(connection, name);
    return value && AsciiLower(value).rfind(lowerPrefix, 0) == 0;
}

// SqlQuote doubles quotes only, so a backslash must never be an escape; values are UTF-8; date
// texts are ISO both ways. Checked before every statement: a script may have changed them.
bool SessionAsNeeded(const TClientLibrary& pq, PGconn* connection) {
    return ParameterIs(pq, connection, "standard_conforming_strings", "on") &&
           ParameterIs(pq, connection, "client_encoding", "utf8") &&
           ParameterIs(pq, connection, "DateStyle", "iso");
}

void PrepareSession(const TClientLibrary& pq, PGconn* connection) {
    if (SessionAsNeeded(pq, connection)) return;
    const TResult result(pq.exec(connection,
                                 "SET standard_conforming_strings = on; "
                                 "SET client_encoding = 'UTF8'; "
                                 "SET DateStyle = 'ISO, YMD'"),
                         {&pq});
    if (!result || pq.resultStatus(result.get()) != PGRES_COMMAND_OK)
        throw DataAccessError(TrimmedEnd(pq.errorMessage(connection)));
    if (!SessionAsNeeded(pq, connection))
        throw DataAccessError(
            "The PostgreSQL server refused the session settings this program "
            "needs: standard_conforming_strings on, client encoding UTF-8, "
            "ISO dates.");
}

// A text the server cannot store is refused before sending, naming its column: never changed.
void CheckStorable(const std::string& sql) {
    const size_t at = FirstUnstorableByte(sql);
    if (at == std::string_view::npos) return;
    const std::string column = ColumnAt(sql, at);
    const std::string where = column.empty() ? "The statement text" : "The value of " + column;
    if (sql[at] == '\0')
        throw DataAccessError(where + " holds a NUL character, which PostgreSQL cannot store.");
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(sql[at]));
    throw DataAccessError(where + " is not valid UTF-8 (byte " + byte +
                          "), which PostgreSQL cannot store.");
}

bool ParseWholeInteger(const char* text, long long& value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && *end == '\0';
}

bool ParseWholeNumber(const char* text, double& value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && *end == '\0';
}

class TPostgresQuery final : public TQuery {
public:
    TPostgresQuery(const TClientLibrary& pq, TPostgresOptions options)
        : pq_(pq),
          options_(std::move(options)),
          key_(options_.clientLibrary + '\n' + options_.connection),
          connection_(nullptr, {&pq}),
          rows_(nullptr, {&pq}) {}

    ~TPostgresQuery() override {
        Close();
        if (!connection_ || !SoundAndIdle(pq_, connection_.get())) return;
        try {
            TConnectionShelf::Instance().Put(key_, std::move(connection_));
        } catch (...) {
            // Closing instead of keeping loses nothing.
        }
    }

    void SetText(const std::string& sql) override {
        Close();
        text_ = sql;
    }
    const std::string& Text() const override { return text_; }

    void Open() override {
        Run();
        rowCount_ = pq_.ntuples(rows_.get());
        const int count = pq_.nfields(rows_.get());
        for (int i = 0; i < count; ++i) {
            const char* name = pq_.fname(rows_.get(), i);
            columns_.push_back(AsciiLower(name ? name : ""));
        }
    }

    void Execute() override {
        Run();
        Close();
    }

    bool Eof() const override { return row_ >= rowCount_; }

    void Next() override {
        RequireRow();
        ++row_;
    }

    int FieldAsInteger(const std::string& column) override { return IntegerAt(Index(column)); }

    std::string FieldAsText(const std::string& column) override {
        const int i = Index(column);
        if (pq_.getisnull(rows_.get(), row_, i)) return {};
        return std::string(pq_.getvalue(rows_.get(), row_, i),
                           static_cast<size_t>(pq_.getlength(rows_.get(), row_, i)));
    }

    TDateTime FieldAsDateTime(const std::string& column) override {
        const int i = Index(column);
        const char* text = ValueAt(i);
        if (!text || !*text) return 0;
        double number = 0;
        if (ParseWholeNumber(text, number)) return number;
        try {
            return IsoTextToDateTime(text);
        } catch (const ConvertError& e) {
            throw DataAccessError(ColumnError(i, e.what()));
        }
    }

    bool FieldAsBool(const std::string& column) override {
        const int i = Index(column);
        const char* text = ValueAt(i);
        if (!text) return false;
        const std::string lower = AsciiLower(text);
        if (lower == "t" || lower == "true" || lower == "yes") return true;
        if (lower == "f" || lower == "false" || lower == "no" || lower.empty()) return false;
        return IntegerAt(i) != 0;
    }

    int FirstFieldAsInteger() override {
        RequireRow();
        if (columns_.empty()) throw DataAccessError("The row has no column.");
        return IntegerAt(0);
    }

    void Close() override {
        rows_.reset();
        row_ = 0;
        rowCount_ = 0;
        columns_.clear();
    }

private:
    void Run() {
        Close();
        Connect();
        CheckStorable(text_);
        const std::string sql = WithoutDeleteStar(text_);
        // The extended protocol takes one statement only: a second one is refused, never run.
        TResult result(pq_.execParams(connection_.get(), sql.c_str(), 0, nullptr, nullptr, nullptr,
                                      nullptr, 0),
                       {&pq_});
        const ExecStatusType status = result ? pq_.resultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            rows_ = std::move(result);
            return;
        }
        if (status == PGRES_EMPTY_QUERY) throw DataAccessError("The statement text is empty.");
        throw DataAccessError(ServerMessage(result.get()));
    }

    void Connect() {
        // A connection lost in an earlier statement is replaced for the next one.
        if (connection_ && pq_.status(connection_.get()) != CONNECTION_OK) connection_.reset();
        if (!connection_) connection_ = TConnectionShelf::Instance().Take(key_);
        if (!connection_) connection_ = OpenConnection(pq_, options_.connection);
        try {
            PrepareSession(pq_, connection_.get());
        } catch (...) {
            connection_.reset();
            throw;
        }
    }

    // The server's own words: its message (and detail), else the client library's.
    std::string ServerMessage(const PGresult* result) const {
        if (result) {
            const char* primary = pq_.resultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
            if (primary && *primary) {
                std::string message = primary;
                const char* detail = pq_.resultErrorField(result, PG_DIAG_MESSAGE_DETAIL);
                if (detail && *detail) message += std::string("\n") + detail;
                return message;
            }
            const std::string text = TrimmedEnd(pq_.resultErrorMessage(result));
            if (!text.empty()) return text;
        }
        return TrimmedEnd(pq_.errorMessage(connection_.get()));
    }

    void RequireRow() const {
        if (Eof()) throw DataAccessError("Either BOF or EOF is True: there is no current row.");
    }

    int Index(const std::string& column) const {
        RequireRow();
        const std::string wanted = AsciiLower(column);
        for (size_t i = 0; i < columns_.size(); ++i)
            if (columns_[i] == wanted) return static_cast<int>(i);
        throw DataAccessError("Item cannot be found in the collection: column " + column +
                              " is not in the rows.");
    }

    // The value's text, or nullptr for NULL.
    const char* ValueAt(int i) const {
        if (pq_.getisnull(rows_.get(), row_, i)) return nullptr;
        return pq_.getvalue(rows_.get(), row_, i);
    }

    int IntegerAt(int i) const {
        const char* text = ValueAt(i);
        if (!text) return 0;
        constexpr long long kMin = std::numeric_limits<int>::min();
        constexpr long long kMax = std::numeric_limits<int>::max();
        long long whole = 0;
        double number = 0;
        if (ParseWholeInteger(text, whole)) {
            if (whole < kMin || whole > kMax)
                throw DataAccessError(ColumnError(i, "value out of the integer range"));
            return static_cast<int>(whole);
        }
        if (ParseWholeNumber(text, number)) {
            if (!(number >= kMin && number <= kMax))
                throw DataAccessError(ColumnError(i, "value out of the integer range"));
            return static_cast<int>(Round(number));
        }
        if (text == std::string_view("t")) return -1;  // a boolean column: yes is -1
        if (text == std::string_view("f")) return 0;
        throw DataAccessError(ColumnError(i, std::string("'") + text + "' is not an integer"));
    }

    std::string ColumnError(int i, const std::string& what) const {
        return "Column " + columns_[static_cast<size_t>(i)] + ": " + what;
    }

    const TClientLibrary& pq_;
    TPostgresOptions options_;
    std::string key_;
    std::string text_;
    TConnection connection_;  // declared before the rows: cleared rows never need it
    TResult rows_;
    int row_ = 0;
    int rowCount_ = 0;
    std::vector<std::string> columns_;
};

}  // namespace

std::unique_ptr<TQuery> CreatePostgresQuery(TPostgresOptions options) {
    const TClientLibrary& pq = ClientLibrary(options.clientLibrary);
    return std::make_unique<TPostgresQuery>(pq, std::move(options));
}

void ClosePostgresConnections() { TConnectionShelf::Instance().Clear(); }

}  // namespace galerion
