#include "image/jpeg_codec.h"

#include "image/heif_codec.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace galerion {

namespace {

// A crafted progressive file can declare thousands of scans and keep the decoder busy for a
// minute; photos have at most a dozen.
constexpr int kMaxScans = 100;
// Recoverable corrupt-data warnings tolerated before the file counts as garbage.
constexpr int kMaxWarnings = 100;
// Cap on libjpeg's own working memory (coefficient buffers of progressive files).
constexpr long kMaxDecoderMemory = 1L << 30;
constexpr int kRowsPerRead = 16;

// libjpeg's default error exit ends the process. This one records the library's message and
// jumps back into the step function that called the library; that function returns false and
// its caller raises the exception, so no longjmp ever crosses a C++ frame with destructors.
struct TErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX + 80];
    int warnings;
};

TErrorManager& ErrorOf(j_common_ptr cinfo) { return *reinterpret_cast<TErrorManager*>(cinfo->err); }

[[noreturn]] void JumpOut(j_common_ptr cinfo) { std::longjmp(ErrorOf(cinfo).jump, 1); }

void OnErrorExit(j_common_ptr cinfo) {
    (*cinfo->err->format_message)(cinfo, ErrorOf(cinfo).message);
    JumpOut(cinfo);
}

void OnEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace messages
    TErrorManager& error = ErrorOf(cinfo);
    ++error.pub.num_warnings;
    if (++error.warnings > kMaxWarnings) {
        std::snprintf(error.message, sizeof error.message,
                      "Corrupt JPEG data: more than %d warnings", kMaxWarnings);
        JumpOut(cinfo);
    }
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    const int scans = reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number;
    if (scans > kMaxScans) {
        std::snprintf(ErrorOf(cinfo).message, sizeof ErrorOf(cinfo).message,
                      "JPEG data has more than %d scans", kMaxScans);
        JumpOut(cinfo);
    }
}

void InstallErrorManager(TErrorManager& error) {
    jpeg_std_error(&error.pub);
    error.pub.error_exit = OnErrorExit;
    error.pub.emit_message = OnEmitMessage;
    error.pub.output_message = OnOutputMessage;
    error.message[0] = '\0';
    error.warnings = 0;
}

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// How decoded rows reach the raster.
enum class TRowForm {
    Direct,  // the library writes B, G, R, A bytes straight into the raster row
    Grey,    // one sample per pixel
    Rgb,     // three samples
    Cmyk,    // four samples, Adobe-inverted or plain
};

struct TDecodeSession {
    TErrorManager error;
    jpeg_progress_mgr progress;
    jpeg_decompress_struct cinfo;
    TFilePtr file;
    TRowForm form = TRowForm::Direct;
    std::vector<JSAMPLE> rows;  // staging rows for the converted forms
    bool keepProfile = false;   // the APP2 markers are kept for the colour profile
    // Non-null when the rows are converted to sRGB as they are decoded.
    const TSrgbConversion* conversion = nullptr;

    explicit TDecodeSession(TFilePtr f) : error(), progress(), cinfo(), file(std::move(f)) {
        InstallErrorManager(error);
        cinfo.err = &error.pub;
    }
    ~TDecodeSession() { jpeg_destroy_decompress(&cinfo); }  // safe on a zeroed or failed object
    TDecodeSession(const TDecodeSession&) = delete;
    TDecodeSession& operator=(const TDecodeSession&) = delete;

    [[noreturn]] void Raise() const { throw ImageError(error.message); }
};

bool ReadHeaderStep(TDecodeSession& s) {
    if (setjmp(s.error.jump)) return false;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    s.progress.progress_monitor = OnProgress;
    s.cinfo.progress = &s.progress;
    jpeg_stdio_src(&s.cinfo, s.file.get());
    if (s.keepProfile) jpeg_save_markers(&s.cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&s.cinfo, TRUE);
    return true;
}

bool StartStep(TDecodeSession& s) {
    if (setjmp(s.error.jump)) return false;
    jpeg_start_decompress(&s.cinfo);
    return true;
}

