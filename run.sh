#!/usr/bin/env bash
# Installs what is missing, builds, and starts the suite's main job.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros
cmake --preset default >/dev/null
# The programs only: the tests, benchmarks and fuzz targets are ./test.sh's business.
cmake --build --preset default -j "$(nproc)" --target programs

# The editor is the main program: on a private demonstration network with three simulated
# nodes (scripts/demo-network), which stop when the editor ends. IXO_DEMO=0 starts the editor
# alone, on the machine's own network.
bin=build/default/bin
if [[ -x "$bin/tessaly" ]]; then
  if [[ "${IXO_DEMO:-1}" == "0" ]]; then
    exec "$bin/tessaly" "$@"
  fi
  exec scripts/demo-network "$@"
fi
for program in quillon varoda; do
  if [[ -x "$bin/$program" ]]; then
    echo "run.sh: the editor is not built; starting $program instead"
    exec "$bin/$program" "$@"
  fi
done
echo "run.sh: no program with a window is built yet; the libraries and their tests are (./test.sh runs them)."
