#include "image/heif_codec.h"

#include "image/jpeg_codec.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include <libheif/heif.h>

namespace galerion {
namespace {

// Metadata blocks and profiles beyond this are no photo's: refused before they are copied.
constexpr std::size_t kMaxBlockBytes = 16u << 20;
// libheif's own limit is on width and height alike; the exact pixel count is checked after.
const int kMaxSide = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(kMaxPicturePixels))));

struct TContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct THandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct TImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct TEncoderDeleter {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};
struct TOptionsDeleter {
    void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
};
struct TNclxDeleter {
    void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
};
using TContext = std::unique_ptr<heif_context, TContextDeleter>;
using THandle = std::unique_ptr<heif_image_handle, THandleDeleter>;
using TImage = std::unique_ptr<heif_image, TImageDeleter>;

void Check(const heif_error& error, const std::string& path) {
    if (error.code != heif_error_Ok)
        throw ImageError(path + ": " + (error.message ? error.message : "HEIF error"));
}

// The file is read through a handle opened as a regular file, so nothing but its own bytes
// reaches the library.
struct TFileReader {
    TFilePtr file;
    std::int64_t size = 0;
};

TFileReader& ReaderOf(void* userdata) { return *static_cast<TFileReader*>(userdata); }

std::int64_t ReaderPosition(void* userdata) {
    return static_cast<std::int64_t>(::ftello(ReaderOf(userdata).file.get()));
}

int ReaderRead(void* data, size_t size, void* userdata) {
    return std::fread(data, 1, size, ReaderOf(userdata).file.get()) == size ? 0 : 1;
}

int ReaderSeek(std::int64_t position, void* userdata) {
    return ::fseeko(ReaderOf(userdata).file.get(), static_cast<off_t>(position), SEEK_SET);
}

heif_reader_grow_status ReaderWait(std::int64_t target, void* userdata) {
    return target <= ReaderOf(userdata).size ? heif_reader_grow_status_size_reached
                                             : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader kReader{1, ReaderPosition, ReaderRead, ReaderSeek, ReaderWait};

// An opened file and its primary image.
struct TOpenedHeif {
    TFileReader reader;
    TContext context;
    THandle handle;
};

void OpenHeif(TOpenedHeif& heif, const std::string& path) {
    heif.reader.file = OpenRegularFile(path);
    struct stat st {};
    if (::fstat(fileno(heif.reader.file.get()), &st) != 0)
        throw FileError("Cannot read " + path + ": " + std::strerror(errno));
    heif.reader.size = st.st_size;
    heif.context.reset(heif_context_alloc());
    if (!heif.context) throw ImageError(path + ": cannot start the HEIF decoder");
    heif_context_set_maximum_image_size_limit(heif.context.get(), kMaxSide);
    Check(heif_context_read_from_reader(heif.context.get(), &kReader, &heif.reader, nullptr), path);
    heif_image_handle* handle = nullptr;
    Check(heif_context_get_primary_image_handle(heif.context.get(), &handle), path);
    heif.handle.reset(handle);
}

THeifSize SizeOf(const heif_image_handle* handle) {
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    if (width < 1 || height < 1) throw ImageError("HEIF image without pixels");
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixels > kMaxPicturePixels)
        throw ImageError("Picture too large: " + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels, the limit is " +
                         std::to_string(kMaxPicturePixels / 1'000'000) + " megapixels");
    return {width, height};
}

THeifColour ColourOf(const heif_image_handle* handle) {
    THeifColour colour;
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_rICC || type == heif_color_profile_type_prof) {
        const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        if (size > 0 && size <= kMaxBlockBytes) {
            colour.Icc.resize(size);
            if (heif_image_handle_get_raw_color_profile(handle, colour.Icc.data()).code !=
                heif_error_Ok)
                colour.Icc.clear();
        }
        if (!colour.Icc.empty()) return colour;
    }
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok && nclx) {
        const std::unique_ptr<heif_color_profile_nclx, TNclxDeleter> owned(nclx);
        colour.HasNclx = true;
        colour.Nclx = {static_cast<int>(nclx->color_primaries),
                       static_cast<int>(nclx->transfer_characteristics)};
    }
    return colour;
}

void CopyPixels(const heif_image* image, TBitmap32& bitmap, const std::string& path) {
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (!plane || width < 1 || height < 1 || stride < width * 3)
        throw ImageError(path + ": the HEIF decoder gave no RGB pixels");
    bitmap.SetSizeForOverwrite(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::ptrdiff_t>(y) * stride;
        TColor32* out = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x, in += 3) out[x] = Color32(in[0], in[1], in[2]);
    }
}

// The EXIF block begins with the offset of its TIFF header from the end of that offset.
std::vector<unsigned char> TiffPart(const std::vector<unsigned char>& block) {
    if (block.size() < 4) return {};
    const std::uint32_t offset = static_cast<std::uint32_t>(block[0]) << 24 |
                                 static_cast<std::uint32_t>(block[1]) << 16 |
                                 static_cast<std::uint32_t>(block[2]) << 8 | block[3];
    if (offset > block.size() - 4) return {};
    return {block.begin() + 4 + offset, block.end()};
}

