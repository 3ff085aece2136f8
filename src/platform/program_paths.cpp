#include "platform/program_paths.h"

#include "platform/errors.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace galerion {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string Home() { return EnvOr("HOME", "/tmp"); }

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string RunXdgUserDir() {
    struct PipeCloser {
        void operator()(FILE* f) const { ::pclose(f); }
    };
    std::unique_ptr<FILE, PipeCloser> pipe(::popen("xdg-user-dir PICTURES 2>/dev/null", "r"));
    if (!pipe) return {};
    char buffer[4096];
    std::string out;
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return WithSlash(exe.parent_path().string());
}

std::string ResourcePath(const std::string& name) {
    const std::string beside = ProgramFolder() + name;
    const std::string shared = ProgramFolder() + "../share/galerion/" + name;
    std::error_code ec;
    if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(shared, ec)) return shared;
    return beside;
}

std::string ConfigFolder() {
    // Without a home there is no per-user folder: a shared one would mix users' settings.
    const std::string home = EnvOr("HOME", "");
    const std::string config = EnvOr("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
    if (config.empty())
        throw FileError(
            "Neither HOME nor XDG_CONFIG_HOME is set: there is no folder for the "
            "settings file");
    return WithSlash(config) + "Tarnwick/";
}

std::string DataFolder() {
    return WithSlash(EnvOr("XDG_DATA_HOME", Home() + "/.local/share")) + "Galerion/";
}

std::string PicturesFolder() {
    const auto trimmed = [](std::string path) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    };
    const std::string home = trimmed(Home());
    const std::string dir = trimmed(RunXdgUserDir());
    // xdg-user-dir answers $HOME when no pictures folder is configured; searching all of home
    // would publish caches and documents, so the usual folder stands in, even when missing.
    if (dir.empty() || dir == home) return home + "/Pictures";
    return dir;
}

}  // namespace galerion
