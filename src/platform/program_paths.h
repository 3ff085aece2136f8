#pragma once
// Where the program finds its read-only files and keeps the user's writable ones.
#include <string>

namespace galerion {

// Folder of the running executable, with its trailing '/'.
std::string ProgramFolder();
// A read-only resource (create_tables.sql, help): beside the executable, else
// ../share/galerion/ relative to it. Returns the first candidate when neither exists.
std::string ResourcePath(const std::string& name);
// $XDG_CONFIG_HOME (or ~/.config) + "/Tarnwick/", with its trailing '/'; FileError when
// neither HOME nor XDG_CONFIG_HOME is set.
std::string ConfigFolder();
// $XDG_DATA_HOME (or ~/.local/share) + "/Galerion/", with its trailing '/'.
std::string DataFolder();
// The user's pictures folder (xdg-user-dir PICTURES), else $HOME/Pictures, never $HOME itself,
// whether it exists or not; no trailing '/'.
std::string PicturesFolder();

}  // namespace galerion
