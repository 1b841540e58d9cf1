#!/usr/bin/env bash
# Sets up, builds and runs the program on the simulated game server (demo): the window when a
# display is there, otherwise the command line. Arguments name a command of the command line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF
program="$root/build/src/program/tarn-monitor"
if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" --demo
  fi
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the command-line demo."
  # Three ticks of the monitoring timer, five seconds apart.
  set -- watch --interval 5 --ticks 3
fi
exec "$program" --demo "$@"
