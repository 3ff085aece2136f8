#include "image/jpeg_codec.h"

#include "core/processing_log.h"
#include "image/resize.h"
#include "image/stretch_draw.h"
#include "image_test_support.h"
#include "platform/errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include <jpeglib.h>

namespace galerion {
namespace {

using test::TTempFolder;
using ::testing::HasSubstr;

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Encodes `components` samples per pixel from `pixel(x, y, samples)` with libjpeg itself, for
// the kinds of file the program only ever reads (CMYK, progressive, arithmetic-coded ...).
void WriteWithLibrary(const std::string& path, int width, int height, int components,
                      J_COLOR_SPACE space, const std::function<void(int, int, JSAMPLE*)>& pixel,
                      const std::function<void(jpeg_compress_struct&)>& configure) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    configure(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixel(x, y, row.data() + x * components);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

void ExpectNear(TColor32 actual, TColor32 expected, int tolerance) {
    EXPECT_NEAR(RedOf(actual), RedOf(expected), tolerance);
    EXPECT_NEAR(GreenOf(actual), GreenOf(expected), tolerance);
    EXPECT_NEAR(BlueOf(actual), BlueOf(expected), tolerance);
    EXPECT_EQ(AlphaOf(actual), 255);
}

TBitmap32 Solid(int width, int height, TColor32 colour) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    std::fill(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount(), colour);
    return bitmap;
}

class JpegCodecTest : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(JpegCodecTest, RoundTripKeepsSizeAndColourAndSetsAlpha) {
    // Alpha 0 in the raster: it is dropped on writing and 255 after reading.
    const TBitmap32 picture = Solid(37, 21, Color32(200, 100, 50, 0));
    const std::string path = folder.File("a.jpg");
    SaveJpeg(picture, 100, path);
    EXPECT_EQ(ReadJpegSize(path).Width, 37);
    EXPECT_EQ(ReadJpegSize(path).Height, 21);

