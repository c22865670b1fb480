#!/usr/bin/env bash
# Sets up a fresh machine, builds, runs the unit tests, then runs each fuzz
# target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash tools/fuzz.sh "${PAVONIA_FUZZ_SECONDS:-60}"
