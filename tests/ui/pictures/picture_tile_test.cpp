#include "pictures_fixture.h"

#include "image/stretch_draw.h"
#include "support/files.h"
#include "ui/pictures/picture_tile.h"
#include "ui/pictures/raster_widgets.h"
#include "ui/pictures/tile_painting.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace galerion;
using namespace galerion::ui;

namespace {

constexpr TColor32 kFace = 0xFFD4D0C8;

// An album's pictures with their working thumbnails on disk, and tiles made as preparation
// makes them.
struct TTileBench {
    QTemporaryDir dir;
    QWidget area;
    TFacePreview preview;
    TPictureActions actions;
    TPictureList list;
    int boxWidth, boxHeight;

    TTileBench(int pictures, int thumbWidth, int thumbHeight, int box = 150, int boxH = 100)
        : boxWidth(box), boxHeight(boxH) {
        preview.resize(160, 120);
        for (int i = 0; i < pictures; ++i) {
            const std::string file =
                dir.path().toStdString() + "/tmp_" + std::to_string(i) + ".jpg";
            test::WriteJpeg(file, thumbWidth, thumbHeight);
            const int index = list.Add(dir.path().toStdString() + "/" + std::to_string(i) + ".jpg");
            auto picture = std::make_unique<TPictureItem>(&list);
            picture->TempFile = file;
            picture->IsFace = i == 0;
            list.SetObject(index, std::move(picture));
        }
    }

    TPictureTile& MakeTile(int i) {
        TTileSurroundings s;
        s.area = &area;
        s.facePreview = &preview;
        s.actions = &actions;
        s.buttonFace = kFace;
        TPictureItem& picture = *list.PictureAt(i);
        auto tile =
            std::make_unique<TPictureTile>(s, list, picture, list.Text(i), boxWidth, boxHeight);
        tile->LoadThumbnail();
        TPictureTile& made = *tile;
        picture.Tile = std::move(tile);
        made.ApplyPictureState();
        return made;
    }
    void MakeAll() {
        for (int i = 0; i < list.Count(); ++i) MakeTile(i);
    }
    TPictureTile& Tile(int i) { return dynamic_cast<TPictureTile&>(*list.TileAt(i)); }
};

}  // namespace

class TPictureTileTest : public QObject {
    Q_OBJECT

private slots:
    void geometry_data() {
        QTest::addColumn<int>("boxWidth");
        QTest::addColumn<int>("boxHeight");
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<QPoint>("picture");
        QTest::addColumn<int>("excludeLeft");
        QTest::addColumn<int>("faceLeft");
        QTest::addColumn<int>("nameTop");
        QTest::newRow("150 x 100, minimum width")
            << 150 << 100 << QSize(170, 142) << QPoint(10, 24) << 146 << 89 << 126;
        QTest::newRow("200 x 150")
            << 200 << 150 << QSize(210, 192) << QPoint(5, 24) << 186 << 129 << 176;
    }
    void geometry() {
        QFETCH(int, boxWidth);
        QFETCH(int, boxHeight);
        TTileBench bench(1, 30, 20, boxWidth, boxHeight);
        bench.list.PictureAt(0)->Categories = {"3", "9"};
        TPictureTile& tile = bench.MakeTile(0);
        QFETCH(QSize, panel);
        QFETCH(QPoint, picture);
        QFETCH(int, nameTop);
        QCOMPARE(tile.Panel().size(), panel);
        QCOMPARE(tile.Panel().parentWidget(), &bench.area);
        QCOMPARE(tile.PictureBox().geometry(), QRect(picture, QSize(boxWidth, boxHeight)));
        QCOMPARE(tile.PictureBox().toolTip(), QString("Double-click open full size image"));
        QFETCH(int, excludeLeft);
        QFETCH(int, faceLeft);
        const struct {
            TTileButton which;
            int left;
            const char* hint;
        } buttons[] = {{TTileButton::CounterClockwise, 10, "Rotate counter-clockwise"},
                       {TTileButton::Clockwise, 29, "Rotate clockwise"},
                       {TTileButton::UTurn, 48, "U-turn"},
                       {TTileButton::Flip, 67, "Flip horizontal"},
                       {TTileButton::Exclude, excludeLeft, "Exclude image"},
                       {TTileButton::Private, excludeLeft - 19, "Make private"},
                       {TTileButton::Categories, excludeLeft - 38, "Select categories"},
                       {TTileButton::Face, faceLeft, "Make the photo represent the album"}};
        for (const auto& b : buttons) {
            QCOMPARE(tile.Button(b.which).geometry(), QRect(b.left, 3, 19, 19));
            QCOMPARE(tile.Button(b.which).toolTip(), QString(b.hint));
        }
        QCOMPARE(tile.NameLabel().geometry().topLeft(), QPoint(2, nameTop));
        QCOMPARE(tile.NameLabel().width(), tile.Panel().width() - 4);
        QCOMPARE(tile.NameLabel().text(), QString("0.jpg (2)"));
    }

