#pragma once
// A fresh folder below the system's temporary folder ($TMPDIR), removed with everything in it.
#include <string>

namespace galerion::test {

class TTempFolder {
public:
    explicit TTempFolder(const std::string& prefix = "galerion-");
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return File(name); }

private:
    std::string path_;
};

}  // namespace galerion::test
