#!/usr/bin/env bash
# Builds Galerion, writes a few example albums and processes them. The example keeps its photos,
# settings and database in a folder of its own; the user's own settings and database are never
# touched.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)" --target galerion-cli galerion-make-examples
bin=build/bin
example="$PWD/build/example"
photos="$example/photos"
db="$example/galerion.db"
cli=("$bin/galerion-cli" --settings "$example/Galerion.reg" --db "$db")
"$bin/galerion-make-examples" "$photos"
[ -f "$db" ] || "${cli[@]}" init-db
"${cli[@]}" settings set "MainDir=$photos" >/dev/null
started="$example/last-run"
touch "$started"
# --update-mode update: running the example again updates its rows instead of adding new ones.
"${cli[@]}" --update-mode update process --all
echo
echo "Example folder: $example (photos, settings file Galerion.reg, database)"
echo "Database:       $db"
echo "Output folders written:"
names=()
for setting in LargeFolder MediumFolder ThumbFolder; do names+=("$("${cli[@]}" settings get "$setting")"); done
find "$photos" -type d \( -name "${names[0]}" -o -name "${names[1]}" -o -name "${names[2]}" \) \
    -newer "$started" ! -empty -print | sort | sed 's/^/  /'