    void landscapeFillsTheBoxAndTurnsToCentredPortrait() {
        TTileBench bench(1, 150, 100);
        bench.list.PictureAt(0)->IsFace = false;
        TPictureTile& tile = bench.MakeTile(0);
        const TBitmap32& shown = tile.PaintPicture();
        QCOMPARE(shown.Width(), 150);
        QCOMPARE(shown.Height(), 100);
        for (QPoint corner : {QPoint(0, 0), QPoint(149, 0), QPoint(149, 99), QPoint(0, 99)})
            QCOMPARE(shown.Pixel(corner.x(), corner.y()), kFrameColor);
        QCOMPARE(shown.Pixel(1, 1), tile.Thumb().Pixel(1, 1));
        QCOMPARE(shown.Pixel(75, 50), tile.Thumb().Pixel(75, 50));

        tile.Button(TTileButton::Clockwise).click();
        QCOMPARE(bench.list.PictureAt(0)->Orientation, 2);
        QCOMPARE(tile.Thumb().Width(), 100);
        QCOMPARE(tile.Thumb().Height(), 150);
        QCOMPARE(FittedThumbRect(100, 150, 150, 100).Left, 41);
        const TBitmap32& turned = tile.PaintPicture();
        // D = (41, 0)-(108, 100): 67 wide, framed, button face on both sides.
        QCOMPARE(turned.Pixel(40, 50), kFace);
        QCOMPARE(turned.Pixel(41, 50), kFrameColor);
        QCOMPARE(turned.Pixel(107, 50), kFrameColor);
        QCOMPARE(turned.Pixel(108, 50), kFace);
        QCOMPARE(turned.Pixel(70, 0), kFrameColor);
        QCOMPARE(turned.Pixel(70, 99), kFrameColor);
        TBitmap32 expected;
        expected.SetSize(67, 100);
        StretchDraw(tile.Thumb(), expected, TRect{0, 0, 67, 100}, TRect{0, 0, 100, 150});
        for (int y = 1; y < 99; y += 7)
            for (int x = 1; x < 66; x += 5) QCOMPARE(turned.Pixel(41 + x, y), expected.Pixel(x, y));
    }

    void stateIsShownOnceOnTheFreshThumbnail() {
        TTileBench bench(1, 150, 100);
        bench.list.PictureAt(0)->Orientation = 2;
        TPictureTile& tile = bench.MakeTile(0);
        QCOMPARE(tile.Thumb().Width(), 100);
        tile.ApplyPictureState();  // a second showing starts from the file again
        QCOMPARE(tile.Thumb().Width(), 100);
        QCOMPARE(tile.Thumb().Height(), 150);
    }

    void cropOutlineRunsClockwiseInTheDashPattern() {
        TTileBench bench(1, 150, 120, 150, 120);
        TPictureItem& p = *bench.list.PictureAt(0);
        p.IsFace = false;
        p.PixelWidth = 1000;
        p.PixelHeight = 800;
        p.CropX1 = 100, p.CropY1 = 80, p.CropX2 = 600, p.CropY2 = 480;
        TPictureTile& tile = bench.MakeTile(0);
        const TRect crop = CropOutlineRect(p, TRect{0, 0, 150, 120});
        QCOMPARE(crop.Left, 15);
        QCOMPARE(crop.Top, 12);
        QCOMPARE(crop.Right, 90);
        QCOMPARE(crop.Bottom, 72);
        const TBitmap32& shown = tile.PaintPicture();
        const TColor32 B = kDashBlack, G = kDashGrey, W = kDashWhite;
        const TColor32 topRow[8] = {B, B, B, G, W, W, W, G};
        for (int k = 0; k < 16; ++k) QCOMPARE(shown.Pixel(15 + k, 12), topRow[k % 8]);
        // 75 pixels along the top, then down the right edge from (89, 13).
        QCOMPARE(shown.Pixel(89, 12), DashColor(74));
        QCOMPARE(shown.Pixel(89, 13), DashColor(75));
        QCOMPARE(DashColor(75), G);
        // Bottom row runs right to left: (88, 71) follows (89, 71).
        const int bottomStart = 75 + 59;
        QCOMPARE(shown.Pixel(89, 71), DashColor(bottomStart - 1));
        QCOMPARE(shown.Pixel(88, 71), DashColor(bottomStart));
        QCOMPARE(shown.Pixel(15, 13), DashColor(bottomStart + 74 + 58 - 1));
        QCOMPARE(shown.Pixel(16, 13), tile.Thumb().Pixel(16, 13));
        QCOMPARE(shown.Pixel(90, 30), tile.Thumb().Pixel(90, 30));
    }

