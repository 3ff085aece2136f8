#pragma once
// Reading HEIC and HEIF photos: the primary image at 8 bits, with the container's own turn and
// mirror applied. Failures are raised as in the JPEG codec: FileError when the file cannot be
// opened, ImageError with the library's message when it cannot be decoded.
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <string>
#include <vector>

namespace galerion {

// Whether the file starts with a HEIF file-type box of a kind that can be decoded. False for
// anything else, also for a file that cannot be read.
bool IsHeifFile(const std::string& path);

struct THeifSize {
    int Width, Height;              // after the container's turn
    bool HasColourProfile = false;  // an ICC profile or colour code points
};
THeifSize ReadHeifSize(const std::string& path);

// How the primary image gives its colours.
struct THeifColour {
    TIccProfile Icc;       // an ICC profile of its own; empty when there is none
    bool HasNclx = false;  // else code points, when present
    TNclxColour Nclx;
};

// Decodes the primary image into the raster (alpha 255), its size checked against the
// decoder's limit first. Its EXIF orientation is not applied: the container's turn is.
THeifColour LoadHeif(TBitmap32& bitmap, const std::string& path);

// The primary image's metadata: the EXIF block from its TIFF header on (the container's offset
// prefix removed) and the XMP packet; each empty when absent.
struct THeifMetadata {
    std::vector<unsigned char> Exif;
    std::string Xmp;
};
THeifMetadata HeifMetadataBlocks(const std::string& path);

// For making test pictures: writes the raster as a HEIC file, with the container turning and
// mirroring it by an EXIF-numbered orientation (1 none), and the given EXIF block (from its
// TIFF header on) and ICC profile when not empty.
struct THeifFixture {
    int Orientation = 1;
    std::vector<unsigned char> Exif;
    TIccProfile Icc;
    int Quality = 95;
};
void WriteHeifFixture(const TBitmap32& bitmap, const std::string& path, const THeifFixture& how);

}  // namespace galerion
