#pragma once
// Fixtures of the database tests: a fresh folder per test, a database made by the shipped table
// script, and a user host that records what it was asked to show.
#include "core/model.h"
#include "core/host/messages.h"

#include <string>
#include <vector>

namespace galerion::testing_db {

// A new folder under the test temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The create_tables.sql that the build put beside the test executable.
std::string ShippedScriptPath();
std::string SqliteConnection(const std::string& file);
// A database file with the tables of the shipped script; returns its connection string.
std::string MakeDatabase(const std::string& file);
// Runs one statement on a connection of its own and returns the first column of its first row
// as text ("" for NULL or no row).
std::string ScalarText(const std::string& connection, const std::string& sql);
int ScalarInt(const std::string& connection, const std::string& sql);
// The details of SQLite's query plan for a statement, joined by " | ".
std::string QueryPlan(const std::string& connection, const std::string& sql);
void RunRaw(const std::string& connection, const std::string& sql);

struct TExitRequested {
    int code;
};

class TRecordingHost : public TMessages {
public:
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void ShowInformation(const std::string& text) override { informations.push_back(text); }
    bool Confirm(const std::string&) override { return true; }
    [[noreturn]] void ExitProgram(int code) override { throw TExitRequested{code}; }

    std::vector<std::string> errors, warnings, informations;
};

}  // namespace galerion::testing_db
