#pragma once
// The registry export text format of the settings file: the keys and values it holds, read from
// the file's bytes and written back as UTF-8 text. Key paths and value names match without
// regard to letter case; the indexes keep that lookup cheap and must be kept in step with the
// lists, so change the lists only through the functions below.
#include "platform/settings_store.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace galerion {

// Registry type codes; the file spells every type other than text and number as hex(<code>),
// except plain binary which is "hex:".
constexpr std::uint32_t kRegTypeText = 1;
constexpr std::uint32_t kRegTypeBinary = 3;
constexpr std::uint32_t kRegTypeNumber = 4;

struct TStoredValue {
    std::string name;
    bool removed = false;  // while parsing only: a removal line took it out
    TStoreValueType type = TStoreValueType::Text;
    std::string text;                         // Text
    std::uint32_t number = 0;                 // Number
    std::vector<std::uint8_t> bytes;          // Binary: any other type, kept as it was
    std::uint32_t typeCode = kRegTypeBinary;  // Binary: the registry type to write back
};

struct TStoredKey {
    std::string path;                  // full path with the hive, as first spelt
    bool removed = false;              // while parsing only: a removal line took it out
    std::vector<TStoredValue> values;  // file order
    std::unordered_map<std::string, size_t> byName;  // lower-case name -> index in values
};

struct TRegFileData {
    std::vector<TStoredKey> keys;                    // file order
    std::unordered_map<std::string, size_t> byPath;  // lower-case path -> index in keys
};

// True when key path `path` is `ancestor` or lies below it.
bool IsKeyAtOrBelow(const std::string& path, const std::string& ancestor);
TStoredKey* FindKey(TRegFileData& data, const std::string& path);
const TStoredKey* FindKey(const TRegFileData& data, const std::string& path);
// The key of `path`, added at the end when missing.
TStoredKey& ObtainKey(TRegFileData& data, const std::string& path);
TStoredValue* FindValue(TStoredKey& key, const std::string& name);
// A later value of the same name replaces the earlier one in its place (and keeps its spelling).
void SetValue(TStoredKey& key, TStoredValue value);
void RemoveValue(TStoredKey& key, const std::string& name);

// The bytes cannot be read as text at all (odd-length UTF-16); what() says why.
class TRegParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRegParseResult {
    TRegFileData data;
    std::vector<TRegLineProblem> problems;  // the first kMaxRecordedProblems, in file order
    size_t problemCount = 0;                // all of them
    static constexpr size_t kMaxRecordedProblems = 100;
};

// The file's bytes: UTF-16 (with a byte order mark, or little-endian without one) or UTF-8 (with
// or without its mark), any line endings, "Windows Registry Editor Version 5.00" or "REGEDIT4"
// at its head. Removal lines ("[-key]", "name"=-) take effect in file order. A line that cannot
// be read is skipped and recorded, and so are the values of a key line that cannot be read; the
// time taken grows linearly with the size of the file. Throws TRegParseError when the bytes are
// no text.
TRegParseResult ParseRegFile(const std::string& bytes);
// UTF-8 text with "\n" line ends under the version 5 header; a text holding a line break or NUL
// is spelt as UTF-16 hex bytes, since it cannot stand inside quotes.
std::string FormatRegFile(const TRegFileData& data);

}  // namespace galerion
