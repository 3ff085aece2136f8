#include "image/colour_profile.h"

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include <lcms2.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The tables for a matrix-shaper RGB profile into sRGB. Perceptual and relative colorimetric
// are one mapping for such profiles, and black-point compensation changes nothing when both
// blacks are at zero; the agreement check below confirms both for each profile.
//
// Fixed point: a source sample's linear light times one matrix column, in units of
// 2^-kColumnBits. With |coefficient| <= kMaxCoefficient and linear light <= kMaxLinear, the
// sum of three stays below 3 * 8 * 2 * 2^24 < 2^31. The sum shifted down is linear light in
// units of 2^-kLinearBits, the index of the encoding table (14 bits keep the sRGB slope near
// black at a fifth of an output step per index).
constexpr int kColumnBits = 24;
constexpr int kLinearBits = 14;
constexpr int kShift = kColumnBits - kLinearBits;
constexpr std::int32_t kLinearMax = 1 << kLinearBits;
constexpr double kMaxCoefficient = 8.0;
constexpr double kMaxLinear = 2.0;

// One source sample's share of the output red, green and blue (the fourth is padding, so
// that an entry is one aligned 16-byte load).
struct alignas(16) TColumnShare {
    std::array<std::int32_t, 4> rgb;
};

struct TShaperTables {
    std::array<std::array<TColumnShare, 256>, 3> shares;  // by source channel: red, green, blue
    std::array<std::uint8_t, kLinearMax + 1> encode;      // linear light to the sRGB sample
};

using TMatrix = std::array<std::array<double, 3>, 3>;

TMatrix Product(const TMatrix& a, const TMatrix& b) {
    TMatrix p{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) p[i][j] += a[i][k] * b[k][j];
    return p;
}

std::optional<TMatrix> Inverse(const TMatrix& m) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!std::isfinite(det) || std::abs(det) < 1e-9) return std::nullopt;
    TMatrix inv{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            // The cofactor of m[j][i], by the cyclic rule.
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            inv[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    return inv;
}

constexpr cmsTagSignature kColorantTags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                              cmsSigBlueColorantTag};
constexpr cmsTagSignature kCurveTags[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

// Device RGB to the connection space: the colorants as columns, as lcms reads them.
std::optional<TMatrix> ColorantMatrix(cmsHPROFILE profile) {
    TMatrix m{};
    for (int c = 0; c < 3; ++c) {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, kColorantTags[c]));
        if (!xyz) return std::nullopt;
        m[0][c] = xyz->X, m[1][c] = xyz->Y, m[2][c] = xyz->Z;
    }
    return m;
}

// lcms takes a lookup table of the profile over its matrix when there is one.
bool HasLookupTables(cmsHPROFILE profile) {
    for (cmsTagSignature tag : {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigDToB0Tag,
                                cmsSigDToB1Tag, cmsSigDToB2Tag})
        if (cmsIsTag(profile, tag)) return true;
    return false;
}

bool FillShares(cmsHPROFILE source, const TMatrix& toSrgb, TShaperTables& tables) {
    for (const auto& row : toSrgb)
        for (double v : row)
            if (!std::isfinite(v) || std::abs(v) > kMaxCoefficient) return false;
    for (int c = 0; c < 3; ++c) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(source, kCurveTags[c]));
        if (!curve) return false;
        for (int v = 0; v < 256; ++v) {
            const double linear =
                cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v / 255.0));
            if (!(linear >= 0 && linear <= kMaxLinear)) return false;  // also NaN
            TColumnShare& share =
                tables.shares[static_cast<std::size_t>(c)][static_cast<std::size_t>(v)];
            for (int k = 0; k < 3; ++k)
                share.rgb[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(
                    std::lround(toSrgb[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)] *
                                linear * (1 << kColumnBits)));
            // The red share carries the rounding of the shift for all three.
            if (c == 0)
                for (int k = 0; k < 3; ++k)
                    share.rgb[static_cast<std::size_t>(k)] += 1 << (kShift - 1);
            share.rgb[3] = 0;
        }
    }
    return true;
}

