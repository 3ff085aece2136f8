#include "image/colour_profile.h"

#include "image/jpeg_codec.h"
#include "image_test_support.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace galerion {
namespace {

using test::PatternBitmap;
using test::TTempFolder;

// Saturated colours, where Adobe RGB and sRGB differ most: the hue runs round the colour wheel
// from left to right, the value from top to bottom, without edges that JPEG would blur.
TBitmap32 SaturatedPhoto(int width = 96, int height = 64) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    const auto channel = [](double hue, double offset) {
        const double h = std::fmod(hue + offset, 6.0);
        return std::clamp(std::abs(h - 3.0) - 1.0, 0.0, 1.0);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double hue = 6.0 * x / width, value = 90 + 160.0 * y / (height - 1);
            const auto level = [&](double offset) {
                return static_cast<int>(std::lround(value * (0.1 + 0.9 * channel(hue, offset))));
            };
            bitmap.SetPixel(x, y, Color32(level(0), level(4), level(2)));
        }
    return bitmap;
}

// Root mean square difference per channel, in per cent of full scale.
double RmsPercent(const TBitmap32& a, const TBitmap32& b) {
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_EQ(a.Height(), b.Height());
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TColor32 p = a.Pixel(x, y), q = b.Pixel(x, y);
            for (int d : {RedOf(p) - RedOf(q), GreenOf(p) - GreenOf(q), BlueOf(p) - BlueOf(q)})
                sum += static_cast<double>(d) * d;
        }
    return 100.0 * std::sqrt(sum / (3.0 * static_cast<double>(a.PixelCount()))) / 255.0;
}

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Bits(), a.Bits() + a.PixelCount(), b.Bits());
}

TBitmap32 Loaded(const std::string& path, TColourProfiles mode = TColourProfiles::ToSrgb,
                 TPictureColour* colour = nullptr) {
    TBitmap32 bitmap;
    TPictureColour found = LoadPicture(bitmap, path, {mode, nullptr});
    if (colour) *colour = found;
    return bitmap;
}

// The profile in `chunks` APP2 segments of about equal size, numbered 1..count.
std::vector<TJpegSegment> SplitInto(const TIccProfile& profile, int chunks) {
    std::vector<TJpegSegment> segments;
    const std::size_t part = (profile.size() + chunks - 1) / static_cast<std::size_t>(chunks);
    for (int k = 0; k < chunks; ++k) {
        TJpegSegment segment{0xE2, {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0}};
        segment.data.push_back(static_cast<unsigned char>(k + 1));
        segment.data.push_back(static_cast<unsigned char>(chunks));
        const std::size_t from = std::min(profile.size(), k * part);
        const std::size_t to = std::min(profile.size(), from + part);
        segment.data.insert(segment.data.end(), profile.begin() + static_cast<long>(from),
                            profile.begin() + static_cast<long>(to));
        segments.push_back(std::move(segment));
    }
    return segments;
}

class AdobePhoto : public testing::Test {
protected:
    TTempFolder folder;
    const TBitmap32 original = SaturatedPhoto();
    const TIccProfile adobe = AdobeRgbProfile();
    const std::string plain = folder / "plain.jpg";    // the Adobe RGB pixels, no profile
    const std::string tagged = folder / "adobe.jpg";   // the same with the profile
    const std::string srgbCopy = folder / "srgb.jpg";  // the sRGB original as JPEG
    static constexpr int kQuality = 95;

    void SetUp() override {
        TBitmap32 inAdobe = SaturatedPhoto();
        ConvertFromSrgb(inAdobe, adobe);
        SaveJpeg(inAdobe, kQuality, plain);
        SaveJpeg(inAdobe, kQuality, tagged, {}, IccProfileSegments(adobe));
        SaveJpeg(original, kQuality, srgbCopy);
    }
};

TEST_F(AdobePhoto, ConvertedPixelsMatchTheSrgbOriginalWithinJpegNoise) {
    const double noise = RmsPercent(Loaded(srgbCopy), original);
    const double converted = RmsPercent(Loaded(tagged), original);
    const double ignored = RmsPercent(Loaded(tagged, TColourProfiles::Ignore), original);
    // The photo's 8-bit Adobe RGB steps add to the JPEG noise: a bit over one per cent in all.
    EXPECT_LT(converted, noise + 1.0) << "noise " << noise;
    EXPECT_GT(ignored, 3 * converted);  // what the browsers showed before
}

