#pragma once
// Everything the core needs of the person at the screen. The Qt window implements it with real
// dialogs; the CLI answers on the terminal; tests script the answers.
#include <string>

namespace galerion {

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

    // The missing data-access components end the program at once, saving nothing.
    [[noreturn]] virtual void ExitProgram(int code) = 0;
};

}  // namespace galerion