inline int Scale255(int a, int b) { return (a * b + 127) / 255; }

void ConvertRow(TRowForm form, bool adobeInverted, const JSAMPLE* in, TColor32* out, int width) {
    switch (form) {
        case TRowForm::Direct: break;
        case TRowForm::Grey:
            for (int x = 0; x < width; ++x) out[x] = Color32(in[x], in[x], in[x]);
            break;
        case TRowForm::Rgb:
            for (int x = 0; x < width; ++x, in += 3) out[x] = Color32(in[0], in[1], in[2]);
            break;
        case TRowForm::Cmyk:
            for (int x = 0; x < width; ++x, in += 4) {
                // Adobe writes the inks inverted: a stored value of 255 means no ink.
                const int c = adobeInverted ? in[0] : 255 - in[0];
                const int m = adobeInverted ? in[1] : 255 - in[1];
                const int y = adobeInverted ? in[2] : 255 - in[2];
                const int k = adobeInverted ? in[3] : 255 - in[3];
                out[x] = Color32(Scale255(c, k), Scale255(m, k), Scale255(y, k));
            }
            break;
    }
}

// A decoded row into the raster, through the colour conversion when there is one: staged grey
// and CMYK samples go straight into it, RGB is converted where it lies.
void FinishRow(const TDecodeSession& s, const JSAMPLE* in, TColor32* out, int width) {
    const bool staged = s.form == TRowForm::Grey || s.form == TRowForm::Cmyk;
    if (s.conversion && staged) {
        s.conversion->Convert(in, out, width);
        return;
    }
    ConvertRow(s.form, s.cinfo.saw_Adobe_marker, in, out, width);
    if (s.conversion) s.conversion->Convert(out, out, width);
}

