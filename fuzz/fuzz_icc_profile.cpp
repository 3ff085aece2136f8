// The colour-profile reading on any bytes: they are cut into APP2 payloads as a JPEG file would
// carry them, joined, and the profile readied for each kind of pixels and used on a few pixels.
// Nothing may crash; a profile that cannot be used is reported, never more.
#include "image/colour_profile.h"
#include "image/jpeg_codec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte tells how long each payload is, so that split sets are reached too.
    if (size < 1) return 0;
    const std::size_t part = 16 + static_cast<std::size_t>(data[0]) * 64;
    std::vector<std::vector<unsigned char>> payloads;
    for (std::size_t at = 1; at < size; at += part)
        payloads.emplace_back(data + at, data + std::min(size, at + part));
    galerion::TIccProfile profile = galerion::IccProfileFromChunks(payloads);
    if (profile.empty()) profile.assign(data + 1, data + size);  // the bytes as one profile
    galerion::TSrgbConversion conversion;
    std::vector<galerion::TColor32> pixels(64, 0xFF808080u);
    std::vector<unsigned char> samples(256, 0x40);
    for (galerion::TSourcePixels kind :
         {galerion::TSourcePixels::Bgra, galerion::TSourcePixels::Grey,
          galerion::TSourcePixels::Cmyk, galerion::TSourcePixels::CmykInverted}) {
        std::string problem;
        if (!conversion.Prepare(profile, kind, problem)) continue;
        if (kind == galerion::TSourcePixels::Bgra)
            conversion.Convert(pixels.data(), pixels.data(), 64);
        else
            conversion.Convert(samples.data(), pixels.data(), 64);
    }
    return 0;
}
