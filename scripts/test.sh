#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=${TARN_BUILD_DIR:-"$root/build"}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
"$root/scripts/build.sh" "$build" -DTARN_WERROR=$werror "$@"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 300
