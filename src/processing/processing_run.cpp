#include "processing/processing_run.h"

#include "core/host/user_host.h"
#include "core/log_messages.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "image/crop.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image/resize.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "processing/album_database.h"
#include "processing/album_progress.h"
#include "processing/busy_state.h"
#include "processing/output_plan.h"
#include "processing/picture_loader.h"
#include "processing/wizard_context.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace galerion {
namespace {

struct TBoxSizes {
    int mediumWidth, mediumHeight, thumbWidth, thumbHeight;
};

int Quality(double spinValue) { return static_cast<int>(Round(spinValue)); }

// What the run keeps from picture to picture and album to album.
struct TRunState {
    explicit TRunState(TWizardContext& c)
        : context(c),
          boxes{StrToInt(c.settings.MediumWidth), StrToInt(c.settings.MediumHeight),
                StrToInt(c.settings.ThumbWidth), StrToInt(c.settings.ThumbHeight)} {}

    TWizardContext& context;
    const TBoxSizes boxes;
    TBitmap32 master, medium, thumb;
    TPictureLoader loader;
};

enum class TPictureStep { Continue, Stop };

// The file phase of one album: each picture's large, medium and thumbnail files.
class TAlbumFilePhase {
public:
    TAlbumFilePhase(TRunState& run, TAlbumItem& album, TAlbumProgress& progress)
        : run_(run),
          s_(run.context.settings),
          log_(run.context.log),
          album_(album),
          progress_(progress) {}

    void Run() {
        for (int i = 0; i < album_.PictureCount(); ++i)
            if (ProcessPicture(i) == TPictureStep::Stop) return;
    }

private:
    bool StopRequestedAfter(int i, const char* step, int advance) {
        return progress_.StopRequestedAfter(
            progress_.Prefix() + "Processing: " + std::to_string(i + 1) + step, advance);
    }

    // The plan of the picture whose photo is prefetched is kept for its own turn.
    const TOutputPlan& PlanFor(int i) {
        if (plannedIndex_ != i) {
            plan_ = PlanOutputs(*album_.PictureAt(i), s_);
            plannedIndex_ = i;
        }
        return plan_;
    }

    TColourProfiles ColourMode() const {
        return static_cast<TColourProfiles>(std::clamp(s_.ColourProfiles, 0, 2));
    }

    TLoadRequest RequestFor(int i) {
        const bool headerOnly = !PlanFor(i).Any();
        return {i, album_.PictureAt(i)->OriginalFile, headerOnly, ColourMode()};
    }

    bool Skipped(const TPictureItem& p) const { return p.IsDeleted || run_.context.HasFailed(p); }

    void PrefetchAfter(int i) {
        for (int k = i + 1; k < album_.PictureCount(); ++k)
            if (!Skipped(*album_.PictureAt(k))) return run_.loader.Prefetch(RequestFor(k));
    }

    // A photo that cannot be read fails in this run only and the album goes on.
    bool Load(int i, const TOutputPlan& plan, TLoadedPicture& loaded) {
        TPictureItem& p = *album_.PictureAt(i);
        try {
            loaded = run_.loader.Take(RequestFor(i), run_.master);
            TakeSegments(p, loaded.colour, plan.carried);
            return true;
        } catch (const ImageError& e) {
            Fail(p, e.what());
        } catch (const FileError& e) {
            Fail(p, e.what());
        }
        return false;
    }

    // The segments each output carries: the photo's artist and copyright, and its profile
    // when it is kept.
    void TakeSegments(const TPictureItem& p, const TPictureColour& colour,
                      const std::vector<TJpegSegment>& carried) {
        if (!colour.Problem.empty())
            log_.AddLogLine(msg::ColourProfileUnused(p.OriginalFile, colour.Problem),
                            msg::kLevelSkipped);
        segments_ = carried;
        if (ColourMode() == TColourProfiles::Keep && !colour.Profile.empty())
            for (TJpegSegment& segment : IccProfileSegments(colour.Profile))
                segments_.push_back(std::move(segment));
    }

    void Fail(const TPictureItem& p, const std::string& reason) {
        log_.AddLogLine(msg::PictureFailed(p.OriginalFile, reason), msg::kLevelError);
        run_.context.failures.push_back({p.OriginalFile, reason, &p});
    }

    // An output whose path cannot exist would stop the run at its write: the photo fails.
    bool OutputsCanExist(const TPictureItem& p) {
        for (const auto& [wanted, path] :
             {std::pair{s_.ProcessLarge, &p.LargeFile}, std::pair{s_.ProcessMedium, &p.MediumFile},
              std::pair{s_.ProcessThumb, &p.ThumbFile}})
            if (wanted && !PathCanExist(*path)) {
                Fail(p, msg::NameTooLong(*path));
                return false;
            }
        return true;
    }

    // Tested again as the file is written: an earlier output may have taken its path. A file
    // written because its record differed is written whatever is there now.
    bool StillWanted(const TOutputPlan& plan, TOutputKind kind, bool recreate,
                     const std::string& path) const {
        return plan.Writes(kind) && (recreate || s_.RecreateChanged || !IsRegularFile(path));
    }

