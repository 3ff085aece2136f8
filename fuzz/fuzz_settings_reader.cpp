// The settings file reader on any bytes: whatever it keeps must write out and read back the same.
#include "platform/reg_file_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace galerion;
    try {
        const TRegParseResult first =
            ParseRegFile(std::string(reinterpret_cast<const char*>(data), size));
        const std::string written = FormatRegFile(first.data);
        const TRegParseResult second = ParseRegFile(written);
        if (second.problemCount != 0 || FormatRegFile(second.data) != written) std::abort();
    } catch (const TRegParseError&) {
        // bytes that are no text at all
    }
    return 0;
}
