#include "image/colour_profile.h"

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

#include <lcms2.h>

namespace galerion {
namespace {

// The largest profile a JPEG can carry (255 chunks); anything larger is no photo's profile.
constexpr std::size_t kMaxProfileBytes = 255 * 65519;

// The raster's 0xAARRGGBB pixels as bytes in memory.
constexpr cmsUInt32Number kRasterFormat =
    std::endian::native == std::endian::little ? TYPE_BGRA_8 : TYPE_ARGB_8;

struct TContextDeleter {
    void operator()(cmsContext c) const { cmsDeleteContext(c); }
};
struct TProfileDeleter {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
struct TTransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
struct TCurveDeleter {
    void operator()(cmsToneCurve* c) const { cmsFreeToneCurve(c); }
};
using TContext = std::unique_ptr<std::remove_pointer_t<cmsContext>, TContextDeleter>;
using TProfile = std::unique_ptr<void, TProfileDeleter>;
using TTransform = std::unique_ptr<void, TTransformDeleter>;
using TCurve = std::unique_ptr<cmsToneCurve, TCurveDeleter>;

// lcms reports a broken profile through this handler; the caller learns of it from the null
// handle that follows, so the text itself is dropped.
void IgnoreError(cmsContext, cmsUInt32Number, const char*) {}

TContext MakeContext() {
    TContext context(cmsCreateContext(nullptr, nullptr));
    if (!context) throw ImageError("Cannot start the colour management");
    cmsSetLogErrorHandlerTHR(context.get(), IgnoreError);
    return context;
}

cmsUInt32Number InputFormat(TSourcePixels pixels) {
    switch (pixels) {
        case TSourcePixels::Bgra: return kRasterFormat;
        case TSourcePixels::Grey: return TYPE_GRAY_8;
        case TSourcePixels::Cmyk: return TYPE_CMYK_8;
        case TSourcePixels::CmykInverted: break;
    }
    return TYPE_CMYK_8_REV;
}

cmsColorSpaceSignature SpaceOf(TSourcePixels pixels) {
    switch (pixels) {
        case TSourcePixels::Bgra: return cmsSigRgbData;
        case TSourcePixels::Grey: return cmsSigGrayData;
        case TSourcePixels::Cmyk:
        case TSourcePixels::CmykInverted: break;
    }
    return cmsSigCmykData;
}

const char* SpaceName(TSourcePixels pixels) {
    switch (pixels) {
        case TSourcePixels::Bgra: return "RGB";
        case TSourcePixels::Grey: return "greyscale";
        case TSourcePixels::Cmyk:
        case TSourcePixels::CmykInverted: break;
    }
    return "CMYK";
}

// Perceptual with black-point compensation; lcms precalculates an 8-bit transform.
TTransform MakeTransform(cmsContext context, cmsHPROFILE from, cmsUInt32Number inFormat,
                         cmsHPROFILE to, cmsUInt32Number outFormat) {
    return TTransform(cmsCreateTransformTHR(context, from, inFormat, to, outFormat,
                                            INTENT_PERCEPTUAL, cmsFLAGS_BLACKPOINTCOMPENSATION));
}

bool Near(int a, int b) { return std::abs(a - b) <= 1; }

// Whether the transform leaves every colour of a coarse grid (every grey for greyscale) within
// one step: such a profile is sRGB for this purpose, and its pixels stay bit for bit.
bool ChangesNoColour(cmsHTRANSFORM transform, TSourcePixels pixels) {
    if (pixels == TSourcePixels::Grey) {
        std::array<unsigned char, 256> in{};
        std::array<TColor32, 256> out{};
        for (int v = 0; v < 256; ++v)
            in[static_cast<std::size_t>(v)] = static_cast<unsigned char>(v);
        cmsDoTransform(transform, in.data(), out.data(), 256);
        for (int v = 0; v < 256; ++v) {
            const TColor32 c = out[static_cast<std::size_t>(v)];
            if (!Near(RedOf(c), v) || !Near(GreenOf(c), v) || !Near(BlueOf(c), v)) return false;
        }
        return true;
    }
    if (pixels != TSourcePixels::Bgra) return false;  // CMYK always needs its conversion
    std::vector<TColor32> in, out;
    for (int r = 0; r <= 256; r += 16)
        for (int g = 0; g <= 256; g += 16)
            for (int b = 0; b <= 256; b += 16)
                in.push_back(Color32(std::min(r, 255), std::min(g, 255), std::min(b, 255)));
    out.resize(in.size());
    cmsDoTransform(transform, in.data(), out.data(), static_cast<cmsUInt32Number>(in.size()));
    for (std::size_t i = 0; i < in.size(); ++i)
        if (!Near(RedOf(in[i]), RedOf(out[i])) || !Near(GreenOf(in[i]), GreenOf(out[i])) ||
            !Near(BlueOf(in[i]), BlueOf(out[i])))
            return false;
    return true;
}

}  // namespace

// The last profile seen and what came of it.
struct TSrgbConversion::TState {
    TContext context = MakeContext();
    TProfile srgb{cmsCreate_sRGBProfileTHR(context.get())};
    TIccProfile profile;
    TSourcePixels pixels = TSourcePixels::Bgra;
    bool known = false;  // profile and pixels hold what the members below were made for
    TTransform transform;
    bool converts = false;
    std::string problem;

