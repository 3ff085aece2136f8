#pragma once
// Bringing a photo's colours into sRGB from the ICC profile it carries. Profiles come from
// outside and are hostile: one that cannot be used counts as none, with a reason for the log.
#include "image/bitmap32.h"

#include <memory>
#include <string>
#include <vector>

namespace galerion {

using TIccProfile = std::vector<unsigned char>;

// The ColourProfiles setting.
enum class TColourProfiles : int {
    Ignore = 0,  // pixels as stored, outputs without profile
    ToSrgb = 1,  // pixels converted to sRGB right after the decode
    Keep = 2,    // pixels as stored, each output carries the source's profile
};

// The samples a conversion reads.
enum class TSourcePixels {
    Bgra,          // the raster's own pixels
    Grey,          // one sample per pixel
    Cmyk,          // four samples, 255 full ink
    CmykInverted,  // four samples, 0 full ink (as Adobe writes them)
};

// What converts the pixels of an RGB photo whose profile is a matrix and three tone curves
// (Adobe RGB, Display P3 and most camera profiles): tables of our own, used only where they
// agree with the colour management's own transform, or that transform always.
enum class TConversionEngine {
    Tables,
    TransformOnly,
};

// Converts pixels of one photo after another to sRGB. The transform is built for a profile
// once and kept while the next photo has the same profile; one object per thread.
class TSrgbConversion {
public:
    explicit TSrgbConversion(TConversionEngine engine = TConversionEngine::Tables);
    ~TSrgbConversion();
    TSrgbConversion(const TSrgbConversion&) = delete;
    TSrgbConversion& operator=(const TSrgbConversion&) = delete;

    // Readies the conversion for a photo of `pixels` with `profile`. False when its pixels stay
    // as they are: no profile, an sRGB one (no colour changes by more than one step), or one
    // that cannot be used, for which `problem` gets the reason (else it is emptied).
    bool Prepare(const TIccProfile& profile, TSourcePixels pixels, std::string& problem);
    // After Prepare returned true: `count` pixels from `in` (the prepared kind) into `out`,
    // alpha 255. `in` may be `out` for Bgra.
    void Convert(const void* in, TColor32* out, int count) const;
    // After Prepare returned true: whether Convert runs on the tables.
    bool UsesTables() const;

private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// HEIF colour given as code points (nclx): primaries and transfer characteristics.
struct TNclxColour {
    int Primaries = 2;  // 2 unspecified
    int Transfer = 2;
};
// The ICC profile of such colour; empty for sRGB and anything treated as sRGB. Codes that are
// not supported are treated as sRGB and named in `problem`.
TIccProfile ProfileFromNclx(const TNclxColour& colour, std::string& problem);

// For making test pictures: an RGB profile with Adobe RGB (1998) primaries, D65 white and
// gamma 2.2, made in memory; and an sRGB raster converted into the colours of `profile`.
TIccProfile AdobeRgbProfile();
TIccProfile SrgbProfile();
TIccProfile GreyProfile(double gamma);
void ConvertFromSrgb(TBitmap32& bitmap, const TIccProfile& profile);

}  // namespace galerion