// sRGB's three curves are one; its inverse encodes linear light.
bool FillEncoding(cmsHPROFILE srgb, TShaperTables& tables) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
    if (!curve) return false;
    const TCurve inverse(cmsReverseToneCurve(curve));
    if (!inverse) return false;
    for (std::int32_t i = 0; i <= kLinearMax; ++i) {
        const double encoded = cmsEvalToneCurveFloat(
            inverse.get(), static_cast<cmsFloat32Number>(static_cast<double>(i) / kLinearMax));
        tables.encode[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(encoded, 0.0, 1.0)));
    }
    return true;
}

inline std::uint32_t Encoded(const TShaperTables& tables, std::int32_t sum) {
    return tables.encode[static_cast<std::size_t>(std::clamp(sum >> kShift, 0, kLinearMax))];
}

// The hot loops: three table rows added, three encodings; no checks inside.
void ConvertPortable(const TShaperTables& tables, const TColor32* in, TColor32* out, int count) {
    const auto& reds = tables.shares[0];
    const auto& greens = tables.shares[1];
    const auto& blues = tables.shares[2];
    for (int i = 0; i < count; ++i) {
        const TColor32 c = in[i];
        const TColumnShare& r = reds[(c >> 16) & 0xFF];
        const TColumnShare& g = greens[(c >> 8) & 0xFF];
        const TColumnShare& b = blues[c & 0xFF];
        const std::int32_t red = r.rgb[0] + g.rgb[0] + b.rgb[0];
        const std::int32_t green = r.rgb[1] + g.rgb[1] + b.rgb[1];
        const std::int32_t blue = r.rgb[2] + g.rgb[2] + b.rgb[2];
        out[i] = 0xFF000000u | (Encoded(tables, red) << 16) | (Encoded(tables, green) << 8) |
                 Encoded(tables, blue);
    }
}

#if defined(__SSE2__)
// A pixel's three sums in one register: the rows are added as vectors. On x86 a pixel's
// bytes in memory are blue, green, red, alpha.
inline __m128i SumsOf(const TShaperTables& tables, const TColor32* pixel) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pixel);
    const auto row = [](const TColumnShare& share) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(share.rgb.data()));
    };
    return _mm_add_epi32(
        _mm_add_epi32(row(tables.shares[0][bytes[2]]), row(tables.shares[1][bytes[1]])),
        row(tables.shares[2][bytes[0]]));
}

inline TColor32 EncodedPixel(const TShaperTables& tables, const std::uint16_t* indices) {
    const auto at = [&](int k) { return std::uint32_t{tables.encode[indices[k]]}; };
    return 0xFF000000u | (at(0) << 16) | (at(1) << 8) | at(2);
}

// Two pixels at a time: their sums shifted, packed to 16 bits and clamped together. The same
// numbers as the portable loop (the pack saturates only far outside the clamp).
void ConvertWithTables(const TShaperTables& tables, const TColor32* in, TColor32* out, int count) {
    const __m128i low = _mm_setzero_si128(), high = _mm_set1_epi16(kLinearMax);
    alignas(16) std::uint16_t indices[8];
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128i first = _mm_srai_epi32(SumsOf(tables, in + i), kShift);
        const __m128i second = _mm_srai_epi32(SumsOf(tables, in + i + 1), kShift);
        _mm_store_si128(reinterpret_cast<__m128i*>(indices),
                        _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(first, second), low), high));
        out[i] = EncodedPixel(tables, indices);
        out[i + 1] = EncodedPixel(tables, indices + 4);
    }
    ConvertPortable(tables, in + i, out + i, count - i);
}
#else
void ConvertWithTables(const TShaperTables& tables, const TColor32* in, TColor32* out, int count) {
    ConvertPortable(tables, in, out, count);
}
#endif

// Every 15th value of each channel (corners included) and the whole grey axis.
std::vector<TColor32> CheckColours() {
    std::vector<TColor32> colours;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) colours.push_back(Color32(r, g, b));
    for (int v = 0; v < 256; ++v) colours.push_back(Color32(v, v, v));
    return colours;
}

