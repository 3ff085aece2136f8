#include "platform/settings_store.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "platform/reg_file_format.h"

#include <fcntl.h>
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

// Reads the whole file into `bytes`; false with `missing` when there is none, false with
// `problem` set when it cannot be used.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& problem, bool& missing) {
    missing = false;
    TFdCloser file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        missing = errno == ENOENT;
        if (!missing) problem = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        problem = std::string("cannot be examined: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "is not a regular file";
        return false;
    }
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            problem = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) return true;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > TSettingsStore::kMaxFileSize) {
            problem = "is larger than 1 MiB";
            return false;
        }
    }
}

std::string FreeBrokenName(const std::string& path) {
    std::string candidate = path + ".broken";
    struct stat info {};
    for (int n = 1; ::lstat(candidate.c_str(), &info) == 0; ++n)
        candidate = path + ".broken." + std::to_string(n);
    return candidate;
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
    brokenFilePath_.clear();

    std::string bytes;
    std::string problem;
    bool missing = false;
    if (ReadWholeFile(filePath_, bytes, problem, missing)) {
        try {
            *data_ = TData{ParseRegFile(bytes)};
            return;
        } catch (const TRegParseError& error) {
            problem = std::string("cannot be parsed (") + error.what() + ")";
        }
    }
    if (missing) return;

    // Never overwrite what could not be read: move it aside and start empty.
    data_ = std::make_unique<TData>();
    const std::string aside = FreeBrokenName(filePath_);
    if (::rename(filePath_.c_str(), aside.c_str()) != 0)
        throw FileError("Settings file '" + filePath_ + "' " + problem +
                        " and cannot be moved aside: " + std::strerror(errno));
    brokenFilePath_ = aside;
    loadProblem_ = "Settings file '" + filePath_ + "' " + problem + "; it was kept as '" + aside + "'";
}

bool TSettingsStore::OpenKey(const std::string& keyPath, bool canCreate) {
    CloseKey();
    const std::string clean = CleanKeyPath(keyPath);
    ReadFile();
    const std::string full = clean.empty() ? std::string(kHive) : std::string(kHive) + "\\" + clean;
    const bool exists = std::any_of(data_->keys.begin(), data_->keys.end(),
                                    [&](const TStoredKey& key) { return IsKeyAtOrBelow(key.path, full); });
    if (!exists) {
        if (!canCreate) return false;
        ObtainKey(*data_, full);
        dirty_ = true;
    }
    openKey_ = full;
    return true;
}

void TSettingsStore::CloseKey() {
    if (!IsOpen()) return;
    openKey_.clear();
    if (!dirty_) return;
    dirty_ = false;
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

const TStoredValue& Require(const TStoredValue* value, TStoreValueType type, const std::string& name) {
    if (!value) throw ConvertError("Value '" + name + "' does not exist");
    if (TypeOf(*value) != type) throw ConvertError("Invalid data type for '" + name + "'");
    return *value;
}

}  // namespace

TStoreValueType TSettingsStore::ValueType(const std::string& subKey, const std::string& name) const {
    const TStoredValue* value = Lookup(*data_, FullPath(subKey), name);
    return value ? TypeOf(*value) : TStoreValueType::Absent;
}

std::int32_t TSettingsStore::ReadNumber(const std::string& subKey, const std::string& name) const {
    const TStoredValue& value = Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Number, name);
    return static_cast<std::int32_t>(value.number);
}

std::string TSettingsStore::ReadText(const std::string& subKey, const std::string& name) const {
    return Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Text, name).text;
}

std::vector<std::uint8_t> TSettingsStore::ReadBinary(const std::string& subKey,
                                                     const std::string& name) const {
    return Require(Lookup(*data_, FullPath(subKey), name), TStoreValueType::Binary, name).bytes;
}

void TSettingsStore::WriteNumber(const std::string& subKey, const std::string& name, std::int32_t value) {
    CheckName(name, "A value name");
    TStoredValue stored;
    stored.name = name;
    stored.type = TStoreValueType::Number;
    stored.number = static_cast<std::uint32_t>(value);
    SetValue(ObtainKey(*data_, FullPath(subKey)), std::move(stored));
    dirty_ = true;
}

void TSettingsStore::WriteText(const std::string& subKey, const std::string& name, const std::string& value) {
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