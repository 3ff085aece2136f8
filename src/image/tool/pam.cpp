#include "image/tool/pam.h"

#include "image/jpeg_codec.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace galerion {

namespace {

struct TPamHeader {
    int width = 0, height = 0, depth = 0, maxval = 0;
    std::string tupleType;
};

std::string ReadLine(std::FILE* file) {
    std::string line;
    for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file)) {
        line += static_cast<char>(c);
        if (line.size() > 256) break;
    }
    return line;
}

TPamHeader ReadHeader(std::FILE* file, const std::string& path) {
    if (ReadLine(file) != "P7") throw ImageError("Not a PAM file: " + path);
    TPamHeader header;
    for (int lines = 0; lines < 64; ++lines) {
        const std::string line = ReadLine(file);
        if (line == "ENDHDR") return header;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "WIDTH")
            fields >> header.width;
        else if (key == "HEIGHT")
            fields >> header.height;
        else if (key == "DEPTH")
            fields >> header.depth;
        else if (key == "MAXVAL")
            fields >> header.maxval;
        else if (key == "TUPLTYPE")
            fields >> header.tupleType;
    }
    throw ImageError("PAM header without ENDHDR: " + path);
}

void CheckHeader(const TPamHeader& h, const std::string& path) {
    const bool rgba = h.tupleType == "RGB_ALPHA" && h.depth == 4;
    const bool rgb = h.tupleType == "RGB" && h.depth == 3;
    if (!(rgba || rgb) || h.maxval != 255)
        throw ImageError("Unsupported PAM (need RGB_ALPHA or RGB at MAXVAL 255): " + path);
    if (h.width < 1 || h.height < 1 ||
        static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) >
            kMaxPicturePixels)
        throw ImageError("PAM size out of range: " + path);
}

}  // namespace

bool IsPamFile(const std::string& path) {
    TFilePtr file = OpenRegularFile(path);
    char magic[3] = {};
    return std::fread(magic, 1, 3, file.get()) == 3 && magic[0] == 'P' && magic[1] == '7' &&
           magic[2] == '\n';
}

void LoadPam(TBitmap32& bitmap, const std::string& path) {
    TFilePtr file = OpenRegularFile(path);
    const TPamHeader header = ReadHeader(file.get(), path);
    CheckHeader(header, path);
    std::vector<unsigned char> row(static_cast<std::size_t>(header.width) * header.depth);
    TBitmap32 result;
    result.SetSizeForOverwrite(header.width, header.height);
    for (int y = 0; y < header.height; ++y) {
        if (std::fread(row.data(), 1, row.size(), file.get()) != row.size())
            throw ImageError("PAM file ends early: " + path);
        TColor32* out = result.ScanLine(y);
        for (int x = 0; x < header.width; ++x) {
            const unsigned char* p = row.data() + static_cast<std::size_t>(x) * header.depth;
            out[x] = Color32(p[0], p[1], p[2], header.depth == 4 ? p[3] : 255);
        }
    }
    result.DrawMode = bitmap.DrawMode;
    result.MasterAlpha = bitmap.MasterAlpha;
    result.StretchFilter = bitmap.StretchFilter;
    result.OuterColor = bitmap.OuterColor;
    bitmap = std::move(result);
}

void SavePam(const TBitmap32& bitmap, const std::string& path) {
    if (bitmap.Empty()) throw ImageError("Cannot write an empty picture: " + path);
    std::ostringstream header;
    header << "P7\nWIDTH " << bitmap.Width() << "\nHEIGHT " << bitmap.Height()
           << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    TReplacingFile file(path);
    file.Write(header.str().data(), header.str().size());
    std::vector<unsigned char> row(static_cast<std::size_t>(bitmap.Width()) * 4);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const TColor32* in = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            unsigned char* p = row.data() + static_cast<std::size_t>(x) * 4;
            p[0] = static_cast<unsigned char>(RedOf(in[x]));
            p[1] = static_cast<unsigned char>(GreenOf(in[x]));
            p[2] = static_cast<unsigned char>(BlueOf(in[x]));
            p[3] = static_cast<unsigned char>(AlphaOf(in[x]));
        }
        file.Write(row.data(), row.size());
    }
    file.Commit();
}

}  // namespace galerion
