#pragma once
// Reading photos and writing rasters as JPEG files. Every failure is raised: FileError when the
// file cannot be opened, read or written, ImageError with the codec's own message when the data
// cannot be decoded or encoded, RangeError for a quality outside 1-100.
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace galerion {

// Largest picture the decoder accepts. Far above any camera's photo (the raster alone is 1 GB),
// low enough that a tiny file declaring 65500 x 65500 pixels is refused before anything is
// allocated.
inline constexpr std::uint64_t kMaxPicturePixels = 250'000'000;

// The quality the working thumbnails are written with.
inline constexpr int kDefaultJpegQuality = 90;

// What a decode does with the photo's colour profile.
struct TColourDecoding {
    // Ignore: the profile is not even read. Keep: it is read and checked, the pixels stay.
    TColourProfiles Mode = TColourProfiles::ToSrgb;
    // Transforms kept from photo to photo; null: one is made for this photo if it needs one.
    TSrgbConversion* Conversion = nullptr;
};

// How the window shows a photo under a ColourProfiles setting: in sRGB, unless profiles are
// ignored altogether (then as the photo stores its colours, as everywhere else).
inline TColourProfiles ShownColour(int setting) {
    return setting == static_cast<int>(TColourProfiles::Ignore) ? TColourProfiles::Ignore
                                                                : TColourProfiles::ToSrgb;
}

// The photo's own colour profile, as the decoder found it.
struct TPictureColour {
    TIccProfile Profile;  // empty when there is none or it cannot be used
    std::string Problem;  // why a profile the photo has was not used; "" otherwise
};

// Decodes the whole file at full size into the raster (alpha 255 everywhere); the raster's
// attributes stay. On failure the raster is unchanged or already has the picture's size.
// With `rowsDone`, the count of finished top rows is published (release, then notify) as the
// decoding goes, so another thread may read those rows while the rest is decoded. JPEG and
// HEIF files are read (HEIF with its container's turn and mirror applied). With ToSrgb, a
// profile that is not sRGB's converts the pixels to sRGB as they are decoded, before any row
// is published.
TPictureColour LoadPicture(TBitmap32& bitmap, const std::string& path,
                           const TColourDecoding& colour, std::atomic<int>* rowsDone = nullptr);
// The same converting to sRGB.
void LoadPicture(TBitmap32& bitmap, const std::string& path, std::atomic<int>* rowsDone = nullptr);

struct TJpegSize {
    int Width, Height;
    bool HasColourProfile = false;  // the photo carries a colour profile of its own
};

// Picks, from the picture's size, the picture rows a caller reads (ascending, repeats allowed).
using TRowChooser = std::function<std::vector<int>(int width, int height)>;

// Decodes only the chosen rows: raster row k becomes picture row rows[k], with exactly the
// pixels LoadPicture gives that row. Rows nobody reads are skipped without upsampling or colour
// conversion where the file's layout allows it; the file is read no further than the last row.
void LoadPictureRows(TBitmap32& bitmap, const std::string& path, const TRowChooser& chooseRows,
                     const TColourDecoding& colour = {});
// The size from the file's header alone, with the same checks as LoadPicture (for HEIF, the
// size after the container's turn).
TJpegSize ReadJpegSize(const std::string& path);

// A marker segment written after the header: marker 0xE1 for APP1, 0xE2 for APP2, ...; data is
// the payload without marker and length (at most 65533 bytes).
inline constexpr int kJpegApp1 = 0xE1;

struct TJpegSegment {
    int marker;
    std::vector<unsigned char> data;
};

// Baseline three-component JPEG, alpha dropped. The file appears complete or not at all: the data
// goes to a temporary file beside it, which replaces the target only when fully written. A
// non-empty comment goes into a comment (COM) marker after the header, the segments follow it
// in order; the image data is the same with or without them. A segment too long for a marker
// or with a marker outside APP0-APP15 and COM is an ImageError.
void SaveJpeg(const TBitmap32& bitmap, int quality, const std::string& path,
              const std::string& comment = {}, const std::vector<TJpegSegment>& segments = {});

// The ICC profile carried by a JPEG's APP2 marker payloads, given in file order (payloads of
// other kinds are passed over); empty when there is none or the chunks do not make one whole
// profile (a count or a sequence number that does not fit, one missing or given twice).
TIccProfile IccProfileFromChunks(const std::vector<std::vector<unsigned char>>& app2Payloads);
// The APP2 segments that carry `profile` in a JPEG file.
std::vector<TJpegSegment> IccProfileSegments(const TIccProfile& profile);

// The longest comment one marker holds.
inline constexpr std::size_t kMaxJpegComment = 65533;

// The first comment marker before the image data; "" when there is none or the file is no
// JPEG. Reads only the markers in front of the image data.
std::string ReadJpegComment(const std::string& path);

}  // namespace galerion
