#pragma once
// Restoring a window's stored placement so that it stays on the screen, and reaching the
// program's key for it. No toolkit in here.
#include <functional>
#include <string>

namespace galerion {
class TSettingsStore;
}

namespace galerion::ui {

inline constexpr int kSmallestStoredExtent = 70;

// A width or height larger than the screen or below 70 becomes the screen's.
int ClampStoredExtent(int extent, int screenExtent);
// A left or top edge below -10 or beyond the screen becomes 0.
int ClampStoredEdge(int edge, int screenExtent);

struct TWindowPlacement {
    int Top = 100, Left = 100, Width = 500, Heigth = 300;
    bool Restore = false;
};

TWindowPlacement ClampPlacement(TWindowPlacement placement, int screenWidth, int screenHeight);

// Runs `work` with the program's key open: opened and closed here unless it is open already.
// Every error, of the store or of `work`, is swallowed: a window's placement is never worth a
// message.
void WithProgramKeyIgnoringErrors(TSettingsStore& store, const std::string& keyPath,
                                  const std::function<void(TSettingsStore&)>& work) noexcept;

}  // namespace galerion::ui
