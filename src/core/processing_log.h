#pragma once
// The processing log: one line per message, each with a mark showing its level. A filter (the
// enabled levels) decides what is written at all; rejected lines are not kept anywhere.
#include <bitset>
#include <string>
#include <vector>

namespace galerion {

// Mark beside a line: its line number (from 1), column 1 and the image index (the level).
struct TLogMark {
    int line = 0;
    int column = 1;
    int imageIndex = 0;
    bool visible = true;
};

struct TLogLine {
    std::string text;
    TLogMark mark;
};

// What shows the log (the Finish page, the CLI's output, a test).
class TLogView {
public:
    virtual ~TLogView() = default;
    virtual void LineAdded(const TLogLine& line) = 0;
    virtual void Cleared() {}
};

enum class TLogGroup { Errors, Warnings, Others };

class TProcessingLog {
public:
    static constexpr int kLevelCount = 256;

    void AddLogLine(const std::string& text, int level);

    bool IsEnabled(int level) const;
    void SetGroup(TLogGroup group, bool enabled);
    // Errors, then Warnings, then Others, each added when its switch is on, removed when off.
    void ApplyLogSwitches(bool errors, bool warnings, bool others);
    void SetLevel(int level, bool enabled);
    void DisableAll() { enabled_.reset(); }

    const std::vector<TLogLine>& Lines() const { return lines_; }
    void Clear();  // "Start again"

    void SetView(TLogView* view) { view_ = view; }  // not owned; nullptr detaches

private:
    std::bitset<kLevelCount> enabled_;  // empty until the settings apply the switches
    std::vector<TLogLine> lines_;
    TLogView* view_ = nullptr;
};

}  // namespace galerion
