// galerion: the wizard window.
#include "platform/settings_store.h"
#include "ui/app_icon.h"
#include "ui/main_window.h"
#include "ui/splash_screen.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Galerion"));
    QApplication::setApplicationDisplayName(QStringLiteral("Galerion"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setDesktopFileName(QStringLiteral("galerion"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("galerion"), galerion::ui::AppIcon()));

    galerion::ui::TfrmGalerion window(galerion::TSettingsStore::DefaultFilePath());
    window.LoadSettings();
    if (!window.Settings().ShowSplash) {
        galerion::ui::TfrmGalerionSplash splash;
        splash.exec();
    }
    window.show();
    return app.exec();
}
