#pragma once
// The per-user settings store: keys and sub-keys holding named, typed values (32-bit numbers,
// texts, binary data), kept in a text file in the registry export format
// ("Windows Registry Editor Version 5.00"). The file is read when a key is opened and written
// (atomically) when it is closed; keys and values it does not know are kept as they were.
// Key and value names match without regard to letter case.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace galerion {

enum class TStoreValueType { Absent, Number, Text, Binary };

class TSettingsStore {
public:
    // Every key path is below this hive; it is written in front of each key in the file.
    static constexpr const char* kHive = "HKEY_CURRENT_USER";
    // Files larger than this are refused like broken ones.
    static constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

    // ConfigFolder() + "Galerion.reg".
    static std::string DefaultFilePath();

    explicit TSettingsStore(std::string filePath);
    // Writes pending changes of an open key; a failure there is swallowed (use CloseKey).
    ~TSettingsStore();
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;

    const std::string& FilePath() const { return filePath_; }

    // Reads the file afresh and opens `keyPath` ("Software\Tarnwick\..."), creating it when it
    // is missing and `canCreate` is set; false when it is missing otherwise. A key already open
    // is closed first. A missing file is an empty store. A file that cannot be used (not
    // parsable, larger than kMaxFileSize, not a regular file, unreadable) is moved aside to
    // BrokenFilePath() and the store starts empty; LoadProblem() then says what happened.
    // Throws FileError when such a file cannot even be moved aside: it is never overwritten.
    bool OpenKey(const std::string& keyPath, bool canCreate);
    // Writes the file when anything changed since it was read, then closes the key. The key is
    // closed even when writing throws FileError.
    void CloseKey();
    bool IsOpen() const { return !openKey_.empty(); }

    // Why the file was set aside at the last OpenKey; empty when it was fine or absent.
    const std::string& LoadProblem() const { return loadProblem_; }
    // Where the last unusable file went ("<file>.broken", or with a number when taken).
    const std::string& BrokenFilePath() const { return brokenFilePath_; }

    // Values are addressed by a sub-key path relative to the open key ("" for the key itself)
    // and a value name ("" for the key's default value). Reading a value of another type, or
    // an absent one, throws ConvertError. Writing creates the sub-key when needed.
    bool KeyExists(const std::string& subKey) const;
    TStoreValueType ValueType(const std::string& subKey, const std::string& name) const;
    std::int32_t ReadNumber(const std::string& subKey, const std::string& name) const;
    std::string ReadText(const std::string& subKey, const std::string& name) const;
    std::vector<std::uint8_t> ReadBinary(const std::string& subKey, const std::string& name) const;
    void WriteNumber(const std::string& subKey, const std::string& name, std::int32_t value);
    void WriteText(const std::string& subKey, const std::string& name, const std::string& value);
    void WriteBinary(const std::string& subKey, const std::string& name,
                     const std::vector<std::uint8_t>& value);
    void DeleteValue(const std::string& subKey, const std::string& name);
    // Names of the values of a sub-key in file order; empty when the sub-key is missing.
    std::vector<std::string> ValueNames(const std::string& subKey) const;

    struct TData;  // the parsed file

private:
    std::string FullPath(const std::string& subKey) const;
    void RequireOpen() const;
    void ReadFile();

    std::string filePath_;
    std::string openKey_;  // full path with the hive; empty while closed
    std::string loadProblem_;
    std::string brokenFilePath_;
    std::unique_ptr<TData> data_;
    bool dirty_ = false;
};

}  // namespace galerion
