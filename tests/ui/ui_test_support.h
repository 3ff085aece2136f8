#pragma once
// Shared pieces of the window tests: scripted message boxes, a private home for settings and
// the default database, tiny real JPEG photos and SQLite databases.
#include "core/host/messages.h"

#include <QTemporaryDir>

#include <deque>
#include <string>
#include <vector>

namespace galerion::ui::test {

// Records every box; Confirm answers from the queue (Yes when it is empty).
class TScriptedMessages : public TMessages {
public:
    std::vector<std::string> errors, warnings, infos, confirms;
    std::deque<bool> answers;

    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void ShowInformation(const std::string& text) override { infos.push_back(text); }
    bool Confirm(const std::string& text) override;
    [[noreturn]] void ExitProgram(int code) override;
};

// A fresh HOME, XDG_CONFIG_HOME and XDG_DATA_HOME for the life of the object.
class TPrivateHome {
public:
    TPrivateHome();
    ~TPrivateHome();
    std::string Path() const { return dir_.path().toStdString(); }
    std::string operator/(const std::string& name) const { return Path() + "/" + name; }
    std::string SettingsFile() const;

private:
    QTemporaryDir dir_;
    std::vector<std::pair<const char*, QByteArray>> saved_;
};

void MakeFolder(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
// A baseline JPEG of width x height with a gradient.
void WriteJpeg(const std::string& path, int width, int height);
// A new SQLite file with the shipped tables; returns its connection string.
std::string CreateDatabase(const std::string& file);
int Count(const std::string& connection, const std::string& sql);

}  // namespace galerion::ui::test
