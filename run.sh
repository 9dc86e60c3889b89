#!/usr/bin/env bash
# Installs what is missing, builds, and starts the suite's main job.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

bin=build/default/bin
for program in tessaly varoda quillon stellan; do
  if [[ -x "$bin/$program" ]]; then
    echo "run.sh: starting $program"
    exec "$bin/$program" "$@"
  fi
done
echo "run.sh: no program of the suite is built yet; the libraries and their tests are (./test.sh runs them)."