    void Build() {
        transform.reset();
        converts = false;
        problem.clear();
        if (profile.empty()) return;
        if (profile.size() > kMaxProfileBytes) {
            problem = "the colour profile is too large";
            return;
        }
        TProfile source(cmsOpenProfileFromMemTHR(context.get(), profile.data(),
                                                 static_cast<cmsUInt32Number>(profile.size())));
        if (!source) {
            problem = "the colour profile cannot be read";
            return;
        }
        if (cmsGetColorSpace(source.get()) != SpaceOf(pixels)) {
            problem =
                std::string("the colour profile is not one for ") + SpaceName(pixels) + " pictures";
            return;
        }
        transform = MakeTransform(context.get(), source.get(), InputFormat(pixels), srgb.get(),
                                  kRasterFormat);
        if (!transform) {
            problem = "the colour profile cannot be used";
            return;
        }
        converts = !ChangesNoColour(transform.get(), pixels);
        if (!converts) transform.reset();
    }
};

TSrgbConversion::TSrgbConversion() : state_(std::make_unique<TState>()) {
    if (!state_->srgb) throw ImageError("Cannot make the sRGB profile");
}

TSrgbConversion::~TSrgbConversion() = default;

bool TSrgbConversion::Prepare(const TIccProfile& profile, TSourcePixels pixels,
                              std::string& problem) {
    TState& s = *state_;
    if (!s.known || s.pixels != pixels || s.profile != profile) {
        s.profile = profile;
        s.pixels = pixels;
        s.Build();
        s.known = true;
    }
    problem = s.problem;
    return s.converts;
}

void TSrgbConversion::Convert(const void* in, TColor32* out, int count) const {
    if (count <= 0 || !state_->converts) return;
    // lcms leaves the alpha byte of its output alone.
    if (state_->pixels != TSourcePixels::Bgra) std::fill(out, out + count, Color32(0, 0, 0));
    cmsDoTransform(state_->transform.get(), in, out, static_cast<cmsUInt32Number>(count));
}

namespace {

constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};

struct TPrimaries {
    int code;
    cmsCIExyYTRIPLE xy;
    cmsCIExyY white;
};

// Code points of ISO/IEC 23091-2 that photos use besides BT.709 (which is sRGB's).
constexpr TPrimaries kPrimaries[] = {
    {9, {{0.708, 0.292, 1}, {0.170, 0.797, 1}, {0.131, 0.046, 1}}, kD65},                // BT.2020
    {11, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}, {0.314, 0.351, 1}},  // DCI
    {12, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}, kD65},  // Display P3
};

constexpr cmsCIExyYTRIPLE kSrgbPrimaries{{0.640, 0.330, 1}, {0.300, 0.600, 1}, {0.150, 0.060, 1}};

// 1 BT.709, 6 BT.601, 13 sRGB, 14 and 15 BT.2020: all taken as the sRGB curve, as displays
// show them.
bool IsSrgbLikeTransfer(int code) {
    return code == 1 || code == 2 || code == 6 || code == 13 || code == 14 || code == 15;
}

// A parametric curve of lcms: type 1 is a plain gamma, type 4 the sRGB curve.
struct TToneCurve {
    int type;
    std::vector<cmsFloat64Number> params;
};

