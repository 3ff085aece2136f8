// galerion-screens OUTDIR [PHOTOS]: writes a PNG of each page and dialog of the window. With a
// folder of example albums it also shows the Pictures page with tiles and the Finish page with
// the log of a real run. Settings and database go to a temporary folder, never the user's.
#include "platform/settings_store.h"
#include "ui/advanced_dialog.h"
#include "ui/albums_page.h"
#include "ui/existing_album_dialog.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/pictures/pictures_page.h"
#include "ui/splash_screen.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace galerion;
using namespace galerion::ui;

class TQuietMessages : public TMessages {
public:
    void ShowError(const std::string& text) override { Report("error", text); }
    void ShowWarning(const std::string& text) override { Report("warning", text); }
    void ShowInformation(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    [[noreturn]] void ExitProgram(int code) override { std::exit(code); }

private:
    static void Report(const char* kind, const std::string& text) {
        std::fprintf(stderr, "galerion-screens: %s: %s\n", kind, text.c_str());
    }
};

bool Save(QWidget& widget, const QDir& out, const char* name) {
    const QString path = out.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "galerion-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

void SelectFirstAlbums(TAlbumsPage& page, int count) {
    int selected = 0;
    for (int row = 0; row < page.lbxAlbums->count() && selected < count; ++row) {
        QListWidgetItem* item = page.lbxAlbums->item(row);
        if (QDir(item->text()).entryList(QDir::Files).isEmpty()) continue;
        item->setSelected(true);
        ++selected;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "Usage: galerion-screens OUTDIR [PHOTOS]\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Galerion"));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) return 1;
    bool ok = true;

    TQuietMessages messages;
    TfrmGalerion window(TSettingsStore::DefaultFilePath());
    window.SetMessages(messages);
    // Settings as a user would have left them, so that the show step loads them.
    window.LoadSettings();
    TSettings& settings = window.Settings();
    settings.ShowWelcome = false;
    if (argc == 3)
        settings.MainDir =
            QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toStdString() + "/*.*";
    settings.LogLevelOthers = true;
    window.setGeometry(40, 40, 760, 620);
    window.SaveSettings();
    window.show();
    Settle();
    ok &= Save(window, out, "options");

    window.SelectAlbums();
    Settle();
    ok &= Save(window, out, "albums");

    if (argc == 3) {
        SelectFirstAlbums(*window.tbshAlbums, 2);
        // The processing panel, caught at the first picture of the preparation.
        bool caught = false;
        QObject::connect(window.pbarStatus, &QProgressBar::valueChanged, &window, [&](int value) {
            if (caught || value < 1) return;
            caught = true;
            ok &= Save(window, out, "processing");
        });
        window.GoToPictures();
        Settle();
        window.ApplyResizeRule();
        Settle();
        ok &= Save(window, out, "pictures");
        window.resize(window.minimumSize());
        Settle();
        window.ApplyResizeRule();
        Settle();
        ok &= Save(window, out, "pictures-smallest");
        window.setGeometry(40, 40, 760, 620);
        Settle();
        window.ProcessAlbums();
        Settle();
        ok &= Save(window, out, "finish");
    }

    TfrmAdvanced advanced(messages, {});
    advanced.Fill(window.Settings());
    advanced.show();
    Settle();
    ok &= Save(advanced, out, "advanced-options");

    TfrmDB question;
    question.SetFoundMessage(
        "Album with \"/home/user/Pictures/Trip\" original directory name was found in databse.");
    question.show();
    Settle();
    ok &= Save(question, out, "database-choice");

    TfrmGalerionSplash splash;
    splash.show();
    Settle();
    ok &= Save(splash, out, "splash");

    window.helpWindow->ShowContext(kHelpPages);
    Settle();
    ok &= Save(*window.helpWindow, out, "help");
    window.helpWindow->close();
    return ok ? 0 : 1;
}