    void LogTransforms(const TPictureItem& p) {
        const int turn = TurnOf(p.Orientation);
        if (turn == 2) log_.AddLogLine(msg::RotateClockwise(p.WebOriginal), msg::kLevelProgress);
        if (turn == 3) log_.AddLogLine(msg::RoundPicture(p.WebOriginal), msg::kLevelProgress);
        if (turn == 4)
            log_.AddLogLine(msg::RotateCounterClockwise(p.WebOriginal), msg::kLevelProgress);
        if (p.Orientation < 0)
            log_.AddLogLine(msg::FlipPicture(p.WebOriginal), msg::kLevelProgress);
    }

    void Orient(TPictureItem& p, const TLoadedPicture& loaded) {
        LogTransforms(p);
        TBitmap32& master = run_.master;
        if (loaded.decoded) {
            ApplyOrientation(master, p.Orientation);
            p.PixelWidth = master.Width();
            p.PixelHeight = master.Height();
        } else {
            const int turn = TurnOf(p.Orientation);
            const bool quarter = turn == 2 || turn == 4;
            p.PixelWidth = quarter ? loaded.height : loaded.width;
            p.PixelHeight = quarter ? loaded.width : loaded.height;
        }
        if (!p.HasCrop()) return;
        if (loaded.decoded)
            CropBitmap(master, p.CropX1, p.CropY1, p.CropX2, p.CropY2,
                       static_cast<TStretchFilter>(s_.ResizeMode));
        log_.AddLogLine(msg::CropPicture(p.WebOriginal), msg::kLevelProgress);
    }

    void WriteScaled(const TPictureItem& p, TBitmap32& target, int boxWidth, int boxHeight,
                     double quality, const std::string& path, const std::string& record) {
        ResizeIntoBox(p.OriginalFile, run_.master, target, boxWidth, boxHeight, s_.Upscale,
                      static_cast<TStretchFilter>(s_.ResizeMode), log_);
        SaveJpeg(target, Quality(quality), path, record, segments_);
    }

    TPictureStep ProcessPicture(int i) {
        TPictureItem& p = *album_.PictureAt(i);
        progress_.BeginPicture(i + 1);
        if (StopRequestedAfter(i, "b.", 2)) return TPictureStep::Stop;
        if (Skipped(p) || !OutputsCanExist(p)) return TPictureStep::Continue;
        const TOutputPlan plan = PlanFor(i);  // a copy: the prefetch below plans the next one
        TLoadedPicture loaded;
        const bool loadedOk = Load(i, plan, loaded);
        PrefetchAfter(i);
        if (!loadedOk) return TPictureStep::Continue;
        if (StopRequestedAfter(i, "l.", 1)) return TPictureStep::Stop;
        Orient(p, loaded);
        if (StopRequestedAfter(i, "s.", 1)) return TPictureStep::Stop;
        if (StillWanted(plan, TOutputKind::Large, s_.RecreateLarge, p.LargeFile)) {
            SaveJpeg(run_.master, Quality(s_.JpegCompressionLarge), p.LargeFile, plan.largeRecord,
                     segments_);
            log_.AddLogLine(msg::SaveLarge(p.LargeFile), msg::kLevelProgress);
        }
        if (StopRequestedAfter(i, "m.", 1)) return TPictureStep::Stop;
        if (StillWanted(plan, TOutputKind::Medium, s_.RecreateMedium, p.MediumFile)) {
            WriteScaled(p, run_.medium, run_.boxes.mediumWidth, run_.boxes.mediumHeight,
                        s_.JpegCompressionMedium, p.MediumFile, plan.mediumRecord);
            log_.AddLogLine(msg::SaveMedium(p.MediumFile), msg::kLevelProgress);
        }
        if (StopRequestedAfter(i, "t.", 1)) return TPictureStep::Stop;
        if (StillWanted(plan, TOutputKind::Thumb, s_.RecreateThumb, p.ThumbFile)) {
            WriteScaled(p, run_.thumb, run_.boxes.thumbWidth, run_.boxes.thumbHeight,
                        s_.JpegCompressionThumb, p.ThumbFile, plan.thumbRecord);
            log_.AddLogLine(msg::SaveThumb(p.ThumbFile), msg::kLevelProgress);
        }
        TRunTally& tally = run_.context.tally;
        ++(plan.Any() ? tally.picturesWritten : tally.picturesUnchanged);
        return TPictureStep::Continue;
    }