bool ReadRowsStep(TDecodeSession& s, TColor32* bits, int width, std::atomic<int>* rowsDone) {
    if (setjmp(s.error.jump)) return false;
    const int samplesPerPixel = s.cinfo.output_components;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const JDIMENSION first = s.cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(kRowsPerRead, s.cinfo.output_height - first);
        JSAMPROW rows[kRowsPerRead];
        for (JDIMENSION r = 0; r < count; ++r) {
            rows[r] = s.form == TRowForm::Direct
                          ? reinterpret_cast<JSAMPROW>(bits + (first + r) *
                                                                  static_cast<std::size_t>(width))
                          : s.rows.data() + r * static_cast<std::size_t>(width) * samplesPerPixel;
        }
        const JDIMENSION read = jpeg_read_scanlines(&s.cinfo, rows, count);
        for (JDIMENSION r = 0; r < read; ++r)
            FinishRow(s, rows[r], bits + (first + r) * static_cast<std::size_t>(width), width);
        if (rowsDone) {
            rowsDone->store(static_cast<int>(first + read), std::memory_order_release);
            rowsDone->notify_all();
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

// Rows of the chosen list, skipping the picture rows between them. Kept apart from the setjmp
// frame so that none of its loop variables live across the jump.
void ReadChosenRows(TDecodeSession& s, TColor32* bits, int width, const std::vector<int>& chosen,
                    bool skip) {
    const std::size_t count = chosen.size();
    std::size_t k = 0;
    while (k < count) {
        const JDIMENSION wanted = static_cast<JDIMENSION>(chosen[k]);
        TColor32* out = bits + k * static_cast<std::size_t>(width);
        JSAMPROW row = s.form == TRowForm::Direct ? reinterpret_cast<JSAMPROW>(out) : s.rows.data();
        while (s.cinfo.output_scanline < wanted) {
            if (skip) {
                jpeg_skip_scanlines(&s.cinfo, wanted - s.cinfo.output_scanline);
            } else {
                jpeg_read_scanlines(&s.cinfo, &row, 1);  // read and dropped
            }
        }
        jpeg_read_scanlines(&s.cinfo, &row, 1);
        FinishRow(s, row, out, width);
        std::size_t next = k + 1;
        for (; next < count && chosen[next] == chosen[k]; ++next)
            std::memcpy(bits + next * static_cast<std::size_t>(width), out,
                        static_cast<std::size_t>(width) * sizeof(TColor32));
        k = next;
    }
    // Skipping to the end reads no further; damage after the last row read goes unnoticed (the
    // library reports damaged image data only as warnings anyway).
    const JDIMENSION rest = s.cinfo.output_height - s.cinfo.output_scanline;
    if (rest > 0) jpeg_skip_scanlines(&s.cinfo, rest);
    jpeg_finish_decompress(&s.cinfo);
}

bool ReadChosenRowsStep(TDecodeSession& s, TColor32* bits, int width,
                        const std::vector<int>& chosen, bool skip) {
    if (setjmp(s.error.jump)) return false;
    ReadChosenRows(s, bits, width, chosen, skip);
    return true;
}

// Layouts whose skipped rows are known to leave the rows read exactly as a full decode gives
// them: single-pass files, grey or YCbCr with chroma at full, half-width or half-size
// resolution. Anything else reads every row.
bool SkippingKeepsPixels(const jpeg_decompress_struct& cinfo) {
    if (cinfo.progressive_mode || cinfo.arith_code) return false;
    if (cinfo.num_components == 1) return cinfo.jpeg_color_space == JCS_GRAYSCALE;
    if (cinfo.num_components != 3 || cinfo.jpeg_color_space != JCS_YCbCr) return false;
    const jpeg_component_info* c = cinfo.comp_info;
    for (int i = 1; i < 3; ++i)
        if (c[i].h_samp_factor != 1 || c[i].v_samp_factor != 1) return false;
    const int h = c[0].h_samp_factor, v = c[0].v_samp_factor;
    return (h == 1 && v == 1) || (h == 2 && v == 1) || (h == 2 && v == 2);
}

void CheckPictureSize(const jpeg_decompress_struct& cinfo) {
    const std::uint64_t pixels = static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height;
    if (pixels > kMaxPicturePixels)
        throw ImageError("Picture too large: " + std::to_string(cinfo.image_width) + " x " +
                         std::to_string(cinfo.image_height) + " pixels, the limit is " +
                         std::to_string(kMaxPicturePixels / 1'000'000) + " megapixels");
}

// Opens and reads the header; the picture's size is checked before the decoder allocates.
void OpenSession(TDecodeSession& s) {
    if (!ReadHeaderStep(s)) s.Raise();
    CheckPictureSize(s.cinfo);
}

void ChooseOutput(TDecodeSession& s) {
    switch (s.cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            // Same colour conversion as plain RGB output, only the byte order differs.
            if (kLittleEndian) {
                s.cinfo.out_color_space = JCS_EXT_BGRA;
                s.form = TRowForm::Direct;
            } else {
                s.cinfo.out_color_space = JCS_RGB;
                s.form = TRowForm::Rgb;
            }
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            s.cinfo.out_color_space = JCS_CMYK;
            s.form = TRowForm::Cmyk;
            break;
        default: s.form = s.cinfo.num_components == 1 ? TRowForm::Grey : TRowForm::Rgb; break;
    }
    // A greyscale profile converts the grey samples themselves.
    if (s.conversion && s.cinfo.jpeg_color_space == JCS_GRAYSCALE) {
        s.cinfo.out_color_space = JCS_GRAYSCALE;
        s.form = TRowForm::Grey;
    }
}

std::optional<TSourcePixels> PixelsOf(const jpeg_decompress_struct& cinfo) {
    switch (cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE: return TSourcePixels::Grey;
        case JCS_YCbCr:
        case JCS_RGB: return TSourcePixels::Bgra;
        case JCS_CMYK:
        case JCS_YCCK:
            return cinfo.saw_Adobe_marker ? TSourcePixels::CmykInverted : TSourcePixels::Cmyk;
        default: return std::nullopt;
    }
}

TIccProfile SavedProfile(const jpeg_decompress_struct& cinfo) {
    std::vector<std::vector<unsigned char>> payloads;
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 2) payloads.emplace_back(m->data, m->data + m->data_length);
    return IccProfileFromChunks(payloads);
}

// Checks the photo's profile and, with ToSrgb, readies the session's conversion (`own` holds
// one made for this photo).
TPictureColour PrepareColour(const TIccProfile& profile, std::optional<TSourcePixels> pixels,
                             const TColourDecoding& colour, std::unique_ptr<TSrgbConversion>& own,
                             const TSrgbConversion*& conversion) {
    TPictureColour result;
    result.Profile = profile;
    if (result.Profile.empty() || colour.Mode == TColourProfiles::Ignore) return result;
    if (!pixels) {
        result.Problem = "the colour profile is for a colour space that is not supported";
        result.Profile.clear();
        return result;
    }
    TSrgbConversion* converter = colour.Conversion;
    if (!converter) {
        own = std::make_unique<TSrgbConversion>();
        converter = own.get();
    }
    const bool converts = converter->Prepare(result.Profile, *pixels, result.Problem);
    if (!result.Problem.empty()) result.Profile.clear();
    if (converts && colour.Mode == TColourProfiles::ToSrgb) conversion = converter;
    return result;
}

void PublishRows(std::atomic<int>* rowsDone, int rows) {
    if (!rowsDone) return;
    rowsDone->store(rows, std::memory_order_release);
    rowsDone->notify_all();
}

TPictureColour LoadHeifPicture(TBitmap32& bitmap, const std::string& path,
                               const TColourDecoding& colour, std::atomic<int>* rowsDone) {
    const THeifColour found = LoadHeif(bitmap, path);
    std::string nclxProblem;
    TIccProfile profile;
    if (colour.Mode != TColourProfiles::Ignore)
        profile = !found.Icc.empty() ? found.Icc
                  : found.HasNclx    ? ProfileFromNclx(found.Nclx, nclxProblem)
                                     : TIccProfile{};
    std::unique_ptr<TSrgbConversion> own;
    const TSrgbConversion* conversion = nullptr;
    TPictureColour result = PrepareColour(profile, TSourcePixels::Bgra, colour, own, conversion);
    if (result.Problem.empty()) result.Problem = nclxProblem;
    if (conversion)
        for (int y = 0; y < bitmap.Height(); ++y)
            conversion->Convert(bitmap.ScanLine(y), bitmap.ScanLine(y), bitmap.Width());
    PublishRows(rowsDone, bitmap.Height());
    return result;
}

void CheckOutputComponents(const TDecodeSession& s) {
    const int expected = s.form == TRowForm::Direct ? 4
                         : s.form == TRowForm::Grey ? 1
                         : s.form == TRowForm::Rgb  ? 3
                                                    : 4;
    if (s.cinfo.output_components != expected)
        throw ImageError("Unsupported JPEG colour space with " +
                         std::to_string(s.cinfo.output_components) + " components");
}

}  // namespace

