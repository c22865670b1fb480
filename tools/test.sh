#!/usr/bin/env bash
# Sets up a fresh machine, builds, runs the unit tests, then runs each fuzz
# target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" | tee build/ctest.log
bash tools/fuzz.sh "${PAVONIA_FUZZ_SECONDS:-60}"
# The unit-test count, last, where CI looks for it.
summary="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' build/ctest.log | tail -n1)"
failed="$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")"
total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")"
echo "tests: $((total - failed)) passed, $failed failed"
