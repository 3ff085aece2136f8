#!/usr/bin/env bash
# Builds Galerion and writes a few example albums. With a display it opens the window on them;
# without one it processes them with the command-line front end. The example keeps its photos,
# settings and database in a folder of its own; the user's own settings and database are never
# touched.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja
bin=build/bin
example="$PWD/build/example"
photos="$example/photos"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cmake --build build -j "$(nproc)" --target galerion galerion-cli galerion-make-examples
  "$bin/galerion-make-examples" "$photos"
  # The window keeps its settings and default database below the example folder.
  export XDG_CONFIG_HOME="$example/window-config" XDG_DATA_HOME="$example/window-data"
  # A first start opens the Albums page on the examples, in a window large enough for the
  # Pictures page, with every log line shown; what the window saved at an earlier start is kept.
  if [ ! -e "$XDG_CONFIG_HOME/Tarnwick/Galerion.reg" ]; then
    for setting in "MainDir=$photos/*.*" Width=960 Heigth=720 LogLevelOthers=1; do
      "$bin/galerion-cli" settings set "$setting" >/dev/null
    done
  fi
  echo "Example albums: $photos"
  echo "Window settings and database: $example/window-config, $example/window-data"
  exec "$bin/galerion"
fi

cmake --build build -j "$(nproc)" --target galerion-cli galerion-make-examples
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
