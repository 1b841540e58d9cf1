#!/usr/bin/env bash
# Sets up, builds and runs the program on the simulated game server (demo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF
# Without arguments: three ticks of the monitoring timer, five seconds apart.
[ $# -gt 0 ] || set -- watch --interval 5 --ticks 3
exec "$root/build/src/app/tarn-monitor" --demo "$@"
