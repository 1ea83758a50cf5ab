#!/usr/bin/env bash
# Starts the real program under a virtual display on a new (empty) schedule file and waits for
# the file properties that a new schedule opens with.
set -euo pipefail
program=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/work" "$tmp/run"
: > "$tmp/plan.QRD"   # an empty schedule file is a new schedule
export TAVRIN_WORKDIR="$tmp/work" XDG_RUNTIME_DIR="$tmp/run"
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" "$2" &
  pid=$!
  for _ in $(seq 1 150); do
    if xwininfo -root -tree | grep -qF "\"Set File Properties [ plan ]\""; then
      kill "$pid"; wait "$pid" 2>/dev/null || true
      exit 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then echo "the program ended early" >&2; exit 1; fi
    sleep 0.2
  done
  echo "no file properties of the new schedule appeared" >&2
  xwininfo -root -tree >&2 || true
  kill "$pid"; exit 1' _ "$program" "$tmp/plan.QRD"
