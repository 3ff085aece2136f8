#include "image/photo_metadata.h"

#include "image/heif_codec.h"
#include "platform/errors.h"
#include "platform/text.h"

// The library's headers still name std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>

namespace galerion {
namespace {

// ---- caps on what is copied out of a block ----

constexpr std::size_t kMaxIfdEntries = 1000;
constexpr std::size_t kMaxIfdChain = 16;
constexpr std::size_t kMaxIptcDatasets = 5000;
constexpr std::size_t kMaxValueBytes = 64 * 1024;
constexpr std::size_t kMaxTextBytes = 2000;
constexpr std::size_t kMaxListEntries = 1000;
constexpr int kMaxXmlDepth = 64;
constexpr std::size_t kMaxXmlTags = 50000;
constexpr std::size_t kMaxXmpNamespaces = 64;

// A block that is damaged or hostile; the text is the problem reported for it.
class TBadBlock : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---- the library's process-wide set-up ----

// The XMP toolkit is initialised once and is not safe for threads: every use holds this lock.
std::mutex& XmpToolkitLock() {
    static std::mutex lock;
    return lock;
}

void PrepareLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

// ---- JPEG markers up to the image data ----

class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual bool Read(unsigned char* to, std::size_t count) = 0;
    virtual bool Skip(std::size_t count) = 0;
};

class TSpanSource : public TByteSource {
public:
    explicit TSpanSource(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    bool Read(unsigned char* to, std::size_t count) override {
        if (count > bytes_.size() - at_) return false;
        if (count == 0) return true;  // an empty segment has no buffer
        std::memcpy(to, bytes_.data() + at_, count);
        at_ += count;
        return true;
    }
    bool Skip(std::size_t count) override {
        if (count > bytes_.size() - at_) return false;
        at_ += count;
        return true;
    }

private:
    std::span<const unsigned char> bytes_;
    std::size_t at_ = 0;
};

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class TFileSource : public TByteSource {
public:
    explicit TFileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
        if (!file_) throw FileError("Cannot open " + path + ": " + std::strerror(errno));
    }
    bool Read(unsigned char* to, std::size_t count) override {
        return std::fread(to, 1, count, file_.get()) == count;
    }
    bool Skip(std::size_t count) override {
        return ::fseeko(file_.get(), static_cast<off_t>(count), SEEK_CUR) == 0;
    }

private:
    std::unique_ptr<std::FILE, TFileCloser> file_;
};

constexpr std::string_view kExifSignature{"Exif\0\0", 6};
constexpr std::string_view kXmpSignature{"http://ns.adobe.com/xap/1.0/\0", 29};
constexpr std::string_view kPhotoshopSignature{"Photoshop 3.0\0", 14};
constexpr std::uint16_t kIptcResource = 0x0404;

bool StartsWith(const std::vector<unsigned char>& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() &&
           std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

std::uint16_t BigEndian16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

std::uint32_t BigEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The IIM data of the Photoshop resource blocks joined from the APP13 segments.
std::vector<unsigned char> IptcFromPhotoshop(const std::vector<unsigned char>& resources) {
    std::size_t at = 0;
    while (resources.size() - at >= 12 && std::memcmp(resources.data() + at, "8BIM", 4) == 0) {
        const std::uint16_t id = BigEndian16(&resources[at + 4]);
        const std::size_t nameBytes = (std::size_t{resources[at + 6]} + 2) & ~std::size_t{1};
        const std::size_t sizeAt = at + 6 + nameBytes;
        if (resources.size() - at < 6 + nameBytes + 4) break;
        const std::size_t length = BigEndian32(&resources[sizeAt]);
        const std::size_t dataAt = sizeAt + 4;
        if (length > resources.size() - dataAt)
            throw TBadBlock("IPTC: a Photoshop resource runs past its segment");
        if (id == kIptcResource) {
            const auto data = resources.begin() + static_cast<std::ptrdiff_t>(dataAt);
            return {data, data + static_cast<std::ptrdiff_t>(length)};
        }
        at = dataAt + length + (length & 1);
        if (at > resources.size()) break;
    }
    return {};
}

bool IsStandaloneMarker(int marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9); }

class TJpegScanner {
public:
    explicit TJpegScanner(TByteSource& in) : in_(in) {}

