#!/usr/bin/env bash
# Writes screenshots of the published sample in every stock style, at
# desktop (1280 x 720) and phone (390 x 844) size, into build/screenshots/.
# Builds what it needs first; needs chromium (tools/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j"$(nproc)" --target page_screenshots >&2
rm -rf build/screenshots
./build/tools/page_screenshots build/screenshots
