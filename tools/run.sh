#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the program on the bundled sample
# project: prints what the project holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh >&2
bash tools/build.sh >&2
./build/install/pavonia-cli info build/install/Samples/Sample.pvp