    TBitmap32 loaded;
    loaded.StretchFilter = sfSpline;
    loaded.MasterAlpha = 10;
    LoadPicture(loaded, path);
    ASSERT_EQ(loaded.Width(), 37);
    ASSERT_EQ(loaded.Height(), 21);
    for (std::size_t k = 0; k < loaded.PixelCount(); ++k)
        ExpectNear(loaded.Bits()[k], Color32(200, 100, 50), 2);
    EXPECT_EQ(loaded.StretchFilter, sfSpline) << "attributes stay";
    EXPECT_EQ(loaded.MasterAlpha, 10);
}

TEST_F(JpegCodecTest, PublishesTheFinishedRowsAsItDecodes) {
    const std::string path = folder.File("rows.jpg");
    SaveJpeg(Solid(20, 50, Color32(10, 200, 30)), 90, path);
    TBitmap32 loaded;
    std::atomic<int> rows{-1};
    LoadPicture(loaded, path, &rows);
    EXPECT_EQ(rows.load(), 50);
    ExpectNear(loaded.Pixel(19, 49), Color32(10, 200, 30), 2);
}

// The raster goes to and from the library in its own byte order; the files and pixels must be
// those of the plain 24-bit RGB interface.
TEST_F(JpegCodecTest, SameBytesAndPixelsAsThePlainRgbInterface) {
    const TBitmap32 picture = test::PatternBitmap(45, 31, 9);
    SaveJpeg(picture, 90, folder.File("ours.jpg"));
    WriteWithLibrary(
        folder.File("plain.jpg"), 45, 31, 3, JCS_RGB,
        [&picture](int x, int y, JSAMPLE* s) {
            const TColor32 c = picture.Pixel(x, y);
            s[0] = static_cast<JSAMPLE>(RedOf(c)), s[1] = static_cast<JSAMPLE>(GreenOf(c)),
            s[2] = static_cast<JSAMPLE>(BlueOf(c));
        },
        [](jpeg_compress_struct& c) { jpeg_set_quality(&c, 90, TRUE); });
    EXPECT_EQ(ReadBytes(folder.File("ours.jpg")), ReadBytes(folder.File("plain.jpg")));

    TBitmap32 loaded;
    LoadPicture(loaded, folder.File("plain.jpg"));
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    std::FILE* file = std::fopen(folder.File("plain.jpg").c_str(), "rb");
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(45 * 3);
    for (int y = 0; y < 31; ++y) {
        JSAMPROW pointer = row.data();
        jpeg_read_scanlines(&cinfo, &pointer, 1);
        for (int x = 0; x < 45; ++x)
            ASSERT_EQ(loaded.Pixel(x, y), Color32(row[3 * x], row[3 * x + 1], row[3 * x + 2]))
                << x << "," << y;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

TEST_F(JpegCodecTest, SavedFileIsBaselineAndReplacesTheOldOne) {
    const std::string path = folder.File("a.jpg");
    WriteBytes(path, {'o', 'l', 'd'});
    SaveJpeg(Solid(8, 8, Color32(1, 2, 3)), 90, path);
    const std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    bool baselineFrame = false;
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k)
        baselineFrame |= bytes[k] == 0xFF && bytes[k + 1] == 0xC0;
    EXPECT_TRUE(baselineFrame);
    EXPECT_THAT(NamesIn(folder), ::testing::ElementsAre("a.jpg")) << "no temporary file left";
}

// The comment is one marker more and nothing else: the same header, tables and image data.
TEST_F(JpegCodecTest, ACommentIsOneMarkerAndChangesNothingElse) {
    const TBitmap32 picture = test::PatternBitmap(40, 30, 5);
    const std::string comment = "made from a.jpg; quality 80";
    SaveJpeg(picture, 80, folder.File("plain.jpg"));
    SaveJpeg(picture, 80, folder.File("noted.jpg"), comment);
    EXPECT_EQ(ReadJpegComment(folder.File("noted.jpg")), comment);
    EXPECT_EQ(ReadJpegComment(folder.File("plain.jpg")), "");

    std::vector<unsigned char> noted = ReadBytes(folder.File("noted.jpg"));
    const std::vector<unsigned char> marker = {0xFF, 0xFE, 0,
                                               static_cast<unsigned char>(comment.size() + 2)};
    const auto at = std::search(noted.begin(), noted.end(), marker.begin(), marker.end());
    ASSERT_NE(at, noted.end());
    noted.erase(at, at + static_cast<long>(marker.size() + comment.size()));
    EXPECT_EQ(noted, ReadBytes(folder.File("plain.jpg")));

    WriteBytes(folder.File("text.jpg"), {'n', 'o'});
    EXPECT_EQ(ReadJpegComment(folder.File("text.jpg")), "");
    EXPECT_EQ(ReadJpegComment(folder.File("missing.jpg")), "");
}

TEST_F(JpegCodecTest, QualityOutsideTheRangeTouchesNothing) {
    const std::string path = folder.File("a.jpg");
    WriteBytes(path, {'o', 'l', 'd'});
    for (int quality : {0, 101, -5}) {
        EXPECT_THROW(SaveJpeg(Solid(4, 4, 0), quality, path), RangeError);
        EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    }
    EXPECT_THROW(SaveJpeg(Solid(4, 4, 0), 0, folder.File("new.jpg")), RangeError);
    EXPECT_THAT(NamesIn(folder), ::testing::ElementsAre("a.jpg"));
    SaveJpeg(Solid(4, 4, 0), 100, folder.File("q100.jpg"));
    SaveJpeg(Solid(4, 4, 0), 1, folder.File("q1.jpg"));
}

TEST_F(JpegCodecTest, FailedEncodeLeavesThePreviousFileAndNoTemporary) {
    const std::string path = folder.File("a.jpg");
    WriteBytes(path, {'o', 'l', 'd'});
    try {
        SaveJpeg(TBitmap32(), 90, path);  // the library refuses an empty picture
        FAIL() << "an empty raster was encoded";
    } catch (const ImageError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Empty JPEG image"));
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_THAT(NamesIn(folder), ::testing::ElementsAre("a.jpg"));
    EXPECT_THROW(SaveJpeg(Solid(4, 4, 0), 90, folder.File("missing/a.jpg")), FileError);
}

TEST_F(JpegCodecTest, DecoderErrorCarriesTheLibrarysMessageAndTheProcessLives) {
    const std::string path = folder.File("text.jpg");
    WriteBytes(path, {'h', 'e', 'l', 'l', 'o'});
    TBitmap32 bitmap = Solid(2, 2, 7);
    try {
        LoadPicture(bitmap, path);
        FAIL() << "text decoded as a picture";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Not a JPEG file: starts with 0x68 0x65");
    }
    EXPECT_EQ(bitmap.Width(), 2) << "raster left as it was";
    EXPECT_EQ(bitmap.Pixel(1, 1), 7u);
    EXPECT_THROW(ReadJpegSize(path), ImageError);
    // Still alive, and the codec still works.
    SaveJpeg(bitmap, 90, folder.File("ok.jpg"));
    LoadPicture(bitmap, folder.File("ok.jpg"));
}

TEST_F(JpegCodecTest, OnlyRegularFilesAreOpened) {
    const std::string fifo = folder.File("pipe.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder.jpg"));
    TBitmap32 bitmap;
    for (const std::string& path : {fifo, folder.File("folder.jpg"), folder.File("missing.jpg")}) {
        EXPECT_THROW(LoadPicture(bitmap, path), FileError) << path;
        EXPECT_THROW(ReadJpegSize(path), FileError) << path;
    }
}

TEST_F(JpegCodecTest, DecompressionBombIsRefusedBeforeAllocation) {
    const std::string path = folder.File("bomb.jpg");
    SaveJpeg(Solid(16, 16, Color32(9, 9, 9)), 50, path);
    std::vector<unsigned char> bytes = ReadBytes(path);
    bool patched = false;
    for (std::size_t k = 0; k + 9 < bytes.size() && !patched; ++k)
        if (bytes[k] == 0xFF && bytes[k + 1] == 0xC0) {
            // Frame header: length (2), precision (1), height (2), width (2).
            bytes[k + 5] = 0xFF, bytes[k + 6] = 0xDC, bytes[k + 7] = 0xFF, bytes[k + 8] = 0xDC;
            patched = true;
        }
    ASSERT_TRUE(patched);
    WriteBytes(path, bytes);
    TBitmap32 bitmap;
    try {
        LoadPicture(bitmap, path);
        FAIL() << "65500 x 65500 accepted";
    } catch (const ImageError& e) {
        EXPECT_THAT(e.what(), HasSubstr("65500 x 65500"));
    }
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_THROW(ReadJpegSize(path), ImageError);
}

TEST_F(JpegCodecTest, TruncatedFileDecodesWithWhatItHas) {
    const std::string path = folder.File("cut.jpg");
    SaveJpeg(test::PatternBitmap(64, 64), 90, path);
    std::vector<unsigned char> bytes = ReadBytes(path);
    bytes.resize(bytes.size() / 2);
    WriteBytes(path, bytes);
    TBitmap32 bitmap;
    LoadPicture(bitmap, path);  // a warning, not an error
    EXPECT_EQ(bitmap.Width(), 64);
}

TEST_F(JpegCodecTest, ManyCorruptDataWarningsAreRefused) {
    const std::string path = folder.File("garbled.jpg");
    WriteWithLibrary(
        path, 256, 256, 3, JCS_RGB,
        [](int x, int y, JSAMPLE* s) { s[0] = x, s[1] = y, s[2] = x ^ y; },
        [](jpeg_compress_struct& c) { c.restart_interval = 1; });
    std::vector<unsigned char> bytes = ReadBytes(path);
    // Every restart marker gets the wrong number: the decoder warns and resynchronises each time.
    int markers = 0;
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k)
        if (bytes[k] == 0xFF && bytes[k + 1] >= 0xD0 && bytes[k + 1] <= 0xD7) {
            bytes[k + 1] = static_cast<unsigned char>(0xD0 + (bytes[k + 1] - 0xD0 + 4) % 8);
            ++markers;
        }
    ASSERT_GT(markers, 150);
    WriteBytes(path, bytes);
    TBitmap32 bitmap;
    try {
        LoadPicture(bitmap, path);
        FAIL() << "a file of garbled restart markers was accepted";
    } catch (const ImageError& e) {
        EXPECT_THAT(e.what(), HasSubstr("warnings"));
    }
}

TEST_F(JpegCodecTest, EndlessProgressiveScansAreStopped) {
    // One DC scan and one scan per AC coefficient and component: 190 scans, all valid.
    std::vector<jpeg_scan_info> script;
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int component = 0; component < 3; ++component)
        for (int k = 1; k < 64; ++k) script.push_back({1, {component, 0, 0, 0}, k, k, 0, 0});
    const std::string path = folder.File("scans.jpg");
    WriteWithLibrary(
        path, 32, 32, 3, JCS_RGB,
        [](int x, int y, JSAMPLE* s) { s[0] = x * 8, s[1] = y * 8, s[2] = 0; },
        [&script](jpeg_compress_struct& c) {
            c.scan_info = script.data();
            c.num_scans = static_cast<int>(script.size());
        });
    TBitmap32 bitmap;
    try {
        LoadPicture(bitmap, path);
        FAIL() << "190 scans decoded";
    } catch (const ImageError& e) {
        EXPECT_THAT(e.what(), HasSubstr("more than 100 scans"));
    }
}

TEST_F(JpegCodecTest, EveryKindOfPhotoDecodesToRgb) {
    const auto red = [](int, int, JSAMPLE* s) { s[0] = 230, s[1] = 20, s[2] = 40; };
    // Adobe CMYK is stored inverted: 255 means no ink. Red is no cyan, full magenta and yellow.
    const auto adobeRed = [](int, int, JSAMPLE* s) { s[0] = 255, s[1] = 0, s[2] = 0, s[3] = 255; };
    const auto grey = [](int, int, JSAMPLE* s) { s[0] = 120; };
    const auto none = [](jpeg_compress_struct&) {};
    const struct {
        const char* name;
        int components;
        J_COLOR_SPACE space;
        std::function<void(int, int, JSAMPLE*)> pixel;
        std::function<void(jpeg_compress_struct&)> configure;
        TColor32 expected;
    } cases[] = {
        {"progressive", 3, JCS_RGB, red,
         [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); }, Color32(230, 20, 40)},
        {"arithmetic", 3, JCS_RGB, red, [](jpeg_compress_struct& c) { c.arith_code = TRUE; },
         Color32(230, 20, 40)},
        {"greyscale", 1, JCS_GRAYSCALE, grey, none, Color32(120, 120, 120)},
        {"cmyk", 4, JCS_CMYK, adobeRed, none, Color32(255, 0, 0)},
        {"ycck", 4, JCS_CMYK, adobeRed,
         [](jpeg_compress_struct& c) { jpeg_set_colorspace(&c, JCS_YCCK); }, Color32(255, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(std::string(c.name) + ".jpg");
        WriteWithLibrary(path, 24, 16, c.components, c.space, c.pixel, c.configure);
        TBitmap32 bitmap;
        LoadPicture(bitmap, path);
        ASSERT_EQ(bitmap.Width(), 24);
        ASSERT_EQ(bitmap.Height(), 16);
        ExpectNear(bitmap.Pixel(5, 5), c.expected, 3);
        if (c.components == 1) {
            const TColor32 p = bitmap.Pixel(3, 3);
            EXPECT_TRUE(RedOf(p) == GreenOf(p) && GreenOf(p) == BlueOf(p));
        }
    }
}

// Segments put right after the start-of-image marker of a file written elsewhere.
void InsertSegments(const std::string& path, const std::vector<TJpegSegment>& segments) {
    std::vector<unsigned char> bytes = ReadBytes(path);
    std::vector<unsigned char> inserted;
    for (const TJpegSegment& s : segments) {
        const std::size_t length = s.data.size() + 2;
        inserted.insert(inserted.end(), {0xFF, static_cast<unsigned char>(s.marker),
                                         static_cast<unsigned char>(length >> 8),
                                         static_cast<unsigned char>(length & 0xFF)});
        inserted.insert(inserted.end(), s.data.begin(), s.data.end());
    }
    bytes.insert(bytes.begin() + 2, inserted.begin(), inserted.end());
    WriteBytes(path, bytes);
}

// A greyscale profile converts the grey samples themselves, in every decode path.
TEST_F(JpegCodecTest, GreyProfileConvertsTheGreys) {
    const std::string path = folder.File("grey.jpg");
    WriteWithLibrary(
        path, 64, 8, 1, JCS_GRAYSCALE,
        [](int x, int, JSAMPLE* s) { s[0] = static_cast<JSAMPLE>(x * 4); },
        [](jpeg_compress_struct&) {});
    InsertSegments(path, IccProfileSegments(GreyProfile(1.0)));  // linear: darks get lighter
    TBitmap32 converted, stored, rows;
    LoadPicture(converted, path);
    LoadPicture(stored, path, {TColourProfiles::Ignore, nullptr});
    const TColor32 c = converted.Pixel(16, 4), s = stored.Pixel(16, 4);
    EXPECT_GT(GreenOf(c), GreenOf(s) + 40);
    EXPECT_TRUE(RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c));
    EXPECT_EQ(AlphaOf(c), 255);
    LoadPictureRows(rows, path, [](int, int) { return std::vector<int>{4}; });
    EXPECT_TRUE(std::equal(rows.ScanLine(0), rows.ScanLine(0) + 64, converted.ScanLine(4)));
}

// Skipping rows nobody reads must not change a single pixel of the rows read, nor of the
// working thumbnail made from them, whatever the file's chroma layout. The photos are textured
// and of odd sizes, so partial blocks, the last rows and rows at block edges are all met.
TEST_F(JpegCodecTest, ChosenRowsAndNearestThumbnailsMatchTheFullDecode) {
    const auto texture = [](int components) {
        return [components](int x, int y, JSAMPLE* s) {
            for (int c = 0; c < components; ++c)
                s[c] = static_cast<JSAMPLE>((x * 7 + y * 13 + c * 50 + ((x * y) % 23) * 9) & 0xFF);
        };
    };
    const auto sampling = [](int h, int v) {
        return [h, v](jpeg_compress_struct& c) {
            c.comp_info[0].h_samp_factor = h;
            c.comp_info[0].v_samp_factor = v;
        };
    };
    const struct {
        const char* name;
        int components;
        J_COLOR_SPACE space;
        std::function<void(jpeg_compress_struct&)> configure;
    } layouts[] = {
        {"4:4:4", 3, JCS_RGB, sampling(1, 1)},
        {"4:2:2", 3, JCS_RGB, sampling(2, 1)},
        {"4:2:0", 3, JCS_RGB, sampling(2, 2)},
        {"grey", 1, JCS_GRAYSCALE, [](jpeg_compress_struct&) {}},
        {"4:4:0 (read row by row)", 3, JCS_RGB, sampling(1, 2)},
        {"progressive (read row by row)", 3, JCS_RGB,
         [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); }},
    };
    TProcessingLog log;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const std::string photo = folder.File("photo.jpg");
        WriteWithLibrary(photo, 997, 755, layout.components, layout.space,
                         texture(layout.components), layout.configure);
        TBitmap32 whole;
        LoadPicture(whole, photo);