std::vector<unsigned char> MetadataBlock(const heif_image_handle* handle, heif_item_id id) {
    const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size == 0 || size > kMaxBlockBytes) return {};
    std::vector<unsigned char> data(size);
    if (heif_image_handle_get_metadata(handle, id, data.data()).code != heif_error_Ok) return {};
    return data;
}

bool IsXmp(const heif_image_handle* handle, heif_item_id id) {
    const char* type = heif_image_handle_get_metadata_type(handle, id);
    const char* content = heif_image_handle_get_metadata_content_type(handle, id);
    return type && content && std::strcmp(type, "mime") == 0 &&
           std::strcmp(content, "application/rdf+xml") == 0;
}

}  // namespace

bool IsHeifFile(const std::string& path) {
    std::array<std::uint8_t, 32> head{};
    std::size_t got = 0;
    try {
        const TFilePtr file = OpenRegularFile(path);
        got = std::fread(head.data(), 1, head.size(), file.get());
    } catch (const Error&) {
        return false;
    }
    if (got < 12 || std::memcmp(head.data() + 4, "ftyp", 4) != 0) return false;
    return heif_check_filetype(head.data(), static_cast<int>(got)) == heif_filetype_yes_supported;
}

THeifSize ReadHeifSize(const std::string& path) {
    TOpenedHeif heif;
    OpenHeif(heif, path);
    THeifSize size = SizeOf(heif.handle.get());
    const THeifColour colour = ColourOf(heif.handle.get());
    size.HasColourProfile = !colour.Icc.empty() || colour.HasNclx;
    return size;
}

THeifColour LoadHeif(TBitmap32& bitmap, const std::string& path) {
    TOpenedHeif heif;
    OpenHeif(heif, path);
    SizeOf(heif.handle.get());
    THeifColour colour = ColourOf(heif.handle.get());
    heif_image* decoded = nullptr;
    Check(heif_decode_image(heif.handle.get(), &decoded, heif_colorspace_RGB,
                            heif_chroma_interleaved_RGB, nullptr),
          path);
    const TImage image(decoded);
    CopyPixels(image.get(), bitmap, path);
    return colour;
}

THeifMetadata HeifMetadataBlocks(const std::string& path) {
    TOpenedHeif heif;
    OpenHeif(heif, path);
    const heif_image_handle* handle = heif.handle.get();
    THeifMetadata metadata;
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, nullptr);
    if (count <= 0) return metadata;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(std::min(count, 64)));
    const int listed = heif_image_handle_get_list_of_metadata_block_IDs(
        handle, nullptr, ids.data(), static_cast<int>(ids.size()));
    for (int k = 0; k < listed; ++k) {
        const heif_item_id id = ids[static_cast<std::size_t>(k)];
        const char* type = heif_image_handle_get_metadata_type(handle, id);
        if (metadata.Exif.empty() && type && std::strcmp(type, "Exif") == 0)
            metadata.Exif = TiffPart(MetadataBlock(handle, id));
        else if (metadata.Xmp.empty() && IsXmp(handle, id)) {
            const std::vector<unsigned char> xmp = MetadataBlock(handle, id);
            metadata.Xmp.assign(xmp.begin(), xmp.end());
        }
    }
    return metadata;
}

void WriteHeifFixture(const TBitmap32& bitmap, const std::string& path, const THeifFixture& how) {
    const TContext context(heif_context_alloc());
    heif_image* created = nullptr;
    Check(heif_image_create(bitmap.Width(), bitmap.Height(), heif_colorspace_RGB,
                            heif_chroma_interleaved_RGB, &created),
          path);
    const TImage image(created);
    Check(heif_image_add_plane(image.get(), heif_channel_interleaved, bitmap.Width(),
                               bitmap.Height(), 8),
          path);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* out = plane + static_cast<std::ptrdiff_t>(y) * stride;
        const TColor32* in = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(RedOf(in[x]));
            out[1] = static_cast<std::uint8_t>(GreenOf(in[x]));
            out[2] = static_cast<std::uint8_t>(BlueOf(in[x]));
        }
    }
    if (!how.Icc.empty())
        Check(heif_image_set_raw_color_profile(image.get(), "prof", how.Icc.data(), how.Icc.size()),
              path);
    heif_encoder* made = nullptr;
    Check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &made), path);
    const std::unique_ptr<heif_encoder, TEncoderDeleter> encoder(made);
    Check(heif_encoder_set_lossy_quality(encoder.get(), how.Quality), path);
    const std::unique_ptr<heif_encoding_options, TOptionsDeleter> options(
        heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(how.Orientation);
    heif_image_handle* encoded = nullptr;
    Check(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(),
                                    &encoded),
          path);
    const THandle handle(encoded);
    if (!how.Exif.empty())
        Check(heif_context_add_exif_metadata(context.get(), handle.get(), how.Exif.data(),
                                             static_cast<int>(how.Exif.size())),
              path);
    Check(heif_context_write_to_file(context.get(), path.c_str()), path);
}

}  // namespace galerion
