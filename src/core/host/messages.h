#pragma once
// The messages role: modal message boxes with the program's texts, and the end of the program
// when the data-access layer cannot be used at all. All that the database layer needs.
#include <string>

namespace galerion {

class TMessages {
public:
    virtual ~TMessages() = default;

    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    virtual bool Confirm(const std::string& text) = 0;  // Yes / No

    // The missing data-access components end the program at once, saving nothing.
    [[noreturn]] virtual void ExitProgram(int code) = 0;
};

}  // namespace galerion
