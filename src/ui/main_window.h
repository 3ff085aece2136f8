#pragma once
// The main window: the four wizard pages, the status bar with its progress bar, the processing
// panel with Stop, the busy state's look, and the program's start and end steps.
#include "core/host/busy_display.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"
#include "ui/existing_album_dialog.h"
#include "ui/host/message_boxes.h"
#include "ui/host/window_host.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace galerion {
class TSettingsStore;
}

namespace galerion::ui {

class TAlbumsPage;
class TFinishPage;
class THelpWindow;
class TOptionsPage;
class TPicturesPage;
class TfrmAdvanced;
class TfrmCategories;
class TfrmFullSize;

class TfrmGalerion : public QMainWindow, public TBusyDisplay {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 550;
    static constexpr int kMinHeight = 480;
    static constexpr int kProcessingPanelHeight = 87;
    static constexpr int kStopButtonWidth = 120;

    // The creation step; settings live in `settingsFile`.
    explicit TfrmGalerion(std::string settingsFile, QWidget* parent = nullptr);
    ~TfrmGalerion() override;

    // LoadFromRegistry into the record, then the window, its pages and its placement from it.
    void LoadSettings();
    // The placement into the record, then SaveToRegistry.
    void SaveSettings();

    // Tests script the message boxes and the existing-album question; not owned.
    void SetMessages(TMessages& messages) { host_.SetMessages(messages); }
    void SetExistingAlbumQuestion(TExistingAlbumQuestion& q) { host_.SetExistingAlbumQuestion(q); }

    TSettings& Settings() { return settings_; }
    TProcessingLog& Log() { return log_; }
    TAlbumList& AlbumList() { return albums_; }
    TBusyState& Busy() { return busy_; }
    TWizardContext& Context() { return context_; }
    TUserHost& Host() { return host_; }
    bool IsBusy() const { return busyFlag_; }

    QStackedWidget* pages;
    TOptionsPage* tbshOptions;
    TAlbumsPage* tbshAlbums;
    TPicturesPage* tbshPictures;
    TFinishPage* tbshFinish;
    QLabel* statusPanel0;
    QProgressBar* pbarStatus;
    QFrame* pnlProcessing;
    QProgressBar* pbarStatus2;
    QPushButton* bbnProcessing;
    THelpWindow* helpWindow;
    TfrmFullSize* frmFullSize;
    TfrmCategories* frmCategories;

    // TBusyDisplay
    void SetStatusText(const std::string& text) override;
    void SetProgressMax(int max) override;
    void SetProgressPosition(int position) override;
    void PumpMessages() override;
    void ShowBusy(bool busy) override;
    void HideProcessingPanel() override;
    bool ConfirmStop() override;

    // OK of the advanced options dialog, in its six steps.
    void ApplyAdvancedOptions(const TfrmAdvanced& dialog);
    // The window's resize rule.
    void ApplyResizeRule();

public slots:
    void ShowOptionsPage();
    void ShowAlbumsPage();
    void ShowPicturesPage();
    void ShowFinishPage();
    void SelectAlbums();  // "Select albums >" and "Start again": Albums page and search
    void SearchAlbums();
    void GoToPictures();   // "Pictures >"
    void ProcessAlbums();  // "Process >"
    void StartAgain();
    void OpenAdvancedOptions();
    void ShowHelp(int context);
    void StopPressed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildStatusBar();
    void BuildProcessingPanel(QWidget* pageArea);
    void ConnectPages();
    void CreatePictureWindows();
    void RunShowStep();
    void PlaceProcessingPanel();
    void ShowErrorOf(const std::exception& error);
    int CurrentHelpContext() const;

    std::string settingsFile_;
    TSettings settings_;
    TProcessingLog log_;
    TAlbumList albums_;
    TMessageBoxes messageBoxes_;
    TExistingAlbumDialogs albumDialogs_;
    TWindowHost host_;
    TBusyState busy_;
    TWizardContext context_;
    std::unique_ptr<THelpWindow> ownedHelpWindow_;
    // Where the full-size view and the categories window keep their placement.
    std::unique_ptr<TSettingsStore> windowsStore_;
    bool busyFlag_ = false;
    bool shown_ = false;
    bool closeAfterStop_ = false;
};

}  // namespace galerion::ui
