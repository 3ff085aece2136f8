#include "processing/processing_run.h"

#include "core/log_messages.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "core/host/user_host.h"
#include "image/jpeg_codec.h"
#include "image/resize.h"
#include "image/crop.h"
#include "image/orientation.h"
#include "platform/errors.h"
#include "processing/album_database.h"
#include "processing/busy_state.h"
#include "processing/file_ops.h"
#include "processing/picture_loader.h"
#include "processing/wizard_context.h"

namespace galerion {
namespace {

struct TBoxSizes {
    int mediumWidth, mediumHeight, thumbWidth, thumbHeight;
};

// Which outputs a picture gets: switched on, and missing or to be recreated.
struct TOutputPlan {
    bool large = false, medium = false, thumb = false;
    bool Any() const { return large || medium || thumb; }
};

TOutputPlan PlanOutputs(const TPictureItem& p, const TSettings& s) {
    TOutputPlan plan;
    plan.large = s.ProcessLarge && (s.RecreateLarge || !FileExists(p.LargeFile));
    plan.medium = s.ProcessMedium && (s.RecreateMedium || !FileExists(p.MediumFile));
    plan.thumb = s.ProcessThumb && (s.RecreateThumb || !FileExists(p.ThumbFile));
    return plan;
}

int Quality(double spinValue) { return static_cast<int>(Round(spinValue)); }

// The run's working images and the loader, reused from picture to picture and album to album.
struct TWorkingImages {
    TBitmap32 master, medium, thumb;
    TPictureLoader loader;
};

class TAlbumFilePhase {
public:
    TAlbumFilePhase(TWizardContext& context, TAlbumItem& album, const TBoxSizes& boxes,
                    const std::string& prefix, int& progress, TWorkingImages& images,
                    const TRunProgress& where)
        : c_(context), s_(context.settings), log_(context.log), album_(album), boxes_(boxes),
          prefix_(prefix), progress_(progress), master_(images.master), medium_(images.medium),
          thumb_(images.thumb), loader_(images.loader), progressRecord_(where) {}

    // False when a stop check ended the album.
    bool Run() {
        for (int i = 0; i < album_.PictureCount(); ++i)
            if (!ProcessPicture(i)) return false;
        return true;
    }

private:
    bool Point(int i, const char* suffix, int advance) {
        c_.host.SetStatusText(prefix_ + "Processing: " + std::to_string(i + 1) + suffix);
        progress_ += advance;
        c_.host.SetProgressPosition(progress_);
        return !c_.busy.StopRequested();
    }

    TLoadRequest RequestFor(int i, const TOutputPlan& plan) const {
        return {i, album_.PictureAt(i)->OriginalFile, !plan.Any()};
    }

    void PrefetchAfter(int i) {
        for (int k = i + 1; k < album_.PictureCount(); ++k)
            if (!album_.PictureAt(k)->IsDeleted) return loader_.Prefetch(RequestFor(k, PlanOutputs(*album_.PictureAt(k), s_)));
    }

    // A photo that cannot be read is excluded and the album goes on.
    bool Load(int i, const TOutputPlan& plan, TLoadedPicture& loaded) {
        TPictureItem& p = *album_.PictureAt(i);
        try {
            loaded = loader_.Take(RequestFor(i, plan), master_);
        } catch (const ImageError& e) {
            Exclude(p, e.what());
        } catch (const FileError& e) {
            Exclude(p, e.what());
        }
        PrefetchAfter(i);
        return !p.IsDeleted;
    }

    void Exclude(TPictureItem& p, const std::string& reason) {
        p.IsDeleted = true;
        log_.AddLogLine(msg::PictureFailed(p.OriginalFile, reason), msg::kLevelError);
        c_.failures.push_back({p.OriginalFile, reason});
    }

    void Orient(TPictureItem& p, const TLoadedPicture& loaded) {
        const int turn = p.Orientation < 0 ? -p.Orientation : p.Orientation;
        if (turn == 2) log_.AddLogLine(msg::RotateClockwise(p.WebOriginal), msg::kLevelProgress);
        if (turn == 3) log_.AddLogLine(msg::RoundPicture(p.WebOriginal), msg::kLevelProgress);
        if (turn == 4)
            log_.AddLogLine(msg::RotateCounterClockwise(p.WebOriginal), msg::kLevelProgress);
        if (p.Orientation < 0) log_.AddLogLine(msg::FlipPicture(p.WebOriginal), msg::kLevelProgress);
        if (loaded.decoded) {
            ApplyOrientation(master_, p.Orientation);
            p.PixelWidth = master_.Width();
            p.PixelHeight = master_.Height();
        } else {
            const bool quarter = turn == 2 || turn == 4;
            p.PixelWidth = quarter ? loaded.height : loaded.width;
            p.PixelHeight = quarter ? loaded.width : loaded.height;
        }
        if (!p.HasCrop()) return;
        if (loaded.decoded)
            CropBitmap(master_, p.CropX1, p.CropY1, p.CropX2, p.CropY2,
                       static_cast<TStretchFilter>(s_.ResizeMode));
        log_.AddLogLine(msg::CropPicture(p.WebOriginal), msg::kLevelProgress);
    }

