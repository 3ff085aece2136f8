#pragma once
// Everything the core needs of the person at the screen. The Qt window implements it with real
// dialogs; the CLI answers on the terminal; tests script the answers.
#include "core/model.h"

#include <memory>
#include <string>

namespace galerion {

// Where preparation places a picture's tile in the Pictures page's scroll box.
struct TTilePlacement {
    int left = 0;
    int top = 0;
    int boxWidth = 0;   // the thumbnail box
    int boxHeight = 0;
};

// Where the processing run stands, for a host that shows its own progress display.
struct TRunProgress {
    std::string album;      // the album's folder path
    int albumNumber = 0;    // from 1
    int albumCount = 0;
    int picture = 0;        // from 1; 0 at the start of the album
    int pictureCount = 0;
};

// Modal results of the existing-album question.
enum class TExistingAlbumAnswer { Cancel = 2, Update = 4, Insert = 5 };

struct TExistingAlbumReply {
    TExistingAlbumAnswer answer = TExistingAlbumAnswer::Cancel;
    bool always = false;  // "Do not ask this question again. Always use selected option."
};

class TUserHost {
public:
    virtual ~TUserHost() = default;

    // Message boxes with the texts of the program.
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    virtual bool Confirm(const std::string& text) = 0;  // Yes / No

    // The existing-album question, with the "Album with ... was found" text.
    virtual TExistingAlbumReply AskExistingAlbum(const std::string& foundMessage) = 0;

    // Status panel 0, the two progress bars, and letting pending window events run.
    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual void SetProgressMax(int /*max*/) {}
    virtual void SetProgressPosition(int /*position*/) {}
    virtual void PumpMessages() {}
    virtual void ReportProgress(const TRunProgress& /*progress*/) {}

    // The busy state as the window shows it: busy cursor, page control disabled, processing
    // panel with its Stop button shown (and hidden again).
    virtual void ShowBusy(bool /*busy*/) {}
    virtual void HideProcessingPanel() {}

    // Album preparation's view hooks. A host without tiles returns nullptr from CreateTile.
    virtual int TileAreaWidth() const { return 0; }
    virtual std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& /*picture*/,
                                                           const TTilePlacement& /*where*/) {
        return nullptr;
    }
    virtual void ClearFacePicture() {}
    virtual void ShowAlbumDetails(const TAlbumItem& /*album*/) {}
    virtual void RepaintAlbumList() {}
    virtual void SetProcessButton(const std::string& /*caption*/, bool /*enabled*/) {}

    // The missing data-access components end the program at once, saving nothing.
    [[noreturn]] virtual void ExitProgram(int code) = 0;
};

}  // namespace galerion
