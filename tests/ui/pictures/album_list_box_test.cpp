#include "ui/pictures/album_list_box.h"
#include "core/model.h"

#include <QFontMetrics>
#include <QTest>

using namespace galerion;
using namespace galerion::ui;

class TAlbumListBoxTest : public QObject {
    Q_OBJECT

private slots:
    void pathThatFitsIsDrawnWhole() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = "/home/ann/Photos";
        QCOMPARE(ShortenInMiddle(path, metrics, metrics.horizontalAdvance(path) + 6), path);
    }

    void longPathKeepsItsFirstFourCharactersAndItsTail() {
        const QFontMetrics metrics(QApplication::font());
        QString path = "/home/ann/Photos/2003/Summer/Trip to the lakes/Second week/Boats and ";
        path += QString(80 - path.size(), 'x');
        QCOMPARE(path.size(), 80);
        const QString drawn = ShortenInMiddle(path, metrics, 236);
        QVERIFY(drawn.startsWith("/hom..."));
        const QString tail = drawn.mid(7);
        QVERIFY(path.endsWith(tail));
        QVERIFY(metrics.horizontalAdvance(drawn) <= 230);
        // As much of the end as fits: one more character would not.
        const QString longer = "/hom..." + path.right(tail.size() + 1);
        QVERIFY(metrics.horizontalAdvance(longer) > 230);
    }

    void shorteningStopsAfter999Characters() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = "/abc" + QString(2000, 'w');
        const QString drawn = ShortenInMiddle(path, metrics, 20);
        QCOMPARE(drawn.size(), 2000 + 4 - 999 + 3);
        QVERIFY(drawn.startsWith("/abc..."));
    }

    void entriesFollowTheCurrentAlbumAndPreparation() {
        TAlbumList albums;
        albums.AddAlbum("/photos/a");
        albums.AddAlbum("/photos/b");
        albums.AlbumAt(0)->Prepared = true;
        int current = 1;
        TAlbumListBox box(albums, [&] { return current; });
        box.resize(236, 100);
        box.Reload();
        box.setCurrentRow(0);  // the list's own selection plays no part
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.visualItemRect(box.item(1)).height(), TAlbumListBox::kEntryHeight);
        const QImage shot = box.viewport()->grab().toImage();
        const QColor highlight = box.palette().color(QPalette::Highlight);
        const QColor base = box.palette().color(QPalette::Base);
        QCOMPARE(shot.pixelColor(shot.width() - 2, TAlbumListBox::kEntryHeight + 1), highlight);
        QCOMPARE(shot.pixelColor(shot.width() - 2, 1), base);
        QCOMPARE(box.DrawnText(1), QString("/photos/b"));
        QCOMPARE(box.DrawnText(2), QString());
    }
};

QTEST_MAIN(TAlbumListBoxTest)
#include "album_list_box_test.moc"
