#include "platform/settings_store.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "platform/reg_file_format.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace galerion {

// The public header names the parsed file only through this nested type.
struct TSettingsStore::TData : TRegFileData {};

namespace {

// --- Files ----------------------------------------------------------------------------------

struct TFdCloser {
    int fd = -1;
    ~TFdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

enum class TFileRead { Missing, Complete, TooLarge };

// Reads the whole file into `bytes` (up to a little over kMaxFileSize). A path that names no
// regular file, or one that cannot be read, raises FileError: nothing is ever done to it.
TFileRead ReadWholeFile(const std::string& path, std::string& bytes) {
    TFdCloser file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        if (errno == ENOENT) return TFileRead::Missing;
        throw FileError("Settings file '" + path + "' cannot be opened: " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throw FileError("Settings file '" + path + "' cannot be examined: " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        throw FileError("Settings path '" + path +
                        "' is not a regular file; nothing is read from it or written to it");
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw FileError("Settings file '" + path + "' cannot be read: " + std::strerror(errno));
        if (n == 0) return TFileRead::Complete;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > TSettingsStore::kMaxFileSize) return TFileRead::TooLarge;
    }
}

// The file a write replaces: the one a link names, when the path is a link.
std::string WrittenFile(const std::string& path) {
    const std::string resolved = ResolvedPath(path);
    return resolved.empty() ? path : resolved;
}

// Keeps the file's present contents as "<file>.broken" (or with a number when taken), never
// replacing anything: a second name for the same file, which the coming rename leaves as it
// is, or else a new file holding `bytes`. Returns the copy's path.
std::string KeepBrokenCopy(const std::string& path, const std::string& bytes, bool bytesComplete) {
    const std::string file = WrittenFile(path);
    for (int n = 0; n < 1000; ++n) {
        const std::string candidate = file + ".broken" + (n == 0 ? "" : "." + std::to_string(n));
        if (::link(file.c_str(), candidate.c_str()) == 0) return candidate;
        if (errno == EEXIST) continue;
        if (!bytesComplete) break;
        TFdCloser copy{::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
        if (copy.fd < 0 && errno == EEXIST) continue;
        if (copy.fd < 0) break;
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(copy.fd, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) break;
            done += static_cast<size_t>(written);
        }
        if (done == bytes.size() && ::fsync(copy.fd) == 0) return candidate;
        ::unlink(candidate.c_str());
        break;
    }
    throw FileError("Settings file '" + path +
                    "' holds lines that could not be read, and no copy of it can be kept: " +
                    std::strerror(errno) + "; it is left as it is");
}

void CheckName(const std::string& name, const char* what) {
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw ConvertError(std::string(what) + " must not contain line breaks: '" + name + "'");
}

// "a\b\" -> "a\b"; empty parts are refused.
std::string CleanKeyPath(const std::string& path) {
    CheckName(path, "A key path");
    const size_t begin = path.find_first_not_of('\\');
    if (begin == std::string::npos) return {};
    std::string clean = path.substr(begin, path.find_last_not_of('\\') - begin + 1);
    if (clean.find("\\\\") != std::string::npos || clean[0] == '-')
        throw ConvertError("Invalid key path '" + path + "'");
    return clean;
}

TStoreValueType TypeOf(const TStoredValue& value) { return value.type; }

}  // namespace

std::string TSettingsStore::DefaultFilePath() { return ConfigFolder() + "Galerion.reg"; }

TSettingsStore::TSettingsStore(std::string filePath)
    : filePath_(std::move(filePath)), data_(std::make_unique<TData>()) {}

TSettingsStore::~TSettingsStore() {
    try {
        CloseKey();
    } catch (...) {
        // A destructor must not throw; CloseKey is where a failed write is reported.
    }
}

void TSettingsStore::ReadFile() {
    data_ = std::make_unique<TData>();
    dirty_ = false;
    loadProblem_.clear();
    loadProblems_.clear();
    brokenFilePath_.clear();
    originalBytes_.clear();
    originalComplete_ = true;

    std::string bytes;
    const TFileRead read = ReadWholeFile(filePath_, bytes);
    if (read == TFileRead::Missing) return;
    if (read == TFileRead::TooLarge) {
        loadProblems_.push_back({0, "the file is larger than 1 MiB"});
        originalComplete_ = false;
    } else {
        try {
            TRegParseResult parsed = ParseRegFile(bytes);
            *data_ = TData{std::move(parsed.data)};
            loadProblems_ = std::move(parsed.problems);
            moreProblems_ = parsed.problemCount - loadProblems_.size();
        } catch (const TRegParseError& error) {
            loadProblems_.push_back({0, error.what()});
        }
    }
    if (loadProblems_.empty()) return;
    // The good values are kept; what could not be read survives in a copy made before a save.
    originalBytes_ = std::move(bytes);
    const TRegLineProblem& first = loadProblems_.front();
    loadProblem_ = "Settings file '" + filePath_ + "'" +
                   (first.line > 0 ? " line " + std::to_string(first.line) : std::string()) + ": " +
                   first.what;
    const size_t others = loadProblems_.size() - 1 + moreProblems_;
    if (others > 0) loadProblem_ += " (and " + std::to_string(others) + " more)";
}

void TSettingsStore::Lock() {
    if (lockDepth_++ > 0) return;
    // The folder, not the file: a save replaces the file, and a lock on the old one would let
    // the next writer in too early. No folder yet: nothing to lose, nothing to lock.
    const std::string folder = std::filesystem::path(WrittenFile(filePath_)).parent_path().string();
    lockFd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lockFd_ >= 0)
        while (::flock(lockFd_, LOCK_EX) != 0 && errno == EINTR) {}
}

