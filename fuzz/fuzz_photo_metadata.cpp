// The photo metadata reader on any bytes: a JPEG's marker segments, or else the same bytes as
// a raw EXIF, XMP and IPTC block each. It reads or reports a problem, and never crashes.
#include "image/photo_metadata.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

void Use(const galerion::TPhotoMetadata& metadata) {
    galerion::FileTitle(metadata);
    galerion::FileAltTitle(metadata, "de");
    galerion::CopyrightExifPayload(metadata.artist, metadata.copyright);
    galerion::CopyrightXmpPayload(metadata.artist, metadata.copyright);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        Use(galerion::DecodeMetadata(galerion::JpegMetadataBlocks(bytes)));
        return 0;
    }
    galerion::TMetadataBlocks blocks;
    blocks.exif.assign(bytes.begin(), bytes.end());
    blocks.iptc = blocks.exif;
    blocks.xmp.assign(bytes.begin(), bytes.end());
    Use(galerion::DecodeMetadata(blocks));
    return 0;
}
