#pragma once
// Texts between the core (UTF-8 std::string, Windows line ends) and Qt.
#include <QString>

#include <string>

namespace galerion::ui {

inline QString ToQt(const std::string& text) { return QString::fromStdString(text); }
inline std::string FromQt(const QString& text) { return text.toStdString(); }
// A label or box shows "\r\n" as one line break.
inline QString DisplayText(const std::string& text) {
    return ToQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace galerion::ui
