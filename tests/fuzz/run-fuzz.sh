#!/usr/bin/env bash
# Fuzzes the settings.dat reader for N seconds (first argument, default 60).
# Exits non-zero when the fuzzer finds a crash, a leak or a sanitizer error;
# the failing input is left in the build folder (crash-*, leak-*, oom-*).
set -euo pipefail

seconds=${1:-60}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${BRINDLE_FUZZ_BUILD:-$source_dir/build/fuzz}

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DBRINDLE_FUZZ=ON -DBRINDLE_BUILD_TESTS=OFF -DBRINDLE_BUILD_BENCH=OFF >"$build_dir.configure.log" 2>&1 \
  || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" --target fuzz_settings fuzz_settings_seeds

corpus=$build_dir/fuzz-corpus
mkdir -p "$corpus"
"$build_dir/tests/fuzz/fuzz_settings_seeds" "$corpus"

# Inputs up to 64 KB; no single allocation over 64 MB and no more than 1 GB in
# all, far above what a file of that size may need.
"$build_dir/tests/fuzz/fuzz_settings" \
  -max_total_time="$seconds" -max_len=65536 -malloc_limit_mb=64 -rss_limit_mb=1024 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$build_dir/" "$corpus"
