#pragma once
// Shared pieces of the window tests: scripted message boxes and a private home for settings and
// the default database; files and databases come from the common test support.
#include "core/host/messages.h"
#include "support/files.h"
#include "support/test_database.h"

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

using galerion::test::CreateDatabase;
using galerion::test::MakeFolder;
using galerion::test::ScalarInt;
using galerion::test::WriteJpeg;
using galerion::test::WriteText;

}  // namespace galerion::ui::test
