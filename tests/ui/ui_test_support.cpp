#include "ui_test_support.h"

#include <QDir>

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
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}

std::string TPrivateHome::SettingsFile() const { return Path() + "/config/Tarnwick/Galerion.reg"; }

}  // namespace galerion::ui::test
