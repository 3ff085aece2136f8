#pragma once
// What a scale text means for the full-size view: the number read from it, the limits, and the
// question asked before a picture is shown above 100 %. No toolkit in here.
#include "core/settings.h"

#include <functional>
#include <optional>
#include <string>

namespace galerion::ui {

inline constexpr double kMinimumScale = 0.001;
inline constexpr const char* kScaleOneText = "1.0";

struct TScaleReply {
    bool Yes = false;
    bool DoNotShowAgain = false;
};

struct TScaleOutcome {
    double Scale = 1.0;
    // The text the scale edit shows afterwards; empty when it keeps what the user typed.
    std::optional<std::string> Text;
};

// `parsed` is the scale text read as a number (none when it is no number), `scaleInForce` the
// scale shown before and `formatScale` writes a number as the edit shows it. Above 1 the
// question is asked while `settings.Scale` is set; its answer becomes ScaleChoice and the
// "do not show again" tick clears Scale. A ScaleChoice of No falls back to 1.0.
TScaleOutcome ResolveScale(std::optional<double> parsed, double scaleInForce, TSettings& settings,
                           const std::function<TScaleReply()>& ask,
                           const std::function<std::string(double)>& formatScale);

}  // namespace galerion::ui
