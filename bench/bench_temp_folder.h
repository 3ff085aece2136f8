#pragma once
// A fresh folder below the system's temp folder for one benchmark, removed at its end.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace galerion::bench {

class TTempFolder {
public:
    explicit TTempFolder(const std::string& prefix = "galerion_bench_") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TTempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    std::string File(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace galerion::bench
