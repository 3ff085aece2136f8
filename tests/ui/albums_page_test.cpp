// The Albums page: the album search over a folder tree, the exclusions and "Browse...".
#include "ui/albums_page.h"
#include "ui_test_support.h"

#include "core/processing_log.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <filesystem>

using namespace galerion;
using namespace galerion::ui;
using namespace galerion::ui::test;

namespace {

using TFolders = std::vector<std::string>;

}  // namespace

class AlbumsPageTest : public QObject {
    Q_OBJECT
private slots:
    // Photos holding 2003 and tmp, 2003 holding Summer, Summer holding ps_thumb.
    void searchListsTheTreeWithoutOutputFolders() {
        TPrivateHome home;
        const std::string photos = home / "Photos";
        for (const char* folder :
             {"2003/Summer/ps_thumb", "tmp", "2003/Summer/PS_THUMB2", "2003/Tmp", "2003/small"})
            MakeFolder(photos + "/" + folder);
        TSettings s;
        s.MainDir = photos + "/*.*";
        TProcessingLog log;
        TAlbumsPage page(s, log);
        QCOMPARE(page.edtMainDirectory->text(), QString::fromStdString(s.MainDir));
        page.bbnSelectMainDirectory->click();
        QCOMPARE(page.ListedFolders(),
                 (TFolders{photos, photos + "/2003", photos + "/2003/small",
                           photos + "/2003/Summer", photos + "/2003/Summer/PS_THUMB2"}));
        QVERIFY(page.SelectedFolders().empty());

        // Another thumbnail folder name: ps_thumb is listed now, small is not.
        s.ThumbFolder = "small";
        page.SearchAlbums();
        QCOMPARE(page.ListedFolders(),
                 (TFolders{photos, photos + "/2003", photos + "/2003/Summer",
                           photos + "/2003/Summer/ps_thumb", photos + "/2003/Summer/PS_THUMB2"}));
    }

    // A link out of the main directory is neither listed nor entered; the program's log says so.
    void linkOutOfTheTreeIsLogged() {
        TPrivateHome home;
        MakeFolder(home / "Photos/Trip");
        MakeFolder(home / "Elsewhere/Album");
        std::filesystem::create_directory_symlink(home / "Elsewhere", home / "Photos/out");
        TSettings s;
        s.MainDir = home / "Photos/*.*";
        TProcessingLog log;
        log.SetLevel(4, true);
        TAlbumsPage page(s, log);
        page.SearchAlbums();
        QCOMPARE(page.ListedFolders(), (TFolders{home / "Photos", home / "Photos/Trip"}));
        QCOMPARE(log.Lines().size(), size_t{1});
        QCOMPARE(log.Lines()[0].mark.imageIndex, 4);
    }

    void aMissingMainDirectoryIsTheSingleSelectedEntry() {
        TSettings s;
        s.MainDir = "/nonexistent/galerion/photos/*.*";
        TProcessingLog log;
        TAlbumsPage page(s, log);
        page.SearchAlbums();
        QCOMPARE(page.ListedFolders(), TFolders{"/nonexistent/galerion/photos"});
        QCOMPARE(page.SelectedFolders(), TFolders{"/nonexistent/galerion/photos"});
        QCOMPARE(page.lbxAlbums->currentRow(), 0);
    }

    void multiSelectionInListOrder() {
        TPrivateHome home;
        for (const char* folder : {"b", "a", "c"}) MakeFolder(home / ("p/" + std::string(folder)));
        TSettings s;
        s.MainDir = home / "p/*.*";
        TProcessingLog log;
        TAlbumsPage page(s, log);
        page.SearchAlbums();
        QCOMPARE(page.lbxAlbums->selectionMode(), QAbstractItemView::ExtendedSelection);
        page.lbxAlbums->item(3)->setSelected(true);
        page.lbxAlbums->item(0)->setSelected(true);
        page.lbxAlbums->item(1)->setSelected(true);
        QCOMPARE(page.SelectedFolders(), (TFolders{home / "p", home / "p/a", home / "p/c"}));
    }

    void browseSetsTheMaskAndSearches() {
        TPrivateHome home;
        MakeFolder(home / "Chosen/Trip");
        TSettings s;
        s.MainDir = "/nonexistent/*.*";
        TProcessingLog log;
        TAlbumsPage page(s, log);
        page.SetFolderChooser(
            [&]() -> std::optional<QString> { return QString::fromStdString(home / "Chosen"); });
        page.bbnBrowseMainDirectory->click();
        QCOMPARE(s.MainDir, home / "Chosen/*.*");
        QCOMPARE(page.ListedFolders(), (TFolders{home / "Chosen", home / "Chosen/Trip"}));

        page.SetFolderChooser([]() -> std::optional<QString> { return std::nullopt; });
        page.bbnBrowseMainDirectory->click();
        QCOMPARE(s.MainDir, home / "Chosen/*.*");
        QCOMPARE(page.lbxAlbums->count(), 2);
    }

    void mainDirectoryChooser() {
        QFileDialog dialog;
        ConfigureMainDirectoryDialog(dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select main directory"));
        QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
    }

    void captionsAndHints() {
        TSettings s;
        TProcessingLog log;
        TAlbumsPage page(s, log);
        QCOMPARE(page.bbnSelectMainDirectory->toolTip(),
                 QStringLiteral("Get all subdirectories as albums"));
        QCOMPARE(page.bbnBrowseMainDirectory->text(), QStringLiteral("Browse..."));
        QCOMPARE(page.bbnBrowseMainDirectory->toolTip(), QStringLiteral("Select main directory"));
        QCOMPARE(page.bbnOptions_Albums->toolTip(), QStringLiteral("Back to the options page"));
        QCOMPARE(page.bbnPictures->text(), QStringLiteral("Pictures >"));
        QCOMPARE(page.bbnPictures->toolTip(),
                 QStringLiteral("Create thumbnails and go to the photos page"));
    }
};

QTEST_MAIN(AlbumsPageTest)
#include "albums_page_test.moc"
