#include "ui_test_support.h"

#include "db/query.h"
#include "db/table_script.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"

#include <QDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace galerion::ui::test {

bool TScriptedMessages::Confirm(const std::string& text) {
    confirms.push_back(text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void TScriptedMessages::ExitProgram(int code) {
    throw std::runtime_error("program ended with code " + std::to_string(code));
}

TPrivateHome::TPrivateHome() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        saved_.emplace_back(name, qgetenv(name));
    const QDir root(dir_.path());
    qputenv("HOME", dir_.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
}

TPrivateHome::~TPrivateHome() {
    for (const auto& [name, value] : saved_) {
        if (value.isNull()) qunsetenv(name);
        else qputenv(name, value);
    }
}

std::string TPrivateHome::SettingsFile() const { return Path() + "/config/Tarnwick/Galerion.reg"; }

void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
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

std::string CreateDatabase(const std::string& file) {
    const std::string connection = "Provider=SQLite;Data Source=" + file;
    TScriptedMessages messages;
    CreateTablesFromScript(connection, messages);
    if (!messages.errors.empty()) throw std::runtime_error(messages.errors.front());
    return connection;
}

int Count(const std::string& connection, const std::string& sql) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Open();
    const int count = query->FirstFieldAsInteger();
    query->Close();
    return count;
}

}  // namespace galerion::ui::test
