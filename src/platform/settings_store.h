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

// A line of the settings file that could not be read; the lines around it still count.
struct TRegLineProblem {
    size_t line = 0;  // 1-based; 0 for the file as a whole
    std::string what;
};

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
    // is closed first. A missing file is an empty store. Lines that cannot be read are skipped
    // and every other value kept (a file over kMaxFileSize is read as empty); LoadProblem() then
    // says where and what. A path that names no regular file, or a file that cannot be read,
    // raises FileError: nothing is ever written there. Holds the lock until CloseKey.
    bool OpenKey(const std::string& keyPath, bool canCreate);
    // Writes the file when anything changed since it was read, then closes the key. A file read
    // with problems is first kept beside itself as BrokenFilePath(), never replacing an earlier
    // copy; when no copy can be made nothing is written (FileError). The key is closed even when
    // writing throws FileError.
    void CloseKey();
    bool IsOpen() const { return !openKey_.empty(); }

    // The first problem of the last OpenKey's read, naming the file and the line, with the
    // count of any others; empty when the file was fine or absent.
    const std::string& LoadProblem() const { return loadProblem_; }
    // Where the copy of a file read with problems was kept ("<file>.broken", or with a
    // number when taken); empty until a save made one.
    const std::string& BrokenFilePath() const { return brokenFilePath_; }

    // The store's advisory lock, held while this lives, so that a read-change-write over
    // several OpenKey/CloseKey pairs does not interleave with another writer's. OpenKey holds
    // it by itself until CloseKey.
    class TUpdateLock {
    public:
        explicit TUpdateLock(TSettingsStore& store);
        ~TUpdateLock();
        TUpdateLock(const TUpdateLock&) = delete;
        TUpdateLock& operator=(const TUpdateLock&) = delete;

    private:
        TSettingsStore& store_;
    };

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
    bool OpenKeyLocked(const std::string& cleanKeyPath, bool canCreate);
    void Lock();
    void Unlock();

    std::string filePath_;
    std::string openKey_;  // full path with the hive; empty while closed
    std::string loadProblem_;
    std::string brokenFilePath_;
    std::vector<TRegLineProblem> loadProblems_;
    size_t moreProblems_ = 0;
    std::string originalBytes_;  // of a file read with problems, for its copy
    bool originalComplete_ = true;
    std::unique_ptr<TData> data_;
    bool dirty_ = false;
    int lockFd_ = -1;
    int lockDepth_ = 0;
};

}  // namespace galerion
