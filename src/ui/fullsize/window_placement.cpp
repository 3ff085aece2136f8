#include "ui/fullsize/window_placement.h"

#include "platform/settings_store.h"

namespace galerion::ui {

int ClampStoredExtent(int extent, int screenExtent) {
    return extent > screenExtent || extent < kSmallestStoredExtent ? screenExtent : extent;
}

int ClampStoredEdge(int edge, int screenExtent) {
    return edge < -10 || edge > screenExtent ? 0 : edge;
}

TWindowPlacement ClampPlacement(TWindowPlacement p, int screenWidth, int screenHeight) {
    p.Width = ClampStoredExtent(p.Width, screenWidth);
    p.Heigth = ClampStoredExtent(p.Heigth, screenHeight);
    p.Left = ClampStoredEdge(p.Left, screenWidth);
    p.Top = ClampStoredEdge(p.Top, screenHeight);
    return p;
}

void WithProgramKeyIgnoringErrors(TSettingsStore& store, const std::string& keyPath,
                                  const std::function<void(TSettingsStore&)>& work) noexcept {
    try {
        if (store.IsOpen()) {
            work(store);
            return;
        }
        if (!store.OpenKey(keyPath, true)) return;
        try {
            work(store);
        } catch (...) {
            store.CloseKey();
            throw;
        }
        store.CloseKey();
    } catch (...) {
        // Placement is a convenience: defaults or the window's current values apply.
    }
}

}  // namespace galerion::ui
