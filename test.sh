#!/usr/bin/env bash
# Sets up what is missing, builds Tavrin and runs every test: the suites, the suites again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh

jobs=$(nproc)

cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan

./scripts/fuzz.sh "${TAVRIN_FUZZ_SECONDS:-10}"

echo "All tests passed."
