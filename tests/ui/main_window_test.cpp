// The main window: start and end, the page buttons with their checks, the busy state with Stop
// and the size lock, the processing panel, the advanced options' OK and the help contexts.
#include "ui/main_window.h"
#include "ui_test_support.h"

#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "platform/file_mask.h"
#include "platform/settings_store.h"
#include "processing/album_selection.h"
#include "ui/advanced_dialog.h"
#include "ui/albums_page.h"
#include "ui/categories/categories_window.h"
#include "ui/finish_page.h"
#include "ui/fullsize/full_size_window.h"
#include "ui/help_window.h"
#include "ui/log_view.h"
#include "ui/options_page.h"
#include "ui/pictures/picture_tile.h"
#include "ui/pictures/pictures_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <memory>

using namespace galerion;
using namespace galerion::ui;
using namespace galerion::ui::test;

namespace {

// A private home with a settings file, photo albums and a database, and a window over them.
struct TWindowFixture {
    TPrivateHome home;
    TScriptedMessages messages;
    std::unique_ptr<TfrmGalerion> window;

    // Settings as the user left them at the last close.
    void WriteSettings(const std::function<void(TSettings&)>& change) {
        TSettings s = DefaultSettings();
        change(s);
        TSettingsStore store(home.SettingsFile());
        TProcessingLog log;
        SaveToRegistry(s, store, log);
    }

    // Albums "Trip" (three photos) and "Zoo" (two) below Photos, and a database file.
    std::string MakeAlbums() {
        const std::string photos = home / "Photos";
        MakeFolder(photos + "/Trip");
        MakeFolder(photos + "/Zoo");
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            WriteJpeg(photos + "/Trip/" + name, 64, 48);
        for (const char* name : {"x.jpg", "y.jpg"}) WriteJpeg(photos + "/Zoo/" + name, 48, 64);
        const std::string connection = CreateDatabase(home / "site.db");
        WriteSettings([&](TSettings& s) {
            s.MainDir = photos + "/*.*";
            s.DB = connection;
            s.LogLevelOthers = true;
            s.ShowSplash = true;
        });
        return photos;
    }

    TfrmGalerion& Open() {
        window = std::make_unique<TfrmGalerion>(home.SettingsFile());
        window->SetMessages(messages);
        window->LoadSettings();
        window->show();
        return *window;
    }

    void Select(const std::vector<std::string>& folders) {
        QListWidget* list = window->tbshAlbums->lbxAlbums;
        list->clearSelection();
        for (int row = 0; row < list->count(); ++row)
            for (const std::string& folder : folders)
                if (list->item(row)->text().toStdString() == folder)
                    list->item(row)->setSelected(true);
    }

    // Runs `action` once, at the first stop check after the progress bar has moved.
    void AtFirstPicture(const std::function<void()>& action) {
        auto done = std::make_shared<bool>(false);
        QObject::connect(window->pbarStatus, &QProgressBar::valueChanged, window.get(),
                         [done, action](int value) {
                             if (value < 1 || *done) return;
                             *done = true;
                             action();
                         });
    }

    QWidget* Page() const { return window->pages->currentWidget(); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // No settings file: the Albums page comes first, already searched.
    void firstStartShowsTheSearchedAlbumsPage() {
        TWindowFixture f;
        MakeFolder(f.home / "Pictures/Holiday");
        TfrmGalerion& w = f.Open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Galerion v1.0"));
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        std::string folder = SplitMask(w.Settings().MainDir).folder;
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        QVERIFY(w.tbshAlbums->lbxAlbums->count() >= 1);
        QVERIFY(
            !w.tbshAlbums->lbxAlbums->findItems(QString::fromStdString(folder), Qt::MatchExactly)
                 .isEmpty());
        QCOMPARE(w.minimumSize(), QSize(550, 480));
        QCOMPARE(w.size(), QSize(550, 480));  // the stored 500 x 300 cannot go below the minimum
        QCOMPARE(w.tbshOptions->lblWelcome->text(),
                 QStringLiteral("Galerion welcome you!\nVersion: 1.0.1.273; Special build: 0002."));
        QCOMPARE(w.pages->count(), 4);
        QVERIFY(!w.pnlProcessing->isVisible());
        QCOMPARE(w.statusPanel0->width(), 200);
        QCOMPARE(w.pbarStatus->parentWidget()->width(), 300);
        QVERIFY(f.messages.errors.empty() && f.messages.warnings.empty());
    }

    void showWelcomeOffStartsOnOptionsWithoutSearch() {
        TWindowFixture f;
        f.WriteSettings([](TSettings& s) { s.ShowWelcome = false; });
        TfrmGalerion& w = f.Open();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshOptions));
        QCOMPARE(w.tbshAlbums->lbxAlbums->count(), 0);
        QVERIFY(!w.tbshOptions->cbxShow->isChecked());
    }