        const std::vector<int> rows = {0,  1,  7,  8,   8,   15,  16,  17,
                                       31, 32, 33, 400, 401, 401, 753, 754};
        TBitmap32 chosen;
        LoadPictureRows(chosen, photo, [&](int width, int height) {
            EXPECT_EQ(width, 997);
            EXPECT_EQ(height, 755);
            return rows;
        });
        ASSERT_EQ(chosen.Width(), 997);
        ASSERT_EQ(chosen.Height(), static_cast<int>(rows.size()));
        for (size_t k = 0; k < rows.size(); ++k)
            ASSERT_TRUE(std::equal(chosen.ScanLine(static_cast<int>(k)),
                                   chosen.ScanLine(static_cast<int>(k)) + 997,
                                   whole.ScanLine(rows[k])))
                << "row " << rows[k];

        // Shrunk into the default box and enlarged into a box larger than the photo.
        for (const TFittedSize box : {TFittedSize{150, 100}, TFittedSize{1200, 1000}}) {
            const std::string fast = folder.File("fast.jpg"),
                              reference = folder.File("reference.jpg");
            MakeWorkingThumbnail(photo, fast, box.Width, box.Height, false, sfNearest, log);
            whole.StretchFilter = sfNearest;
            TBitmap32 thumbnail;
            const TFittedSize size =
                FittedSize(997, 755, FitScale(997, 755, box.Width, box.Height));
            thumbnail.SetSize(size.Width, size.Height);
            StretchDraw(whole, thumbnail, TRect{0, 0, size.Width, size.Height},
                        TRect{0, 0, 997, 755});
            SaveJpeg(thumbnail, kDefaultJpegQuality, reference);
            EXPECT_EQ(ReadBytes(fast), ReadBytes(reference)) << box.Width << " x " << box.Height;
        }
    }
}

TEST_F(JpegCodecTest, ChosenRowsOutsideThePictureAreRefused) {
    const std::string photo = folder.File("small.jpg");
    WriteWithLibrary(
        photo, 20, 10, 1, JCS_GRAYSCALE, [](int, int, JSAMPLE* s) { s[0] = 9; },
        [](jpeg_compress_struct&) {});
    TBitmap32 rows;
    EXPECT_THROW(LoadPictureRows(rows, photo,
                                 [](int, int) {
                                     return std::vector<int>{3, 10};
                                 }),
                 RangeError);
    EXPECT_THROW(LoadPictureRows(rows, photo,
                                 [](int, int) {
                                     return std::vector<int>{5, 4};
                                 }),
                 RangeError);
    LoadPictureRows(rows, photo, [](int, int) { return std::vector<int>{}; });
    EXPECT_TRUE(rows.Empty());
}

}  // namespace
}  // namespace galerion