TToneCurve TransferCurve(int code) {
    switch (code) {
        case 4: return {1, {2.2}};
        case 5: return {1, {2.8}};
        case 8: return {1, {1.0}};
        default: break;
    }
    return {4, {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045}};
}

TIccProfile SaveProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile, nullptr, &size) || size == 0)
        throw ImageError("Cannot make a colour profile");
    TIccProfile bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
        throw ImageError("Cannot make a colour profile");
    bytes.resize(size);
    return bytes;
}

TIccProfile RgbProfile(const cmsCIExyY& white, const cmsCIExyYTRIPLE& primaries,
                       const TToneCurve& curve) {
    const TContext context = MakeContext();
    const TCurve tone(cmsBuildParametricToneCurve(context.get(), curve.type, curve.params.data()));
    if (!tone) throw ImageError("Cannot make a colour profile");
    cmsToneCurve* curves[3] = {tone.get(), tone.get(), tone.get()};
    const TProfile profile(cmsCreateRGBProfileTHR(context.get(), &white, &primaries, curves));
    return SaveProfile(profile.get());
}

}  // namespace

TIccProfile ProfileFromNclx(const TNclxColour& colour, std::string& problem) {
    problem.clear();
    const TPrimaries* primaries = nullptr;
    for (const TPrimaries& p : kPrimaries)
        if (p.code == colour.Primaries) primaries = &p;
    const bool srgbPrimaries = colour.Primaries == 1 || colour.Primaries == 2;
    if (!primaries && !srgbPrimaries)
        problem = "colour primaries " + std::to_string(colour.Primaries) + " are taken as sRGB";
    const bool knownTransfer = IsSrgbLikeTransfer(colour.Transfer) || colour.Transfer == 4 ||
                               colour.Transfer == 5 || colour.Transfer == 8;
    if (!knownTransfer)
        problem += std::string(problem.empty() ? "" : "; ") + "transfer characteristics " +
                   std::to_string(colour.Transfer) + " are taken as sRGB";
    const int transfer = knownTransfer ? colour.Transfer : 13;
    if (!primaries && IsSrgbLikeTransfer(transfer)) return {};
    return RgbProfile(primaries ? primaries->white : kD65,
                      primaries ? primaries->xy : kSrgbPrimaries, TransferCurve(transfer));
}

TIccProfile AdobeRgbProfile() {
    constexpr cmsCIExyYTRIPLE adobe{{0.640, 0.330, 1}, {0.210, 0.710, 1}, {0.150, 0.060, 1}};
    return RgbProfile(kD65, adobe, {1, {563.0 / 256.0}});  // Adobe RGB's gamma 2.19921875
}

TIccProfile SrgbProfile() {
    const TContext context = MakeContext();
    const TProfile profile(cmsCreate_sRGBProfileTHR(context.get()));
    return SaveProfile(profile.get());
}

TIccProfile GreyProfile(double gamma) {
    const TContext context = MakeContext();
    const TCurve tone(cmsBuildGamma(context.get(), gamma));
    if (!tone) throw ImageError("Cannot make a colour profile");
    const TProfile profile(cmsCreateGrayProfileTHR(context.get(), cmsD50_xyY(), tone.get()));
    return SaveProfile(profile.get());
}

void ConvertFromSrgb(TBitmap32& bitmap, const TIccProfile& profile) {
    const TContext context = MakeContext();
    const TProfile srgb(cmsCreate_sRGBProfileTHR(context.get()));
    const TProfile target(cmsOpenProfileFromMemTHR(context.get(), profile.data(),
                                                   static_cast<cmsUInt32Number>(profile.size())));
    if (!srgb || !target) throw ImageError("The colour profile cannot be read");
    const TTransform transform =
        MakeTransform(context.get(), srgb.get(), kRasterFormat, target.get(), kRasterFormat);
    if (!transform) throw ImageError("The colour profile cannot be used");
    for (int y = 0; y < bitmap.Height(); ++y)
        cmsDoTransform(transform.get(), bitmap.ScanLine(y), bitmap.ScanLine(y),
                       static_cast<cmsUInt32Number>(bitmap.Width()));
}

}  // namespace galerion
