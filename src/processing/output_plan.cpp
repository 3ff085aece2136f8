#include "processing/output_plan.h"

#include "core/model.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "image/jpeg_codec.h"
#include "image/photo_metadata.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace galerion {
namespace {

struct TKindSettings {
    bool process, recreate;
    const std::string& file;
    TOutputAction TOutputPlan::*action;
    std::string TOutputPlan::*record;
};

TKindSettings KindSettings(const TPictureItem& p, const TSettings& s, TOutputKind kind) {
    switch (kind) {
        case TOutputKind::Large:
            return {s.ProcessLarge, s.RecreateLarge, p.LargeFile, &TOutputPlan::large,
                    &TOutputPlan::largeRecord};
        case TOutputKind::Medium:
            return {s.ProcessMedium, s.RecreateMedium, p.MediumFile, &TOutputPlan::medium,
                    &TOutputPlan::mediumRecord};
        case TOutputKind::Thumb: break;
    }
    return {s.ProcessThumb, s.RecreateThumb, p.ThumbFile, &TOutputPlan::thumb,
            &TOutputPlan::thumbRecord};
}

std::string Box(const std::string& width, const std::string& height) {
    return width + "x" + height;
}

}  // namespace

bool TOutputPlan::Writes(TOutputKind kind) const {
    switch (kind) {
        case TOutputKind::Large: return large == TOutputAction::Write;
        case TOutputKind::Medium: return medium == TOutputAction::Write;
        case TOutputKind::Thumb: break;
    }
    return thumb == TOutputAction::Write;
}

bool TOutputPlan::Any() const {
    return Writes(TOutputKind::Large) || Writes(TOutputKind::Medium) || Writes(TOutputKind::Thumb);
}

TSourceStamp StampSource(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw FileError("Cannot read " + path + ": " + std::strerror(errno));
    const TJpegSize size = ReadJpegSize(path);
    return {size.Width,
            size.Height,
            static_cast<long long>(st.st_size),
            static_cast<long long>(st.st_mtim.tv_sec),
            static_cast<long long>(st.st_mtim.tv_nsec),
            size.HasColourProfile};
}

std::vector<TJpegSegment> CopyrightSegments(const std::string& photo) {
    TPhotoMetadata meta;
    try {
        meta = ReadPhotoMetadata(photo);
    } catch (const Error&) {
        return {};  // the preparation has logged it
    }
    std::vector<TJpegSegment> segments;
    for (std::vector<unsigned char> payload : {CopyrightExifPayload(meta.artist, meta.copyright),
                                               CopyrightXmpPayload(meta.artist, meta.copyright)})
        if (!payload.empty()) segments.push_back({kJpegApp1, std::move(payload)});
    return segments;
}

std::string OutputRecord(const TSourceStamp& source, const TPictureItem& p, TOutputKind kind,
                         const TSettings& s, bool carries) {
    char modified[48];
    std::snprintf(modified, sizeof modified, "%lld.%09lld", source.modifiedSeconds,
                  source.modifiedNanoseconds);
    std::string record = "Galerion output 1; source " + std::to_string(source.width) + "x" +
                         std::to_string(source.height) + ", " + std::to_string(source.length) +
                         " bytes, modified " + modified + "; orientation " +
                         std::to_string(p.Orientation) + "; crop " + std::to_string(p.CropX1) +
                         "," + std::to_string(p.CropY1) + "," + std::to_string(p.CropX2) + "," +
                         std::to_string(p.CropY2) + "; filter " + std::to_string(s.ResizeMode);
    double quality = s.JpegCompressionLarge;
    if (kind == TOutputKind::Medium) {
        record += "; box " + Box(s.MediumWidth, s.MediumHeight);
        quality = s.JpegCompressionMedium;
    } else if (kind == TOutputKind::Thumb) {
        record += "; box " + Box(s.ThumbWidth, s.ThumbHeight);
        quality = s.JpegCompressionThumb;
    }
    if (kind != TOutputKind::Large) record += std::string("; upscale ") + (s.Upscale ? "1" : "0");
    record += "; quality " + std::to_string(Round(quality));
    // Only where something is carried, so that the records of other files stay as they were.
    if (carries) record += "; artist and copyright";
    // Only a photo with a profile of its own depends on what is done with profiles: the
    // records of all others stay as they always were.
    if (source.hasColourProfile && s.ColourProfiles != 0)
        record += "; colour " + std::to_string(s.ColourProfiles);
    return record;
}

TOutputPlan PlanOutputs(const TPictureItem& p, const TSettings& s) {
    TOutputPlan plan;
    std::optional<TSourceStamp> source;
    bool unreadable = false;
    for (TOutputKind kind : {TOutputKind::Large, TOutputKind::Medium, TOutputKind::Thumb}) {
        const TKindSettings k = KindSettings(p, s, kind);
        if (!k.process) continue;
        if (!source && !unreadable) {
            try {
                source = StampSource(p.OriginalFile);
            } catch (const Error&) {
                unreadable = true;  // the load that follows reports it
            }
            if (source && s.CarryCopyright) plan.carried = CopyrightSegments(p.OriginalFile);
        }
        if (source) plan.*k.record = OutputRecord(*source, p, kind, s, !plan.carried.empty());
        const bool exists = IsRegularFile(k.file);
        const bool write = s.RecreateChanged
                               ? !exists || unreadable || ReadJpegComment(k.file) != plan.*k.record
                               : k.recreate || !exists;
        plan.*k.action = write ? TOutputAction::Write : TOutputAction::Keep;
    }
    return plan;
}

}  // namespace galerion
