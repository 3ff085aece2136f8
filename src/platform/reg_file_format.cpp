#include "platform/reg_file_format.h"

#include "platform/text.h"

#include <cstdio>
#include <map>
#include <utility>

namespace galerion {

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kOldHeader = "REGEDIT4";

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

}  // namespace

bool IsKeyAtOrBelow(const std::string& path, const std::string& ancestor) {
    if (path.size() < ancestor.size()) return false;
    if (!SameName(path.substr(0, ancestor.size()), ancestor)) return false;
    return path.size() == ancestor.size() || path[ancestor.size()] == '\\';
}

// The indexes keep a file of many keys or values from costing quadratic time to read.
TStoredKey* FindKey(TRegFileData& data, const std::string& path) {
    const auto found = data.byPath.find(AsciiLower(path));
    return found == data.byPath.end() ? nullptr : &data.keys[found->second];
}

const TStoredKey* FindKey(const TRegFileData& data, const std::string& path) {
    return FindKey(const_cast<TRegFileData&>(data), path);
}

TStoredKey& ObtainKey(TRegFileData& data, const std::string& path) {
    if (TStoredKey* key = FindKey(data, path)) return *key;
    data.byPath.emplace(AsciiLower(path), data.keys.size());
    data.keys.push_back(TStoredKey{path, false, {}, {}});
    return data.keys.back();
}

TStoredValue* FindValue(TStoredKey& key, const std::string& name) {
    const auto found = key.byName.find(AsciiLower(name));
    return found == key.byName.end() ? nullptr : &key.values[found->second];
}

void SetValue(TStoredKey& key, TStoredValue value) {
    if (TStoredValue* existing = FindValue(key, value.name)) {
        value.name = existing->name;
        *existing = std::move(value);
    } else {
        key.byName.emplace(AsciiLower(value.name), key.values.size());
        key.values.push_back(std::move(value));
    }
}

void RemoveValue(TStoredKey& key, const std::string& name) {
    std::erase_if(key.values, [&](const TStoredValue& v) { return SameName(v.name, name); });
    key.byName.clear();
    for (size_t i = 0; i < key.values.size(); ++i)
        key.byName.emplace(AsciiLower(key.values[i].name), i);
}