TPictureColour LoadPicture(TBitmap32& bitmap, const std::string& path,
                           const TColourDecoding& colour, std::atomic<int>* rowsDone) {
    if (IsHeifFile(path)) return LoadHeifPicture(bitmap, path, colour, rowsDone);
    TDecodeSession session(OpenRegularFile(path));
    session.keepProfile = colour.Mode != TColourProfiles::Ignore;
    OpenSession(session);
    std::unique_ptr<TSrgbConversion> own;
    TPictureColour result = PrepareColour(SavedProfile(session.cinfo), PixelsOf(session.cinfo),
                                          colour, own, session.conversion);
    ChooseOutput(session);
    if (!StartStep(session)) session.Raise();
    CheckOutputComponents(session);
    const int width = static_cast<int>(session.cinfo.output_width);
    const int height = static_cast<int>(session.cinfo.output_height);
    if (session.form != TRowForm::Direct)
        session.rows.resize(static_cast<std::size_t>(width) * session.cinfo.output_components *
                            kRowsPerRead);
    bitmap.SetSizeForOverwrite(width, height);
    if (!ReadRowsStep(session, bitmap.Bits(), width, rowsDone)) session.Raise();
    return result;
}

void LoadPicture(TBitmap32& bitmap, const std::string& path, std::atomic<int>* rowsDone) {
    LoadPicture(bitmap, path, TColourDecoding{}, rowsDone);
}

