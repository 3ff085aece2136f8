// "Database choice": its texts, layout, results and the "always" box.
#include "ui/existing_album_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace galerion;
using namespace galerion::ui;

class ExistingAlbumDialogTest : public QObject {
    Q_OBJECT
private slots:
    void textsAndLayout() {
        TfrmDB dialog;
        dialog.SetFoundMessage(
            "Album with \"/p/it's\" original directory name was found in databse.");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Database choice"));
        QCOMPARE(dialog.width(), 433);
        QVERIFY(dialog.height() >= 143);
        QCOMPARE(
            dialog.lblFoundMessage->text(),
            QStringLiteral("Album with \"/p/it's\" original directory name was found in databse."));
        QCOMPARE(dialog.lblMessage->text().split(QLatin1Char('\n')).size(), 3);
        QVERIFY(dialog.lblMessage->text().startsWith(QStringLiteral("Insert - a new album")));
        QCOMPARE(dialog.cbxAlways->text(),
                 QStringLiteral("Do not ask this question again. Always use selected option."));
        QVERIFY(!dialog.cbxAlways->isChecked());
        // The buttons keep their distance to the bottom-right corner; the texts fit their labels.
        const int bottom = dialog.height();
        QCOMPARE(dialog.bbnInsert->geometry(), QRect(205, bottom - 30, 75, 25));
        QCOMPARE(dialog.bbnUpdate->geometry(), QRect(279, bottom - 30, 75, 25));
        QCOMPARE(dialog.bbnCancel->geometry(), QRect(353, bottom - 30, 75, 25));
        QCOMPARE(dialog.cbxAlways->y(), bottom - 50);
        for (QLabel* label : {dialog.lblFoundMessage, dialog.lblMessage})
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QCOMPARE(dialog.lblFoundMessage->pos(), QPoint(5, 3));
        QCOMPARE(dialog.cbxAlways->nextInFocusChain(), static_cast<QWidget*>(dialog.bbnInsert));
    }

    void buttonsGiveTheirResults_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("always");
        QTest::addColumn<int>("result");
        QTest::newRow("Insert") << 0 << false << 5;
        QTest::newRow("Update, always") << 1 << true << 4;
        QTest::newRow("Cancel") << 2 << false << 2;
        QTest::newRow("Escape, always") << 3 << true << 2;
        QTest::newRow("close box") << 4 << false << 2;
    }
    void buttonsGiveTheirResults() {
        QFETCH(int, button);
        QFETCH(bool, always);
        QFETCH(int, result);
        TfrmDB dialog;
        dialog.show();
        dialog.cbxAlways->setChecked(always);
        switch (button) {
            case 0: dialog.bbnInsert->click(); break;
            case 1: dialog.bbnUpdate->click(); break;
            case 2: dialog.bbnCancel->click(); break;
            case 3: QTest::keyClick(&dialog, Qt::Key_Escape); break;
            default: dialog.close(); break;
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        const TExistingAlbumReply reply = dialog.Reply();
        QCOMPARE(static_cast<int>(reply.answer), result);
        QCOMPARE(reply.always, always);
    }
};

QTEST_MAIN(ExistingAlbumDialogTest)
#include "existing_album_dialog_test.moc"
