#pragma once
// Defaults of the settings that depend on where the program and the user's files are.
#include "core/settings.h"

#include <string>

namespace galerion {

// "Provider=SQLite;Data Source=" + the user's data folder + "galerion.db".
std::string DefaultConnectionString();
// The user's pictures folder + "/*.*".
std::string DefaultMainDir();
// A record holding every default, the two above included.
TSettings DefaultSettings();

}  // namespace galerion
