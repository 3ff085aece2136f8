// LoadPicture on any bytes behind a HEIF file-type box, given to it as a file: the HEIF decoder
// decodes or raises, and never crashes, hangs or takes unbounded memory.
#include "image/jpeg_codec.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Inputs without the box are given one, so that the HEIF decoder is the one reached.
    static const unsigned char kFileType[] = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c',
                                              0, 0, 0, 0,  'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'};
    const bool boxed = size >= 12 && std::memcmp(data + 4, "ftyp", 4) == 0;
    const int fd = memfd_create("fuzz-heif", 0);
    if (fd < 0) return 0;
    bool written = boxed || write(fd, kFileType, sizeof kFileType) == sizeof kFileType;
    written = written && write(fd, data, size) == static_cast<ssize_t>(size);
    if (written) {
        try {
            galerion::TBitmap32 bitmap;
            galerion::LoadPicture(bitmap, "/proc/self/fd/" + std::to_string(fd));
        } catch (const std::exception&) {}
    }
    close(fd);
    return 0;
}
