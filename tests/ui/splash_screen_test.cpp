// The splash screen, the version texts and the help window.
#include "ui/splash_screen.h"
#include "ui/help_window.h"
#include "ui/version_info.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace galerion::ui;

class SplashScreenTest : public QObject {
    Q_OBJECT
private slots:
    void versionRecordAndTexts() {
        const TVersionInfo info;
        QVERIFY(info.Valid());
        QCOMPARE(info.Major(), 1);
        QCOMPARE(info.Minor(), 0);
        QCOMPARE(info.Release(), 1);
        QCOMPARE(info.Build(), 273);
        QCOMPARE(info.TranslationKey(), std::string("040904E4"));
        QCOMPARE(info.StringValue("SpecialBuild"), std::string("0002"));
        QCOMPARE(info.StringValue("FileDescription"), std::string("Galerion Tool"));
        QCOMPARE(info.StringValue("NoSuchValue"), std::string());
        QCOMPARE(WelcomeText(info),
                 std::string("Galerion welcome you!\r\nVersion: 1.0.1.273; Special build: 0002."));
        QCOMPARE(SplashVersionText(info),
                 std::string("Version: 1.0.1.273.\r\nSpecial build: 0002."));
    }

    void splashGeometry() {
        TfrmGalerionSplash splash;
        QCOMPARE(splash.size(), QSize(400, 300));
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.lblVersion->geometry().right() + 1, 400 - 8);
        QCOMPARE(splash.lblVersion->y(), 137);
        QVERIFY(splash.lblVersion->alignment() & Qt::AlignRight);
        QCOMPARE(splash.lblVersion->text(),
                 QStringLiteral("Version: 1.0.1.273.\nSpecial build: 0002."));
        QCOMPARE(splash.mainTimer->interval(), 100);
        QVERIFY(!TfrmGalerionSplash::MainLogo().isNull());
    }

    // Clicks, keys and close requests are refused until the 51st tick closes the window.
    void closesOnlyAtTheFiftyFirstTick() {
        TfrmGalerionSplash splash;
        splash.show();
        QVERIFY(splash.isVisible());
        QVERIFY(splash.mainTimer->isActive());
        QCOMPARE(splash.Ticks(), 0);
        for (int tick = 1; tick <= 50; ++tick) {
            splash.OnTimer();
            QVERIFY(!splash.close());
            QTest::keyClick(&splash, Qt::Key_Escape);
            QTest::mouseClick(&splash, Qt::LeftButton);
            splash.reject();
            QVERIFY2(splash.isVisible(), qPrintable(QString::number(tick)));
        }
        QVERIFY(!splash.MayClose());
        splash.OnTimer();
        QVERIFY(splash.MayClose());
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.mainTimer->isActive());
    }

    // A modal run ends by itself after the ticks (the timer is sped up for the test).
    void modalRunEndsByItself() {
        TfrmGalerionSplash splash;
        splash.mainTimer->setInterval(1);
        splash.exec();
        QCOMPARE(splash.Ticks(), 51);
    }

    void showingAgainResetsTheCounter() {
        TfrmGalerionSplash splash;
        splash.show();
        for (int tick = 0; tick < 51; ++tick) splash.OnTimer();
        QVERIFY(!splash.isVisible());
        splash.show();
        QCOMPARE(splash.Ticks(), 0);
        QVERIFY(!splash.MayClose());
        QVERIFY(!splash.close());
    }

    void helpShowsTopicsAndIgnoresMissingOnes() {
        THelpWindow help;
        for (int context : {304, 305, 306, 307, 308, 309, 310, 311}) {
            QVERIFY2(help.ShowContext(context), qPrintable(QString::number(context)));
            QCOMPARE(help.CurrentContext(), context);
            QVERIFY(!help.browser->toPlainText().isEmpty());
        }
        QCOMPARE(help.contents->count(), 8);
        // A link between topics moves the contents list along.
        help.ShowContext(304);
        help.browser->setSource(QUrl::fromLocalFile(QString::fromStdString(HelpTopicPath(309))));
        QCOMPARE(help.CurrentContext(), 309);
        QCOMPARE(help.contents->currentItem()->text(), QStringLiteral("Advanced options"));
        help.ShowContext(311);
        help.close();
        QVERIFY(!help.ShowContext(303));
        QVERIFY(!help.isVisible());
        QCOMPARE(help.CurrentContext(), 311);
    }
};

QTEST_MAIN(SplashScreenTest)
#include "splash_screen_test.moc"
