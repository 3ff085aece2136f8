// The Finish page's log view: lines with their level marks in the grey gutter.
#include "ui/log_view.h"

#include "core/processing_log.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <QTextBlock>

using namespace galerion;
using namespace galerion::ui;

class LogViewTest : public QObject {
    Q_OBJECT
private slots:
    void linesAndMarks() {
        TLogViewWidget view;
        TProcessingLog log;
        log.SetView(&view);
        log.SetLevel(0, true);
        log.SetLevel(7, true);
        log.SetLevel(8, true);
        log.AddLogLine("first", 0);
        log.AddLogLine("hidden", 3);  // not enabled: no line at all
        log.AddLogLine("second", 7);
        log.AddLogLine("third", 8);
        QCOMPARE(view.LineCount(), 3);
        QCOMPARE(view.document()->blockCount(), 3);
        QCOMPARE(view.document()->findBlockByNumber(1).text(), QStringLiteral("second"));
        QCOMPARE(view.MarkAt(0), 0);
        QCOMPARE(view.MarkAt(1), 7);
        QCOMPARE(view.MarkAt(2), 8);
        QVERIFY(view.isReadOnly());
        QCOMPARE(view.font().pixelSize(), 11);
        // What a reader sees: narrow and wide characters take the same room.
        const QFontMetrics metrics(view.font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
                 metrics.horizontalAdvance(QStringLiteral("WWWW")));
        QCOMPARE(QFontInfo(view.font()).pixelSize(), 11);
        log.Clear();
        QCOMPARE(view.LineCount(), 0);
        QVERIFY(view.toPlainText().isEmpty());
    }

    void marksAreDistinctBallsAndNoneFromEight() {
        for (int level = 0; level < 8; ++level)
            QVERIFY2(!TLogViewWidget::MarkImage(level).isNull(),
                     qPrintable(QString::number(level)));
        QVERIFY(TLogViewWidget::MarkImage(8).isNull());
        QVERIFY(TLogViewWidget::MarkImage(255).isNull());
        // The ball's middle carries its colour: red for errors, magenta for level 7.
        const QColor red = TLogViewWidget::MarkImage(0).toImage().pixelColor(6, 6);
        QVERIFY(red.red() > 150 && red.green() < 100 && red.blue() < 100);
        const QColor magenta = TLogViewWidget::MarkImage(7).toImage().pixelColor(6, 6);
        QVERIFY(magenta.red() > 150 && magenta.green() < 100 && magenta.blue() > 150);
    }

    // Painted: a grey 27-pixel gutter, the mark 8 pixels from its left edge, nothing for 8.
    void gutterIsPainted() {
        TLogViewWidget view;
        view.resize(300, 120);
        view.LineAdded({"error line", {1, 1, 0, true}});
        view.LineAdded({"level eight", {2, 1, 8, true}});
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage shot = view.grab().toImage();
        const int frame = view.frameWidth();
        const QRect first = view.cursorRect(QTextCursor(view.document()->findBlockByNumber(0)));
        const QRect second = view.cursorRect(QTextCursor(view.document()->findBlockByNumber(1)));
        const int y1 = frame + first.center().y();
        const int y2 = frame + second.center().y();
        const QColor grey = shot.pixelColor(frame + 2, y1);
        QCOMPARE(grey, QColor(0xC0, 0xC0, 0xC0));
        const QColor ball = shot.pixelColor(frame + 8 + 5, y1);
        QVERIFY2(ball.red() > 150 && ball.green() < 120, qPrintable(ball.name()));
        QCOMPARE(shot.pixelColor(frame + 8 + 5, y2), grey);
        QCOMPARE(shot.pixelColor(frame + 26, y1), grey);
        QVERIFY(shot.pixelColor(frame + 28, y1) != grey);
    }
};

QTEST_MAIN(LogViewTest)
#include "log_view_test.moc"
