#include "fixture.h"

#include "db/query.h"
#include "db/table_script.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "processing/album_preparation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace galerion::test {

bool TScriptedHost::Confirm(const std::string& t) {
    confirms.push_back(t);
    if (confirmAnswers.empty()) return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

TExistingAlbumReply TScriptedHost::AskExistingAlbum(const std::string& found) {
    questions.push_back(found);
    if (albumAnswers.empty()) return {};
    const TExistingAlbumReply reply = albumAnswers.front();
    albumAnswers.pop_front();
    return reply;
}

void TScriptedHost::SetProgressPosition(int p) {
    progressPosition = p;
    maxPositionSeen = std::max(maxPositionSeen, p);
}

void TScriptedHost::ExitProgram(int code) { throw TProgramExit{code}; }

TTempFolder::TTempFolder() {
    std::string pattern = testing::TempDir() + "galerion-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteJpeg(const std::string& path, int width, int height) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Color32(x * 255 / std::max(width - 1, 1),
                                          y * 255 / std::max(height - 1, 1), 128));
    SaveJpeg(bitmap, 90, path);
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

namespace {

std::string ScriptPath() {
    const char* bin = std::getenv("GALERION_TEST_BIN");
    return std::string(bin ? bin : ".") + "/create_tables.sql";
}

}  // namespace

std::string CreateDatabase(const std::string& file) {
    const std::string connection = "Provider=SQLite;Data Source=" + file;
    TScriptedHost host;
    CreateTablesFromScript(connection, host, ScriptPath());
    if (!host.errors.empty() || !host.warnings.empty())
        throw std::runtime_error("table script failed: " +
                                 (host.errors.empty() ? host.warnings[0] : host.errors[0]));
    return connection;
}

std::vector<std::string> Column(const std::string& connection, const std::string& sql,
                                const std::string& column) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Open();
    std::vector<std::string> values;
    for (; !query->Eof(); query->Next()) values.push_back(query->FieldAsText(column));
    return values;
}

int Count(const std::string& connection, const std::string& sql) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Open();
    return query->FirstFieldAsInteger();
}

void Exec(const std::string& connection, const std::string& sql) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Execute();
}

TWizardFixture::TWizardFixture() {
    settings.ProcessLarge = true;
    settings.LogLevelOthers = true;
    log.ApplyLogSwitches(true, true, true);
    connection = CreateDatabase(root / "site.db");
    settings.DB = connection;
}

void TWizardFixture::PrepareAll(const std::vector<std::string>& folders) {
    albums.Clear();
    for (const std::string& f : folders) albums.AddAlbum(f);
    TBusyScope scope(busy);
    for (int a = 0; a < albums.Count(); ++a) PrepareAlbum(context, a);
}

std::vector<std::string> TWizardFixture::LogTexts() const {
    std::vector<std::string> texts;
    for (const TLogLine& line : log.Lines()) texts.push_back(line.text);
    return texts;
}

bool TWizardFixture::Logged(const std::string& text) const {
    const auto texts = LogTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace galerion::test
