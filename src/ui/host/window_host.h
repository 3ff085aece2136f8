#pragma once
// The window's user host: each role forwarded to the object that plays it. The messages and
// the existing-album question can be replaced (tests script their answers); the pictures view
// is the Pictures page once it exists.
#include "core/host/user_host.h"

#include <cstdlib>

namespace galerion::ui {

class TWindowHost : public TUserHost {
public:
    TWindowHost(TMessages& messages, TBusyDisplay& busyDisplay, TExistingAlbumQuestion& question)
        : messages_(&messages), busyDisplay_(busyDisplay), question_(&question) {}

    void SetMessages(TMessages& messages) { messages_ = &messages; }
    void SetExistingAlbumQuestion(TExistingAlbumQuestion& question) { question_ = &question; }
    void SetPicturesView(TPicturesView* view) { picturesView_ = view; }

    // messages
    void ShowError(const std::string& text) override { messages_->ShowError(text); }
    void ShowWarning(const std::string& text) override { messages_->ShowWarning(text); }
    void ShowInformation(const std::string& text) override { messages_->ShowInformation(text); }
    bool Confirm(const std::string& text) override { return messages_->Confirm(text); }
    [[noreturn]] void ExitProgram(int code) override {
        messages_->ExitProgram(code);
        std::_Exit(code);  // not reached: the role ends the program
    }

    // busy display
    void SetStatusText(const std::string& text) override { busyDisplay_.SetStatusText(text); }
    void SetProgressMax(int max) override { busyDisplay_.SetProgressMax(max); }
    void SetProgressPosition(int position) override { busyDisplay_.SetProgressPosition(position); }
    void PumpMessages() override { busyDisplay_.PumpMessages(); }
    void ReportProgress(const TRunProgress& progress) override {
        busyDisplay_.ReportProgress(progress);
    }
    void ShowBusy(bool busy) override { busyDisplay_.ShowBusy(busy); }
    void HideProcessingPanel() override { busyDisplay_.HideProcessingPanel(); }
    bool ConfirmStop() override { return busyDisplay_.ConfirmStop(); }

    // existing-album question
    TExistingAlbumReply AskExistingAlbum(const std::string& foundMessage) override {
        return question_->AskExistingAlbum(foundMessage);
    }

    // pictures view
    int TileAreaWidth() const override {
        return picturesView_ ? picturesView_->TileAreaWidth() : 0;
    }
    std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& picture,
                                                   const TTilePlacement& where) override {
        return picturesView_ ? picturesView_->CreateTile(picture, where) : nullptr;
    }
    void ClearFacePicture() override {
        if (picturesView_) picturesView_->ClearFacePicture();
    }
    void ShowAlbumDetails(const TAlbumItem& album) override {
        if (picturesView_) picturesView_->ShowAlbumDetails(album);
    }
    void RepaintAlbumList() override {
        if (picturesView_) picturesView_->RepaintAlbumList();
    }
    void SetProcessButton(const std::string& caption, bool enabled) override {
        if (picturesView_) picturesView_->SetProcessButton(caption, enabled);
    }

private:
    TMessages* messages_;
    TBusyDisplay& busyDisplay_;
    TExistingAlbumQuestion* question_;
    TPicturesView* picturesView_ = nullptr;
};

}  // namespace galerion::ui
