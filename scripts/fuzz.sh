#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}

cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"

shopt -s nullglob
for target in build/fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  mkdir -p "$work/corpus" "$work/wd"
  chmod 700 "$work/wd"
  corpus=("$work/corpus")
  [ -d "$seeds" ] && corpus+=("$seeds")
  echo "Fuzzing $name for ${seconds}s"
  # The working folder is kept apart from the corpus, which the fuzzer reads back.
  TAVRIN_WORKDIR="$work/wd" ASAN_OPTIONS=detect_leaks=1 \
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" "${corpus[@]}" >"$work/log" 2>&1 || {
      tail -n 60 "$work/log"; echo "Fuzz target $name failed"; exit 1; }
  rm -rf "$work"
done
