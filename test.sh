#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# Exits non-zero when anything fails. In CI (CI=true), or with IXO_ASAN=all, the sanitizer
# build of every folder (the GUI ones on Qt's offscreen platform) runs as well; IXO_ASAN=1 runs
# the quicker sanitizer build of the folders below the framework instead.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup || exit 1

# A fresh clone in another folder still hits the compiler cache; the precompiled headers are
# cached only with the pch sloppinesses (the build's compiler launcher sets them too).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
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
if [[ "${IXO_ASAN:-}" == "1" ]]; then
  run_preset asan || status=1
elif [[ "${CI:-}" == "true" || "${IXO_ASAN:-}" == "all" ]]; then
  run_preset asan-all || status=1
fi
exit $status
