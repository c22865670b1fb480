#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: tools/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPAVONIA_BUILD_FUZZERS=ON -DPAVONIA_BUILD_TESTS=OFF -DPAVONIA_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)"
shopt -s nullglob
for fuzzer in build-fuzz/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  echo "== $name for ${SECONDS_EACH}s"
  "$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
done
