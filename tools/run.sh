#!/usr/bin/env bash
# Sets up a fresh machine, builds, and publishes the bundled sample project as
# the browser preview does: prints the published page's path, and opens it in
# the browser when there is a display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh >&2
bash tools/build.sh >&2
page="$(./build/install/pavonia-cli preview build/install/Samples/Sample.pvp)"
echo "$page"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xdg-open >/dev/null; then
  xdg-open "$page" >/dev/null 2>&1 || true
fi
