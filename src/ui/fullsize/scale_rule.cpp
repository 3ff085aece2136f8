#include "ui/fullsize/scale_rule.h"

#include <algorithm>

namespace galerion::ui {

TScaleOutcome ResolveScale(std::optional<double> parsed, double scaleInForce, TSettings& settings,
                           const std::function<TScaleReply()>& ask,
                           const std::function<std::string(double)>& formatScale) {
    TScaleOutcome outcome;
    if (!parsed) {
        outcome.Text = formatScale(scaleInForce);
        outcome.Scale = 1.0;
        return outcome;
    }
    outcome.Scale = std::max(*parsed, kMinimumScale);
    if (outcome.Scale > 1) {
        if (settings.Scale) {
            const TScaleReply reply = ask();
            settings.ScaleChoice = reply.Yes;
            settings.Scale = !reply.DoNotShowAgain;
        }
        if (!settings.ScaleChoice) {
            outcome.Text = kScaleOneText;
            outcome.Scale = 1.0;
        }
    }
    return outcome;
}

}  // namespace galerion::ui
