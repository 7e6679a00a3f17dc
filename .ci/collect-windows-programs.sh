#!/usr/bin/env bash
# Gathers what the Windows job runs, from the Linux job's builds: each
# build's portable test program and end-to-end suite (with what it puts
# beside itself: the planted DLL, its canary, the box watcher, the IME
# images), and the release's programs from dist/.
#
#   collect-windows-programs.sh OUT-DIR
# OUT-DIR/x64/, OUT-DIR/x86/   portable_tests.exe, e2e/
# OUT-DIR/release/             the release folder (x64/, x86/ with the programs)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=${1:?usage: collect-windows-programs.sh OUT-DIR}
rm -rf "$out"
for arch in x64 x86; do
    build="build/mingw-$arch/tests"
    mkdir -p "$out/$arch/e2e"
    cp "$build/portable_tests.exe" "$out/$arch/"
    cp "$build"/e2e/*.exe "$build"/e2e/*.dll "$build"/e2e/*.ime "$out/$arch/e2e/"
done
release=$(find dist -mindepth 1 -maxdepth 1 -type d -name 'imesetup-*' | sort | tail -n 1)
[[ -n $release ]] || { echo "collect-windows-programs: no release in dist/ (scripts/release.sh)" >&2; exit 1; }
cp -r "$release" "$out/release"
ls -R "$out"