    // Close always saves; the next start reads what was left.
    void closeSavesTheSettings() {
        TWindowFixture f;
        TfrmGalerion& w = f.Open();
        w.tbshOptions->cbxShow->setChecked(false);
        w.tbshOptions->edtThumbPrefix->setText(QStringLiteral("t_"));
        QVERIFY(w.close());
        QVERIFY(std::filesystem::exists(f.home.SettingsFile()));
        TfrmGalerion& again = f.Open();
        QCOMPARE(f.Page(), static_cast<QWidget*>(again.tbshOptions));
        QCOMPARE(again.Settings().ThumbPrefix, std::string("t_"));
    }

    void picturesWithoutSelectionWarns() {
        TWindowFixture f;
        f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        w.tbshAlbums->lbxAlbums->clearSelection();
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(f.messages.warnings, std::vector<std::string>{kNoAlbumSelected});
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QCOMPARE(w.AlbumList().Count(), 0);
    }

    void picturesWithABrokenDatabaseStays() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        WriteText(f.home / "broken.db", "this is no database");
        TfrmGalerion& w = f.Open();
        w.tbshOptions->edtDBFile->setText(QString::fromStdString(f.home / "broken.db"));
        f.Select({photos + "/Trip"});
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(f.messages.errors.size(), size_t{1});
        QVERIFY(f.messages.errors[0].starts_with(kDatabaseCheckFailed));
        QVERIFY(f.messages.errors[0].size() > std::string(kDatabaseCheckFailed).size());
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QCOMPARE(w.AlbumList().Count(), 1);  // kept until the next press
        QVERIFY(!w.AlbumList().AlbumAt(0)->Prepared);
    }

    // "Pictures >" on real photos and a real database, then "Process >" to the Finish page.
    void picturesThenProcessToFinish() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Zoo", photos + "/Trip"});
        w.tbshAlbums->bbnPictures->click();
        QVERIFY(f.messages.errors.empty());
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        QCOMPARE(w.AlbumList().Count(), 2);
        QCOMPARE(w.AlbumList().Text(0), photos + "/Trip");
        TAlbumItem& trip = *w.AlbumList().AlbumAt(0);
        QVERIFY(trip.Prepared);
        QCOMPARE(trip.PictureCount(), 3);
        for (int i = 0; i < 3; ++i) QVERIFY(trip.TileAt(i) != nullptr);
        QVERIFY(w.tbshPictures->ProcessButton().isEnabled());
        QVERIFY(!w.pnlProcessing->isVisible());
        QVERIFY(w.pages->isEnabled());
        QCOMPARE(w.pbarStatus->value(), 0);

        // One album not looked at: the question, answered Yes.
        w.tbshPictures->ProcessButton().click();
        QVERIFY(f.messages.errors.empty());
        QCOMPARE(f.messages.confirms.size(), size_t{1});
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshFinish));
        QVERIFY(std::filesystem::exists(photos + "/Trip/ps_thumb/tn_a.jpg"));
        QCOMPARE(ScalarInt(w.Settings().DB, "SELECT COUNT(*) FROM picture"), 3);
        TLogViewWidget& log = *w.tbshFinish->memLog;
        QVERIFY(log.LineCount() > 5);
        QCOMPARE(log.LineCount(), static_cast<int>(w.Log().Lines().size()));
        for (int line = 0; line < log.LineCount(); ++line)
            QCOMPARE(log.MarkAt(line), w.Log().Lines()[static_cast<size_t>(line)].mark.imageIndex);
        QCOMPARE(w.tbshFinish->lblTitle->text(),
                 QStringLiteral("Congratulations! Process has finished."));

        // "Start again": empty log, the Albums page searched afresh.
        MakeFolder(photos + "/New");
        w.tbshFinish->bbnStartAgain->click();
        QCOMPARE(log.LineCount(), 0);
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QVERIFY(!w.tbshAlbums->lbxAlbums
                     ->findItems(QString::fromStdString(photos + "/New"), Qt::MatchExactly)
                     .isEmpty());
        QCOMPARE(w.AlbumList().Count(), 2);
    }

    // The tiles and the Pictures page open the full-size view and the categories window.
    void pictureWindowsOpenFromTheTilesAndThePage() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        w.tbshAlbums->bbnPictures->click();
        TAlbumItem& trip = *w.AlbumList().AlbumAt(0);
        TPictureItem& picture = *trip.PictureAt(0);
        auto* tile = dynamic_cast<TPictureTile*>(picture.Tile.get());
        QVERIFY(tile);
        QVERIFY(w.tbshPictures->ToolbarButton(6).isEnabled());
        QToolButton& categories = tile->Button(TTileButton::Categories);
        QVERIFY(categories.isEnabled());

        QTimer::singleShot(0, w.frmFullSize, [&] {
            w.frmFullSize->findChild<QLineEdit*>("edtTitle")->setText(QStringLiteral("Beach"));
            w.frmFullSize->findChild<QPushButton*>("bbnOk")->click();
        });
        w.tbshPictures->PictureActions().openFullSize(picture);
        QCOMPARE(picture.Title, std::string("Beach"));
        QCOMPARE(picture.PixelWidth, 64);

        QTimer::singleShot(0, w.frmCategories, [&] {
            QVERIFY(categories.isChecked() || categories.isDown());
            w.frmCategories->findChild<QToolButton*>("sbnCancel")->click();
        });
        categories.click();
        QVERIFY(!categories.isChecked());
        QVERIFY(!categories.isDown());
        QVERIFY(f.messages.errors.empty());
    }

    // A stored album asks the existing-album question through the window's host.
    void storedAlbumAsksTheQuestion() {
        struct TScriptedQuestion : TExistingAlbumQuestion {
            std::vector<std::string> asked;
            TExistingAlbumReply AskExistingAlbum(const std::string& found) override {
                asked.push_back(found);
                return {TExistingAlbumAnswer::Update, true};
            }
        } question;
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        w.SetExistingAlbumQuestion(question);
        f.Select({photos + "/Zoo"});
        for (int run = 0; run < 2; ++run) {
            w.tbshAlbums->bbnPictures->click();
            w.tbshPictures->ProcessButton().click();
            QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshFinish));
            w.ShowAlbumsPage();
        }
        QCOMPARE(question.asked.size(), size_t{1});
        QCOMPARE(question.asked[0],
                 "Album with \"" + photos + "/Zoo\" original directory name was found in databse.");
        QCOMPARE(w.Settings().UpdateMode, 2);
        QCOMPARE(ScalarInt(w.Settings().DB, "SELECT COUNT(*) FROM album"), 1);
        QVERIFY(f.messages.errors.empty());
    }

    // Back from the Pictures page: the Albums page as it was left, not searched again.
    void backFromPicturesKeepsTheList() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Zoo"});
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        MakeFolder(photos + "/Later");
        emit w.tbshPictures->albumsPageRequested();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QCOMPARE(w.tbshAlbums->SelectedFolders(), std::vector<std::string>{photos + "/Zoo"});
        QVERIFY(w.tbshAlbums->lbxAlbums
                    ->findItems(QString::fromStdString(photos + "/Later"), Qt::MatchExactly)
                    .isEmpty());
        emit w.tbshPictures->optionsPageRequested();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshOptions));
        QVERIFY(w.AlbumList().AlbumAt(0)->Prepared);
    }

    // Stop pressed during the preparation: the busy look, the size lock, the question, the
    // Albums page with the cancel text, and everything back to normal afterwards.
    void stopDuringPreparation() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        QSize lockedMaximum, sizeWhenBusy;
        bool panelShown = false, pagesEnabled = true;
        f.AtFirstPicture([&] {
            lockedMaximum = w.maximumSize();
            sizeWhenBusy = w.size();
            panelShown = w.pnlProcessing->isVisible();
            pagesEnabled = w.pages->isEnabled();
            QCOMPARE(w.pbarStatus2->value(), 1);
            w.bbnProcessing->click();
        });
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(lockedMaximum, sizeWhenBusy);
        QVERIFY(panelShown);
        QVERIFY(!pagesEnabled);
        QCOMPARE(f.messages.confirms, std::vector<std::string>{kStopQuestion});
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QCOMPARE(w.statusPanel0->text(), QStringLiteral("Operation was cancelled."));
        QVERIFY(!w.AlbumList().AlbumAt(0)->Prepared);
        QCOMPARE(w.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QVERIFY(!w.pnlProcessing->isVisible());
        QVERIFY(w.pages->isEnabled());
        QVERIFY(!w.IsBusy());
    }

    void declinedStopGoesOn() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        f.messages.answers = {false};
        f.AtFirstPicture([&] { w.bbnProcessing->click(); });
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(f.messages.confirms.size(), size_t{1});
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        QVERIFY(w.AlbumList().AlbumAt(0)->Prepared);
    }

    // Closing while busy stops the operation first and closes when it has ended.
    void closeWhileBusyStopsThenCloses() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        bool refused = false;
        f.AtFirstPicture([&] { refused = !w.close(); });
        w.tbshAlbums->bbnPictures->click();
        QVERIFY(refused);
        QCOMPARE(f.messages.confirms, std::vector<std::string>{kStopQuestion});
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(std::filesystem::exists(f.home.SettingsFile()));
    }

    void closeWhileBusyDeclinedIsDropped() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        f.messages.answers = {false};
        f.AtFirstPicture([&] { w.close(); });
        w.tbshAlbums->bbnPictures->click();
        QCoreApplication::processEvents();
        QVERIFY(w.isVisible());
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        QVERIFY(w.AlbumList().AlbumAt(0)->Prepared);
    }

    void stopDuringProcessingStaysOnPictures() {
        TWindowFixture f;
        const std::string photos = f.MakeAlbums();
        TfrmGalerion& w = f.Open();
        f.Select({photos + "/Trip"});
        w.tbshAlbums->bbnPictures->click();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        f.AtFirstPicture([&] { w.bbnProcessing->click(); });
        w.tbshPictures->ProcessButton().click();
        QCOMPARE(f.messages.confirms, std::vector<std::string>{kStopQuestion});
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshPictures));
        QCOMPARE(w.statusPanel0->text(), QStringLiteral("Operation was cancelled."));
        QCOMPARE(ScalarInt(w.Settings().DB, "SELECT COUNT(*) FROM album"), 0);
    }

    // The panel: width (pages div 4) x 3, centred by integer halves, Stop centred inside.
    void processingPanelFollowsThePages_data() {
        QTest::addColumn<QSize>("windowSize");
        QTest::newRow("minimum") << QSize(550, 480);
        QTest::newRow("odd") << QSize(803, 611);
        QTest::newRow("large") << QSize(1201, 900);
    }
    void processingPanelFollowsThePages() {
        QFETCH(QSize, windowSize);
        TWindowFixture f;
        TfrmGalerion& w = f.Open();
        w.resize(windowSize);
        const int pw = w.pages->width(), ph = w.pages->height();
        const int width = pw / 4 * 3;
        QCOMPARE(w.pnlProcessing->width(), width);
        QCOMPARE(w.pnlProcessing->height(), 87);
        QCOMPARE(w.pnlProcessing->x(), (pw - width) / 2);
        QCOMPARE(w.pnlProcessing->y(), (ph - 87) / 2);
        QCOMPARE(w.bbnProcessing->x(), (width - 120) / 2);
        QCOMPARE(w.bbnProcessing->width(), 120);
        QCOMPARE(w.pbarStatus2->width(), width - 18);
        QCOMPARE(w.tbshOptions->gbxThumb->width(), (w.tbshOptions->width() - 24) / 3);
    }

    void pageButtonsMoveBetweenPages() {
        TWindowFixture f;
        f.WriteSettings([](TSettings& s) { s.ShowWelcome = false; });
        TfrmGalerion& w = f.Open();
        w.tbshOptions->bbnSelectAlbums_Options->click();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshAlbums));
        QVERIFY(w.tbshAlbums->lbxAlbums->count() >= 1);
        w.tbshAlbums->bbnOptions_Albums->click();
        QCOMPARE(f.Page(), static_cast<QWidget*>(w.tbshOptions));
        QCOMPARE(w.bbnProcessing->toolTip(),
                 QStringLiteral("Stop process of manupulation with photos (not recommended)"));
        QCOMPARE(w.tbshFinish->bbnClose->toolTip(), QStringLiteral("Close application"));
    }

    void helpButtonsShowTheirTopics() {
        TWindowFixture f;
        TfrmGalerion& w = f.Open();
        const std::pair<QPushButton*, int> buttons[] = {
            {w.tbshOptions->bbnHelp_Options, 306},
            {w.tbshAlbums->bbnHelp_Albums, 305},
            {w.tbshFinish->bbnHelp_Final, 310},
        };
        for (const auto& [button, context] : buttons) {
            button->click();
            QCOMPARE(w.helpWindow->CurrentContext(), context);
            QVERIFY(w.helpWindow->isVisible());
        }
        emit w.tbshPictures->helpRequested(308);
        QCOMPARE(w.helpWindow->CurrentContext(), 308);
        w.helpWindow->close();
        w.ShowOptionsPage();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.tbshOptions->edtThumbFolder->setFocus();
        QTest::keyClick(w.tbshOptions->edtThumbFolder, Qt::Key_F1);
        QCOMPARE(w.helpWindow->CurrentContext(), 306);
    }

    // OK of the advanced options in its six steps; Cancel leaves everything as it was.
    void advancedOptionsOk() {
        TWindowFixture f;
        TfrmGalerion& w = f.Open();
        const TSettings before = w.Settings();
        {
            TfrmAdvanced dialog(w.Host(), {});
            dialog.Fill(w.Settings());
            dialog.edtConnectedString->setText(QStringLiteral("Provider=PostgreSQL;host=db"));
            dialog.cbxOthers->setChecked(true);
            dialog.reject();
        }
        QVERIFY(w.Settings() == before);

        TfrmAdvanced dialog(w.Host(), {});
        dialog.Fill(w.Settings());
        dialog.edtConnectedString->setText(QStringLiteral("Provider=PostgreSQL;host=db"));
        dialog.clbxExtension->item(0)->setCheckState(Qt::Unchecked);
        dialog.clbxExtension->item(1)->setCheckState(Qt::Unchecked);
        dialog.clbxExtension->item(2)->setCheckState(Qt::Unchecked);
        dialog.cbxErrors->setChecked(false);
        dialog.cbxOthers->setChecked(true);
        dialog.accept();
        w.ApplyAdvancedOptions(dialog);
        QCOMPARE(w.Settings().DB, std::string("Provider=PostgreSQL;host=db"));
        QCOMPARE(w.tbshOptions->edtDBFile->text(), QStringLiteral("Provider=PostgreSQL;host=db"));
        QVERIFY(!w.tbshOptions->edtDBFile->isEnabled());
        QVERIFY(!w.tbshOptions->bbnDBFile->isEnabled());
        QVERIFY(w.Settings().PictureExtensions.empty());
        QVERIFY(!w.Log().IsEnabled(0));
        QVERIFY(w.Log().IsEnabled(3) && w.Log().IsEnabled(4) && w.Log().IsEnabled(7));

        dialog.edtConnectedString->setText(QStringLiteral("Provider=SQLite;Data Source=/srv/s.db"));
        dialog.clbxExtension->item(1)->setCheckState(Qt::Checked);
        dialog.cbxErrors->setChecked(true);
        w.ApplyAdvancedOptions(dialog);
        QCOMPARE(w.tbshOptions->edtDBFile->text(), QStringLiteral("/srv/s.db"));
        QVERIFY(w.tbshOptions->edtDBFile->isEnabled() && w.tbshOptions->bbnDBFile->isEnabled());
        QCOMPARE(w.Settings().PictureExtensions, std::vector<std::string>{".jpeg"});
        QVERIFY(w.Log().IsEnabled(0));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