    TRunState& run_;
    const TSettings& s_;
    TProcessingLog& log_;
    TAlbumItem& album_;
    TAlbumProgress& progress_;
    int plannedIndex_ = -1;
    TOutputPlan plan_;
    std::vector<TJpegSegment> segments_;
};

std::vector<std::string> OutputFolders(const std::string& folder, const TSettings& s) {
    std::vector<std::string> folders;
    if (s.ProcessThumb) folders.push_back(folder + "/" + s.ThumbFolder);
    if (s.ProcessMedium) folders.push_back(folder + "/" + s.MediumFolder);
    if (s.ProcessLarge) folders.push_back(folder + "/" + s.LargeFolder);
    return folders;
}

// An output folder that is a link out of the album is never written through: the album fails,
// logged and listed, and the run goes on. False then.
bool CreateOutputFolders(TWizardContext& context, const std::string& folder) {
    const std::vector<std::string> folders = OutputFolders(folder, context.settings);
    try {
        for (const std::string& output : folders) RequireNoLinkOutside(output, folder);
    } catch (const FileError& e) {
        context.log.AddLogLine(e.what(), msg::kLevelError);
        context.failures.push_back({folder, e.what()});
        return false;
    }
    for (const std::string& output : folders) {
        CreateFolder(output);
        RemoveStaleTemporaryFiles(output);
    }
    return true;
}

// Two sources whose names differ only in letter case get the same output names under the
// lower- or upper-case rule: the later one must not overwrite the earlier one's files.
void FailSameOutputNames(TWizardContext& context, const TAlbumItem& album) {
    std::map<std::string, const TPictureItem*> owners;
    for (int i = 0; i < album.PictureCount(); ++i) {
        const TPictureItem& picture = *album.PictureAt(i);
        if (picture.IsDeleted) continue;
        const auto [it, inserted] = owners.emplace(picture.TempFile, &picture);
        if (inserted) continue;
        const std::string text =
            msg::SameOutputNames(picture.OriginalFile, it->second->OriginalFile);
        context.log.AddLogLine(text, msg::kLevelError);
        context.failures.push_back({picture.OriginalFile, text, &picture});
    }
}

// One step of an album's file work. False when the album failed and the run goes on: the step
// said so, or it could not write its files and the caller chose to go on with the next album;
// otherwise such an error ends the run.
template <typename Step>
bool AlbumStep(TWizardContext& context, const std::string& folder, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        if (!context.continueAfterAlbumFailure) throw;
        context.log.AddLogLine(msg::AlbumFilesFailed(folder, e.what()), msg::kLevelError);
        context.failures.push_back({folder, e.what()});
        return false;
    }
}

void Count(TWizardContext& context, const std::string& folder, TAlbumDbOutcome outcome) {
    switch (outcome) {
        case TAlbumDbOutcome::Written: ++context.tally.albumsWritten; break;
        case TAlbumDbOutcome::Skipped: ++context.tally.albumsSkipped; break;
        case TAlbumDbOutcome::Failed: context.tally.databaseFailures.push_back(folder); break;
        case TAlbumDbOutcome::Stopped: break;
    }
}

void LogFailures(TWizardContext& context) {
    if (context.failures.empty() || !context.listFailuresAtEnd) return;
    context.log.AddLogLine(msg::FailureSummary(static_cast<int>(context.failures.size())),
                           msg::kLevelError);
    for (const TPictureFailure& f : context.failures)
        context.log.AddLogLine(msg::FailedPicture(f.path, f.reason), msg::kLevelError);
}

}  // namespace

void ProcessAlbums(TWizardContext& context) {
    context.log.AddLogLine(msg::BeginProcess(context.albums.Count()), msg::kLevelProgress);
    TRunState run(context);
    context.failures.clear();  // each run tries every photo afresh
    context.tally = {};
    std::string prefix;
    for (int a = 0; a < context.albums.Count(); ++a) {
        const std::string& folder = context.albums.Text(a);
        TAlbumItem& album = *context.albums.AlbumAt(a);
        if (!album.Prepared) {
            context.log.AddLogLine(msg::AlbumSkipped(folder), msg::kLevelSkipped);
            ++context.tally.albumsSkipped;
            continue;
        }
        if (!AlbumStep(context, folder, [&] { return CreateOutputFolders(context, folder); }))
            continue;
        FailSameOutputNames(context, album);
        TAlbumProgress progress(context.host, context.busy,
                                {folder, a + 1, context.albums.Count(), 0, album.PictureCount()});
        prefix = progress.Prefix();
        const bool filesWritten = AlbumStep(context, folder, [&] {
            TAlbumFilePhase(run, album, progress).Run();
            return true;
        });
        if (!filesWritten) continue;
        if (context.busy.StopFlag()) break;
        // A stop confirmed as the database phase begins ends the run at once.
        const TAlbumDbOutcome outcome = WriteAlbumToDatabase(context, folder, album, progress);
        if (outcome == TAlbumDbOutcome::Stopped) return;
        Count(context, folder, outcome);
    }
    LogFailures(context);
    context.host.SetStatusText(prefix + " Processing: DONE");
    context.host.SetProgressPosition(0);
    for (int a = 0; a < context.albums.Count(); ++a) context.albums.AlbumAt(a)->ReleaseTiles();
}

TRunOutcome StartProcessing(TWizardContext& context) {
    if (context.albums.PreparedCount() < context.albums.Count() &&
        !context.host.Confirm(kNotAllAlbumsQuestion))
        return TRunOutcome::NotStarted;
    {
        TBusyScope busy(context.busy);
        ProcessAlbums(context);
    }
    if (!context.busy.StopFlag()) return TRunOutcome::Finished;
    context.host.SetStatusText(kOperationCancelled);
    return TRunOutcome::Stopped;
}

}  // namespace galerion