    void WriteScaled(const TPictureItem& p, TBitmap32& target, int boxWidth, int boxHeight,
                     double quality, const std::string& path) {
        ResizeIntoBox(p.OriginalFile, master_, target, boxWidth, boxHeight, s_.Upscale,
                      static_cast<TStretchFilter>(s_.ResizeMode), log_);
        SaveJpeg(target, Quality(quality), path);
    }

    bool ProcessPicture(int i) {
        TPictureItem& p = *album_.PictureAt(i);
        progressRecord_.picture = i + 1;
        c_.host.ReportProgress(progressRecord_);
        if (!Point(i, "b.", 2)) return false;
        if (p.IsDeleted) return true;
        const TOutputPlan plan = PlanOutputs(p, s_);
        TLoadedPicture loaded;
        if (!Load(i, plan, loaded)) return true;
        if (!Point(i, "l.", 1)) return false;
        Orient(p, loaded);
        if (!Point(i, "s.", 1)) return false;
        if (plan.large) {
            SaveJpeg(master_, Quality(s_.JpegCompressionLarge), p.LargeFile);
            log_.AddLogLine(msg::SaveLarge(p.LargeFile), msg::kLevelProgress);
        }
        if (!Point(i, "m.", 1)) return false;
        if (plan.medium) {
            WriteScaled(p, medium_, boxes_.mediumWidth, boxes_.mediumHeight,
                        s_.JpegCompressionMedium, p.MediumFile);
            log_.AddLogLine(msg::SaveMedium(p.MediumFile), msg::kLevelProgress);
        }
        if (!Point(i, "t.", 1)) return false;
        if (plan.thumb) {
            WriteScaled(p, thumb_, boxes_.thumbWidth, boxes_.thumbHeight, s_.JpegCompressionThumb,
                        p.ThumbFile);
            log_.AddLogLine(msg::SaveThumb(p.ThumbFile), msg::kLevelProgress);
        }
        return true;
    }

    TWizardContext& c_;
    const TSettings& s_;
    TProcessingLog& log_;
    TAlbumItem& album_;
    const TBoxSizes& boxes_;
    const std::string& prefix_;
    int& progress_;
    TBitmap32& master_;
    TBitmap32& medium_;
    TBitmap32& thumb_;
    TPictureLoader& loader_;
    TRunProgress progressRecord_;
};

void CreateOutputFolders(const std::string& folder, const TSettings& s) {
    if (s.ProcessThumb) CreateFolder(folder + "/" + s.ThumbFolder);
    if (s.ProcessMedium) CreateFolder(folder + "/" + s.MediumFolder);
    if (s.ProcessLarge) CreateFolder(folder + "/" + s.LargeFolder);
}

void LogFailures(TWizardContext& context) {
    if (context.failures.empty()) return;
    context.log.AddLogLine(msg::FailureSummary(static_cast<int>(context.failures.size())),
                           msg::kLevelError);
    for (const TPictureFailure& f : context.failures)
        context.log.AddLogLine(msg::FailedPicture(f.path, f.reason), msg::kLevelError);
}

}  // namespace

void ProcessAlbums(TWizardContext& context) {
    const TSettings& s = context.settings;
    const TBoxSizes boxes{StrToInt(s.MediumWidth), StrToInt(s.MediumHeight),
                          StrToInt(s.ThumbWidth), StrToInt(s.ThumbHeight)};
    context.log.AddLogLine(msg::BeginProcess(context.albums.Count()), msg::kLevelProgress);
    std::string prefix;
    TWorkingImages images;
    for (int a = 0; a < context.albums.Count(); ++a) {
        const std::string& folder = context.albums.Text(a);
        TAlbumItem& album = *context.albums.AlbumAt(a);
        if (!album.Prepared) {
            context.log.AddLogLine(msg::AlbumSkipped(folder), msg::kLevelSkipped);
            continue;
        }
        CreateOutputFolders(folder, s);
        prefix = "Photos: " + std::to_string(album.PictureCount()) + ". ";
        int progress = 0;
        context.host.SetProgressMax(6 * album.PictureCount() + 10);
        context.host.SetProgressPosition(0);
        const TRunProgress where{folder, a + 1, context.albums.Count(), 0, album.PictureCount()};
        context.host.ReportProgress(where);
        TAlbumFilePhase(context, album, boxes, prefix, progress, images, where).Run();
        if (context.busy.StopFlag()) break;
        if (WriteAlbumToDatabase(context, folder, album, prefix, progress)) return;
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
