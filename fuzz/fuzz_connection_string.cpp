// The connection-string functions on any text: the first line is the connection string, the
// rest a data source path to put into it.
#include "db/connection_string.h"
#include "db/data_source.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace galerion;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t split = text.find('\n');
    const std::string connection = text.substr(0, split);
    const std::string path = split == std::string::npos ? "" : text.substr(split + 1);
    (void)ConnectionStringValue(connection, "Provider");
    (void)ConnectionStringValue(connection, "Data Source");
    (void)ExtractDataSource(connection);
    (void)ExtractDataSource(ReplaceDataSource(connection, path));
    return 0;
}
