#pragma once
// What a photo says about itself: the EXIF orientation tag, the date taken, titles, keywords,
// artist and copyright, read from the EXIF, XMP and IPTC blocks in front of the image data. The
// blocks are outside input: a block that is damaged or hostile is dropped with a problem text,
// and the photo is read as if that block were missing.
#include "platform/date_time.h"

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace galerion {

// The raw blocks: exif is a TIFF structure (byte-order mark first), iptc the IIM datasets, xmp
// the packet text. `problems` names each block that was dropped and why.
struct TMetadataBlocks {
    std::vector<unsigned char> exif{}, iptc{};
    std::string xmp{};
    std::vector<std::string> problems{};
};

// The caps on what a photo's header may hold; a block over its cap is dropped.
inline constexpr std::size_t kMaxMetadataHeaderBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxExifBlockBytes = 1024 * 1024;
inline constexpr std::size_t kMaxIptcBlockBytes = 1024 * 1024;
inline constexpr std::size_t kMaxXmpBlockBytes = 4 * 1024 * 1024;

// Collects the blocks from a JPEG's markers up to the image data. Bytes that are no JPEG give
// no blocks and no problem.
TMetadataBlocks JpegMetadataBlocks(std::span<const unsigned char> bytes);
// The same from a file, reading only the markers in front of the image data. FileError when
// the file cannot be opened.
TMetadataBlocks JpegMetadataBlocks(const std::string& path);

// One text of an XMP language alternative; language "x-default" is the default entry.
struct TLangText {
    std::string language, text;
};

// Every text is valid UTF-8, trimmed, without control characters; 0 / empty means absent.
struct TPhotoMetadata {
    int orientationTag = 0;  // the EXIF tag as written, 0 when missing or not a SHORT
    TDateTime dateTaken = 0;
    std::vector<TLangText> titles, descriptions;  // XMP dc:title, dc:description
    std::string objectName, caption;              // IPTC
    std::string imageDescription;                 // EXIF
    std::vector<std::string> keywords;
    std::string artist, copyright;
    std::vector<std::string> problems;  // blocks that were dropped, for the log
};

// Decodes the blocks; never throws for bad data (a block that fails adds a problem).
TPhotoMetadata DecodeMetadata(const TMetadataBlocks& blocks);

// JpegMetadataBlocks(path) then DecodeMetadata; for a HEIF photo its EXIF and XMP, without the
// orientation tag (its container's turn is the one applied). FileError when the file cannot be
// opened.
TPhotoMetadata ReadPhotoMetadata(const std::string& path);

// The orientation code that shows the photo upright for an EXIF orientation tag; 1 for any
// value outside 1-8.
int OrientationCodeFromExif(int tag);

// The picture's title: dc:title (x-default, else its first entry), the IPTC object name, then
// the descriptions likewise, skipping the texts cameras write by themselves. "" when there is
// none.
std::string FileTitle(const TPhotoMetadata& metadata);
// The dc:title (else dc:description) text in a language such as "de", which also matches
// "de-DE" and "de-CH"; "" for an empty language or when there is none.
std::string FileAltTitle(const TPhotoMetadata& metadata, const std::string& language);

// The payloads of the APP1 segments an output JPEG carries: EXIF with only Artist and
// Copyright, XMP with only dc:creator and dc:rights. Empty when both texts are empty.
std::vector<unsigned char> CopyrightExifPayload(const std::string& artist,
                                                const std::string& copyright);
std::vector<unsigned char> CopyrightXmpPayload(const std::string& artist,
                                               const std::string& copyright);

// Tags to write into a JPEG file, as (key, value) in the metadata library's key names, e.g.
// ("Exif.Image.Orientation", "6"), ("Xmp.dc.title", "lang=\"x-default\" Hello"),
// ("Xmp.dc.subject", "one") repeated for a bag, ("Iptc.Application2.Keywords", "two") repeated.
// For fixtures: tests and the example album.
struct TMetadataEdits {
    std::vector<std::pair<std::string, std::string>> exif{}, iptc{}, xmp{};
};
// Adds the tags to the file in place; ImageError when the library refuses them.
void WriteMetadataTags(const std::string& jpegPath, const TMetadataEdits& edits);

}  // namespace galerion