namespace {

void CheckChosenRows(const std::vector<int>& chosen, int height) {
    if (!std::is_sorted(chosen.begin(), chosen.end()) ||
        (!chosen.empty() && (chosen.front() < 0 || chosen.back() >= height)))
        throw RangeError("Rows to decode must be ascending and inside the picture");
}

// HEIF is decoded whole; the chosen rows are copied out of it.
void LoadHeifRows(TBitmap32& bitmap, const std::string& path, const TRowChooser& chooseRows,
                  const TColourDecoding& colour) {
    TBitmap32 whole;
    LoadPicture(whole, path, colour);
    const std::vector<int> chosen = chooseRows(whole.Width(), whole.Height());
    CheckChosenRows(chosen, whole.Height());
    bitmap.SetSizeForOverwrite(whole.Width(), static_cast<int>(chosen.size()));
    for (std::size_t k = 0; k < chosen.size(); ++k)
        std::copy_n(whole.ScanLine(chosen[k]), whole.Width(), bitmap.ScanLine(static_cast<int>(k)));
}

}  // namespace

void LoadPictureRows(TBitmap32& bitmap, const std::string& path, const TRowChooser& chooseRows,
                     const TColourDecoding& colour) {
    if (IsHeifFile(path)) return LoadHeifRows(bitmap, path, chooseRows, colour);
    TDecodeSession session(OpenRegularFile(path));
    session.keepProfile = colour.Mode != TColourProfiles::Ignore;
    OpenSession(session);
    const int width = static_cast<int>(session.cinfo.image_width);
    const int height = static_cast<int>(session.cinfo.image_height);
    const std::vector<int> chosen = chooseRows(width, height);
    CheckChosenRows(chosen, height);
    std::unique_ptr<TSrgbConversion> own;
    PrepareColour(SavedProfile(session.cinfo), PixelsOf(session.cinfo), colour, own,
                  session.conversion);
    ChooseOutput(session);
    const bool skip = SkippingKeepsPixels(session.cinfo);
    if (!StartStep(session)) session.Raise();
    CheckOutputComponents(session);
    if (session.form != TRowForm::Direct)
        session.rows.resize(static_cast<std::size_t>(width) * session.cinfo.output_components);
    bitmap.SetSizeForOverwrite(width, static_cast<int>(chosen.size()));
    if (!ReadChosenRowsStep(session, bitmap.Bits(), width, chosen, skip)) session.Raise();
}

TJpegSize ReadJpegSize(const std::string& path) {
    if (IsHeifFile(path)) {
        const THeifSize size = ReadHeifSize(path);
        return {size.Width, size.Height, size.HasColourProfile};
    }
    TDecodeSession session(OpenRegularFile(path));
    session.keepProfile = true;
    OpenSession(session);
    return TJpegSize{static_cast<int>(session.cinfo.image_width),
                     static_cast<int>(session.cinfo.image_height),
                     !SavedProfile(session.cinfo).empty()};
}

namespace {

// Streams the encoder's output into the temporary file in chunks. A write failure cannot be
// raised inside the library's callback, so it is kept and raised after the encoder returns.
struct TFileDestination {
    static constexpr std::size_t kChunk = 1 << 16;

    jpeg_destination_mgr pub;
    TReplacingFile* file;
    bool failed;
    char failure[512];
    JOCTET buffer[kChunk];

    void Flush(std::size_t size) {
        if (failed || size == 0) return;
        try {
            file->Write(buffer, size);
        } catch (const std::exception& e) {
            failed = true;
            std::snprintf(failure, sizeof failure, "%s", e.what());
        }
    }
};

TFileDestination& DestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<TFileDestination*>(cinfo->dest);
}

void OnInitDestination(j_compress_ptr cinfo) {
    TFileDestination& d = DestinationOf(cinfo);
    d.pub.next_output_byte = d.buffer;
    d.pub.free_in_buffer = TFileDestination::kChunk;
}

