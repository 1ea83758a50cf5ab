#!/usr/bin/env bash
# Sets up what is missing, builds Tavrin and starts it, optionally on a schedule file:
#   ./run.sh [file.QRD]
set -euo pipefail
caller_dir=$(pwd)
repo=$(cd "$(dirname "$0")" && pwd)
cd "$repo"

./scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tavrin -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Tavrin is a desktop program and needs a graphical display, but none is set (DISPLAY)." >&2
  echo "Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a ./run.sh [file.QRD]" >&2
  exit 1
fi

# Started from the caller's folder, so that a relative file name means what the caller meant.
cd "$caller_dir"
exec "$repo/build/default/src/tavrin" "$@"
