#!/usr/bin/env bash
# Starts the real program under a virtual display, twice: on a new (empty) schedule file, which
# opens with its file properties, and on an existing schedule, which opens in the main window.
set -euo pipefail
program=$1
schedule=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/work" "$tmp/run"
: > "$tmp/plan.QRD"   # an empty schedule file is a new schedule
cp "$schedule" "$tmp/kept.QRD"
export TAVRIN_WORKDIR="$tmp/work" XDG_RUNTIME_DIR="$tmp/run"
unset QT_QPA_PLATFORM

# Starts the program on a file and waits for a window of the given title.
start_and_wait() {
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" "$2" &
    pid=$!
    for _ in $(seq 1 150); do
      if xwininfo -root -tree | grep -qF "\"$3\""; then
        kill "$pid"; wait "$pid" 2>/dev/null || true
        exit 0
      fi
      if ! kill -0 "$pid" 2>/dev/null; then echo "the program ended early" >&2; exit 1; fi
      sleep 0.2
    done
    echo "no window \"$3\" appeared" >&2
    xwininfo -root -tree >&2 || true
    kill "$pid"; exit 1' _ "$program" "$1" "$2"
}

start_and_wait "$tmp/plan.QRD" "Set File Properties [ plan ]"
start_and_wait "$tmp/kept.QRD" "kept - Tavrin [28 Day]"
