#include "pictures_fixture.h"

#include "platform/date_time.h"
#include "processing/album_preparation.h"
#include "support/files.h"
#include "support/test_database.h"
#include "ui/pictures/album_details.h"
#include "ui/pictures/album_list_box.h"
#include "ui/pictures/picture_tile.h"
#include "ui/pictures/raster_widgets.h"
#include "ui/pictures/tile_painting.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <cmath>

using namespace galerion;
using namespace galerion::test;
using namespace galerion::ui;

namespace {

TPictureTile* TileOf(const TAlbumItem& album, int i) {
    return dynamic_cast<TPictureTile*>(album.TileAt(i));
}

QPoint TilePlace(const TAlbumItem& album, int i) { return TileOf(album, i)->Panel().pos(); }

}  // namespace

class TPicturesPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void preparingARealFolderMakesTilesAndDetails() {
        TPageFixture f;
        const std::string folder = f.MakeAlbum("Trip", 3);
        f.Open({folder});
        const TAlbumItem& album = *f.albums.AlbumAt(0);
        QVERIFY(album.Prepared);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(TileOf(album, i));
            QCOMPARE(TileOf(album, i)->Panel().parentWidget(), f.page->PhotosArea().widget());
            QCOMPARE(TileOf(album, i)->Thumb().Width(), 150);
        }
        QCOMPARE(TileOf(album, 1)->NameLabel().text(), QString("p1.jpg (0)"));
        QVERIFY(TileOf(album, 0)->Button(TTileButton::Face).isChecked());
        QCOMPARE(f.page->FacePreview().Raster().Pixel(0, 0), kFaceFrameColor);
        QCOMPARE(f.page->Details().ShortName().text(), QString("Trip"));
        QCOMPARE(f.page->Details().LongName().text(), QString("<long name>"));
        QCOMPARE(f.page->Details().OriginalDirName().text(), QString::fromStdString(folder));
        QCOMPARE(f.page->PhotosReadyLabel().text(), QString("Album \"Trip\" photos:"));
        QCOMPARE(f.page->ProcessButton().text(), QString("Process album (1 of 1) >"));
        QVERIFY(f.page->ProcessButton().isEnabled());
        // The tile area grows with the tiles, so the scroll bars can reach them all.
        const QRect last = TileOf(album, 2)->Panel().geometry();
        QVERIFY(f.page->PhotosArea().widget()->width() > last.right());
        QVERIFY(f.page->PhotosArea().widget()->height() > last.bottom());
    }

    void unreadablePhotoGetsNoTileAndTheAlbumGoesOn() {
        TPageFixture f;
        const std::string folder = f.MakeAlbum("Trip", 3);
        WriteText(folder + "/p1.jpg", "not a photo");
        f.Open({folder});
        const TAlbumItem& album = *f.albums.AlbumAt(0);
        QVERIFY(album.Prepared);
        QVERIFY(!album.TileAt(1));
        QVERIFY(!album.PictureAt(1)->IsDeleted);  // a failure of this run, not the user's choice
        QVERIFY(TileOf(album, 0) && TileOf(album, 2));
        QCOMPARE(f.context.failures.size(), size_t(1));
        QVERIFY(f.host.errors.empty());
        // The next tile goes where its picture's index says: the gap stays.
        const TTilePlacement third = TilePosition(2, 150, 100, f.page->TileAreaWidth());
        QCOMPARE(TilePlace(album, 2), QPoint(third.left, third.top));
        // Excluding the face picture hands the mark to the next picture shown, past the one
        // that could not be read.
        TileOf(album, 0)->Button(TTileButton::Exclude).click();
        QVERIFY(album.PictureAt(2)->IsFace);
        QVERIFY(TileOf(album, 2)->Button(TTileButton::Face).isChecked());
        QVERIFY(!TileOf(album, 0)->Button(TTileButton::Face).isChecked());
    }

    void brokenWorkingThumbnailEndsTheSwitchWithTheDecoderError() {
        TPageFixture f;
        const std::string second = f.MakeAlbum("Second", 2);
        MakeFolder(second + "/tmp");
        WriteText(second + "/tmp/tmp_p1.jpg", "no picture");  // kept: RecreateTemp is off
        f.Open({f.MakeAlbum("First", 1), second});
        f.page->SwitchAlbum(1);
        QCOMPARE(f.host.errors.size(), size_t(1));
        QVERIFY(!f.albums.AlbumAt(1)->Prepared);
        QVERIFY(TileOf(*f.albums.AlbumAt(1), 0));
        QVERIFY(!f.albums.AlbumAt(1)->TileAt(1));
        QVERIFY(!f.busy.Busy());
        QCOMPARE(f.page->ProcessButton().text(), QString("Process albums (1 of 2) >"));
    }

    void tileGrid_data() {
        QTest::addColumn<int>("areaWidth");
        QTest::addColumn<QString>("thumbWidth");
        QTest::addColumn<int>("index");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("500 wide, 2 columns") << 500 << "150" << 3 << QPoint(180, 152);
        QTest::newRow("1000 wide, 210 tiles, 4 columns") << 1000 << "200" << 4 << QPoint(5, 152);
        QTest::newRow("100 wide, still 2 columns") << 100 << "150" << 1 << QPoint(180, 5);
        QTest::newRow("empty width edit") << 700 << "" << 3 << QPoint(5 + 3 * 175, 5);
    }
    void tileGrid() {
        QFETCH(int, areaWidth);
        QFETCH(QString, thumbWidth);
        TPageFixture f;
        f.Open({f.MakeAlbum("Trip", 5)});
        f.settings.ThumbWidth = thumbWidth.toStdString();
        f.page->PhotosArea().setFixedWidth(areaWidth);
        f.page->show();
        QCoreApplication::processEvents();
        QCOMPARE(f.page->PhotosArea().width(), areaWidth);
        QFETCH(int, index);
        QFETCH(QPoint, place);
        QCOMPARE(TilePlace(*f.albums.AlbumAt(0), index), place);
    }

    void thumbnailEditThatIsNoNumberLeavesTheTiles() {
        TPageFixture f;
        f.Open({f.MakeAlbum("Trip", 3)});
        const QPoint before = TilePlace(*f.albums.AlbumAt(0), 2);
        f.settings.ThumbHeight = "12a";
        QVERIFY(!f.page->LayoutTiles());
        QCOMPARE(f.host.errors, std::vector<std::string>{"'12a' is not a valid integer value"});
        QCOMPARE(TilePlace(*f.albums.AlbumAt(0), 2), before);
    }

    void switchingAlbumsKeepsWhatWasTyped() {
        TPageFixture f;
        f.Open({f.MakeAlbum("First", 2), f.MakeAlbum("Second", 1)});
        TAlbumDetails& details = f.page->Details();
        details.LongName().clear();
        QTest::keyClicks(&details.LongName(), "Summer by the lake");
        details.Description().setPlainText("Three days of sun");
        QCOMPARE(f.albums.AlbumAt(0)->LongName, std::string("Summer by the lake"));
        QVERIFY(!f.albums.AlbumAt(1)->Prepared);

        f.page->SwitchAlbum(1);
        QCOMPARE(f.page->CurrentAlbum(), 1);
        QVERIFY(f.albums.AlbumAt(1)->Prepared);
        QVERIFY(!f.albums.AlbumAt(0)->TileAt(0));  // the tiles of the album left are gone
        QVERIFY(TileOf(*f.albums.AlbumAt(1), 0));
        QCOMPARE(details.ShortName().text(), QString("Second"));
        QCOMPARE(details.LongName().text(), QString("<long name>"));
        QCOMPARE(f.page->PhotosReadyLabel().text(), QString("Album \"Second\" photos:"));
        QCOMPARE(f.page->ProcessButton().text(), QString("Process albums (2 of 2) >"));

        f.page->SwitchAlbum(0);
        QCOMPARE(details.LongName().text(), QString("Summer by the lake"));
        QCOMPARE(details.Description().toPlainText(), QString("Three days of sun"));
        QVERIFY(TileOf(*f.albums.AlbumAt(0), 1));
        QVERIFY(f.host.errors.empty());
    }

    void stoppedSwitchLeavesTheNewAlbumCurrentAndUnprepared() {
        TPageFixture f;
        f.Open({f.MakeAlbum("First", 1), f.MakeAlbum("Second", 3)});
        int pumps = 0;
        f.host.onPump = [&] {
            if (++pumps == 12) f.busy.RequestStop();  // during the second picture; Yes to stop
        };
        int prepared = 0;
        QObject::connect(f.page.get(), &TPicturesPage::albumPrepared, [&] { ++prepared; });
        f.page->SwitchAlbum(1);
        QCOMPARE(f.page->CurrentAlbum(), 1);
        QVERIFY(!f.albums.AlbumAt(1)->Prepared);
        QVERIFY(TileOf(*f.albums.AlbumAt(1), 0));
        QVERIFY(!f.albums.AlbumAt(1)->TileAt(2));
        QCOMPARE(f.host.statuses.back(), std::string("Operation was cancelled."));
        QCOMPARE(prepared, 1);
        QVERIFY(!f.busy.Busy());
    }

    void detailChangesGoIntoTheCurrentAlbum() {
        TPageFixture f;
        f.Open({f.MakeAlbum("Trip", 1)});
        TAlbumItem& album = *f.albums.AlbumAt(0);
        // A date with a time of day shows as the date alone and is stored at midnight after
        // the first change.
        album.AlbumDate = EncodeDateTime({2003, 7, 14, 15, 30, 0});
        album.AlbumId = 5;
        f.page->ShowAlbumDetails(album);
        TAlbumDetails& details = f.page->Details();
        QCOMPARE(details.Date().text(), QString("14/07/2003"));
        QCOMPARE(album.AlbumId, 5);  // filling copies nothing back
        details.ShortName().setText("trip03");
        QCOMPARE(album.ShortName, std::string("trip03"));
        QCOMPARE(album.AlbumDate, EncodeDateTime({2003, 7, 14, 0, 0, 0}));
        QCOMPARE(album.AlbumId, -1);
        details.Date().setText("31/02/2004");  // no such day: the album keeps its date
        QCOMPARE(album.AlbumDate, EncodeDateTime({2003, 7, 14, 0, 0, 0}));
        details.Date().setText("01/03/2004");
        QCOMPARE(album.AlbumDate, EncodeDateTime({2004, 3, 1, 0, 0, 0}));
        details.Private().click();
        QVERIFY(album.IsPrivate);
        details.AltDescription().setPlainText("Alt");
        QCOMPARE(album.AltDescription, std::string("Alt"));
        // The label names the short name of the last filling, not what is typed now.
        QCOMPARE(f.page->PhotosReadyLabel().text(), QString("Album \"Trip\" photos:"));
    }

    void toolbarTurnsEveryTileExcludedOnesToo() {
        TPageFixture f;
        f.Open({f.MakeAlbum("Trip", 3)});
        TAlbumItem& album = *f.albums.AlbumAt(0);
        TileOf(album, 1)->Button(TTileButton::Exclude).click();
        f.page->ToolbarButton(2).click();  // clockwise
        for (int i = 0; i < 3; ++i) QCOMPARE(album.PictureAt(i)->Orientation, 2);
        QCOMPARE(TileOf(album, 1)->Thumb().Width(), 100);
        f.page->ToolbarButton(1).click();  // flip
        QCOMPARE(album.PictureAt(0)->Orientation, -2);
        QVERIFY(!f.page->ToolbarButton(6).isEnabled());  // no categories window yet
        int opened = 0;
        f.page->SetPictureActions({{}, {}, [&](TPictureList& list) { opened += list.Count(); }});
        QVERIFY(f.page->ToolbarButton(6).isEnabled());
        f.page->ToolbarButton(6).click();
        QCOMPARE(opened, 3);
    }

    void storedStateIsShownOnTheTiles() {
        TPageFixture f;
        const std::string folder = f.MakeAlbum("Trip", 3);
        RunRaw(f.settings.DB,
               "INSERT INTO album (original_path, face_picture_id) VALUES ('" + folder + "', 12)");
        const std::string albumId = "(SELECT MAX(album_id) FROM album)";
        RunRaw(f.settings.DB,
               "INSERT INTO picture (picture_id, filename_original, orientation, "
               "is_deleted, album_id) VALUES (11, 'Trip/p0.jpg', 2, 0, " +
                   albumId + ")");
        RunRaw(f.settings.DB,
               "INSERT INTO picture (picture_id, filename_original, orientation, "
               "is_deleted, album_id) VALUES (12, 'Trip/p2.jpg', 1, -1, " +
                   albumId + ")");
        f.Open({folder});
        const TAlbumItem& album = *f.albums.AlbumAt(0);
        // The first tile was turned once, although it lost the face mark to a later tile.
        QCOMPARE(TileOf(album, 0)->Thumb().Width(), 100);
        QVERIFY(!TileOf(album, 0)->Button(TTileButton::Face).isChecked());
        QVERIFY(!album.PictureAt(0)->IsFace);
        QVERIFY(TileOf(album, 2)->Button(TTileButton::Face).isChecked());
        QVERIFY(TileOf(album, 2)->Button(TTileButton::Exclude).isChecked());
        QVERIFY(!TileOf(album, 2)->Button(TTileButton::Clockwise).isEnabled());
    }

    void albumDetailsNeverOverlapInALowPage_data() {
        QTest::addColumn<QSize>("pageSize");
        QTest::newRow("default window") << QSize(760, 560);
        QTest::newRow("smallest window") << QSize(600, 420);
        QTest::newRow("lower still") << QSize(600, 250);
    }

    void albumDetailsNeverOverlapInALowPage() {
        QFETCH(QSize, pageSize);
        TPageFixture f;
        f.Open({f.MakeAlbum("Trip", 1)});
        f.page->resize(pageSize);
        f.page->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
        QCOMPARE(f.page->height(), pageSize.height());  // nothing keeps the page higher than that
        const auto* scroll = f.page->Details().findChild<QScrollArea*>();
        QVERIFY(scroll);
        const QList<QWidget*> controls =
            scroll->widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(controls.size() >= 14);
        for (int a = 0; a < controls.size(); ++a)
            for (int b = a + 1; b < controls.size(); ++b)
                QVERIFY2(!controls[a]->geometry().intersects(controls[b]->geometry()),
                         qPrintable(controls[a]->metaObject()->className() + QString(" / ") +
                                    controls[b]->metaObject()->className()));
        // What does not fit is reached by scrolling.
        QVERIFY(scroll->widget()->height() >= scroll->widget()->minimumSizeHint().height());
    }
};

QTEST_MAIN(TPicturesPageTest)
#include "pictures_page_test.moc"
