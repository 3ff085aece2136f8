#include "ui/main_window.h"

#include "core/settings_persistence.h"
#include "platform/settings_store.h"
#include "processing/album_preparation.h"
#include "processing/album_selection.h"
#include "processing/processing_run.h"
#include "ui/advanced_dialog.h"
#include "ui/albums_page.h"
#include "ui/categories/categories_window.h"
#include "ui/finish_page.h"
#include "ui/fullsize/full_size_window.h"
#include "ui/help_window.h"
#include "ui/log_view.h"
#include "ui/options_page.h"
#include "ui/pictures/pictures_page.h"
#include "ui/qt_text.h"
#include "ui/version_info.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>

namespace galerion::ui {
namespace {

constexpr int kStatusPanelWidths[3] = {200, 300, 50};
constexpr int kStatusBarHeight = 19;
constexpr int kProgressBarHeight = 17;
constexpr int kDesignClientWidth = 542;
constexpr int kDesignClientHeight = 610;

// The page area: the pages fill it; the processing panel floats above them, so that it stays
// usable while the pages are disabled.
class TPageArea : public QWidget {
public:
    explicit TPageArea(QStackedWidget* pages) : pages_(pages) { pages_->setParent(this); }

protected:
    void resizeEvent(QResizeEvent*) override { pages_->setGeometry(rect()); }

private:
    QStackedWidget* pages_;
};

// A modal chooser; its first selected path, or nothing when cancelled.
std::optional<QString> RunChooser(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> ChooseDataSource(QWidget* owner, const QString& initialFolder) {
    QFileDialog dialog(owner);
    ConfigureDataSourceDialog(dialog, initialFolder);
    return RunChooser(dialog);
}

std::optional<QString> ChooseMainDirectory(QWidget* owner) {
    QFileDialog dialog(owner);
    ConfigureMainDirectoryDialog(dialog);
    return RunChooser(dialog);
}

}  // namespace

TfrmGalerion::TfrmGalerion(std::string settingsFile, QWidget* parent)
    : QMainWindow(parent),
      settingsFile_(std::move(settingsFile)),
      messageBoxes_(this),
      albumDialogs_(this),
      host_(messageBoxes_, *this, albumDialogs_),
      busy_(host_),
      context_{albums_, settings_, log_, host_, busy_} {
    setWindowTitle(QStringLiteral("Galerion v1.0"));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kDesignClientWidth, kDesignClientHeight);

    // Creation step: no log level shown until the settings apply the switches.
    log_.DisableAll();
    settings_.PictureExtensions.clear();

    pages = new QStackedWidget;
    tbshOptions = new TOptionsPage(settings_);
    tbshAlbums = new TAlbumsPage(settings_, log_);
    tbshPictures = new TPicturesPage(context_, host_);
    tbshFinish = new TFinishPage;
    for (QWidget* page : {static_cast<QWidget*>(tbshOptions), static_cast<QWidget*>(tbshAlbums),
                          static_cast<QWidget*>(tbshPictures), static_cast<QWidget*>(tbshFinish)})
        pages->addWidget(page);
    host_.SetPicturesView(tbshPictures);
    log_.SetView(tbshFinish->memLog);

    auto* area = new TPageArea(pages);
    setCentralWidget(area);
    BuildProcessingPanel(area);
    BuildStatusBar();
    ownedHelpWindow_ = std::make_unique<THelpWindow>(this);
    helpWindow = ownedHelpWindow_.get();
    CreatePictureWindows();