    void excludeDimsDisablesAndIncludeRestores() {
        TTileBench bench(2, 150, 100);
        bench.actions.openFullSize = [](TPictureItem&) {};
        bench.actions.openPictureCategories = [](TPictureItem&, QAbstractButton&) {};
        bench.MakeAll();
        TPictureTile& tile = bench.Tile(1);
        const TColor32 opaque = tile.PaintPicture().Pixel(75, 50);
        tile.Button(TTileButton::Exclude).click();
        QVERIFY(bench.list.PictureAt(1)->IsDeleted);
        const TColor32 dimmed = tile.PaintPicture().Pixel(75, 50);
        QCOMPARE(dimmed, BlendedOverFace(opaque, 100));
        for (TTileButton b :
             {TTileButton::CounterClockwise, TTileButton::Clockwise, TTileButton::UTurn,
              TTileButton::Flip, TTileButton::Private, TTileButton::Categories, TTileButton::Face})
            QVERIFY(!tile.Button(b).isEnabled());
        QVERIFY(!tile.PictureBox().isEnabled());
        QVERIFY(tile.Button(TTileButton::Exclude).isEnabled());
        tile.Button(TTileButton::Exclude).click();
        QVERIFY(!bench.list.PictureAt(1)->IsDeleted);
        QCOMPARE(tile.PaintPicture().Pixel(75, 50), opaque);
        QVERIFY(tile.Button(TTileButton::Categories).isEnabled());
        QVERIFY(tile.PictureBox().isEnabled());
    }

    void privateAndExcludedShowsAtTheExcludedOpacity() {
        TTileBench bench(2, 150, 100);
        bench.list.PictureAt(1)->IsPrivate = true;
        bench.list.PictureAt(1)->IsDeleted = true;
        bench.MakeTile(0);
        TPictureTile& tile = bench.MakeTile(1);
        const TColor32 source = tile.Thumb().Pixel(75, 50);
        QVERIFY(tile.Button(TTileButton::Private).isChecked());
        QVERIFY(tile.Button(TTileButton::Exclude).isChecked());
        QCOMPARE(tile.PaintPicture().Pixel(75, 50), BlendedOverFace(source, 100));
        tile.Button(TTileButton::Exclude).click();  // included again: full opacity
        QCOMPARE(tile.PaintPicture().Pixel(75, 50), source);
        QVERIFY(tile.Button(TTileButton::Private).isChecked());
        tile.Button(TTileButton::Private).click();
        tile.Button(TTileButton::Private).click();  // pressed again: private opacity
        QCOMPARE(tile.PaintPicture().Pixel(75, 50), BlendedOverFace(source, 200));
        QVERIFY(bench.list.PictureAt(1)->IsPrivate);
    }

    void excludingTheFaceHandsItToTheFirstIncludedPicture() {
        TTileBench bench(3, 150, 100);
        bench.MakeAll();
        QVERIFY(bench.Tile(0).Button(TTileButton::Face).isChecked());
        bench.Tile(1).Button(TTileButton::Exclude).click();
        bench.Tile(0).Button(TTileButton::Exclude).click();
        // Picture 1 is excluded too: picture 2 is the first included one.
        QVERIFY(!bench.list.PictureAt(0)->IsFace);
        QVERIFY(!bench.Tile(0).Button(TTileButton::Face).isChecked());
        QVERIFY(bench.list.PictureAt(2)->IsFace);
        QVERIFY(bench.Tile(2).Button(TTileButton::Face).isChecked());
        const TBitmap32& shown = bench.Tile(2).PaintPicture();
        QCOMPARE(shown.Pixel(0, 0), kFaceFrameColor);
        QCOMPARE(bench.preview.Raster().Width(), 150);
        QCOMPARE(bench.preview.Raster().Pixel(0, 0), kFaceFrameColor);
        QCOMPARE(bench.preview.Raster().Pixel(75, 50), shown.Pixel(75, 50));
    }