boolean OnEmptyBuffer(j_compress_ptr cinfo) {
    TFileDestination& d = DestinationOf(cinfo);
    d.Flush(TFileDestination::kChunk);
    d.pub.next_output_byte = d.buffer;
    d.pub.free_in_buffer = TFileDestination::kChunk;
    return TRUE;
}

void OnTermDestination(j_compress_ptr cinfo) {
    TFileDestination& d = DestinationOf(cinfo);
    d.Flush(TFileDestination::kChunk - d.pub.free_in_buffer);
}

struct TEncodeSession {
    TErrorManager error;
    jpeg_compress_struct cinfo;
    std::unique_ptr<TFileDestination> destination;
    std::vector<JSAMPLE> row;  // RGB staging row where the raster's byte order does not fit

    explicit TEncodeSession(TReplacingFile& file)
        : error(), cinfo(), destination(std::make_unique<TFileDestination>()) {
        InstallErrorManager(error);
        cinfo.err = &error.pub;
        destination->pub.init_destination = OnInitDestination;
        destination->pub.empty_output_buffer = OnEmptyBuffer;
        destination->pub.term_destination = OnTermDestination;
        destination->file = &file;
        destination->failed = false;
    }
    ~TEncodeSession() { jpeg_destroy_compress(&cinfo); }
    TEncodeSession(const TEncodeSession&) = delete;
    TEncodeSession& operator=(const TEncodeSession&) = delete;
};

bool EncodeStep(TEncodeSession& s, const TBitmap32& bitmap, int quality, const std::string& comment,
                const std::vector<TJpegSegment>& segments) {
    if (setjmp(s.error.jump)) return false;
    jpeg_create_compress(&s.cinfo);
    s.cinfo.dest = &s.destination->pub;
    s.cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
    s.cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
    // The raster's B, G, R, A bytes go in as they are; the unused byte is the alpha, dropped.
    s.cinfo.input_components = kLittleEndian ? 4 : 3;
    s.cinfo.in_color_space = kLittleEndian ? JCS_EXT_BGRX : JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    if (!comment.empty())
        jpeg_write_marker(&s.cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.data()),
                          static_cast<unsigned>(comment.size()));
    for (const TJpegSegment& segment : segments)
        jpeg_write_marker(&s.cinfo, segment.marker, segment.data.data(),
                          static_cast<unsigned>(segment.data.size()));
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const TColor32* source = bitmap.ScanLine(static_cast<int>(s.cinfo.next_scanline));
        JSAMPROW row;
        if (kLittleEndian) {
            row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(source));
        } else {
            row = s.row.data();
            for (int x = 0; x < bitmap.Width(); ++x) {
                row[3 * x] = static_cast<JSAMPLE>(RedOf(source[x]));
                row[3 * x + 1] = static_cast<JSAMPLE>(GreenOf(source[x]));
                row[3 * x + 2] = static_cast<JSAMPLE>(BlueOf(source[x]));
            }
        }
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

void CheckSegments(const std::vector<TJpegSegment>& segments) {
    for (const TJpegSegment& segment : segments) {
        const bool app = segment.marker >= JPEG_APP0 && segment.marker <= JPEG_APP0 + 15;
        if (!app && segment.marker != JPEG_COM)
            throw ImageError("Marker " + std::to_string(segment.marker) +
                             " is no application or comment marker");
        if (segment.data.size() > kMaxJpegComment)
            throw ImageError("A JPEG marker segment holds at most 65533 bytes, not " +
                             std::to_string(segment.data.size()));
    }
}

constexpr unsigned char kIccSignature[] = {'I', 'C', 'C', '_', 'P', 'R',
                                           'O', 'F', 'I', 'L', 'E', 0};
constexpr std::size_t kIccHeader = sizeof kIccSignature + 2;  // signature, sequence, count
constexpr std::size_t kIccChunkData = kMaxJpegComment - kIccHeader;

bool IsIccChunk(const std::vector<unsigned char>& payload) {
    return payload.size() >= sizeof kIccSignature &&
           std::equal(std::begin(kIccSignature), std::end(kIccSignature), payload.begin());
}

}  // namespace