TEST_F(AdobePhoto, EachSettingDecidesPixelsAndProfile) {
    const TBitmap32 asStored = Loaded(plain, TColourProfiles::Ignore);
    TPictureColour colour;
    EXPECT_TRUE(SamePixels(Loaded(tagged, TColourProfiles::Ignore, &colour), asStored));
    EXPECT_TRUE(colour.Profile.empty());  // not even read
    EXPECT_TRUE(SamePixels(Loaded(tagged, TColourProfiles::Keep, &colour), asStored));
    EXPECT_EQ(colour.Profile, adobe);
    EXPECT_FALSE(SamePixels(Loaded(tagged, TColourProfiles::ToSrgb, &colour), asStored));
    EXPECT_EQ(colour.Profile, adobe);
    EXPECT_EQ(colour.Problem, "");
}

TEST_F(AdobePhoto, KeptProfileTravelsIntoAnOutputAndReadsBack) {
    TBitmap32 stored = Loaded(tagged, TColourProfiles::Keep);
    const std::string output = folder / "out.jpg";
    SaveJpeg(stored, kQuality, output, "record", IccProfileSegments(adobe));
    TPictureColour colour;
    const double noise = RmsPercent(Loaded(srgbCopy), original);
    EXPECT_LT(RmsPercent(Loaded(output, TColourProfiles::ToSrgb, &colour), original),
              2 * noise + 0.5);
    EXPECT_EQ(colour.Profile, adobe);
    EXPECT_EQ(ReadJpegComment(output), "record");
}

TEST_F(AdobePhoto, ProfileSplitOverChunksIsJoinedInSequenceOrder) {
    TBitmap32 inAdobe = SaturatedPhoto();
    ConvertFromSrgb(inAdobe, adobe);
    std::vector<TJpegSegment> chunks = SplitInto(adobe, 3);
    std::swap(chunks[0], chunks[2]);  // sequence numbers, not file order, decide
    const std::string split = folder / "split.jpg";
    SaveJpeg(inAdobe, kQuality, split, {}, chunks);
    EXPECT_TRUE(SamePixels(Loaded(split), Loaded(tagged)));
}