    TMetadataBlocks Scan() {
        unsigned char soi[2];
        if (!in_.Read(soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return {};
        consumed_ = 2;
        while (NextSegment()) {}
        if (overCap_) {
            blocks_ = {};
            blocks_.problems.push_back("the markers in front of the image data exceed " +
                                       std::to_string(kMaxMetadataHeaderBytes >> 20) + " MiB");
            return std::move(blocks_);
        }
        TakeIptc();
        return std::move(blocks_);
    }

private:
    bool Consume(std::size_t count) {
        consumed_ += count;
        overCap_ = consumed_ > kMaxMetadataHeaderBytes;
        return !overCap_;
    }

    // One marker segment; false at the image data, the end, or anything that is no segment.
    bool NextSegment() {
        unsigned char byte = 0;
        if (!in_.Read(&byte, 1) || byte != 0xFF || !Consume(1)) return false;
        while (byte == 0xFF) {  // fill bytes
            if (!in_.Read(&byte, 1) || !Consume(1)) return false;
        }
        const int marker = byte;
        if (marker == 0xDA || IsStandaloneMarker(marker)) return false;
        unsigned char lengthBytes[2];
        if (!in_.Read(lengthBytes, 2)) return false;
        const std::size_t length = BigEndian16(lengthBytes);
        if (length < 2 || !Consume(length)) return false;
        const std::size_t payload = length - 2;
        if (marker != 0xE1 && marker != 0xED) return in_.Skip(payload);
        std::vector<unsigned char> bytes(payload);
        if (!in_.Read(bytes.data(), payload)) return false;
        if (marker == 0xE1)
            TakeApp1(bytes);
        else
            TakeApp13(bytes);
        return true;
    }

    void TakeApp1(const std::vector<unsigned char>& bytes) {
        if (blocks_.exif.empty() && StartsWith(bytes, kExifSignature)) {
            blocks_.exif.assign(bytes.begin() + kExifSignature.size(), bytes.end());
        } else if (blocks_.xmp.empty() && StartsWith(bytes, kXmpSignature)) {
            blocks_.xmp.assign(bytes.begin() + kXmpSignature.size(), bytes.end());
        }
    }

    void TakeApp13(const std::vector<unsigned char>& bytes) {
        if (!StartsWith(bytes, kPhotoshopSignature)) return;
        if (photoshop_.size() + bytes.size() > kMaxIptcBlockBytes) {
            photoshopOverCap_ = true;
            return;
        }
        photoshop_.insert(photoshop_.end(), bytes.begin() + kPhotoshopSignature.size(),
                          bytes.end());
    }

    void TakeIptc() {
        if (photoshopOverCap_) {
            blocks_.problems.push_back("IPTC: the Photoshop segments exceed 1 MiB");
            return;
        }
        try {
            blocks_.iptc = IptcFromPhotoshop(photoshop_);
        } catch (const TBadBlock& bad) {
            blocks_.problems.push_back(bad.what());
        }
    }

    TByteSource& in_;
    TMetadataBlocks blocks_;
    std::vector<unsigned char> photoshop_;
    std::size_t consumed_ = 0;
    bool overCap_ = false, photoshopOverCap_ = false;
};

// ---- EXIF: a sound directory structure, rebuilt with only the tags read here ----

constexpr std::uint16_t kTagImageDescription = 0x010E;
constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagArtist = 0x013B;
constexpr std::uint16_t kTagCopyright = 0x8298;
constexpr std::uint16_t kTagExifIfd = 0x8769;
constexpr std::uint16_t kTagGpsIfd = 0x8825;
constexpr std::uint16_t kTagInteropIfd = 0xA005;
constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
constexpr std::uint16_t kTagDateTimeDigitized = 0x9004;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeLong = 4;

std::size_t TiffTypeSize(std::uint16_t type) {
    static constexpr std::array<std::size_t, 14> kSizes = {0, 1, 1, 2, 4, 8, 1,
                                                           1, 2, 4, 8, 4, 8, 4};
    return type < kSizes.size() ? kSizes[type] : 0;
}

struct TTiffEntry {
    std::uint16_t tag, type;
    std::uint32_t count;
    std::size_t entryAt;  // where the 12-byte entry starts
};

class TTiffFilter {
public:
    explicit TTiffFilter(std::span<const unsigned char> tiff) : tiff_(tiff) {}

    std::vector<unsigned char> Filtered() {
        if (tiff_.size() < 8) throw TBadBlock("EXIF: shorter than its header");
        if (std::memcmp(tiff_.data(), "II*\0", 4) == 0)
            little_ = true;
        else if (std::memcmp(tiff_.data(), "MM\0*", 4) == 0)
            little_ = false;
        else
            throw TBadBlock("EXIF: no TIFF header");
        std::vector<TTiffEntry> ifd0, exif;
        std::size_t offset = U32(4);
        for (std::size_t n = 0; offset != 0; ++n) {  // IFD0 and the chain behind it
            if (n == kMaxIfdChain) throw TBadBlock("EXIF: too many directories");
            std::vector<TTiffEntry> entries = Directory(offset);
            if (n == 0) ifd0 = entries;
            offset = NextDirectory(offset);
        }
        for (const TTiffEntry& entry : ifd0) {
            if (entry.tag == kTagExifIfd) exif = SubDirectory(entry);
            if (entry.tag == kTagGpsIfd) SubDirectory(entry);
        }
        for (const TTiffEntry& entry : exif)
            if (entry.tag == kTagInteropIfd) SubDirectory(entry);
        return Rebuilt(
            Kept(ifd0, {kTagImageDescription, kTagOrientation, kTagArtist, kTagCopyright}),
            Kept(exif, {kTagDateTimeOriginal, kTagDateTimeDigitized}));
    }

private:
    std::uint16_t U16(std::size_t at) const {
        const unsigned char* p = tiff_.data() + at;
        return static_cast<std::uint16_t>(little_ ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
    }
    std::uint32_t U32(std::size_t at) const {
        const std::uint32_t high = U16(at), low = U16(at + 2);
        return little_ ? low << 16 | high : high << 16 | low;
    }

    std::vector<TTiffEntry> Directory(std::size_t offset) {
        if (!visited_.insert(offset).second) throw TBadBlock("EXIF: its directories form a loop");
        if (offset < 8 || offset > tiff_.size() - 2)
            throw TBadBlock("EXIF: a directory lies past the end of the block");
        const std::size_t count = U16(offset);
        if (count > kMaxIfdEntries)
            throw TBadBlock("EXIF: a directory has " + std::to_string(count) + " entries");
        if (count * 12 > tiff_.size() - offset - 2)
            throw TBadBlock("EXIF: a directory runs past the end of the block");
        std::vector<TTiffEntry> entries;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = offset + 2 + 12 * i;
            entries.push_back({U16(at), U16(at + 2), U32(at + 4), at});
        }
        return entries;
    }

    std::size_t NextDirectory(std::size_t offset) const {
        const std::size_t at = offset + 2 + 12 * std::size_t{U16(offset)};
        return tiff_.size() - at >= 4 ? U32(at) : 0;  // a missing link ends the chain
    }

    std::vector<TTiffEntry> SubDirectory(const TTiffEntry& pointer) {
        if (pointer.type != kTypeLong || pointer.count != 1) return {};
        return Directory(U32(pointer.entryAt + 8));
    }

    // Where the entry's value lies and how long it is; nullopt for a type not known.
    std::optional<std::pair<std::size_t, std::size_t>> ValueOf(const TTiffEntry& entry) const {
        const std::size_t unit = TiffTypeSize(entry.type);
        if (unit == 0) return std::nullopt;
        const std::uint64_t bytes = std::uint64_t{entry.count} * unit;
        if (bytes <= 4) return std::pair{entry.entryAt + 8, static_cast<std::size_t>(bytes)};
        const std::uint64_t offset = U32(entry.entryAt + 8);
        if (offset + bytes > tiff_.size())
            throw TBadBlock("EXIF: a value lies past the end of the block");
        return std::pair{static_cast<std::size_t>(offset), static_cast<std::size_t>(bytes)};
    }

    std::vector<TTiffEntry> Kept(const std::vector<TTiffEntry>& entries,
                                 std::initializer_list<std::uint16_t> tags) const {
        std::vector<TTiffEntry> kept;
        for (const TTiffEntry& entry : entries) {
            if (std::find(tags.begin(), tags.end(), entry.tag) == tags.end()) continue;
            const auto value = ValueOf(entry);
            if (!value || value->second > kMaxValueBytes) continue;
            if (std::any_of(kept.begin(), kept.end(),
                            [&](const TTiffEntry& k) { return k.tag == entry.tag; }))
                continue;
            kept.push_back(entry);
        }
        std::sort(kept.begin(), kept.end(),
                  [](const TTiffEntry& a, const TTiffEntry& b) { return a.tag < b.tag; });
        return kept;
    }

    void Put16(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) const {
        out[at + (little_ ? 0 : 1)] = static_cast<unsigned char>(value);
        out[at + (little_ ? 1 : 0)] = static_cast<unsigned char>(value >> 8);
    }
    void Put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) const {
        Put16(out, at + (little_ ? 0 : 2), value & 0xFFFF);
        Put16(out, at + (little_ ? 2 : 0), value >> 16);
    }

    // Writes the directory at `at` and its long values at the end of `out`.
    void WriteDirectory(std::vector<unsigned char>& out, std::size_t at,
                        const std::vector<TTiffEntry>& entries, std::size_t exifAt) const {
        const std::size_t count = entries.size() + (exifAt ? 1 : 0);
        Put16(out, at, static_cast<std::uint32_t>(count));
        std::size_t slot = at + 2;
        for (const TTiffEntry& entry : entries) {
            Put16(out, slot, entry.tag);
            Put16(out, slot + 2, entry.type);
            Put32(out, slot + 4, entry.count);
            const auto [valueAt, bytes] = *ValueOf(entry);
            if (bytes <= 4) {
                std::memcpy(&out[slot + 8], tiff_.data() + valueAt, bytes);
            } else {
                Put32(out, slot + 8, static_cast<std::uint32_t>(out.size()));
                out.insert(out.end(), tiff_.begin() + static_cast<std::ptrdiff_t>(valueAt),
                           tiff_.begin() + static_cast<std::ptrdiff_t>(valueAt + bytes));
                if (out.size() & 1) out.push_back(0);
            }
            slot += 12;
        }
        if (exifAt) {
            Put16(out, slot, kTagExifIfd);
            Put16(out, slot + 2, kTypeLong);
            Put32(out, slot + 4, 1);
            Put32(out, slot + 8, static_cast<std::uint32_t>(exifAt));
            slot += 12;
        }
        Put32(out, slot, 0);
    }

    static std::size_t DirectoryBytes(std::size_t entries) { return 2 + 12 * entries + 4; }

    std::vector<unsigned char> Rebuilt(const std::vector<TTiffEntry>& ifd0,
                                       const std::vector<TTiffEntry>& exif) const {
        if (ifd0.empty() && exif.empty()) return {};
        const std::size_t ifd0Entries = ifd0.size() + (exif.empty() ? 0 : 1);
        const std::size_t exifAt = exif.empty() ? 0 : 8 + DirectoryBytes(ifd0Entries);
        const std::size_t dataAt =
            8 + DirectoryBytes(ifd0Entries) + (exif.empty() ? 0 : DirectoryBytes(exif.size()));
        std::vector<unsigned char> out(dataAt, 0);
        std::memcpy(out.data(), tiff_.data(), 4);
        Put32(out, 4, 8);
        WriteDirectory(out, 8, ifd0, exifAt);
        if (exifAt) WriteDirectory(out, exifAt, exif, 0);
        return out;
    }

    std::span<const unsigned char> tiff_;
    bool little_ = true;
    std::set<std::size_t> visited_;
};

// ---- IPTC: whole datasets, rebuilt with only the ones read here ----

constexpr int kIptcObjectName = 5, kIptcKeywords = 25, kIptcDateCreated = 55, kIptcTimeCreated = 60,
              kIptcCaption = 120;

bool IsIptcDatasetRead(int record, int dataset) {
    return record == 2 &&
           (dataset == kIptcObjectName || dataset == kIptcKeywords || dataset == kIptcDateCreated ||
            dataset == kIptcTimeCreated || dataset == kIptcCaption);
}

std::vector<unsigned char> FilteredIptc(std::span<const unsigned char> iim) {
    std::vector<unsigned char> out;
    std::size_t at = 0, datasets = 0, copied = 0;
    while (iim.size() - at >= 5 && iim[at] == 0x1C) {  // padding or junk ends the datasets
        if (++datasets > kMaxIptcDatasets) throw TBadBlock("IPTC: too many datasets");
        const int record = iim[at + 1], dataset = iim[at + 2];
        std::size_t length = BigEndian16(&iim[at + 3]);
        std::size_t header = 5;
        if (length & 0x8000) {  // extended length: the count of length bytes that follow
            const std::size_t lengthBytes = length & 0x7FFF;
            if (lengthBytes > 4 || iim.size() - at - 5 < lengthBytes)
                throw TBadBlock("IPTC: a dataset has a bad extended length");
            length = 0;
            for (std::size_t i = 0; i < lengthBytes; ++i) length = length << 8 | iim[at + 5 + i];
            header += lengthBytes;
        }
        if (length > iim.size() - at - header)
            throw TBadBlock("IPTC: a dataset runs past the end of the block");
        if (header == 5 && IsIptcDatasetRead(record, dataset) && copied < kMaxListEntries) {
            out.insert(out.end(), iim.begin() + static_cast<std::ptrdiff_t>(at),
                       iim.begin() + static_cast<std::ptrdiff_t>(at + header + length));
            ++copied;
        }
        at += header + length;
    }
    return out;
}

// ---- XMP: refused before the parser sees markup it need not handle ----

std::string CheckedXmp(std::string packet) {
    if (packet.size() > kMaxXmpBlockBytes) throw TBadBlock("XMP: the packet exceeds 4 MiB");
    while (!packet.empty() && (packet.back() == '\0' || packet.back() == ' ' ||
                               packet.back() == '\n' || packet.back() == '\r'))
        packet.pop_back();
    if (packet.find('\0') != std::string::npos) throw TBadBlock("XMP: the packet holds NUL");
    // Each namespace the packet names stays registered with the library until it is dropped.
    std::size_t namespaces = 0;
    for (std::size_t at = packet.find("xmlns"); at != std::string::npos;
         at = packet.find("xmlns", at + 1))
        if (++namespaces > kMaxXmpNamespaces) throw TBadBlock("XMP: too many namespaces");
    int depth = 0;
    std::size_t tags = 0;
    std::size_t close = 0;  // the first '>' behind the current '<', searched again once passed
    for (std::size_t at = packet.find('<'); at != std::string::npos;
         at = packet.find('<', at + 1)) {
        const std::string_view rest = std::string_view(packet).substr(at + 1);
        if (rest.starts_with("!--") || rest.starts_with("![CDATA[") || rest.starts_with("?"))
            continue;
        // Document type and entity declarations: entity expansion and outside files.
        if (rest.starts_with("!")) throw TBadBlock("XMP: the packet declares a document type");
        if (++tags > kMaxXmlTags) throw TBadBlock("XMP: the packet has too many elements");
        if (rest.starts_with("/")) {
            --depth;
            continue;
        }
        if (close != std::string::npos && close <= at) close = packet.find('>', at);
        if (close == std::string::npos || packet[close - 1] != '/') ++depth;
        if (depth > kMaxXmlDepth) throw TBadBlock("XMP: the elements nest too deep");
    }
    return packet;
}

// ---- texts ----

// Valid UTF-8 without control characters (line breaks and tabs become blanks), trimmed and
// cut to a length; "" for text that is no UTF-8.
std::string CleanText(std::string_view raw) {
    std::string text;
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> point = NextCodePoint(raw, at);
        if (!point) return {};
        if (*point == '\t' || *point == '\n' || *point == '\r')
            text += ' ';
        else if (*point >= 0x20 && (*point < 0x7F || *point > 0x9F))
            text.append(raw.substr(start, at - start));
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() > kMaxTextBytes) {
        std::size_t cut = kMaxTextBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

// What cameras write into the description fields by themselves.
bool IsCameraPlaceholder(const std::string& text) {
    static constexpr std::array<std::string_view, 14> kPlaceholders = {
        "OLYMPUS DIGITAL CAMERA",
        "SONY DSC",
        "DCIM",
        "DIGITAL CAMERA",
        "KONICA MINOLTA DIGITAL CAMERA",
        "MINOLTA DIGITAL CAMERA",
        "SAMSUNG DIGITAL CAMERA",
        "SAMSUNG",
        "DIGITAL STILL CAMERA",
        "EXIF_JPEG_PICTURE",
        "Default",
        "Untitled",
        "Camera",
        "Photo"};
    return text.empty() ||
           std::any_of(kPlaceholders.begin(), kPlaceholders.end(), [&](std::string_view p) {
               return AsciiLower(text) == AsciiLower(std::string(p));
           });
}

// ---- dates ----

class TDateReader {
public:
    explicit TDateReader(std::string_view text) : text_(text) {}
    bool Number(int digits, int& value) {
        if (text_.size() - at_ < static_cast<std::size_t>(digits)) return false;
        value = 0;
        for (int i = 0; i < digits; ++i, ++at_) {
            if (text_[at_] < '0' || text_[at_] > '9') return false;
            value = value * 10 + (text_[at_] - '0');
        }
        return true;
    }
    // Skips one of the characters when it is next.
    bool Optional(std::string_view allowed) {
        if (at_ == text_.size() || allowed.find(text_[at_]) == std::string_view::npos) return false;
        ++at_;
        return true;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// A real calendar date and time of day, or nothing.
std::optional<TDateTime> DateOf(const TDateTimeParts& p) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second);
    try {
        return IsoTextToDateTime(text);
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

bool ReadDate(TDateReader& reader, TDateTimeParts& p) {
    if (!reader.Number(4, p.year)) return false;
    reader.Optional(":-");
    if (!reader.Number(2, p.month)) return false;
    reader.Optional(":-");
    return reader.Number(2, p.day);
}

bool ReadTime(TDateReader& reader, TDateTimeParts& p) {
    if (!reader.Number(2, p.hour)) return false;
    reader.Optional(":");
    if (!reader.Number(2, p.minute)) return false;
    reader.Optional(":");
    TDateReader seconds = reader;  // the seconds may be left out
    if (seconds.Number(2, p.second))
        reader = seconds;
    else
        p.second = 0;
    return true;
}

// "yyyy:mm:dd hh:mm:ss" (EXIF) or "yyyy-mm-ddThh:mm:ss" (XMP); the time may be missing, and
// what follows it (fractions, a zone) is ignored: the time is the camera's own.
std::optional<TDateTime> DateFromText(const std::string& text) {
    TDateReader reader(text);
    TDateTimeParts p;
    if (!ReadDate(reader, p)) return std::nullopt;
    if (reader.Optional(" T")) {
        TDateTimeParts timed = p;
        if (ReadTime(reader, timed))
            p = timed;
        else
            return std::nullopt;
    }
    return DateOf(p);
}

std::optional<TDateTime> DateFromParts(const std::string& date, const std::string& time) {
    TDateReader dateReader(date);
    TDateTimeParts p;
    if (!ReadDate(dateReader, p)) return std::nullopt;
    TDateReader timeReader(time);
    TDateTimeParts timed = p;
    if (!time.empty() && ReadTime(timeReader, timed)) p = timed;
    return DateOf(p);
}

// ---- decoding with the library ----

const Exiv2::Exifdatum* FindExif(const Exiv2::ExifData& exif, const char* key) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? nullptr : &*found;
}

const Exiv2::Xmpdatum* FindXmp(const Exiv2::XmpData& xmp, const char* key) {
    const auto found = xmp.findKey(Exiv2::XmpKey(key));
    return found == xmp.end() ? nullptr : &*found;
}

std::string ExifText(const Exiv2::ExifData& exif, const char* key) {
    const Exiv2::Exifdatum* datum = FindExif(exif, key);
    if (!datum || datum->typeId() != Exiv2::asciiString) return {};
    return CleanText(datum->toString());
}

int OrientationTagOf(const Exiv2::ExifData& exif) {
    const Exiv2::Exifdatum* datum = FindExif(exif, "Exif.Image.Orientation");
    if (!datum || datum->typeId() != Exiv2::unsignedShort || datum->count() < 1) return 0;
    return static_cast<int>(datum->toLong(0));
}

struct TDecoded {
    TPhotoMetadata metadata;
    std::optional<TDateTime> exifOriginal, exifDigitized, xmpDate, iptcDate;
    std::vector<std::string> xmpCreators, iptcKeywords, xmpSubjects, xmpHierarchy;
    std::string xmpRights;
};

std::optional<TDateTime> ExifDate(const Exiv2::ExifData& exif, const char* key) {
    const std::string text = ExifText(exif, key);
    return text.empty() ? std::nullopt : DateFromText(text);
}

void DecodeExif(const std::vector<unsigned char>& block, TDecoded& out) {
    if (block.empty()) return;
    if (block.size() > kMaxExifBlockBytes) throw TBadBlock("EXIF: the block exceeds 1 MiB");
    const std::vector<unsigned char> tiff = TTiffFilter(block).Filtered();
    if (tiff.empty()) return;
    Exiv2::ExifData exif;
    Exiv2::ExifParser::decode(exif, tiff.data(), static_cast<std::uint32_t>(tiff.size()));
    out.metadata.orientationTag = OrientationTagOf(exif);
    out.metadata.imageDescription = ExifText(exif, "Exif.Image.ImageDescription");
    out.metadata.artist = ExifText(exif, "Exif.Image.Artist");
    out.metadata.copyright = ExifText(exif, "Exif.Image.Copyright");
    out.exifOriginal = ExifDate(exif, "Exif.Photo.DateTimeOriginal");
    out.exifDigitized = ExifDate(exif, "Exif.Photo.DateTimeDigitized");
}

std::vector<TLangText> LangTexts(const Exiv2::Xmpdatum* datum) {
    std::vector<TLangText> texts;
    if (!datum) return texts;
    if (datum->typeId() != Exiv2::langAlt) {
        const std::string text = CleanText(datum->toString());
        if (!text.empty()) texts.push_back({"x-default", text});
        return texts;
    }
    const auto& alternatives = dynamic_cast<const Exiv2::LangAltValue&>(datum->value()).value_;
    for (const auto& [language, raw] : alternatives) {
        if (texts.size() == kMaxListEntries) break;
        std::string text = CleanText(raw);
        if (!text.empty()) texts.push_back({CleanText(language), std::move(text)});
    }
    return texts;
}

std::vector<std::string> XmpList(const Exiv2::Xmpdatum* datum) {
    std::vector<std::string> items;
    if (!datum) return items;
    const Exiv2::TypeId type = datum->typeId();
    const bool array = type == Exiv2::xmpBag || type == Exiv2::xmpSeq || type == Exiv2::xmpAlt;
    const long count = array ? std::min<long>(datum->count(), kMaxListEntries) : 1;
    for (long i = 0; i < count; ++i) {
        std::string item = CleanText(array ? datum->toString(i) : datum->toString());
        if (!item.empty()) items.push_back(std::move(item));
    }
    return items;
}

std::string DefaultText(const std::vector<TLangText>& texts) {
    for (const TLangText& t : texts)
        if (AsciiLower(t.language) == "x-default") return t.text;
    return texts.empty() ? std::string() : texts.front().text;
}

void DecodeXmp(const std::string& block, TDecoded& out) {
    if (block.empty()) return;
    const std::string packet = CheckedXmp(block);
    std::lock_guard lock(XmpToolkitLock());
    // The namespaces this packet registered are dropped again, so photos cannot grow the table.
    struct TNamespaceReset {
        ~TNamespaceReset() { Exiv2::XmpProperties::unregisterNs(); }
    } reset;
    Exiv2::XmpData xmp;
    if (Exiv2::XmpParser::decode(xmp, packet) != 0) throw TBadBlock("XMP: the packet is no XMP");
    out.metadata.titles = LangTexts(FindXmp(xmp, "Xmp.dc.title"));
    out.metadata.descriptions = LangTexts(FindXmp(xmp, "Xmp.dc.description"));
    out.xmpSubjects = XmpList(FindXmp(xmp, "Xmp.dc.subject"));
    out.xmpHierarchy = XmpList(FindXmp(xmp, "Xmp.lr.hierarchicalSubject"));
    out.xmpCreators = XmpList(FindXmp(xmp, "Xmp.dc.creator"));
    out.xmpRights = DefaultText(LangTexts(FindXmp(xmp, "Xmp.dc.rights")));
    if (const Exiv2::Xmpdatum* date = FindXmp(xmp, "Xmp.photoshop.DateCreated"))
        out.xmpDate = DateFromText(date->toString());
}

void DecodeIptc(const std::vector<unsigned char>& block, TDecoded& out) {
    if (block.empty()) return;
    if (block.size() > kMaxIptcBlockBytes) throw TBadBlock("IPTC: the block exceeds 1 MiB");
    const std::vector<unsigned char> iim = FilteredIptc(block);
    if (iim.empty()) return;
    Exiv2::IptcData iptc;
    if (Exiv2::IptcParser::decode(iptc, iim.data(), static_cast<std::uint32_t>(iim.size())) != 0)
        throw TBadBlock("IPTC: the datasets cannot be read");
    std::string date, time;
    for (const Exiv2::Iptcdatum& datum : iptc) {
        if (datum.record() != 2) continue;
        const int tag = datum.tag();
        if (tag == kIptcDateCreated && date.empty()) date = datum.toString();
        if (tag == kIptcTimeCreated && time.empty()) time = datum.toString();
        if (tag != kIptcObjectName && tag != kIptcCaption && tag != kIptcKeywords) continue;
        std::string text = CleanText(datum.toString());
        if (tag == kIptcKeywords)
            out.iptcKeywords.push_back(std::move(text));
        else if (tag == kIptcObjectName && out.metadata.objectName.empty())
            out.metadata.objectName = std::move(text);
        else if (tag == kIptcCaption && out.metadata.caption.empty())
            out.metadata.caption = std::move(text);
    }
    if (!date.empty()) out.iptcDate = DateFromParts(date, time);
}

// Runs one block's decoder; a failure drops what it found and names the block.
template <class TDecode>
void DecodeBlock(const char* name, TDecoded& out, TDecode decode) {
    TDecoded attempt = out;
    try {
        decode(attempt);
        out = std::move(attempt);
    } catch (const TBadBlock& bad) {
        out.metadata.problems.push_back(bad.what());
    } catch (const std::exception& e) {
        out.metadata.problems.push_back(std::string(name) + ": " + e.what());
    } catch (...) {
        out.metadata.problems.push_back(std::string(name) + ": cannot be read");
    }
}

// Adds the keyword unless one of the same letters in another case is there already.
void AddKeyword(std::vector<std::string>& keywords, std::set<std::u32string>& seen,
                const std::string& keyword) {
    if (keyword.empty() || keywords.size() == kMaxListEntries) return;
    if (seen.insert(FoldedCase(keyword)).second) keywords.push_back(keyword);
}

std::string LastLevel(const std::string& hierarchy) {
    const std::size_t bar = hierarchy.rfind('|');
    return CleanText(bar == std::string::npos ? hierarchy : hierarchy.substr(bar + 1));
}

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ", ") + item;
    return joined;
}

void Combine(TDecoded& d) {
    TPhotoMetadata& m = d.metadata;
    for (const auto& date : {d.exifOriginal, d.exifDigitized, d.xmpDate, d.iptcDate}) {
        if (date) {
            m.dateTaken = *date;
            break;
        }
    }
    std::set<std::u32string> seen;
    for (const std::string& k : d.xmpSubjects) AddKeyword(m.keywords, seen, k);
    for (const std::string& k : d.iptcKeywords) AddKeyword(m.keywords, seen, k);
    for (const std::string& h : d.xmpHierarchy) AddKeyword(m.keywords, seen, LastLevel(h));
    if (m.artist.empty()) m.artist = CleanText(Joined(d.xmpCreators));
    if (m.copyright.empty()) m.copyright = d.xmpRights;
}

// ---- the output payloads ----

void AppendLittle(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::string XmlEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// Clean texts are short enough that both, escaped, fit one segment with the frame around them.
static_assert(2 * 5 * kMaxTextBytes + 1024 < 65533);

}  // namespace

TMetadataBlocks JpegMetadataBlocks(std::span<const unsigned char> bytes) {
    TSpanSource source(bytes);
    return TJpegScanner(source).Scan();
}

TMetadataBlocks JpegMetadataBlocks(const std::string& path) {
    TFileSource source(path);
    return TJpegScanner(source).Scan();
}

TPhotoMetadata DecodeMetadata(const TMetadataBlocks& blocks) {
    PrepareLibrary();
    TDecoded decoded;
    decoded.metadata.problems = blocks.problems;
    DecodeBlock("EXIF", decoded, [&](TDecoded& d) { DecodeExif(blocks.exif, d); });
    DecodeBlock("XMP", decoded, [&](TDecoded& d) { DecodeXmp(blocks.xmp, d); });
    DecodeBlock("IPTC", decoded, [&](TDecoded& d) { DecodeIptc(blocks.iptc, d); });
    Combine(decoded);
    return std::move(decoded.metadata);
}

TPhotoMetadata ReadPhotoMetadata(const std::string& path) {
    if (!IsHeifFile(path)) return DecodeMetadata(JpegMetadataBlocks(path));
    THeifMetadata heif;
    try {
        heif = HeifMetadataBlocks(path);
    } catch (const ImageError& e) {
        TPhotoMetadata none;
        none.problems.push_back(e.what());
        return none;
    }
    TMetadataBlocks blocks;
    blocks.exif = std::move(heif.Exif);
    blocks.xmp = std::move(heif.Xmp);
    TPhotoMetadata metadata = DecodeMetadata(blocks);
    // The decoder applies the container's own turn; the EXIF tag must not turn it again.
    metadata.orientationTag = 0;
    return metadata;
}

int OrientationCodeFromExif(int tag) {
    // Index: the tag; value: the turn, then a mirror when negative, that shows it upright.
    static constexpr std::array<int, 9> kCodes = {1, 1, -1, 3, -3, -2, 2, -4, 4};
    return tag >= 1 && tag <= 8 ? kCodes[static_cast<std::size_t>(tag)] : 1;
}

std::string FileTitle(const TPhotoMetadata& m) {
    const std::string candidates[] = {DefaultText(m.titles), m.objectName,
                                      DefaultText(m.descriptions), m.caption, m.imageDescription};
    for (const std::string& text : candidates)
        if (!IsCameraPlaceholder(text)) return text;
    return {};
}

std::string FileAltTitle(const TPhotoMetadata& m, const std::string& language) {
    if (language.empty()) return {};
    const std::string wanted = AsciiLower(language);
    const auto inLanguage = [&](const std::vector<TLangText>& texts) -> std::string {
        const TLangText* prefixMatch = nullptr;
        for (const TLangText& t : texts) {
            const std::string have = AsciiLower(t.language);
            if (have == wanted) return t.text;
            if (!prefixMatch && have.starts_with(wanted + "-")) prefixMatch = &t;
        }
        return prefixMatch ? prefixMatch->text : std::string();
    };
    for (const std::string& text : {inLanguage(m.titles), inLanguage(m.descriptions)})
        if (!IsCameraPlaceholder(text)) return text;
    return {};
}

std::vector<unsigned char> CopyrightExifPayload(const std::string& artist,
                                                const std::string& copyright) {
    const std::string texts[] = {CleanText(artist), CleanText(copyright)};
    const std::uint16_t tags[] = {kTagArtist, kTagCopyright};
    std::vector<unsigned char> out(kExifSignature.begin(), kExifSignature.end());
    const std::uint32_t entries = (texts[0].empty() ? 0 : 1) + (texts[1].empty() ? 0 : 1);
    if (entries == 0) return {};
    out.insert(out.end(), {'I', 'I', '*', 0});
    AppendLittle(out, 8, 4);
    AppendLittle(out, entries, 2);
    std::uint32_t dataAt = 8 + 2 + 12 * entries + 4;
    std::vector<unsigned char> data;
    for (int i = 0; i < 2; ++i) {
        if (texts[i].empty()) continue;
        const auto count = static_cast<std::uint32_t>(texts[i].size() + 1);
        AppendLittle(out, tags[i], 2);
        AppendLittle(out, kTypeAscii, 2);
        AppendLittle(out, count, 4);
        std::vector<unsigned char> value(texts[i].begin(), texts[i].end());
        value.push_back(0);
        if (count <= 4) {
            value.resize(4, 0);
            out.insert(out.end(), value.begin(), value.end());
            continue;
        }
        AppendLittle(out, dataAt + static_cast<std::uint32_t>(data.size()), 4);
        data.insert(data.end(), value.begin(), value.end());
        if (data.size() & 1) data.push_back(0);
    }
    AppendLittle(out, 0, 4);  // no further directory
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<unsigned char> CopyrightXmpPayload(const std::string& artist,
                                               const std::string& copyright) {
    const std::string creator = XmlEscaped(CleanText(artist));
    const std::string rights = XmlEscaped(CleanText(copyright));
    if (creator.empty() && rights.empty()) return {};
    std::string packet =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">";
    if (!creator.empty())
        packet += "<dc:creator><rdf:Seq><rdf:li>" + creator + "</rdf:li></rdf:Seq></dc:creator>";
    if (!rights.empty())
        packet += "<dc:rights><rdf:Alt><rdf:li xml:lang=\"x-default\">" + rights +
                  "</rdf:li></rdf:Alt></dc:rights>";
    packet += "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>";
    std::vector<unsigned char> out(kXmpSignature.begin(), kXmpSignature.end());
    out.insert(out.end(), packet.begin(), packet.end());
    return out;
}

void WriteMetadataTags(const std::string& jpegPath, const TMetadataEdits& edits) {
    PrepareLibrary();
    try {
        std::lock_guard lock(XmpToolkitLock());
        auto image = Exiv2::ImageFactory::open(jpegPath);
        image->readMetadata();
        for (const auto& [key, value] : edits.exif) image->exifData()[key].setValue(value);
        for (const auto& [key, value] : edits.iptc) {
            const Exiv2::IptcKey iptcKey(key);
            const auto typed = Exiv2::Value::create(
                Exiv2::IptcDataSets::dataSetType(iptcKey.tag(), iptcKey.record()));
            typed->read(value);
            image->iptcData().add(iptcKey, typed.get());
        }
        for (const auto& [key, value] : edits.xmp) image->xmpData()[key].setValue(value);
        image->writeMetadata();
    } catch (const std::exception& e) {
        throw ImageError("Cannot write the tags of " + jpegPath + ": " + e.what());
    }
}

}  // namespace galerion
