#!/usr/bin/env bash
# Builds Galerion, writes a few example albums and processes them into the default database.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)" --target galerion-cli galerion-make-examples
photos="$PWD/build/example-photos"
bin=build/bin
"$bin/galerion-make-examples" "$photos"
# --update-mode update: running the example again updates its rows instead of adding new ones.
"$bin/galerion-cli" --update-mode update --set "MainDir=$photos/*.*" process --all
echo
echo "Site files: the ps_large, ps_medium and ps_thumb folders of each album below $photos"
echo "Database:   $("$bin/galerion-cli" settings get DB)"
