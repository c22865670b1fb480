#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the program on the bundled sample
# project: prints what the project holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
./build/install/pavonia-cli info build/install/Samples/Sample.pvp
