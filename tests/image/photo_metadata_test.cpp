#include "image/photo_metadata.h"

#include "image/orientation.h"
#include "image_test_support.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "support/files.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace galerion {
namespace {

using test::TTempFolder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using TBytes = std::vector<unsigned char>;

// ---- byte helpers: JPEG segments and TIFF structures built by hand ----

TBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const TBytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TBytes BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

TBytes Joined(TBytes a, const TBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A marker segment: FF, the marker, the length, the payload.
TBytes Segment(int marker, const TBytes& payload) {
    const std::size_t length = payload.size() + 2;
    TBytes out = {0xFF, static_cast<unsigned char>(marker), static_cast<unsigned char>(length >> 8),
                  static_cast<unsigned char>(length)};
    return Joined(out, payload);
}

TBytes ExifSegment(const TBytes& tiff) {
    return Segment(0xE1, Joined(TBytes{'E', 'x', 'i', 'f', 0, 0}, tiff));
}

TBytes XmpSegment(const std::string& packet) {
    return Segment(
        0xE1, Joined(BytesOf(std::string("http://ns.adobe.com/xap/1.0/\0", 29)), BytesOf(packet)));
}

// A real JPEG with the segments right after its start-of-image marker.
TBytes JpegWith(const TTempFolder& folder, const std::vector<TBytes>& segments) {
    const std::string plain = folder / "plain.jpg";
    test::WriteJpeg(plain, 8, 8);
    const TBytes jpeg = ReadBytes(plain);
    TBytes out(jpeg.begin(), jpeg.begin() + 2);
    for (const TBytes& segment : segments) out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// The hostile inputs also seed the fuzz target: with GALERION_FUZZ_SEEDS set to a folder, each
// is written there.
void KeepAsSeed(const std::string& name, const TBytes& jpeg) {
    if (const char* folder = std::getenv("GALERION_FUZZ_SEEDS"))
        WriteBytes(std::string(folder) + "/" + name, jpeg);
}

class TLittleEndian {
public:
    TLittleEndian& U16(std::uint32_t v) { return Put(v, 2); }
    TLittleEndian& U32(std::uint32_t v) { return Put(v, 4); }
    TLittleEndian& Text(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    // One directory entry.
    TLittleEndian& Entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                         std::uint32_t value) {
        return U16(tag).U16(type).U32(count).U32(value);
    }
    TBytes bytes;

private:
    TLittleEndian& Put(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
};

constexpr std::uint16_t kAscii = 2, kShort = 3, kLong = 4;
constexpr std::uint16_t kArtist = 0x013B, kCopyright = 0x8298, kOrientation = 0x0112,
                        kExifPointer = 0x8769;

// "II*\0", IFD0 at offset 8.
TLittleEndian TiffHeader() {
    TLittleEndian t;
    t.Text(std::string("II*\0", 4)).U32(8);
    return t;
}

// A TIFF whose IFD0 holds one entry with its value inline.
TBytes TiffWithEntry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                     std::uint32_t value) {
    return TiffHeader().U16(1).Entry(tag, type, count, value).U32(0).bytes;
}

// The tags of IFD0 of a little-endian TIFF (what the copyright payload holds).
std::vector<std::uint16_t> Ifd0Tags(const TBytes& tiff) {
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::uint16_t>(tiff[at] | tiff[at + 1] << 8);
    };
    std::vector<std::uint16_t> tags;
    const std::size_t count = u16(8);
    for (std::size_t i = 0; i < count; ++i) tags.push_back(u16(10 + 12 * i));
    return tags;
}

bool IsEmptyRecord(const TPhotoMetadata& m) {
    return m.orientationTag == 0 && m.dateTaken == 0 && m.titles.empty() &&
           m.descriptions.empty() && m.objectName.empty() && m.caption.empty() &&
           m.imageDescription.empty() && m.keywords.empty() && m.artist.empty() &&
           m.copyright.empty();
}

class PhotoMetadataTest : public ::testing::Test {
protected:
    // A small photo with the tags written by the metadata library.
    std::string PhotoWith(const TMetadataEdits& edits) {
        const std::string path = folder_ / ("photo" + std::to_string(++photos_) + ".jpg");
        test::WriteJpeg(path, 16, 8);
        WriteMetadataTags(path, edits);
        return path;
    }
    TPhotoMetadata Read(const TMetadataEdits& edits) { return ReadPhotoMetadata(PhotoWith(edits)); }
    TPhotoMetadata ReadJpeg(const std::vector<TBytes>& segments) {
        return DecodeMetadata(JpegMetadataBlocks(JpegWith(folder_, segments)));
    }

    TTempFolder folder_;
    int photos_ = 0;
};

// ---- orientation ----

// Where a stored pixel (sx, sy) appears in the upright picture of size w x h, by the meaning of
// each EXIF tag (which side of the upright picture the stored 0th row and 0th column are).
struct TExifLayout {
    int tag;
    bool transposed;  // the stored picture is h x w
    std::function<std::pair<int, int>(int sx, int sy, int w, int h)> upright;
};

const TExifLayout kLayouts[] = {
    {1, false,
     [](int sx, int sy, int, int) {
         return std::pair{sx, sy};
     }},  // top, left
    {2, false,
     [](int sx, int sy, int w, int) {
         return std::pair{w - 1 - sx, sy};
     }},  // top, right
    {3, false,
     [](int sx, int sy, int w, int h) {
         return std::pair{w - 1 - sx, h - 1 - sy};
     }},
    {4, false,
     [](int sx, int sy, int, int h) {
         return std::pair{sx, h - 1 - sy};
     }},  // bottom, left
    {5, true,
     [](int sx, int sy, int, int) {
         return std::pair{sy, sx};
     }},  // left, top
    {6, true,
     [](int sx, int sy, int w, int) {
         return std::pair{w - 1 - sy, sx};
     }},  // right, top
    {7, true,
     [](int sx, int sy, int w, int h) {
         return std::pair{w - 1 - sy, h - 1 - sx};
     }},
    {8, true,
     [](int sx, int sy, int, int h) {
         return std::pair{sy, h - 1 - sx};
     }},  // left, bottom
};

TEST_F(PhotoMetadataTest, EachOrientationTagShowsThePictureUpright) {
    const TBitmap32 upright = test::BitmapOf({{test::Grey(10), test::Grey(20), test::Grey(30)},
                                              {test::Grey(40), test::Grey(50), test::Grey(60)}});
    const int w = upright.Width(), h = upright.Height();
    for (const TExifLayout& layout : kLayouts) {
        SCOPED_TRACE("tag " + std::to_string(layout.tag));
        const TPhotoMetadata m =
            Read({.exif = {{"Exif.Image.Orientation", std::to_string(layout.tag)}}});
        ASSERT_EQ(m.orientationTag, layout.tag);
        TBitmap32 stored;
        stored.SetSize(layout.transposed ? h : w, layout.transposed ? w : h);
        for (int sy = 0; sy < stored.Height(); ++sy)
            for (int sx = 0; sx < stored.Width(); ++sx) {
                const auto [ux, uy] = layout.upright(sx, sy, w, h);
                stored.SetPixel(sx, sy, upright.Pixel(ux, uy));
            }
        ApplyOrientation(stored, OrientationCodeFromExif(m.orientationTag));
        EXPECT_EQ(test::RowsOf(stored), test::RowsOf(upright));
    }
}

TEST_F(PhotoMetadataTest, OutOfRangeOrientationTagsGiveNoTurn) {
    for (const char* tag : {"0", "9", "65535"}) {
        const TPhotoMetadata m = Read({.exif = {{"Exif.Image.Orientation", tag}}});
        EXPECT_EQ(OrientationCodeFromExif(m.orientationTag), 1) << tag;
    }
    EXPECT_EQ(OrientationCodeFromExif(Read({}).orientationTag), 1);
    EXPECT_EQ(OrientationCodeFromExif(-6), 1);
}

TEST_F(PhotoMetadataTest, WronglyTypedOrEmptyOrientationTagIsMissing) {
    const struct {
        const char* name;
        TBytes tiff;
    } cases[] = {
        {"ASCII \"6\"", TiffWithEntry(kOrientation, kAscii, 2, '6')},
        {"LONG 6", TiffWithEntry(kOrientation, kLong, 1, 6)},
        {"SHORT, no value", TiffWithEntry(kOrientation, kShort, 0, 0)},
        {"unknown type", TiffWithEntry(kOrientation, 99, 1, 6)},
    };
    for (const auto& c : cases) {
        const TPhotoMetadata m = DecodeMetadata({.exif = c.tiff});
        EXPECT_EQ(m.orientationTag, 0) << c.name;
        EXPECT_EQ(OrientationCodeFromExif(m.orientationTag), 1) << c.name;
    }
    EXPECT_EQ(DecodeMetadata({.exif = TiffWithEntry(kOrientation, kShort, 1, 6)}).orientationTag,
              6);
}

TEST_F(PhotoMetadataTest, BigEndianExifIsReadToo) {
    const TBytes tiff = {'M',  'M',  0, '*', 0,   0,   0,   8,                   // header
                         0,    2,                                                // two entries
                         0x01, 0x12, 0, 3,   0,   0,   0,   1,   0,   6, 0, 0,   // Orientation 6
                         0x01, 0x3B, 0, 2,   0,   0,   0,   6,   0,   0, 0, 38,  // Artist at 38
                         0,    0,    0, 0,   'A', 'l', 'i', 'c', 'e', 0};
    const TPhotoMetadata m = DecodeMetadata({.exif = tiff});
    EXPECT_THAT(m.problems, IsEmpty());
    EXPECT_EQ(m.orientationTag, 6);
    EXPECT_EQ(m.artist, "Alice");
}

// ---- date taken ----

TDateTime Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s});
}

