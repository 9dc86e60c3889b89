#!/usr/bin/env bash
# cmake --install into a fresh prefix: the programs, their data beside them, a link to each
# in bin/, and Stellan's units naming the installed program, with no version in their names.
set -uo pipefail
build=$1
shift
prefix=$(mktemp -d "${TMPDIR:-/tmp}/ixo-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install_test: $*"; exit 1; }

out=$(cmake --install "$build" --prefix "$prefix" 2>&1) || fail "cmake --install failed: $out"
for program in "$@"; do
  [[ -x "$prefix/lib/ixo/$program" ]] || fail "no program $prefix/lib/ixo/$program"
  [[ "$(readlink -f "$prefix/bin/$program")" == "$(readlink -f "$prefix/lib/ixo/$program")" ]] ||
    fail "bin/$program does not lead to lib/ixo/$program"
done
for file in template.cfg Config.cfg; do
  [[ -f "$prefix/lib/ixo/$file" ]] || fail "no data file $file beside the programs"
done
units=$prefix/lib/systemd/system
for unit in ixobootpservice.service ixo-chronel-service-ntp.service; do
  [[ -f "$units/$unit" ]] || fail "no unit $unit in $units: $(ls "$units" 2>&1)"
  grep -q "^ExecStart=\"$prefix/lib/ixo/stellan\"" "$units/$unit" ||
    fail "$unit does not start the installed program: $(grep ExecStart "$units/$unit")"
  grep -q "$build" "$units/$unit" && fail "$unit points into the build tree"
done
# Installing again replaces what the first install wrote.
out=$(cmake --install "$build" --prefix "$prefix" 2>&1) || fail "a second install failed: $out"
echo "install_test: the install tree is complete"
