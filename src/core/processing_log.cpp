#include "core/processing_log.h"

#include <span>

namespace galerion {
namespace {

std::span<const int> GroupLevels(TLogGroup group) {
    static constexpr int kErrors[] = {0};
    static constexpr int kWarnings[] = {1, 2, 5, 6, 7, 8, 9};
    static constexpr int kOthers[] = {3, 4};
    switch (group) {
        case TLogGroup::Errors: return kErrors;
        case TLogGroup::Warnings: return kWarnings;
        case TLogGroup::Others: return kOthers;
    }
    return {};
}

}  // namespace

bool TProcessingLog::IsEnabled(int level) const {
    return level >= 0 && level < kLevelCount && enabled_.test(static_cast<size_t>(level));
}

void TProcessingLog::SetLevel(int level, bool enabled) {
    if (level >= 0 && level < kLevelCount) enabled_.set(static_cast<size_t>(level), enabled);
}

void TProcessingLog::SetGroup(TLogGroup group, bool enabled) {
    for (int level : GroupLevels(group)) SetLevel(level, enabled);
}

void TProcessingLog::ApplyLogSwitches(bool errors, bool warnings, bool others) {
    SetGroup(TLogGroup::Errors, errors);
    SetGroup(TLogGroup::Warnings, warnings);
    SetGroup(TLogGroup::Others, others);
}

void TProcessingLog::AddLogLine(const std::string& text, int level) {
    if (!IsEnabled(level)) return;
    TLogLine line{text, TLogMark{}};
    line.mark.line = static_cast<int>(lines_.size()) + 1;
    line.mark.imageIndex = level;
    lines_.push_back(std::move(line));
    if (view_) view_->LineAdded(lines_.back());
}

void TProcessingLog::Clear() {
    lines_.clear();
    if (view_) view_->Cleared();
}

}  // namespace galerion