TEST_F(AdobePhoto, BrokenProfileSetCountsAsNone) {
    TBitmap32 inAdobe = SaturatedPhoto();
    ConvertFromSrgb(inAdobe, adobe);
    const TBitmap32 asStored = Loaded(plain, TColourProfiles::Ignore);
    std::vector<TJpegSegment> missing = SplitInto(adobe, 3);
    missing.erase(missing.begin() + 1);
    std::vector<TJpegSegment> twice = SplitInto(adobe, 2);
    twice[1].data[12] = 1;
    TJpegSegment garbage{0xE2, {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1}};
    for (int k = 0; k < 300; ++k) garbage.data.push_back(static_cast<unsigned char>(k * 7));
    const struct {
        const char* name;
        std::vector<TJpegSegment> segments;
        bool problem;
    } cases[] = {
        {"missing chunk", missing, false},
        {"sequence twice", twice, false},
        {"garbage profile", {garbage}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder / "broken.jpg";
        SaveJpeg(inAdobe, kQuality, path, {}, c.segments);
        TPictureColour colour;
        EXPECT_TRUE(SamePixels(Loaded(path, TColourProfiles::ToSrgb, &colour), asStored));
        EXPECT_TRUE(colour.Profile.empty());
        EXPECT_EQ(colour.Problem.empty(), !c.problem) << colour.Problem;
        EXPECT_TRUE(SamePixels(Loaded(path, TColourProfiles::Keep, &colour), asStored));
        EXPECT_TRUE(colour.Profile.empty());
    }
}

TEST_F(AdobePhoto, RowsAndFullDecodeAgree) {
    const TBitmap32 whole = Loaded(tagged);
    TBitmap32 rows;
    LoadPictureRows(rows, tagged, [](int, int) { return std::vector<int>{0, 5, 5, 63}; });
    ASSERT_EQ(rows.Height(), 4);
    for (int k = 0; k < 4; ++k) {
        const int y = std::vector<int>{0, 5, 5, 63}[static_cast<std::size_t>(k)];
        EXPECT_TRUE(
            std::equal(rows.ScanLine(k), rows.ScanLine(k) + rows.Width(), whole.ScanLine(y)))
            << "row " << y;
    }
}

// A profile made twice is one profile: no creation time in its header (bytes 24-35).
TEST(MadeProfiles, CarryNoCreationTime) {
    for (const TIccProfile& profile : {SrgbProfile(), AdobeRgbProfile(), GreyProfile(2.2)}) {
        ASSERT_GT(profile.size(), 36u);
        EXPECT_TRUE(std::all_of(profile.begin() + 24, profile.begin() + 36,
                                [](unsigned char b) { return b == 0; }));
    }
}

TEST(SrgbPhoto, StaysBitExact) {
    TTempFolder folder;
    const TBitmap32 photo = PatternBitmap(80, 60);
    const std::string plain = folder / "plain.jpg", tagged = folder / "tagged.jpg";
    SaveJpeg(photo, 90, plain);
    // Made once: a profile records the second it was made in.
    const TIccProfile srgb = SrgbProfile();
    SaveJpeg(photo, 90, tagged, {}, IccProfileSegments(srgb));
    TPictureColour colour;
    EXPECT_TRUE(SamePixels(Loaded(tagged, TColourProfiles::ToSrgb, &colour), Loaded(plain)));
    EXPECT_EQ(colour.Profile, srgb);
    EXPECT_EQ(colour.Problem, "");
}

TEST(GreyProfileOnAColourPhoto, IsNotUsed) {
    TTempFolder folder;
    const std::string path = folder / "mismatch.jpg";
    SaveJpeg(PatternBitmap(16, 16), 90, path, {}, IccProfileSegments(GreyProfile(1.0)));
    TPictureColour colour;
    Loaded(path, TColourProfiles::ToSrgb, &colour);
    EXPECT_TRUE(colour.Profile.empty());
    EXPECT_NE(colour.Problem, "");
}

TEST(IccChunks, JoinOnlyAWholeSet) {
    const std::vector<unsigned char> sig = {'I', 'C', 'C', '_', 'P', 'R',
                                            'O', 'F', 'I', 'L', 'E', 0};
    const auto chunk = [&](int seq, int count, std::vector<unsigned char> data) {
        std::vector<unsigned char> c = sig;
        c.push_back(static_cast<unsigned char>(seq));
        c.push_back(static_cast<unsigned char>(count));
        c.insert(c.end(), data.begin(), data.end());
        return c;
    };
    const std::vector<unsigned char> other = {'M', 'P', 'F', 0, 9};
    const struct {
        const char* name;
        std::vector<std::vector<unsigned char>> payloads;
        TIccProfile expected;
    } cases[] = {
        {"none", {}, {}},
        {"other APP2 only", {other}, {}},
        {"one chunk", {chunk(1, 1, {5, 6})}, {5, 6}},
        {"two out of order, other between",
         {chunk(2, 2, {7}), other, chunk(1, 2, {5, 6})},
         {5, 6, 7}},
        {"count zero", {chunk(0, 0, {5})}, {}},
        {"sequence beyond count", {chunk(2, 1, {5})}, {}},
        {"counts differ", {chunk(1, 2, {5}), chunk(2, 3, {6})}, {}},
        {"missing", {chunk(1, 3, {5}), chunk(3, 3, {6})}, {}},
        {"repeated", {chunk(1, 2, {5}), chunk(1, 2, {5})}, {}},
        {"header cut short", {std::vector<unsigned char>(sig.begin(), sig.end())}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(IccProfileFromChunks(c.payloads), c.expected) << c.name;
}

TEST(IccChunks, LargeProfileRoundTripsThroughSegments) {
    TIccProfile profile(200'000);
    for (std::size_t i = 0; i < profile.size(); ++i)
        profile[i] = static_cast<unsigned char>(i * 31);
    const std::vector<TJpegSegment> segments = IccProfileSegments(profile);
    ASSERT_EQ(segments.size(), 4u);
    std::vector<std::vector<unsigned char>> payloads;
    for (const TJpegSegment& s : segments) {
        EXPECT_EQ(s.marker, 0xE2);
        EXPECT_LE(s.data.size(), kMaxJpegComment);
        payloads.push_back(s.data);
    }
    EXPECT_EQ(IccProfileFromChunks(payloads), profile);
}

TEST(JpegSegments, OverlongOrForeignMarkerIsRefused) {
    TTempFolder folder;
    const TBitmap32 photo = PatternBitmap(8, 8);
    const TJpegSegment overlong{0xE1, std::vector<unsigned char>(65534, 1)};
    const TJpegSegment foreign{0xC0, {1, 2}};
    EXPECT_THROW(SaveJpeg(photo, 90, folder / "a.jpg", {}, {overlong}), ImageError);
    EXPECT_THROW(SaveJpeg(photo, 90, folder / "a.jpg", {}, {foreign}), ImageError);
    EXPECT_TRUE(test::NamesIn(folder).empty());
}

TEST(JpegSegments, AreWrittenAfterTheCommentInOrder) {
    TTempFolder folder;
    const std::string path = folder / "a.jpg";
    SaveJpeg(PatternBitmap(8, 8), 90, path, "note",
             {{0xE1, {'E', 'x', 'i', 'f', 0, 0}}, {0xE3, {'x'}}});
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t comment = bytes.find("\xFF\xFE");
    const std::size_t exif = bytes.find("\xFF\xE1");
    const std::size_t third = bytes.find("\xFF\xE3");
    ASSERT_NE(comment, std::string::npos);
    EXPECT_LT(comment, exif);
    EXPECT_LT(exif, third);
    EXPECT_LT(third, bytes.find("\xFF\xDA"));
    EXPECT_EQ(ReadJpegComment(path), "note");
}

TEST(SrgbConversion, KeepsItsTransformWhileTheProfileStays) {
    TSrgbConversion conversion;
    std::string problem;
    const TIccProfile adobe = AdobeRgbProfile();
    EXPECT_TRUE(conversion.Prepare(adobe, TSourcePixels::Bgra, problem));
    TColor32 green = Color32(0, 255, 0);
    conversion.Convert(&green, &green, 1);
    EXPECT_EQ(GreenOf(green), 255);
    EXPECT_EQ(RedOf(green), 0);  // Adobe green lies outside sRGB: clipped
    EXPECT_FALSE(conversion.Prepare(SrgbProfile(), TSourcePixels::Bgra, problem));
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(conversion.Prepare({1, 2, 3}, TSourcePixels::Bgra, problem));
    EXPECT_NE(problem, "");
    EXPECT_TRUE(conversion.Prepare(adobe, TSourcePixels::Bgra, problem));
    EXPECT_EQ(problem, "");
}

// Every 3rd value of each channel, the corners and the whole grey axis.
std::vector<TColor32> DenseGrid() {
    std::vector<TColor32> colours;
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 3) colours.push_back(Color32(r, g, b));
    for (int r : {0, 255})
        for (int g : {0, 255})
            for (int b : {0, 255}) colours.push_back(Color32(r, g, b));
    for (int v = 0; v < 256; ++v) colours.push_back(Color32(v, v, v));
    return colours;
}

int LargestChannelStep(const std::vector<TColor32>& a, const std::vector<TColor32>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int d : {RedOf(a[i]) - RedOf(b[i]), GreenOf(a[i]) - GreenOf(b[i]),
                      BlueOf(a[i]) - BlueOf(b[i])})
            largest = std::max(largest, std::abs(d));
    return largest;
}

TEST(SrgbConversion, TablesMatchTheTransformWithinOneStep) {
    std::string ignored;
    const struct {
        const char* name;
        TIccProfile profile;
    } cases[] = {
        {"Adobe RGB", AdobeRgbProfile()},
        {"Display P3", ProfileFromNclx({12, 13}, ignored)},
        {"BT.2020, wider than Adobe RGB", ProfileFromNclx({9, 1}, ignored)},
        {"DCI, white not D65", ProfileFromNclx({11, 13}, ignored)},
        {"sRGB primaries, linear", ProfileFromNclx({1, 8}, ignored)},
        {"P3, gamma 2.8", ProfileFromNclx({12, 5}, ignored)},
    };
    const std::vector<TColor32> grid = DenseGrid();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSrgbConversion tables, transform(TConversionEngine::TransformOnly);
        std::string problem;
        ASSERT_TRUE(tables.Prepare(c.profile, TSourcePixels::Bgra, problem));
        ASSERT_TRUE(transform.Prepare(c.profile, TSourcePixels::Bgra, problem));
        EXPECT_TRUE(tables.UsesTables());
        EXPECT_FALSE(transform.UsesTables());
        std::vector<TColor32> ours(grid.size()), theirs = grid;
        tables.Convert(grid.data(), ours.data(), static_cast<int>(grid.size()));
        transform.Convert(theirs.data(), theirs.data(), static_cast<int>(grid.size()));
        EXPECT_LE(LargestChannelStep(ours, theirs), 1);
        EXPECT_TRUE(
            std::all_of(ours.begin(), ours.end(), [](TColor32 p) { return AlphaOf(p) == 255; }));
    }
}

TEST(SrgbConversion, TablesConvertInPlaceAndAnyRowLength) {
    TSrgbConversion conversion;
    std::string problem;
    ASSERT_TRUE(conversion.Prepare(AdobeRgbProfile(), TSourcePixels::Bgra, problem));
    const std::vector<TColor32> grid = DenseGrid();
    std::vector<TColor32> whole(grid.size());
    conversion.Convert(grid.data(), whole.data(), static_cast<int>(grid.size()));
    for (int length : {1, 2, 3, 7}) {
        std::vector<TColor32> rows = grid;
        for (std::size_t from = 0; from < rows.size(); from += static_cast<std::size_t>(length))
            conversion.Convert(rows.data() + from, rows.data() + from,
                               static_cast<int>(std::min<std::size_t>(
                                   static_cast<std::size_t>(length), rows.size() - from)));
        EXPECT_EQ(rows, whole) << "rows of " << length;
    }
}

TEST(SrgbConversion, OtherPixelKindsKeepTheTransform) {
    TSrgbConversion conversion;
    std::string problem;
    ASSERT_TRUE(conversion.Prepare(GreyProfile(1.0), TSourcePixels::Grey, problem));
    EXPECT_FALSE(conversion.UsesTables());
    const unsigned char grey[] = {0, 128, 255};
    TColor32 out[3];
    conversion.Convert(grey, out, 3);
    EXPECT_EQ(out[0], Color32(0, 0, 0));
    EXPECT_GT(GreenOf(out[1]), 128);  // linear grey encoded brighter in sRGB
    EXPECT_EQ(out[2], Color32(255, 255, 255));
}

TEST(NclxColour, SrgbCodesNeedNoProfileOthersGetOne) {
    const struct {
        int primaries, transfer;
        bool profile, problem;
    } cases[] = {
        {1, 13, false, false},  // sRGB
        {1, 1, false, false},   // BT.709
        {2, 2, false, false},   // unspecified
        {12, 13, true, false},  // Display P3
        {9, 1, true, false},    // BT.2020
        {1, 8, true, false},    // linear
        {9, 16, true, true},    // BT.2020 with PQ: taken with the sRGB curve
        {22, 13, false, true},  // unknown primaries
    };
    for (const auto& c : cases) {
        std::string problem;
        const TIccProfile profile = ProfileFromNclx({c.primaries, c.transfer}, problem);
        EXPECT_EQ(!profile.empty(), c.profile) << c.primaries << "/" << c.transfer;
        EXPECT_EQ(!problem.empty(), c.problem) << c.primaries << "/" << c.transfer;
    }
    std::string problem;
    TSrgbConversion conversion;
    ASSERT_TRUE(
        conversion.Prepare(ProfileFromNclx({12, 13}, problem), TSourcePixels::Bgra, problem));
    TColor32 red = Color32(200, 0, 0);
    conversion.Convert(&red, &red, 1);
    EXPECT_GT(RedOf(red), 200);  // P3 red is more saturated than sRGB's
}

}  // namespace
}  // namespace galerion
