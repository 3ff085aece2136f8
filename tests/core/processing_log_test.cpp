#include "core/processing_log.h"

#include "core/log_messages.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

struct RecordingView : TLogView {
    std::vector<TLogLine> seen;
    int clears = 0;
    void LineAdded(const TLogLine& line) override { seen.push_back(line); }
    void Cleared() override { ++clears; }
};

TEST(ProcessingLog, EmptyAtStartDropsEverything) {
    TProcessingLog log;
    for (int level = 0; level < 300; ++level) log.AddLogLine("x", level);
    EXPECT_TRUE(log.Lines().empty());
}

TEST(ProcessingLog, DefaultSwitchesShowErrorsAndWarningsOnly) {
    TProcessingLog log;
    log.ApplyLogSwitches(true, true, false);
    for (int level : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 255, 256, -1})
        log.AddLogLine("level " + std::to_string(level), level);
    std::vector<int> levels;
    for (const TLogLine& line : log.Lines()) levels.push_back(line.mark.imageIndex);
    EXPECT_EQ(levels, (std::vector<int>{0, 1, 2, 5, 6, 7, 8, 9}));
}

TEST(ProcessingLog, LineNumbersSkipNothingForRejectedLines) {
    TProcessingLog log;
    RecordingView view;
    log.SetView(&view);
    log.ApplyLogSwitches(true, true, false);
    log.AddLogLine("first", 0);
    log.AddLogLine("progress", 3);  // Others off: not kept anywhere
    log.AddLogLine("second", 7);
    ASSERT_EQ(view.seen.size(), 2u);
    EXPECT_EQ(view.seen[1].text, "second");
    EXPECT_EQ(view.seen[1].mark.line, 2);
    EXPECT_EQ(view.seen[1].mark.column, 1);
    EXPECT_EQ(view.seen[1].mark.imageIndex, 7);
    log.Clear();
    EXPECT_EQ(view.clears, 1);
    log.AddLogLine("again", 0);
    EXPECT_EQ(log.Lines().front().mark.line, 1);
}

TEST(ProcessingLog, SwitchesLeaveLevelsOutsideTheGroupsAlone) {
    TProcessingLog log;
    log.SetLevel(12, true);
    log.ApplyLogSwitches(false, false, false);
    EXPECT_TRUE(log.IsEnabled(12));
    log.ApplyLogSwitches(true, false, true);
    EXPECT_TRUE(log.IsEnabled(0));
    EXPECT_TRUE(log.IsEnabled(4));
    EXPECT_FALSE(log.IsEnabled(7));
}

TEST(LogMessages, TextsAsUsersKnowThem) {
    EXPECT_EQ(msg::AlreadyProcessed("/p/Trip"), "Directory /p/Trip is already processed");
    EXPECT_EQ(msg::ThumbnailDone("tmp_a.jpg"), "Thumbnail for \"tmp_a.jpg\" done.");
    EXPECT_EQ(msg::ExistingAlbumCancel("'/p/O''Hara'"),
              "Existing album '/p/O''Hara' is found in the database. Operation was cancel.");
    EXPECT_EQ(msg::AlbumSkippedByCancel("/p/x"),
              "Album skipped. /p/x. Update options set in \"Cancel\".");
    EXPECT_EQ(msg::SmallerThanBox(true, "/a.jpg", "/tmp/b.jpg"),
              "Original picture is smaller than desired size. No scale will be done. "
              "/a.jpg->/tmp/b.jpg.");
}

}  // namespace
}  // namespace galerion
