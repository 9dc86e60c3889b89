#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# Exits non-zero when anything fails. In CI (CI=true), or with IXO_ASAN=1, the
# sanitizer build runs as well.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup || exit 1

# A fresh clone in another folder still hits the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros
jobs=$(nproc)

run_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null &&
    cmake --build --preset "$preset" -j "$jobs" &&
    ctest --preset "$preset" -j "$jobs"
}

status=0
scripts/check-format || status=1
run_preset default || status=1
if [[ "${CI:-}" == "true" || "${IXO_ASAN:-}" == "1" ]]; then
  run_preset asan || status=1
fi
exit $status