bool AgreesWithTransform(const TShaperTables& tables, cmsHTRANSFORM transform) {
    const std::vector<TColor32> in = CheckColours();
    std::vector<TColor32> ours(in.size()), theirs(in);
    ConvertWithTables(tables, in.data(), ours.data(), static_cast<int>(in.size()));
    cmsDoTransform(transform, in.data(), theirs.data(), static_cast<cmsUInt32Number>(in.size()));
    for (std::size_t i = 0; i < in.size(); ++i)
        if (!Near(RedOf(ours[i]), RedOf(theirs[i])) ||
            !Near(GreenOf(ours[i]), GreenOf(theirs[i])) ||
            !Near(BlueOf(ours[i]), BlueOf(theirs[i])))
            return false;
    return true;
}

// The tables for `source`, or null where lcms's transform stays: no matrix-shaper RGB
// profile, coefficients out of range, or any colour off by more than one step.
std::unique_ptr<TShaperTables> MakeShaperTables(cmsHPROFILE source, cmsHPROFILE srgb,
                                                cmsHTRANSFORM transform) {
    if (!cmsIsMatrixShaper(source) || HasLookupTables(source)) return nullptr;
    const std::optional<TMatrix> from = ColorantMatrix(source);
    const std::optional<TMatrix> to = ColorantMatrix(srgb);
    if (!from || !to) return nullptr;
    const std::optional<TMatrix> toInverse = Inverse(*to);
    if (!toInverse) return nullptr;
    auto tables = std::make_unique<TShaperTables>();
    if (!FillShares(source, Product(*toInverse, *from), *tables) || !FillEncoding(srgb, *tables) ||
        !AgreesWithTransform(*tables, transform))
        return nullptr;
    return tables;
}
}  // namespace

// The last profile seen and what came of it.
struct TSrgbConversion::TState {
    TConversionEngine engine = TConversionEngine::Tables;
    TContext context = MakeContext();
    TProfile srgb{cmsCreate_sRGBProfileTHR(context.get())};
    TIccProfile profile;
    TSourcePixels pixels = TSourcePixels::Bgra;
    bool known = false;  // profile and pixels hold what the members below were made for
    TTransform transform;
    std::unique_ptr<TShaperTables> tables;  // when set, Convert runs on these
    bool converts = false;
    std::string problem;

    void Build() {
        transform.reset();
        tables.reset();
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
        if (!converts) {
            transform.reset();
            return;
        }
        if (engine == TConversionEngine::Tables && pixels == TSourcePixels::Bgra)
            tables = MakeShaperTables(source.get(), srgb.get(), transform.get());
    }
};

TSrgbConversion::TSrgbConversion(TConversionEngine engine) : state_(std::make_unique<TState>()) {
    if (!state_->srgb) throw ImageError("Cannot make the sRGB profile");
    state_->engine = engine;
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
    if (state_->tables) {
        ConvertWithTables(*state_->tables, static_cast<const TColor32*>(in), out, count);
        return;
    }
    // lcms leaves the alpha byte of its output alone.
    if (state_->pixels != TSourcePixels::Bgra) std::fill(out, out + count, Color32(0, 0, 0));
    cmsDoTransform(state_->transform.get(), in, out, static_cast<cmsUInt32Number>(count));
}

bool TSrgbConversion::UsesTables() const { return state_->converts && state_->tables; }

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

constexpr std::size_t kHeaderDateStart = 24, kHeaderDateEnd = 36;

TIccProfile SaveProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile, nullptr, &size) || size == 0)
        throw ImageError("Cannot make a colour profile");
    TIccProfile bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
        throw ImageError("Cannot make a colour profile");
    bytes.resize(size);
    // The header's creation time (bytes 24-35) is left empty, so that a profile made twice is
    // the same profile: one transform serves both, and outputs that carry it stay the same.
    if (bytes.size() >= kHeaderDateEnd)
        std::fill(bytes.begin() + kHeaderDateStart, bytes.begin() + kHeaderDateEnd, 0);
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
