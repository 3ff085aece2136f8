#include "core/settings_defaults.h"

#include "platform/program_paths.h"

namespace galerion {

std::string DefaultConnectionString() {
    return "Provider=SQLite;Data Source=" + DataFolder() + "galerion.db";
}

std::string DefaultMainDir() { return PicturesFolder() + "/*.*"; }

TSettings DefaultSettings() {
    TSettings settings;
    settings.DB = DefaultConnectionString();
    settings.MainDir = DefaultMainDir();
    return settings;
}

}  // namespace galerion