    void excludingTheOnlyPictureTurnsThePreviewGrey() {
        TTileBench bench(1, 150, 100);
        TPictureTile& tile = bench.MakeTile(0);
        tile.Button(TTileButton::Exclude).click();
        QVERIFY(bench.list.PictureAt(0)->IsFace);
        QCOMPARE(bench.preview.Raster().Pixel(10, 10), TColor32(0xFF7F7F7F));
        tile.Button(TTileButton::Exclude).click();  // included again: the face once more
        QVERIFY(tile.Button(TTileButton::Face).isChecked());
        QCOMPARE(bench.preview.Raster().Pixel(0, 0), kFaceFrameColor);
    }

    void onlyOneFaceButtonIsPressed() {
        TTileBench bench(3, 150, 100);
        bench.MakeAll();
        bench.Tile(2).Button(TTileButton::Face).click();
        QVERIFY(!bench.Tile(0).Button(TTileButton::Face).isChecked());
        QVERIFY(!bench.list.PictureAt(0)->IsFace);
        QVERIFY(bench.list.PictureAt(2)->IsFace);
        bench.Tile(2).Button(TTileButton::Face).click();  // pressed again: stays pressed
        QVERIFY(bench.Tile(2).Button(TTileButton::Face).isChecked());
        QVERIFY(bench.list.PictureAt(2)->IsFace);
        QCOMPARE(bench.Tile(0).PaintPicture().Pixel(0, 0), kFrameColor);
    }

    void facePreviewFitsOnlyWhenTooSmall() {
        TTileBench bench(1, 150, 100, 200, 150);
        bench.MakeTile(0);
        QCOMPARE(bench.preview.ScaleMode(), TScaleMode::smResize);  // 160 x 120 < 200 x 150
        TTileBench small(1, 150, 100);
        small.preview.resize(300, 200);
        small.MakeTile(0);
        QCOMPARE(small.preview.ScaleMode(), TScaleMode::smNormal);
        // One to one, centred in the frame.
        const TBitmap32& shown = small.preview.PaintBuffer();
        const int left = (shown.Width() - 150) / 2, top = (shown.Height() - 100) / 2;
        QCOMPARE(shown.Pixel(left, top), kFaceFrameColor);
        QCOMPARE(shown.Pixel(left + 75, top + 50), small.preview.Raster().Pixel(75, 50));
    }

    void turnsFollowTheCropAndTheFaceRefreshesThePreview() {
        TTileBench bench(1, 150, 100);
        TPictureItem& p = *bench.list.PictureAt(0);
        p.PixelWidth = 300, p.PixelHeight = 200;
        p.CropX1 = 0, p.CropY1 = 0, p.CropX2 = 100, p.CropY2 = 50;
        TPictureTile& tile = bench.MakeTile(0);
        tile.Button(TTileButton::CounterClockwise).click();
        QCOMPARE(p.Orientation, 4);
        QCOMPARE(p.PixelWidth, 200);
        QCOMPARE(p.CropY1, 200);  // the crop's top-left corner went to the bottom-left
        QCOMPARE(bench.preview.Raster().Width(), 150);
        QCOMPARE(bench.preview.Raster().Pixel(41, 50), kFaceFrameColor);
        tile.Button(TTileButton::Flip).click();
        QCOMPARE(p.Orientation, -4);
        tile.Button(TTileButton::UTurn).click();
        QCOMPARE(p.Orientation, -2);
    }

    void doubleClickOpensTheFullSizeViewUnlessExcluded() {
        TTileBench bench(1, 150, 100);
        int opened = 0;
        bench.actions.openFullSize = [&](TPictureItem&) { ++opened; };
        TPictureTile& tile = bench.MakeTile(0);
        QVERIFY(!tile.Button(TTileButton::Categories).isEnabled());  // no categories window
        QTest::mouseDClick(&tile.PictureBox(), Qt::LeftButton);
        QCOMPARE(opened, 1);
        tile.Button(TTileButton::Exclude).click();
        QTest::mouseDClick(&tile.PictureBox(), Qt::LeftButton);
        QCOMPARE(opened, 1);
    }

private:
    static TColor32 BlendedOverFace(TColor32 source, int alpha) {
        TBitmap32 over;
        over.SetSize(1, 1);
        over.SetPixel(0, 0, kFace);
        TBitmap32 pixel;
        pixel.SetSize(1, 1);
        pixel.SetPixel(0, 0, source);
        pixel.DrawMode = dmBlend;
        pixel.MasterAlpha = alpha;
        StretchDraw(pixel, over, TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1});
        return over.Pixel(0, 0);
    }
};

QTEST_MAIN(TPictureTileTest)
#include "picture_tile_test.moc"
