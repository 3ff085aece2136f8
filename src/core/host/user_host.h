#pragma once
// A host that plays every role: the window, the CLI and the test hosts. Code that needs one
// role takes that role only.
#include "core/host/busy_display.h"
#include "core/host/existing_album_question.h"
#include "core/host/messages.h"
#include "core/host/pictures_view.h"

namespace galerion {

class TUserHost : public TMessages,
                  public TBusyDisplay,
                  public TExistingAlbumQuestion,
                  public TPicturesView {
public:
    // The stop question is a plain Yes/No message unless a host shows it otherwise.
    bool ConfirmStop() override { return Confirm(kStopQuestion); }
};

}  // namespace galerion