TEST_F(PhotoMetadataTest, DateTakenComesFromTheFirstSourceThatHoldsARealDate) {
    const char* kOriginal = "Exif.Photo.DateTimeOriginal";
    const char* kDigitized = "Exif.Photo.DateTimeDigitized";
    const char* kXmpDate = "Xmp.photoshop.DateCreated";
    const char* kIptcDate = "Iptc.Application2.DateCreated";
    const char* kIptcTime = "Iptc.Application2.TimeCreated";
    const struct {
        const char* name;
        TMetadataEdits edits;
        TDateTime expected;
    } cases[] = {
        {"original",
         {.exif = {{kOriginal, "2004:05:06 07:08:09"}, {kDigitized, "2001:01:01 00:00:00"}}},
         Date(2004, 5, 6, 7, 8, 9)},
        {"digitized",
         {.exif = {{kDigitized, "2003:02:01 23:59:58"}}},
         Date(2003, 2, 1, 23, 59, 58)},
        {"all zeros",
         {.exif = {{kOriginal, "0000:00:00 00:00:00"}, {kDigitized, "2003:02:01 10:00:00"}}},
         Date(2003, 2, 1, 10)},
        {"blanks",
         {.exif = {{kOriginal, "    :  :     :  :  "}, {kDigitized, "2003:02:01 10:00:00"}}},
         Date(2003, 2, 1, 10)},
        {"month 13",
         {.exif = {{kOriginal, "2004:13:01 10:00:00"}}, .xmp = {{kXmpDate, "2010-01-02"}}},
         Date(2010, 1, 2)},
        {"31 April",
         {.exif = {{kOriginal, "2004:04:31 10:00:00"}}, .xmp = {{kXmpDate, "2010-01-02"}}},
         Date(2010, 1, 2)},
        {"29 February of a leap year",
         {.exif = {{kOriginal, "2004:02:29 12:00:00"}}},
         Date(2004, 2, 29, 12)},
        {"hour 24", {.exif = {{kOriginal, "2004:01:01 24:00:00"}}}, 0},
        {"xmp, zone ignored",
         {.xmp = {{kXmpDate, "2011-04-05T06:07:08+02:00"}}},
         Date(2011, 4, 5, 6, 7, 8)},
        {"xmp, fraction and Z",
         {.xmp = {{kXmpDate, "2011-04-05T06:07:08.25Z"}}},
         Date(2011, 4, 5, 6, 7, 8)},
        {"xmp, minutes only", {.xmp = {{kXmpDate, "2011-04-05T06:07"}}}, Date(2011, 4, 5, 6, 7)},
        {"xmp before iptc",
         {.iptc = {{kIptcDate, "2012-03-04"}}, .xmp = {{kXmpDate, "2011-04-05"}}},
         Date(2011, 4, 5)},
        {"iptc date and time",
         {.iptc = {{kIptcDate, "2012-03-04"}, {kIptcTime, "10:20:30+01:00"}}},
         Date(2012, 3, 4, 10, 20, 30)},
        {"iptc date alone", {.iptc = {{kIptcDate, "2012-03-04"}}}, Date(2012, 3, 4)},
        {"broken xmp, then iptc",
         {.iptc = {{kIptcDate, "2012-03-04"}}, .xmp = {{kXmpDate, "2011-02-30"}}},
         Date(2012, 3, 4)},
        {"exif before xmp",
         {.exif = {{kOriginal, "2004:05:06 07:08:09"}}, .xmp = {{kXmpDate, "2011-04-05"}}},
         Date(2004, 5, 6, 7, 8, 9)},
        {"none", {}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.edits).dateTaken, c.expected) << c.name;
}

