#!/usr/bin/env bash
# Sets up a fresh machine, builds, and opens the bundled sample project: in
# the program's window on a desktop, or, where there is no display (or the
# program was not built), publishes it as the browser preview does and
# prints the published page's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh >&2
bash tools/build.sh >&2
sample=build/install/Samples/Sample.pvp
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/install/pavonia ]; then
  exec ./build/install/pavonia "$sample"
fi
page="$(./build/install/pavonia-cli preview "$sample")"
echo "$page"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xdg-open >/dev/null; then
  xdg-open "$page" >/dev/null 2>&1 || true
fi
