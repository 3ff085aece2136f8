#!/usr/bin/env bash
# Installs the Debian packages Galerion needs to build, test and run. Safe to run again.
# Run time: Qt's platform plugins (the window under X11, Wayland or offscreen), fontconfig and
# fonts (the window's desktop font and the log view's fixed-pitch one: DejaVu, and Noto Sans
# Mono, which answers "monospace" on many desktops and is kept here so that the tests see that
# case) and the time-zone data.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libjpeg62-turbo-dev libsqlite3-dev
  liblcms2-dev libheif-dev icc-profiles-free
  libpq-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins
  fontconfig fonts-dejavu-core fonts-noto-mono tzdata
  libexiv2-dev
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
