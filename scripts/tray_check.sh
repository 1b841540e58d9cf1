#!/usr/bin/env bash
# Shows under a virtual X server with a window manager (openbox) that the tray icon docks in a
# tray host (trayer) and that minimising then hides the main window, and that without a tray host
# minimising leaves it minimised (iconic). tray_check.sh [BUILD_DIR]
# Exits 0 with a note when no X server can be started; 1 when a check fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TRAY_CHECK_BUILD:-${1:-"$root/build"}}
program="$build/src/program/tarn-monitor"

# One run inside the virtual display: $1 is "tray" (with a tray host) or "none".
inside() {
  local host=$1 window panel docked=no state mapped status=0
  openbox >/dev/null 2>&1 &
  sleep 1
  if [ "$host" = tray ]; then
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    sleep 1
  fi
  "$program" --demo >"$TRAY_CHECK_LOG" 2>&1 &
  pid=$!
  trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' EXIT
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tarn Monitor' | head -1)
  [ -n "$window" ] || { echo "FAIL: the main window did not appear"; return 1; }
  sleep 2  # the first check and the tray icon settle
  if [ "$host" = tray ]; then
    for panel in $(xdotool search --class trayer); do
      if xwininfo -tree -id "$panel" | grep -q '("tarn-monitor"'; then docked=yes; fi
    done
    if [ $docked = yes ]; then
      echo "ok: the tray icon docks in trayer"
    else
      echo "FAIL: no tray icon in trayer"
      status=1
    fi
  fi
  xdotool windowminimize "$window"
  sleep 1
  state=$(xprop -id "$window" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')
  mapped=$(xwininfo -id "$window" | sed -n 's/.*Map State: //p')
  if [ "$host" = tray ]; then
    # Hidden: withdrawn, not an icon on a task bar.
    if [ "$mapped" = IsUnMapped ] && [ "$state" != Iconic ]; then
      echo "ok: minimising hides the window (${state:-withdrawn}, $mapped)"
    else
      echo "FAIL: minimised with a tray, the window is ${state:-withdrawn}, $mapped"
      status=1
    fi
  elif [ "$state" = Iconic ]; then
    echo "ok: without a tray host minimising leaves the window iconic"
  else
    echo "FAIL: minimised without a tray, the window is ${state:-withdrawn}, $mapped"
    status=1
  fi
  return $status
}

if [ "${TRAY_CHECK_INSIDE:-}" = 1 ]; then
  inside "$1"
  exit $?
fi

for tool in xvfb-run openbox trayer xdotool xprop xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "tray_check: $tool is missing (scripts/setup.sh installs it); nothing checked."
    exit 0
  fi
done
if ! xvfb-run -a true 2>/dev/null; then
  echo "tray_check: no X server could be started; nothing checked."
  exit 0
fi
[ -x "$program" ] || "$root/scripts/build.sh" "$build" -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF

log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed=0
for host in tray none; do
  if ! TRAY_CHECK_INSIDE=1 TRAY_CHECK_LOG="$log" TRAY_CHECK_BUILD="$build" \
      xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$host"; then
    failed=1
    sed 's/^/  program: /' "$log"
  fi
done
exit $failed
