#pragma once
// The messages role on modal Qt message boxes. The window owns one; tests replace it with a
// scripted one.
#include "core/host/messages.h"

class QWidget;

namespace galerion::ui {

class TMessageBoxes : public TMessages {
public:
    explicit TMessageBoxes(QWidget* parent) : parent_(parent) {}

    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    // Ends the process at once: nothing is saved, no window is closed.
    [[noreturn]] void ExitProgram(int code) override;

private:
    QWidget* parent_;
};

}  // namespace galerion::ui
