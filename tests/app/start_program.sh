#!/usr/bin/env bash
# Starts the real program under a virtual display, twice: on a new (empty) schedule file, which
# opens with its file properties, and on an existing schedule, which opens in the main window.
#
# Every wait is for a state (the display taking clients, the window shown, the program gone)
# under one generous deadline, so that a busy machine makes the test slower but never fails it.
# The display is started here rather than by xvfb-run, whose choice of a free display number and
# whose wait for the server to be ready both race with other servers starting at the same time.
set -euo pipefail
program=$1
schedule=$2
deadline=$((SECONDS + 240))
tmp=$(mktemp -d)
xvfb=
app=
cleanup() {
  for pid in $app $xvfb; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -m 700 "$tmp/work" "$tmp/run"
: > "$tmp/plan.QRD"   # an empty schedule file is a new schedule
cp "$schedule" "$tmp/kept.QRD"
export TAVRIN_WORKDIR="$tmp/work" XDG_RUNTIME_DIR="$tmp/run"
# The program's printing settings are the test's own, whatever default printer the user has.
mkdir -p "$tmp/home/cups"
export HOME="$tmp/home" CUPS_SERVERROOT="$tmp/home/cups"
unset PRINTER LPDEST IPP_PORT CUPS_ENCRYPTION
unset QT_QPA_PLATFORM XAUTHORITY

fail() {
  echo "$*" >&2
  if [[ -n ${DISPLAY:-} ]]; then xwininfo -root -tree >&2 || true; fi
  for log in "$tmp"/*.log; do
    [[ -s $log ]] && { echo "--- ${log##*/}" >&2; cat "$log" >&2; }
  done
  exit 1
}

# Xvfb takes the first free display number itself and writes it to the pipe once it accepts
# clients; the pipe ends without a number when the server cannot start.
mkfifo "$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
exec 4<"$tmp/display"
display=
read -r -t $((deadline - SECONDS)) -u 4 display || true
exec 4<&-
[[ $display =~ ^[0-9]+$ ]] || fail "the virtual display did not start"
export DISPLAY=":$display"

# Starts the program on a file, waits for a window of the given title, then ends the program and
# waits until it is gone (it holds the working folder until then).
start_and_wait() {
  local file=$1 title=$2
  "$program" "$file" 2>"$tmp/program.log" &
  app=$!
  until xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; do
    kill -0 "$app" 2>/dev/null || fail "the program ended before a window \"$title\" appeared"
    ((SECONDS < deadline)) || fail "no window \"$title\" appeared"
    sleep 0.1
  done
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=
}

start_and_wait "$tmp/plan.QRD" "Set File Properties [ plan ]"
start_and_wait "$tmp/kept.QRD" "kept - Tavrin [28 Day]"