void TSettingsStore::Unlock() {
    if (lockDepth_ == 0 || --lockDepth_ > 0) return;
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

TSettingsStore::TUpdateLock::TUpdateLock(TSettingsStore& store) : store_(store) { store_.Lock(); }

TSettingsStore::TUpdateLock::~TUpdateLock() { store_.Unlock(); }

bool TSettingsStore::OpenKey(const std::string& keyPath, bool canCreate) {
    CloseKey();
    const std::string clean = CleanKeyPath(keyPath);
    Lock();
    try {
        if (OpenKeyLocked(clean, canCreate)) return true;
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    return false;
}

bool TSettingsStore::OpenKeyLocked(const std::string& clean, bool canCreate) {
    ReadFile();
    const std::string full = clean.empty() ? std::string(kHive) : std::string(kHive) + "\\" + clean;
    const bool exists =
        std::any_of(data_->keys.begin(), data_->keys.end(),
                    [&](const TStoredKey& key) { return IsKeyAtOrBelow(key.path, full); });
    if (!exists) {
        if (!canCreate) return false;
        ObtainKey(*data_, full);
        // An empty new key is not worth a save that drops the lines that could not be read.
        dirty_ = loadProblems_.empty();
    }
    openKey_ = full;
    return true;
}

void TSettingsStore::CloseKey() {
    if (!IsOpen()) return;
    openKey_.clear();
    struct TUnlockAtEnd {
        TSettingsStore& store;
        ~TUnlockAtEnd() { store.Unlock(); }
    } unlock{*this};
    if (!dirty_) return;
    dirty_ = false;
    if (!loadProblems_.empty() && brokenFilePath_.empty() && !originalBytes_.empty())
        brokenFilePath_ = KeepBrokenCopy(filePath_, originalBytes_, originalComplete_);
    ReplaceFileAtomically(filePath_, FormatRegFile(*data_));
}

void TSettingsStore::RequireOpen() const {
    if (!IsOpen()) throw std::logic_error("settings store: no key is open");
}

std::string TSettingsStore::FullPath(const std::string& subKey) const {
    RequireOpen();
    const std::string clean = CleanKeyPath(subKey);
    return clean.empty() ? openKey_ : openKey_ + "\\" + clean;
}

bool TSettingsStore::KeyExists(const std::string& subKey) const {
    const std::string full = FullPath(subKey);
    return std::any_of(data_->keys.begin(), data_->keys.end(),
                       [&](const TStoredKey& key) { return IsKeyAtOrBelow(key.path, full); });
}

namespace {

const TStoredValue* Lookup(const TRegFileData& data, const std::string& keyPath,
                           const std::string& name) {
    const TStoredKey* key = FindKey(data, keyPath);
    return key ? FindValue(const_cast<TStoredKey&>(*key), name) : nullptr;
}

const TStoredValue& Require(const TStoredValue* value, TStoreValueType type,
                            const std::string& name) {
    if (!value) throw ConvertError("Value '" + name + "' does not exist");
    if (TypeOf(*value) != type) throw ConvertError("Invalid data type for '" + name + "'");
    return *value;
}

}  // namespace

TStoreValueType TSettingsStore::ValueType(const std::string& subKey,
                                          const std::string& name) const {
    const TStoredValue* value = Lookup(*data_, FullPath(subKey), name);
    return value ? TypeOf(*value) : TStoreValueType::Absent;
}

std::int32_t TSettingsStore::ReadNumber(const std::string& subKey, const std::string& name) const {
    const TStoredValue& value =
        Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Number, name);
    return static_cast<std::int32_t>(value.number);
}

std::string TSettingsStore::ReadText(const std::string& subKey, const std::string& name) const {
    return Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Text, name).text;
}

std::vector<std::uint8_t> TSettingsStore::ReadBinary(const std::string& subKey,
                                                     const std::string& name) const {
    return Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Binary, name).bytes;
}

void TSettingsStore::WriteNumber(const std::string& subKey, const std::string& name,
                                 std::int32_t value) {
    CheckName(name, "A value name");
    TStoredValue stored;
    stored.name = name;
    stored.type = TStoreValueType::Number;
    stored.number = static_cast<std::uint32_t>(value);
    SetValue(ObtainKey(*data_, FullPath(subKey)), std::move(stored));
    dirty_ = true;
}

void TSettingsStore::WriteText(const std::string& subKey, const std::string& name,
                               const std::string& value) {
    CheckName(name, "A value name");
    TStoredValue stored;
    stored.name = name;
    stored.text = value;
    SetValue(ObtainKey(*data_, FullPath(subKey)), std::move(stored));
    dirty_ = true;
}

void TSettingsStore::WriteBinary(const std::string& subKey, const std::string& name,
                                 const std::vector<std::uint8_t>& value) {
    CheckName(name, "A value name");
    TStoredValue stored;
    stored.name = name;
    stored.type = TStoreValueType::Binary;
    stored.bytes = value;
    SetValue(ObtainKey(*data_, FullPath(subKey)), std::move(stored));
    dirty_ = true;
}

void TSettingsStore::DeleteValue(const std::string& subKey, const std::string& name) {
    TStoredKey* key = FindKey(*data_, FullPath(subKey));
    if (!key || !FindValue(*key, name)) return;
    RemoveValue(*key, name);
    dirty_ = true;
}

std::vector<std::string> TSettingsStore::ValueNames(const std::string& subKey) const {
    std::vector<std::string> names;
    if (const TStoredKey* key = FindKey(*data_, FullPath(subKey)))
        for (const TStoredValue& value : key->values) names.push_back(value.name);
    return names;
}

}  // namespace galerion