TIccProfile IccProfileFromChunks(const std::vector<std::vector<unsigned char>>& app2Payloads) {
    std::vector<const std::vector<unsigned char>*> bySequence;
    std::size_t chunks = 0, total = 0;
    for (const std::vector<unsigned char>& payload : app2Payloads) {
        if (!IsIccChunk(payload)) continue;
        if (payload.size() < kIccHeader) return {};
        const int sequence = payload[sizeof kIccSignature];
        const int count = payload[sizeof kIccSignature + 1];
        if (count == 0 || (!bySequence.empty() && bySequence.size() != std::size_t(count)))
            return {};
        bySequence.resize(static_cast<std::size_t>(count), nullptr);
        if (sequence < 1 || sequence > count) return {};
        const std::vector<unsigned char>*& slot =
            bySequence[static_cast<std::size_t>(sequence - 1)];
        if (slot) return {};  // the same chunk twice
        slot = &payload;
        ++chunks;
        total += payload.size() - kIccHeader;
    }
    if (chunks != bySequence.size()) return {};  // a chunk is missing
    TIccProfile profile;
    profile.reserve(total);
    for (const std::vector<unsigned char>* chunk : bySequence)
        profile.insert(profile.end(), chunk->begin() + kIccHeader, chunk->end());
    return profile;
}

std::vector<TJpegSegment> IccProfileSegments(const TIccProfile& profile) {
    const std::size_t count = (profile.size() + kIccChunkData - 1) / kIccChunkData;
    if (count > 255)
        throw ImageError("A colour profile of " + std::to_string(profile.size()) +
                         " bytes does not fit into a JPEG file");
    std::vector<TJpegSegment> segments;
    for (std::size_t k = 0; k < count; ++k) {
        TJpegSegment segment{JPEG_APP0 + 2, {std::begin(kIccSignature), std::end(kIccSignature)}};
        segment.data.push_back(static_cast<unsigned char>(k + 1));
        segment.data.push_back(static_cast<unsigned char>(count));
        const auto from = profile.begin() + static_cast<std::ptrdiff_t>(k * kIccChunkData);
        const auto to = profile.begin() + static_cast<std::ptrdiff_t>(
                                              std::min(profile.size(), (k + 1) * kIccChunkData));
        segment.data.insert(segment.data.end(), from, to);
        segments.push_back(std::move(segment));
    }
    return segments;
}

void SaveJpeg(const TBitmap32& bitmap, int quality, const std::string& path,
              const std::string& comment, const std::vector<TJpegSegment>& segments) {
    if (quality < 1 || quality > 100)
        throw RangeError("JPEG quality " + std::to_string(quality) + " is outside 1 to 100");
    if (comment.size() > kMaxJpegComment)
        throw RangeError("A JPEG comment holds at most 65533 bytes");
    CheckSegments(segments);
    TReplacingFile file(path);
    TEncodeSession session(file);
    if (!kLittleEndian) session.row.resize(static_cast<std::size_t>(bitmap.Width()) * 3);
    if (!EncodeStep(session, bitmap, quality, comment, segments))
        throw ImageError(session.error.message);
    if (session.destination->failed) throw FileError(session.destination->failure);
    file.Commit();
}

std::string ReadJpegComment(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const auto byte = [&in]() { return in.get(); };
    if (byte() != 0xFF || byte() != 0xD8) return {};
    while (in) {
        int marker = byte();
        if (marker != 0xFF) return {};
        while (marker == 0xFF) marker = byte();  // fill bytes
        // Image data, end of image, or a marker without a length: no comment in front.
        if (marker < 0 || marker == 0xDA || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD8))
            return {};
        const int high = byte(), low = byte();
        if (high < 0 || low < 0) return {};
        const int length = (high << 8 | low) - 2;
        if (length < 0) return {};
        if (marker == 0xFE) {
            std::string text(static_cast<std::size_t>(length), '\0');
            if (!in.read(text.data(), length)) return {};
            return text;
        }
        in.seekg(length, std::ios::cur);
    }
    return {};
}

}  // namespace galerion
