#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: tools/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPAVONIA_BUILD_FUZZERS=ON -DPAVONIA_BUILD_TESTS=OFF -DPAVONIA_BUILD_BENCH=OFF >/dev/null
# Only the fuzz targets and what they link: the rest of the program gains
# nothing from an instrumented build.
targets=()
for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
# Seeds: a project the program writes, and its pack stream alone.
mkdir -p build-fuzz/corpus/fuzz_load_project build-fuzz/corpus/fuzz_pack_stream
if [ -x build/install/pavonia-cli ]; then
  seed=build-fuzz/corpus/fuzz_load_project/new-project.pvp
  if build/install/pavonia-cli --home build/install new "$seed" && [ -f "$seed" ]; then
    offset="$(grep -obUa NBSVMNGR "$seed" | head -n1 | cut -d: -f1)"
    tail -c +"$((offset + 1))" "$seed" > build-fuzz/corpus/fuzz_pack_stream/new-project.pack
  fi
fi
# Committed seed files, one folder per target.
for seeds in fuzz/seeds/*/; do
  name="$(basename "$seeds")"
  mkdir -p "build-fuzz/corpus/$name"
  cp "$seeds"* "build-fuzz/corpus/$name/"
done
shopt -s nullglob
for fuzzer in build-fuzz/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${SECONDS_EACH}s"
  log="build-fuzz/$name.log"
  if ! "$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name found a fault" >&2
    exit 1
  fi
  tail -n 8 "$log"
done