    tbshOptions->SetWelcomeText(DisplayText(WelcomeText(TVersionInfo())));
    tbshOptions->SetFileChooser(
        [this](const QString& folder) { return ChooseDataSource(this, folder); });
    tbshAlbums->SetFolderChooser([this] { return ChooseMainDirectory(this); });
    ConnectPages();
    ShowOptionsPage();
}

// The full-size view and the categories window, one each, opened by the tiles and the Pictures
// page.
void TfrmGalerion::CreatePictureWindows() {
    windowsStore_ = std::make_unique<TSettingsStore>(settingsFile_);
    frmFullSize = new TfrmFullSize(settings_, *windowsStore_, kProgramKey, host_, this);
    frmFullSize->SetHelpHandler([this](int context) { ShowHelp(context); });
    frmCategories = new TfrmCategories(settings_, *windowsStore_, kProgramKey, host_, this);
    tbshPictures->SetPictureActions(
        {[this](TPictureItem& picture) { frmFullSize->Execute(picture); },
         [this](TPictureItem& picture, QAbstractButton& button) {
             frmCategories->ExecuteForPicture(picture, button);
         },
         [this](TPictureList& pictures) { frmCategories->ExecuteForAlbum(pictures); }});
}

TfrmGalerion::~TfrmGalerion() {
    // The picture windows go while the settings and the store they use still exist.
    delete frmFullSize;
    delete frmCategories;
    // Tiles and pages go while the model and context they point to still exist.
    log_.SetView(nullptr);
    host_.SetPicturesView(nullptr);
    for (int i = 0; i < albums_.Count(); ++i)
        if (TAlbumItem* album = albums_.AlbumAt(i)) album->ReleaseTiles();
    delete takeCentralWidget();
}

void TfrmGalerion::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    bar->setFixedHeight(kStatusBarHeight + 4);
    statusPanel0 = new QLabel;
    statusPanel0->setFixedWidth(kStatusPanelWidths[0]);
    auto* panel1 = new QWidget;
    panel1->setFixedWidth(kStatusPanelWidths[1]);
    pbarStatus = new QProgressBar(panel1);
    pbarStatus->setTextVisible(false);
    pbarStatus->setGeometry(2, 1, kStatusPanelWidths[1] - 2, kProgressBarHeight);
    pbarStatus->setValue(0);
    auto* panel2 = new QLabel;
    panel2->setFixedWidth(kStatusPanelWidths[2]);
    bar->addWidget(statusPanel0);
    bar->addWidget(panel1);
    bar->addWidget(panel2);
}

void TfrmGalerion::BuildProcessingPanel(QWidget* pageArea) {
    pnlProcessing = new QFrame(pageArea);
    pnlProcessing->setFrameShape(QFrame::Panel);
    pnlProcessing->setFrameShadow(QFrame::Raised);
    pnlProcessing->setLineWidth(2);
    pnlProcessing->setAutoFillBackground(true);
    pnlProcessing->resize(200, kProcessingPanelHeight);
    auto* label = new QLabel(QStringLiteral("Processing..."), pnlProcessing);
    label->move(9, 11);
    pbarStatus2 = new QProgressBar(pnlProcessing);
    pbarStatus2->setTextVisible(false);
    pbarStatus2->setGeometry(9, 30, 182, kProgressBarHeight);
    pbarStatus2->setValue(0);
    bbnProcessing = new QPushButton(QStringLiteral("Stop"), pnlProcessing);
    bbnProcessing->setToolTip(
        QStringLiteral("Stop process of manupulation with photos (not recommended)"));
    bbnProcessing->setGeometry(40, 55, kStopButtonWidth, 23);
    connect(bbnProcessing, &QPushButton::clicked, this, &TfrmGalerion::StopPressed);
    pnlProcessing->hide();
}

void TfrmGalerion::ConnectPages() {
    connect(tbshOptions->bbnSelectAlbums_Options, &QPushButton::clicked, this,
            &TfrmGalerion::SelectAlbums);
    connect(tbshOptions->bbnAdvanced_Options, &QPushButton::clicked, this,
            &TfrmGalerion::OpenAdvancedOptions);
    connect(tbshOptions->bbnHelp_Options, &QPushButton::clicked, this,
            [this] { ShowHelp(kHelpOptions); });

    connect(tbshAlbums->bbnOptions_Albums, &QPushButton::clicked, this,
            &TfrmGalerion::ShowOptionsPage);
    connect(tbshAlbums->bbnAdvanced_Albums, &QPushButton::clicked, this,
            &TfrmGalerion::OpenAdvancedOptions);
    connect(tbshAlbums->bbnPictures, &QPushButton::clicked, this, &TfrmGalerion::GoToPictures);
    connect(tbshAlbums->bbnHelp_Albums, &QPushButton::clicked, this,
            [this] { ShowHelp(kHelpAlbums); });

    connect(tbshPictures, &TPicturesPage::helpRequested, this, &TfrmGalerion::ShowHelp);
    connect(tbshPictures, &TPicturesPage::advancedOptionsRequested, this,
            &TfrmGalerion::OpenAdvancedOptions);
    connect(tbshPictures, &TPicturesPage::optionsPageRequested, this,
            &TfrmGalerion::ShowOptionsPage);
    connect(tbshPictures, &TPicturesPage::albumsPageRequested, this, &TfrmGalerion::ShowAlbumsPage);
    connect(tbshPictures, &TPicturesPage::processRequested, this, &TfrmGalerion::ProcessAlbums);
    connect(tbshPictures, &TPicturesPage::picturesSplitterMoved, this,
            &TfrmGalerion::ApplyResizeRule);

    connect(tbshFinish->bbnStartAgain, &QPushButton::clicked, this, &TfrmGalerion::StartAgain);
    connect(tbshFinish->bbnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(tbshFinish->bbnHelp_Final, &QPushButton::clicked, this,
            [this] { ShowHelp(kHelpFinish); });

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] { ShowHelp(CurrentHelpContext()); });
}

