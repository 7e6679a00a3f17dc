#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and
# tests every preset:
#   host       the tool and its tests on the simulated Windows machine
#   asan       the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz       the libFuzzer targets (Clang), each run for a few seconds
#   mingw-x64  the 64-bit Windows programs; portable and end-to-end tests
#              under Wine, and the checks of their files
#   mingw-x86  the 32-bit Windows programs, tested as the 64-bit ones are
#              (under Wine's WoW64)
# Ends with the line "N passed, N failed, N skipped, N Wine deviations" over
# the tests of all presets, and a non-zero status on any failure:
#   passed           tests that passed (and printed no Wine deviation)
#   failed           tests that failed or could not run; a preset that does not
#                    configure or build counts as one failure
#   skipped          tests that did not run by choice: ctest's skipped tests
#                    (GTEST_SKIP in a discovered test) and skipped cases of a
#                    whole gtest program run as one test (the end-to-end suite)
#   Wine deviations  passed tests that printed "WINE DEVIATION: <name>", where
#                    Wine measurably differs from Windows
# The failed and skipped tests and the Wine deviations are listed by name
# before it. A whole gtest program run as one ctest test counts by its cases.
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
    bash scripts/install-deps.sh || { echo "0 passed, 1 failed, 0 skipped, 0 Wine deviations"; exit 1; }
fi

jobs=${IMESETUP_JOBS:-2}
passed=0
failed=0
skipped=0
deviations=0
results=()
failed_list=()
skipped_list=()
deviation_list=()
logdir="$root/build/test-logs"
mkdir -p "$logdir"

# Whatever happens, leave no wineserver of ours behind.
stop_wine() {
    local preset
    for preset in mingw-x64 mingw-x86; do
        if [[ -d "$root/build/$preset/wine/prefix" ]]; then
            bash scripts/wine-run.sh --dir "$root/build/$preset/wine" --stop >/dev/null 2>&1 || true
        fi
    done
}
trap stop_wine EXIT

section() { printf '\n==== %s ====\n' "$*"; }

# Every preset is built before any is tested: each mingw build's end-to-end
# suite starts the other build's program too (both builds of one IME).
declare -A built_in
build_preset() {
    local preset=$1 start=$SECONDS
    section "$preset: configure"
    if ! cmake --preset "$preset" </dev/null; then
        results+=("$preset: configure FAILED")
        failed=$((failed + 1))
        return 1
    fi
    section "$preset: build"
    if ! cmake --build --preset "$preset" -j "$jobs" </dev/null; then
        results+=("$preset: build FAILED")
        failed=$((failed + 1))
        return 1
    fi
    built_in[$preset]=$((SECONDS - start))
}

test_preset() {
    local preset=$1 start=$SECONDS log="$logdir/$1.log"
    section "$preset: test"
    # The JUnit file holds each test's output, passed ones' whole (deviation
    # lines and the cases of a whole gtest program may come late in it).
    local junit="$logdir/$preset.junit.xml"
    rm -f "$junit"
    ctest --preset "$preset" --output-junit "$junit" \
        --test-output-size-passed 16777216 --test-output-size-failed 16777216 </dev/null 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    local p=0 f=0 s=0 d=0 result name detail
    if [[ -s $junit ]]; then
        while IFS=$'\t' read -r result name detail; do
            case $result in
                pass) p=$((p + 1)) ;;
                fail) f=$((f + 1)); failed_list+=("$preset: $name${detail:+ ($detail)}") ;;
                skip) s=$((s + 1)); skipped_list+=("$preset: $name${detail:+ ($detail)}") ;;
                dev) d=$((d + 1)); deviation_list+=("$preset: $name: $detail") ;;
            esac
        done < <(awk -f "$root/scripts/test-summary.awk" "$junit")
    fi
    # A run that ends badly without a failed test (no tests, a broken
    # discovery, no JUnit file) still counts as a failure.
    if [[ $status -ne 0 && $f -eq 0 ]]; then
        f=1
        failed_list+=("$preset: ctest ended with status $status")
    fi
    passed=$((passed + p))
    failed=$((failed + f))
    skipped=$((skipped + s))
    deviations=$((deviations + d))
    results+=("$preset: $p passed, $f failed, $s skipped, $d Wine deviations (built in ${built_in[$preset]} s, tested in $((SECONDS - start)) s)")
}

total_start=$SECONDS
for preset in "${presets[@]}"; do
    build_preset "$preset" || true
done
for preset in "${presets[@]}"; do
    [[ -n ${built_in[$preset]:-} ]] && test_preset "$preset"
done

section "summary ($((SECONDS - total_start)) s)"
printf '%s\n' "${results[@]}"
if [[ ${#failed_list[@]} -gt 0 ]]; then
    echo "Failed:"
    printf '  %s\n' "${failed_list[@]}"
fi
if [[ ${#skipped_list[@]} -gt 0 ]]; then
    echo "Skipped:"
    printf '  %s\n' "${skipped_list[@]}"
fi
if [[ ${#deviation_list[@]} -gt 0 ]]; then
    echo "Wine deviations:"
    printf '  %s\n' "${deviation_list[@]}"
fi
echo "$passed passed, $failed failed, $skipped skipped, $deviations Wine deviations"
[[ $failed -eq 0 ]]
