#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and
# tests every preset:
#   host       the tool and its tests on the simulated Windows machine
#   asan       the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz       the libFuzzer targets (Clang), each run for a few seconds
#   mingw-x64  the Windows program; portable and end-to-end tests under Wine,
#              and the check of its import table and subsystem
#   mingw-x86  the 32-bit Windows program; the import and subsystem check
# Ends with "N passed, N failed" (the tests of all presets; a preset that does
# not configure or build counts as one failure) and a non-zero status on any
# failure.
#
# Options: --no-install  skip the package check
#          --only P      run the preset P only (repeatable)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

install=1
presets=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-install) install=0; shift ;;
        --only) presets+=("${2:?--only needs a preset}"); shift 2 ;;
        *) echo "usage: scripts/test.sh [--no-install] [--only PRESET]..." >&2; exit 2 ;;
    esac
done
[[ ${#presets[@]} -gt 0 ]] || presets=(host asan fuzz mingw-x64 mingw-x86)

if [[ $install == 1 ]]; then
    bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
fi

jobs=${IMESETUP_JOBS:-2}
passed=0
failed=0
results=()
logdir="$root/build/test-logs"
mkdir -p "$logdir"

# Whatever happens, leave no wineserver of ours behind.
stop_wine() {
    if [[ -d "$root/build/mingw-x64/wine/prefix" ]]; then
        bash scripts/wine-run.sh --dir "$root/build/mingw-x64/wine" --stop >/dev/null 2>&1 || true
    fi
}
trap stop_wine EXIT

section() { printf '\n==== %s ====\n' "$*"; }

run_preset() {
    local preset=$1 start=$SECONDS log="$logdir/$1.log"
    section "$preset: configure"
    if ! cmake --preset "$preset" </dev/null; then
        results+=("$preset: configure FAILED")
        failed=$((failed + 1))
        return
    fi
    section "$preset: build"
    if ! cmake --build --preset "$preset" -j "$jobs" </dev/null; then
        results+=("$preset: build FAILED")
        failed=$((failed + 1))
        return
    fi
    section "$preset: test"
    ctest --preset "$preset" </dev/null 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    local line p f t
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        f=${BASH_REMATCH[1]}
        t=${BASH_REMATCH[2]}
        p=$((t - f))
    else
        p=0
        f=1
    fi
    # A run that ends badly without a failed test (no tests, a broken
    # discovery) still counts as a failure.
    if [[ $status -ne 0 && $f -eq 0 ]]; then
        f=1
    fi
    passed=$((passed + p))
    failed=$((failed + f))
    results+=("$preset: $p passed, $f failed ($((SECONDS - start)) s)")
}

total_start=$SECONDS
for preset in "${presets[@]}"; do
    run_preset "$preset"
done

section "summary ($((SECONDS - total_start)) s)"
printf '%s\n' "${results[@]}"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