namespace {

// --- Text encodings -------------------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A byte of a text that is no UTF-8 is written as a lone low surrogate U+DC80..U+DCFF, and read
// back as that byte, so that the text keeps its bytes through the UTF-16 spelling.
constexpr char32_t kEscapedByteBase = 0xDC00;

// UTF-16 code units to UTF-8; an escaped byte becomes that byte, any other lone surrogate U+FFFD.
std::string Utf16ToUtf8(const std::vector<char16_t>& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF) {
            out += static_cast<char>(c - kEscapedByteBase);
            continue;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::vector<char16_t> BytesToUnits(const std::string& bytes, size_t offset, bool bigEndian) {
    std::vector<char16_t> units;
    units.reserve((bytes.size() - offset) / 2);
    for (size_t i = offset; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return units;
}

// UTF-8 to UTF-16 code units; a byte that starts no valid sequence is escaped (see above).
std::vector<char16_t> Utf8ToUtf16(const std::string& text) {
    std::vector<char16_t> units;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? lead & 0x1F
                     : extra == 2 ? lead & 0x0F
                                  : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const bool overlong =
            (extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
        if (!valid || overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            c = kEscapedByteBase + lead;
            extra = 0;
        }
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return units;
}

// The file's bytes as UTF-8 text: UTF-16 (with a byte order mark, or little-endian without
// one, as the registry editor's export writes), or UTF-8 with or without its mark.
std::string DecodeFileText(const std::string& bytes) {
    auto starts = [&](const char* mark, size_t n) { return bytes.compare(0, n, mark, n) == 0; };
    const bool utf16le = starts("\xFF\xFE", 2);
    const bool utf16be = starts("\xFE\xFF", 2);
    const bool utf16leBare =
        !utf16le && !utf16be && bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0';
    if (utf16le || utf16be || utf16leBare) {
        const size_t offset = utf16leBare ? 0 : 2;
        if ((bytes.size() - offset) % 2 != 0)
            throw TRegParseError("odd number of bytes in UTF-16 text");
        return Utf16ToUtf8(BytesToUnits(bytes, offset, utf16be));
    }
    if (starts("\xEF\xBB\xBF", 3)) return bytes.substr(3);
    return bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

std::string TrimmedText(std::string_view text) { return std::string(Trim(text)); }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

// --- Parsing --------------------------------------------------------------------------------

bool ParseHexNumber(const std::string& digits, size_t maxDigits, std::uint32_t& value) {
    if (digits.empty() || digits.size() > maxDigits) return false;
    value = 0;
    for (char c : digits) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

// Removal lines only mark what they take out and drop it from the indexes, so that each one
// costs the entries it removes; the marked entries go in one pass at the end.
class TRegParser {
public:
    explicit TRegParser(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    TRegParseResult Parse() {
        while (index_ < lines_.size() && TrimmedText(lines_[index_]).empty()) ++index_;
        if (index_ == lines_.size()) {
            Record(0, "the file is empty");
            return Finish();
        }
        const std::string header = TrimmedText(lines_[index_]);
        if (header == kHeader || header == kOldHeader)
            ++index_;
        else
            Record(index_, "the header line is missing");
        for (; index_ < lines_.size(); ++index_) {
            const size_t start = index_;
            const std::string line = TrimmedText(lines_[index_]);
            if (!ParseLine(line)) {
                Record(start, error_);
                if (line[0] == '[') currentKey_.clear();  // its values have no key to go to
            }
        }
        return Finish();
    }

private:
    void Record(size_t index, const std::string& what) {
        if (result_.problems.size() < TRegParseResult::kMaxRecordedProblems)
            result_.problems.push_back({index + 1, what});
        ++result_.problemCount;
    }

    TRegParseResult Finish() {
        TRegFileData& data = result_.data;
        std::erase_if(data.keys, [](const TStoredKey& key) { return key.removed; });
        data.byPath.clear();
        for (size_t k = 0; k < data.keys.size(); ++k) {
            TStoredKey& key = data.keys[k];
            data.byPath.emplace(AsciiLower(key.path), k);
            std::erase_if(key.values, [](const TStoredValue& value) { return value.removed; });
            key.byName.clear();
            for (size_t i = 0; i < key.values.size(); ++i)
                key.byName.emplace(AsciiLower(key.values[i].name), i);
        }
        return std::move(result_);
    }

    TStoredKey& Key(const std::string& path) {
        const std::string lower = AsciiLower(path);
        if (TStoredKey* key = FindKey(result_.data, path)) return *key;
        ordered_.emplace(lower, result_.data.keys.size());
        return ObtainKey(result_.data, path);
    }

    void RemoveKeyTree(const std::string& path) {
        const std::string lower = AsciiLower(path);
        RemoveIndexed(ordered_.find(lower));
        const std::string below = lower + "\\";
        for (auto it = ordered_.lower_bound(below);
             it != ordered_.end() && it->first.starts_with(below);)
            it = RemoveIndexed(it);
    }

    std::map<std::string, size_t>::iterator RemoveIndexed(
        std::map<std::string, size_t>::iterator it) {
        if (it == ordered_.end()) return it;
        result_.data.keys[it->second].removed = true;
        result_.data.byPath.erase(it->first);
        return ordered_.erase(it);
    }

    void RemoveParsedValue(TStoredKey& key, const std::string& name) {
        if (TStoredValue* value = FindValue(key, name)) {
            value->removed = true;
            key.byName.erase(AsciiLower(name));
        }
    }

    // The parse functions return false with error_ set: a file of nothing but bad lines must
    // not cost an exception per line.
    bool Fail(const char* what) {
        error_ = what;
        return false;
    }

    bool ParseLine(const std::string& line) {
        if (line.empty() || line[0] == ';') return true;
        if (line[0] == '[') return ParseKeyLine(line);
        if (line[0] == '"' || line[0] == '@') return ParseValueLine(line);
        return Fail("neither a key nor a value");
    }

    bool ParseKeyLine(const std::string& line) {
        if (line.back() != ']') return Fail("a key line must end with ']'");
        std::string path = line.substr(1, line.size() - 2);
        const bool removal = !path.empty() && path[0] == '-';
        if (removal) path.erase(0, 1);
        if (path.empty() || path.find("\\\\") != std::string::npos || path.back() == '\\')
            return Fail("invalid key path");
        if (removal) {
            RemoveKeyTree(path);
            currentKey_.clear();
        } else {
            currentKey_ = Key(path).path;
        }
        return true;
    }

    // A quoted text starting at `pos`: \\ and \" are escapes; sets `text`, moves `pos` past the
    // closing quote.
    bool ParseQuoted(const std::string& line, size_t& pos, std::string& text) {
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c == '\\' && pos + 1 < line.size() &&
                (line[pos + 1] == '\\' || line[pos + 1] == '"'))
                ++pos;
            text += line[pos];
        }
        return Fail("unterminated quoted text");
    }

    bool ParseValueLine(const std::string& line) {
        if (currentKey_.empty()) return Fail("a value outside a key");
        size_t pos = 0;
        std::string name;
        if (line[0] == '@')
            pos = 1;
        else if (!ParseQuoted(line, pos, name))
            return false;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos == line.size() || line[pos] != '=')
            return Fail("'=' expected after the value name");
        std::string data = TrimmedText(line.substr(pos + 1));
        if (StartsWithNoCase(data, "hex") && !JoinContinuations(data)) return false;

        TStoredKey& key = *FindKey(result_.data, currentKey_);
        if (data == "-") {
            RemoveParsedValue(key, name);
            return true;
        }
        TStoredValue value;
        if (!ParseData(data, value)) return false;
        value.name = std::move(name);
        SetValue(key, std::move(value));
        return true;
    }

    // hex data may go on over several lines, each but the last ending with '\'.
    bool JoinContinuations(std::string& data) {
        while (!data.empty() && data.back() == '\\') {
            data.pop_back();
            if (index_ + 1 == lines_.size())
                return Fail("hex data continues past the end of the file");
            ++index_;
            data += TrimmedText(lines_[index_]);
        }
        return true;
    }

    bool ParseData(const std::string& data, TStoredValue& value) {
        if (!data.empty() && data[0] == '"') {
            size_t pos = 0;
            value.type = TStoreValueType::Text;
            if (!ParseQuoted(data, pos, value.text)) return false;
            if (!TrimmedText(data.substr(pos)).empty()) return Fail("text after the closing quote");
            return true;
        }
        if (StartsWithNoCase(data, "dword:")) {
            value.type = TStoreValueType::Number;
            if (!ParseHexNumber(TrimmedText(data.substr(6)), 8, value.number))
                return Fail("invalid dword");
            return true;
        }
        if (StartsWithNoCase(data, "hex:")) {
            value.type = TStoreValueType::Binary;
            return ParseHexBytes(data.substr(4), value.bytes);
        }
        if (StartsWithNoCase(data, "hex(")) {
            const size_t close = data.find("):");
            if (close == std::string::npos ||
                !ParseHexNumber(data.substr(4, close - 4), 8, value.typeCode))
                return Fail("invalid hex type");
            if (!ParseHexBytes(data.substr(close + 2), value.bytes)) return false;
            value = Normalized(std::move(value));
            return true;
        }
        return Fail("unknown value data");
    }

    bool ParseHexBytes(const std::string& list, std::vector<std::uint8_t>& bytes) {
        if (TrimmedText(list).empty()) return true;
        size_t begin = 0;
        while (true) {
            const size_t comma = list.find(',', begin);
            std::uint32_t byte = 0;
            if (!ParseHexNumber(TrimmedText(list.substr(begin, comma - begin)), 2, byte))
                return Fail("invalid hex byte");
            bytes.push_back(static_cast<std::uint8_t>(byte));
            if (comma == std::string::npos) return true;
            begin = comma + 1;
        }
    }

    // Texts and numbers spelt as hex bytes become ordinary texts and numbers.
    static TStoredValue Normalized(TStoredValue value) {
        value.type = TStoreValueType::Binary;
        if (value.typeCode == kRegTypeText) {
            value.type = TStoreValueType::Text;
            std::string raw(value.bytes.begin(), value.bytes.end());
            std::vector<char16_t> units = BytesToUnits(raw, 0, false);
            // Only the terminator goes: a NUL that ends the text itself is kept.
            if (!units.empty() && units.back() == 0) units.pop_back();
            value.text = Utf16ToUtf8(units);
            value.bytes.clear();
        } else if (value.typeCode == kRegTypeNumber && value.bytes.size() == 4) {
            value.type = TStoreValueType::Number;
            value.number = value.bytes[0] | (value.bytes[1] << 8) | (value.bytes[2] << 16) |
                           (static_cast<std::uint32_t>(value.bytes[3]) << 24);
            value.bytes.clear();
        }
        return value;
    }

    std::vector<std::string> lines_;
    size_t index_ = 0;
    std::string currentKey_;
    TRegParseResult result_;
    std::map<std::string, size_t> ordered_;  // lower-case key path -> index, for whole trees
    const char* error_ = "";
};

// --- Writing --------------------------------------------------------------------------------

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string HexData(const std::string& prefix, const std::vector<std::uint8_t>& bytes,
                    size_t column) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = prefix;
    column += prefix.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
        column += 2;
    }
    return out;
}

std::string HexPrefix(std::uint32_t typeCode) {
    if (typeCode == kRegTypeBinary) return "hex:";
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "hex(%x):", typeCode);
    return buffer;
}

std::string FormatValue(const TStoredValue& value) {
    std::string line = value.name.empty() ? "@=" : Quoted(value.name) + "=";
    if (value.type == TStoreValueType::Number) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", value.number);
        return line + buffer;
    }
    if (value.type == TStoreValueType::Binary)
        return line + HexData(HexPrefix(value.typeCode), value.bytes, line.size());
    // A line break or NUL cannot stand inside quotes: such a text is spelt as UTF-16 bytes.
    if (value.text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
        return line + Quoted(value.text);
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : Utf8ToUtf16(value.text)) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return line + HexData(HexPrefix(kRegTypeText), bytes, line.size());
}

}  // namespace

TRegParseResult ParseRegFile(const std::string& bytes) {
    return TRegParser(SplitLines(DecodeFileText(bytes))).Parse();
}

std::string FormatRegFile(const TRegFileData& data) {
    std::string out = std::string(kHeader) + "\n";
    for (const TStoredKey& key : data.keys) {
        out += "\n[" + key.path + "]\n";
        for (const TStoredValue& value : key.values) out += FormatValue(value) + "\n";
    }
    return out;
}

}  // namespace galerion