int TfrmGalerion::CurrentHelpContext() const {
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* page = pages->currentWidget();
    if (!focus || !page || !page->isAncestorOf(focus)) return kHelpPages;
    if (page == tbshOptions) return kHelpOptions;
    if (page == tbshAlbums) return kHelpAlbums;
    if (page == tbshPictures) return kHelpPictures;
    return kHelpFinish;
}

// --- Settings --------------------------------------------------------------------------------

void TfrmGalerion::LoadSettings() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    TSettingsStore store(settingsFile_);
    LoadFromRegistry(settings_, store, log_, screenSize.width(), screenSize.height());
    setGeometry(settings_.Left, settings_.Top, settings_.Width, settings_.Heigth);
    if (settings_.Restore) setWindowState(windowState() | Qt::WindowMaximized);
    tbshOptions->LoadFromSettings();
    tbshAlbums->LoadFromSettings();
    tbshPictures->ApplySettings();
}

void TfrmGalerion::SaveSettings() {
    settings_.Restore = isMaximized();
    const QRect bounds = normalGeometry().isValid() ? normalGeometry() : geometry();
    settings_.Left = bounds.left();
    settings_.Top = bounds.top();
    settings_.Width = bounds.width();
    settings_.Heigth = bounds.height();
    try {
        TSettingsStore store(settingsFile_);
        SaveToRegistry(settings_, store, log_);
    } catch (const std::exception&) {
        // SaveToRegistry logs its own failures; the window closes all the same.
    }
}

// --- Start and end ---------------------------------------------------------------------------

void TfrmGalerion::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    RunShowStep();
}

void TfrmGalerion::RunShowStep() {
    busyFlag_ = false;
    LoadSettings();
    if (settings_.ShowWelcome)
        SelectAlbums();
    else
        ShowOptionsPage();
    ApplyResizeRule();
}

void TfrmGalerion::closeEvent(QCloseEvent* event) {
    if (busyFlag_) {
        // The running operation still uses the album list and the pages: stop it first and
        // close once it has ended (unless the user declines to stop).
        closeAfterStop_ = true;
        busy_.RequestStop();
        event->ignore();
        return;
    }
    closeAfterStop_ = false;
    SaveSettings();
    helpWindow->close();
    event->accept();
}

// --- Busy display ----------------------------------------------------------------------------

void TfrmGalerion::SetStatusText(const std::string& text) { statusPanel0->setText(ToQt(text)); }

// The panel's bar first, so that whoever watches the status bar's sees both agree.
void TfrmGalerion::SetProgressMax(int max) {
    pbarStatus2->setMaximum(max);
    pbarStatus->setMaximum(max);
}

void TfrmGalerion::SetProgressPosition(int position) {
    pbarStatus2->setValue(position);
    pbarStatus->setValue(position);
}

void TfrmGalerion::PumpMessages() { QCoreApplication::processEvents(); }

void TfrmGalerion::ShowBusy(bool busy) {
    busyFlag_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        setMaximumSize(size());
        pages->setEnabled(false);
        PlaceProcessingPanel();
        pnlProcessing->show();
        pnlProcessing->raise();
        return;
    }
    pnlProcessing->hide();
    pages->setEnabled(true);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QApplication::restoreOverrideCursor();
    // A close that waited for the operation goes on once the operation has returned.
    if (closeAfterStop_) QTimer::singleShot(0, this, &QWidget::close);
}

