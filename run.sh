#!/usr/bin/env bash
# Installs what is missing, builds, and starts the suite's main job.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros
cmake --preset default >/dev/null
# The programs only: the tests, benchmarks and fuzz targets are ./test.sh's business.
cmake --build --preset default -j "$(nproc)" --target programs

# The editor is the main program; until its window exists, the first other program built
# is started instead.
bin=build/default/bin
for program in tessaly quillon varoda; do
  if [[ -x "$bin/$program" ]]; then
    [[ "$program" == tessaly ]] || echo "run.sh: the editor is not built yet; starting $program instead"
    exec "$bin/$program" "$@"
  fi
done
echo "run.sh: no program with a window is built yet; the libraries and their tests are (./test.sh runs them)."
