// The table-script splitter on any text: no statement is blank, none holds a blank line.
#include "db/script_text.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace galerion;
    (void)SplitScriptStatements(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