void TfrmGalerion::HideProcessingPanel() { pnlProcessing->hide(); }

bool TfrmGalerion::ConfirmStop() {
    const bool stop = host_.Confirm(kStopQuestion);
    if (!stop) closeAfterStop_ = false;
    return stop;
}

void TfrmGalerion::StopPressed() { busy_.RequestStop(); }

// --- Layout ----------------------------------------------------------------------------------

void TfrmGalerion::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ApplyResizeRule();
}

// The Pictures page lays its tiles out again itself whenever its tile area changes size.
void TfrmGalerion::ApplyResizeRule() {
    tbshOptions->LayoutGroups();
    PlaceProcessingPanel();
}

void TfrmGalerion::PlaceProcessingPanel() {
    const int width = pages->width() / 4 * 3;
    pnlProcessing->setGeometry((pages->width() - width) / 2,
                               (pages->height() - pnlProcessing->height()) / 2, width,
                               pnlProcessing->height());
    pbarStatus2->resize(width - 18, pbarStatus2->height());
    bbnProcessing->move((width - bbnProcessing->width()) / 2, bbnProcessing->y());
}

// --- Pages -----------------------------------------------------------------------------------

void TfrmGalerion::ShowOptionsPage() { pages->setCurrentWidget(tbshOptions); }
void TfrmGalerion::ShowAlbumsPage() { pages->setCurrentWidget(tbshAlbums); }
void TfrmGalerion::ShowPicturesPage() { pages->setCurrentWidget(tbshPictures); }
void TfrmGalerion::ShowFinishPage() { pages->setCurrentWidget(tbshFinish); }

void TfrmGalerion::ShowErrorOf(const std::exception& error) { host_.ShowError(error.what()); }

void TfrmGalerion::SelectAlbums() {
    ShowAlbumsPage();
    SearchAlbums();
}

void TfrmGalerion::SearchAlbums() { tbshAlbums->SearchAlbums(); }

void TfrmGalerion::GoToPictures() {
    try {
        if (!BuildAlbumList(albums_, tbshAlbums->SelectedFolders(), host_)) return;
        if (!CheckDatabase(settings_.DB, host_)) return;
        tbshPictures->StartWithAlbums();
        ShowPicturesPage();
        {
            const TBusyScope busy(busy_);
            PrepareAlbum(context_, 0);
        }
        if (busy_.StopFlag()) {
            ShowAlbumsPage();
            SetStatusText(kOperationCancelled);
        } else {
            ShowPicturesPage();
        }
    } catch (const std::exception& e) {
        ShowErrorOf(e);
    }
}

void TfrmGalerion::ProcessAlbums() {
    try {
        switch (StartProcessing(context_)) {
            case TRunOutcome::Finished: ShowFinishPage(); break;
            case TRunOutcome::Stopped: ShowPicturesPage(); break;
            case TRunOutcome::NotStarted: break;
        }
    } catch (const std::exception& e) {
        ShowErrorOf(e);
    }
}

void TfrmGalerion::StartAgain() {
    log_.Clear();
    SelectAlbums();
}

// --- Dialogs ---------------------------------------------------------------------------------

void TfrmGalerion::OpenAdvancedOptions() {
    TfrmAdvanced dialog(
        host_, [this](int context) { ShowHelp(context); }, this);
    // Modal to this window only, so that its help topic can be read and scrolled meanwhile.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.Fill(settings_);
    if (dialog.exec() == QDialog::Accepted) ApplyAdvancedOptions(dialog);
}

void TfrmGalerion::ApplyAdvancedOptions(const TfrmAdvanced& dialog) {
    settings_.DB = FromQt(dialog.ConnectionString());
    tbshOptions->RefreshDataSource();
    dialog.ReadChoices(settings_);
    RebuildPictureExtensions(settings_);
    ApplyLogSwitches(settings_, log_);
}

void TfrmGalerion::ShowHelp(int context) { helpWindow->ShowContext(context); }

}  // namespace galerion::ui
