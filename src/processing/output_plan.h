#pragma once
// Which output files of a picture a run writes and which it keeps, and the record each written
// file carries of what it was made from (a JPEG comment). With RecreateChanged a file is
// written exactly when it is missing or its record differs from the one this run would write;
// otherwise the three Recreate switches decide, and an existing file is kept when its switch is
// off.
#include "image/jpeg_codec.h"

#include <string>
#include <vector>

namespace galerion {

class TPictureItem;
struct TSettings;

enum class TOutputKind { Large, Medium, Thumb };
enum class TOutputAction { Off, Write, Keep };

struct TOutputPlan {
    TOutputAction large = TOutputAction::Off;
    TOutputAction medium = TOutputAction::Off;
    TOutputAction thumb = TOutputAction::Off;
    // What a file written now records; empty when the photo could not be looked at.
    std::string largeRecord, mediumRecord, thumbRecord;
    // What every file written now carries of the photo's own metadata: its artist and
    // copyright, when the settings say so and the photo has them.
    std::vector<TJpegSegment> carried;

    bool Writes(TOutputKind kind) const;
    bool Any() const;
};

TOutputPlan PlanOutputs(const TPictureItem& picture, const TSettings& settings);

// The photo as the records name it: pixel size from its header, length and modification time.
struct TSourceStamp {
    int width = 0, height = 0;
    long long length = 0;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool hasColourProfile = false;
};

// FileError or ImageError when the photo cannot be looked at.
TSourceStamp StampSource(const std::string& path);

// "Galerion output 1; source 1600x1200 ..." for one kind of output of the picture as it stands;
// `carries` adds that the file carries the photo's artist and copyright.
std::string OutputRecord(const TSourceStamp& source, const TPictureItem& picture, TOutputKind kind,
                         const TSettings& settings, bool carries = false);

// The segments that carry the photo's artist and copyright; none when it has neither or its
// metadata cannot be read.
std::vector<TJpegSegment> CopyrightSegments(const std::string& photo);

}  // namespace galerion