// ---- titles ----

TEST_F(PhotoMetadataTest, TitleIsTheFirstTextThatIsNoCameraPlaceholder) {
    const struct {
        const char* name;
        TMetadataEdits edits;
        std::string expected;
    } cases[] = {
        {"dc:title before the object name",
         {.iptc = {{"Iptc.Application2.ObjectName", "Object"}},
          .xmp = {{"Xmp.dc.title", "lang=\"x-default\" Harbour"}}},
         "Harbour"},
        {"object name before the descriptions",
         {.exif = {{"Exif.Image.ImageDescription", "Described"}},
          .iptc = {{"Iptc.Application2.ObjectName", "Object"}}},
         "Object"},
        {"dc:description",
         {.exif = {{"Exif.Image.ImageDescription", "Described"}},
          .xmp = {{"Xmp.dc.description", "lang=\"x-default\" Evening"}}},
         "Evening"},
        {"caption",
         {.iptc = {{"Iptc.Application2.Caption", "  Gulls\tand\nboats  "}}},
         "Gulls and boats"},
        {"image description",
         {.exif = {{"Exif.Image.ImageDescription", "Described"}}},
         "Described"},
        {"camera placeholder skipped",
         {.exif = {{"Exif.Image.ImageDescription", "OLYMPUS DIGITAL CAMERA         "}},
          .iptc = {{"Iptc.Application2.Caption", "Quay"}}},
         "Quay"},
        {"only placeholders",
         {.exif = {{"Exif.Image.ImageDescription", "SONY DSC"}},
          .iptc = {{"Iptc.Application2.Caption", "   "}}},
         ""},
        {"placeholder in any letter case", {.exif = {{"Exif.Image.ImageDescription", "dcim"}}}, ""},
        {"invalid UTF-8 dropped",
         {.exif = {{"Exif.Image.ImageDescription", "Caf\xE9"}},
          .iptc = {{"Iptc.Application2.Caption", "Kept"}}},
         "Kept"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileTitle(Read(c.edits)), c.expected) << c.name;
}

TEST_F(PhotoMetadataTest, AlternativeTitleIsTheTextInTheGivenLanguage) {
    const TPhotoMetadata m = Read({.xmp = {{"Xmp.dc.title", "lang=\"x-default\" Harbour"},
                                           {"Xmp.dc.title", "lang=\"de-DE\" Hafen"},
                                           {"Xmp.dc.title", "lang=\"fr\" Port"},
                                           {"Xmp.dc.description", "lang=\"x-default\" Evening"},
                                           {"Xmp.dc.description", "lang=\"it\" Sera"}}});
    EXPECT_EQ(FileTitle(m), "Harbour");
    EXPECT_EQ(FileAltTitle(m, "de"), "Hafen");
    EXPECT_EQ(FileAltTitle(m, "DE"), "Hafen");
    EXPECT_EQ(FileAltTitle(m, "de-de"), "Hafen");
    EXPECT_EQ(FileAltTitle(m, "fr"), "Port");
    EXPECT_EQ(FileAltTitle(m, "it"), "Sera");  // from the description
    EXPECT_EQ(FileAltTitle(m, "d"), "");       // a prefix of a code is no match
    EXPECT_EQ(FileAltTitle(m, "es"), "");
    EXPECT_EQ(FileAltTitle(m, ""), "");
}

TEST_F(PhotoMetadataTest, ExactLanguageWinsOverARegionalOne) {
    const TPhotoMetadata m = Read({.xmp = {{"Xmp.dc.title", "lang=\"de-CH\" Hafen CH"},
                                           {"Xmp.dc.title", "lang=\"de\" Hafen"}}});
    EXPECT_EQ(FileAltTitle(m, "de"), "Hafen");
    EXPECT_EQ(FileAltTitle(m, "de-ch"), "Hafen CH");
}

// ---- keywords ----

TEST_F(PhotoMetadataTest, KeywordsFromAllThreeSourcesOnceEachFirstSpellingKept) {
    const std::string path =
        PhotoWith({.iptc = {{"Iptc.Application2.Keywords", "boat"},
                            {"Iptc.Application2.Keywords", " Harbour "},
                            {"Iptc.Application2.Keywords", "ÉTÉ"}},
                   .xmp = {{"Xmp.dc.subject", "Sea"},
                           {"Xmp.dc.subject", "Boat"},
                           {"Xmp.dc.subject", "été"},
                           {"Xmp.lr.hierarchicalSubject", "Places|Europe|harbour"},
                           {"Xmp.lr.hierarchicalSubject", "Animals|Gull"}}});
    KeepAsSeed("keywords.jpg", ReadBytes(path));
    const TPhotoMetadata m = ReadPhotoMetadata(path);
    EXPECT_THAT(m.keywords, ElementsAre("Sea", "Boat", "été", "Harbour", "Gull"));
}

// ---- artist and copyright ----

TEST_F(PhotoMetadataTest, ArtistAndCopyrightFromExifElseFromXmp) {
    const TPhotoMetadata exif = Read(
        {.exif = {{"Exif.Image.Artist", "Ann Example"}, {"Exif.Image.Copyright", "(c) 2020 Ann"}},
         .xmp = {{"Xmp.dc.creator", "Other"},
                 {"Xmp.dc.rights", "lang=\"x-default\" Other rights"}}});
    EXPECT_EQ(exif.artist, "Ann Example");
    EXPECT_EQ(exif.copyright, "(c) 2020 Ann");
    const TPhotoMetadata xmp =
        Read({.xmp = {{"Xmp.dc.creator", "Ann"},
                      {"Xmp.dc.creator", "Bob"},
                      {"Xmp.dc.rights", "lang=\"x-default\" All rights reserved"}}});
    EXPECT_EQ(xmp.artist, "Ann, Bob");
    EXPECT_EQ(xmp.copyright, "All rights reserved");
}

TEST_F(PhotoMetadataTest, CopyrightPayloadsCarryOnlyArtistAndCopyright) {
    const std::string sourcePath =
        PhotoWith({.exif = {{"Exif.Image.Artist", "Ann <Example> & Co"},
                            {"Exif.Image.Copyright", "© 2020 Ann"},
                            {"Exif.Image.Orientation", "6"},
                            {"Exif.Photo.DateTimeOriginal", "2004:05:06 07:08:09"},
                            {"Exif.GPSInfo.GPSLatitudeRef", "N"}},
                   .xmp = {{"Xmp.dc.title", "lang=\"x-default\" Harbour"}}});
    KeepAsSeed("camera.jpg", ReadBytes(sourcePath));
    const TPhotoMetadata source = ReadPhotoMetadata(sourcePath);
    EXPECT_EQ(source.orientationTag, 6);
    const TBytes exif = CopyrightExifPayload(source.artist, source.copyright);
    const TBytes xmp = CopyrightXmpPayload(source.artist, source.copyright);
    ASSERT_THAT(exif, Not(IsEmpty()));
    EXPECT_THAT(Ifd0Tags(TBytes(exif.begin() + 6, exif.end())), ElementsAre(kArtist, kCopyright));

    for (const TBytes& payload : {exif, xmp}) {
        const TPhotoMetadata back = ReadJpeg({Segment(0xE1, payload)});
        EXPECT_THAT(back.problems, IsEmpty());
        EXPECT_EQ(back.artist, "Ann <Example> & Co");
        EXPECT_EQ(back.copyright, "© 2020 Ann");
        EXPECT_EQ(back.orientationTag, 0);
        EXPECT_EQ(back.dateTaken, 0);
        EXPECT_THAT(back.titles, IsEmpty());
    }
    const std::string packet(xmp.begin() + 29, xmp.end());
    EXPECT_THAT(packet, Not(::testing::HasSubstr("title")));
}

TEST_F(PhotoMetadataTest, CopyrightPayloadsOfOneTextOrNone) {
    EXPECT_THAT(CopyrightExifPayload("", ""), IsEmpty());
    EXPECT_THAT(CopyrightXmpPayload("", "  "), IsEmpty());
    const TBytes artistOnly = CopyrightExifPayload("Al", "");  // short enough to sit inline
    EXPECT_THAT(Ifd0Tags(TBytes(artistOnly.begin() + 6, artistOnly.end())), ElementsAre(kArtist));
    const TPhotoMetadata back = ReadJpeg({Segment(0xE1, artistOnly)});
    EXPECT_EQ(back.artist, "Al");
    EXPECT_EQ(back.copyright, "");
    EXPECT_EQ(ReadJpeg({Segment(0xE1, CopyrightXmpPayload("", "Mine"))}).copyright, "Mine");
}

TEST_F(PhotoMetadataTest, LongTextsStillFitOneSegment) {
    for (const std::string& text : {std::string(70000, 'a'), std::string(70000, '&')}) {
        SCOPED_TRACE(text.substr(0, 1));
        for (const TBytes& payload :
             {CopyrightExifPayload(text, text), CopyrightXmpPayload(text, text)}) {
            EXPECT_LE(payload.size(), 65533u);
            EXPECT_THAT(ReadJpeg({Segment(0xE1, payload)}).artist, Not(IsEmpty()));
        }
    }
}

// ---- hostile blocks ----

struct THostileCase {
    const char* name;
    TBytes segment;
};

std::vector<THostileCase> HostileSegments() {
    const std::string secret = "/etc/hostname";
    std::vector<THostileCase> cases;
    // IFD0 with an Artist, whose EXIF pointer leads back to IFD0.
    cases.push_back(
        {"ifd_loop", ExifSegment(TiffHeader()
                                     .U16(2)
                                     .Entry(kArtist, kAscii, 4, 'A' | 'n' << 8 | 'n' << 16)
                                     .Entry(kExifPointer, kLong, 1, 8)
                                     .U32(0)
                                     .bytes)});
    cases.push_back(
        {"ifd_chain_loop", ExifSegment(TiffHeader()
                                           .U16(1)
                                           .Entry(kArtist, kAscii, 4, 'A' | 'n' << 8 | 'n' << 16)
                                           .U32(8)
                                           .bytes)});
    cases.push_back(
        {"ifd_past_end",
         ExifSegment(TLittleEndian().Text(std::string("II*\0", 4)).U32(0xFFFFFF00).bytes)});
    cases.push_back(
        {"value_past_end",
         ExifSegment(TiffHeader().U16(1).Entry(kArtist, kAscii, 100, 0xFFFFFFF0).U32(0).bytes)});
    cases.push_back(
        {"count_overflow",
         ExifSegment(TiffHeader().U16(1).Entry(kCopyright, 12, 0x40000000, 26).U32(0).bytes)});
    cases.push_back({"entries_past_end",
                     ExifSegment(TiffHeader().U16(500).Entry(kArtist, kAscii, 4, 'A').bytes)});
    cases.push_back({"exif_not_tiff", ExifSegment(BytesOf(std::string("XX*\0garbage", 11)))});
    cases.push_back(
        {"xmp_invalid_utf8",
         XmpSegment("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                    "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                    "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                    "dc:format=\"\xFF\xFE\"/></rdf:RDF></x:xmpmeta>")});
    const std::string lolz =
        "<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
        "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>";
    const std::string titled =
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title><rdf:Alt><rdf:li "
        "xml:lang=\"x-default\">&d;</rdf:li></rdf:Alt></dc:title></rdf:Description></rdf:RDF></"
        "x:xmpmeta>";
    cases.push_back({"xmp_entity_expansion", XmpSegment(lolz + titled)});
    cases.push_back({"xmp_outside_file", XmpSegment("<!DOCTYPE x [<!ENTITY d SYSTEM \"file://" +
                                                    secret + "\">]>" + titled)});
    cases.push_back(
        {"xmp_outside_dtd", XmpSegment("<!DOCTYPE x SYSTEM \"file://" + secret + "\">" + titled)});
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    cases.push_back({"xmp_deep", XmpSegment(deep)});
    cases.push_back({"xmp_not_xml", XmpSegment("<x:xmpmeta <<<<")});
    // An IPTC keyword dataset longer than the block.
    const TBytes iim = {0x1C, 2, 25, 0x10, 0x00, 'k', 'e', 'y'};
    TBytes resource =
        BytesOf(std::string("Photoshop 3.0\0"
                            "8BIM\x04\x04\0\0",
                            22));
    resource = Joined(resource, {0, 0, 0, static_cast<unsigned char>(iim.size())});
    cases.push_back({"iptc_past_end", Segment(0xED, Joined(resource, iim))});
    TBytes bigResource =
        BytesOf(std::string("Photoshop 3.0\0"
                            "8BIM\x04\x04\0\0",
                            22));
    cases.push_back(
        {"photoshop_past_end", Segment(0xED, Joined(bigResource, {0x7F, 0, 0, 0, 0x1C}))});
    return cases;
}

TEST_F(PhotoMetadataTest, HostileBlocksGiveAnEmptyRecordAndAProblem) {
    for (const THostileCase& c : HostileSegments()) {
        SCOPED_TRACE(c.name);
        const TBytes jpeg = JpegWith(folder_, {c.segment});
        KeepAsSeed(std::string(c.name) + ".jpg", jpeg);
        const TPhotoMetadata m = DecodeMetadata(JpegMetadataBlocks(jpeg));
        EXPECT_TRUE(IsEmptyRecord(m));
        EXPECT_THAT(m.problems, Not(IsEmpty()));
        EXPECT_EQ(FileTitle(m), "");
    }
}

TEST_F(PhotoMetadataTest, BlocksOverTheirCapsAreDropped) {
    TBytes exif = TiffWithEntry(kArtist, kAscii, 4, 'A' | 'n' << 8 | 'n' << 16);
    ASSERT_EQ(DecodeMetadata({.exif = exif}).artist, "Ann");
    exif.resize(kMaxExifBlockBytes + 1);
    const TBytes keyword = {0x1C, 2, 25, 0, 3, 'k', 'e', 'y'};
    ASSERT_THAT(DecodeMetadata({.iptc = keyword}).keywords, ElementsAre("key"));
    TBytes iptc = keyword;
    iptc.resize(kMaxIptcBlockBytes + 1);
    std::string manyElements = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">";
    for (int i = 0; i < 60000; ++i) manyElements += "<a/>";
    manyElements += "</x:xmpmeta>";
    const TMetadataBlocks cases[] = {{.exif = exif}, {.iptc = iptc}, {.xmp = manyElements}};
    for (const TMetadataBlocks& blocks : cases) {
        const TPhotoMetadata m = DecodeMetadata(blocks);
        EXPECT_TRUE(IsEmptyRecord(m));
        EXPECT_THAT(m.problems, Not(IsEmpty()));
    }
}

TEST_F(PhotoMetadataTest, A65535EntryDirectoryIsRefused) {
    TLittleEndian tiff = TiffHeader();
    tiff.U16(65535);
    for (int i = 0; i < 65535; ++i) tiff.Entry(kArtist, kAscii, 4, 'A');
    tiff.U32(0);
    const TPhotoMetadata m = DecodeMetadata({.exif = tiff.bytes});
    EXPECT_TRUE(IsEmptyRecord(m));
    EXPECT_THAT(m.problems, Not(IsEmpty()));
}

TEST_F(PhotoMetadataTest, LargestXmpPacketOfUnclosedTagsIsRefusedInOnePass) {
    std::string packet;
    while (packet.size() < kMaxXmpBlockBytes - 3) packet += "<a ";
    const TPhotoMetadata m = DecodeMetadata({.xmp = packet});
    EXPECT_TRUE(IsEmptyRecord(m));
    EXPECT_THAT(m.problems, Not(IsEmpty()));
    EXPECT_THAT(DecodeMetadata({.xmp = packet + "<a><a>"}).problems,
                Not(IsEmpty()));  // over the cap
}

TEST_F(PhotoMetadataTest, OneBadBlockLeavesTheOthers) {
    const TPhotoMetadata m = ReadJpeg(
        {ExifSegment(TiffHeader().U16(1).Entry(kArtist, kAscii, 100, 0xFFFFFFF0).U32(0).bytes),
         Segment(0xE1, CopyrightXmpPayload("Ann", ""))});
    EXPECT_EQ(m.artist, "Ann");
    EXPECT_EQ(m.problems.size(), 1u);
}

TEST_F(PhotoMetadataTest, SixteenMebibytesOfSegmentsAreNotRead) {
    std::vector<TBytes> segments(260, Segment(0xE2, TBytes(65533, 'x')));
    segments.push_back(Segment(0xE1, CopyrightExifPayload("Ann", "Mine")));
    const std::string path = folder_ / "huge.jpg";
    WriteBytes(path, JpegWith(folder_, segments));
    const TPhotoMetadata m = ReadPhotoMetadata(path);
    EXPECT_TRUE(IsEmptyRecord(m));
    EXPECT_THAT(m.problems, Not(IsEmpty()));
    // Just below the cap the same block is read.
    segments.erase(segments.begin(), segments.begin() + 10);
    WriteBytes(path, JpegWith(folder_, segments));
    EXPECT_EQ(ReadPhotoMetadata(path).artist, "Ann");
}

TEST_F(PhotoMetadataTest, BytesThatAreNoJpegGiveNothing) {
    for (const TBytes& bytes :
         {TBytes{}, TBytes{0xFF}, BytesOf("not a picture"), TBytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00}}) {
        const TMetadataBlocks blocks = JpegMetadataBlocks(bytes);
        EXPECT_TRUE(blocks.exif.empty() && blocks.xmp.empty() && blocks.iptc.empty());
        EXPECT_TRUE(IsEmptyRecord(DecodeMetadata(blocks)));
    }
    EXPECT_THROW(ReadPhotoMetadata(folder_ / "missing.jpg"), FileError);
}

TEST_F(PhotoMetadataTest, BlocksStopAtTheImageData) {
    const std::string path = PhotoWith({.exif = {{"Exif.Image.Artist", "Ann"}}});
    TBytes jpeg = ReadBytes(path);
    // A second EXIF block behind the image data is never seen.
    jpeg = Joined(jpeg, ExifSegment(TiffWithEntry(kOrientation, kShort, 1, 6)));
    const TPhotoMetadata m = DecodeMetadata(JpegMetadataBlocks(jpeg));
    EXPECT_EQ(m.artist, "Ann");
    EXPECT_EQ(m.orientationTag, 0);
}

}  // namespace
}  // namespace galerion
