#!/usr/bin/env bash
# Photographs the desktop program under a virtual display (Xvfb): the main
# window on the bundled sample in each page mode and each of its dialogs,
# as build/screenshots/program-*.png. Builds what it needs first; needs
# xvfb-run (tools/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# The whole tree: the program needs its installation data beside it.
cmake --build build -j"$(nproc)" >&2
out=build/screenshots
mkdir -p "$out"
rm -f "$out"/program-*.png
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
# The program writes each picture into $shots and quits; its own settings
# and working files go to a throw-away home.
HOME="$shots/home" XDG_CONFIG_HOME="$shots/home/.config" XDG_CACHE_HOME="$shots/home/.cache" \
XDG_DATA_HOME="$shots/home/.local/share" PAVONIA_SCREENSHOTS="$shots/pictures" \
  timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" \
  ./build/install/pavonia build/install/Samples/Sample.pvp >/dev/null
for picture in "$shots"/pictures/*.png; do
  cp "$picture" "$out/program-$(basename "$picture")"
done
ls "$out"/program-*.png
