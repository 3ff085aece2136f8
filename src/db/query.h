#pragma once
// The query object of one unit of work: it opens the database named by its connection string at
// its first statement, runs one statement text at a time and reads the rows by column name.
// Destroying it ends the rows and the connection.
#include "platform/date_time.h"

#include <memory>
#include <string>

namespace galerion {

// What a query object does when its database file does not exist.
enum class TMissingDatabase {
    Fail,    // the first statement fails (the normal case)
    Create,  // an empty database is created (the table script asked for it)
};

class TQuery {
public:
    // Backend chosen by the connection string's "Provider=". A provider this build knows of but
    // was built without raises MissingComponentsError; any other provider, or none, raises
    // DataAccessError naming the providers of this build. The program's default connection
    // string gets its database and tables made at first use, unless `missing` is Create.
    static std::unique_ptr<TQuery> Create(const std::string& connectionString);
    static std::unique_ptr<TQuery> Create(const std::string& connectionString,
                                          TMissingDatabase missing);

    virtual ~TQuery() = default;
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    // Replaces the statement text (ending the rows of an open one).
    virtual void SetText(const std::string& sql) = 0;
    virtual const std::string& Text() const = 0;
    // Runs the text for rows and stands on the first one.
    virtual void Open() = 0;
    // Runs the text for its effect; rows it may return are not read.
    virtual void Execute() = 0;
    // True when no current row is left (also before Open and after Close).
    virtual bool Eof() const = 0;
    virtual void Next() = 0;

    // The current row's column, found by name regardless of letter case. NULL reads as 0,
    // empty text, the zero date-time and "no"; a value that does not convert is DataAccessError.
    virtual int FieldAsInteger(const std::string& column) = 0;
    virtual std::string FieldAsText(const std::string& column) = 0;
    virtual TDateTime FieldAsDateTime(const std::string& column) = 0;
    virtual bool FieldAsBool(const std::string& column) = 0;
    // The first column of the current row as integer (COUNT(*) results).
    virtual int FirstFieldAsInteger() = 0;

    // Ends the rows of an opened text; the object takes the next text.
    virtual void Close() = 0;

protected:
    TQuery() = default;
};

}  // namespace galerion
