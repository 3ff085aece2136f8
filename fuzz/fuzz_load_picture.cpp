// LoadPicture on any bytes, given to it as a file: it decodes or raises, and never crashes.
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

// One in-memory file for every input.
int InputFile() {
    static const int fd = ::memfd_create("fuzz_load_picture", 0);
    if (fd < 0) std::abort();
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = InputFile();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    galerion::TBitmap32 bitmap;
    try {
        galerion::LoadPicture(bitmap, "/proc/self/fd/" + std::to_string(fd));
    } catch (const std::runtime_error&) {
        // not a picture it can read: raised, as it should be
    }
    return 0;
}
