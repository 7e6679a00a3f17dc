#!/usr/bin/env bash
# The Windows job's test command (Git's bash on a hosted Windows runner): the
# suites that the Linux job cross-built, run natively.
#
#   windows-tests.sh PROGRAMS-DIR     (as .ci/collect-windows-programs.sh made it)
#
# For each build, x64 and x86 (WoW64): every portable test in a process of
# its own, as CTest runs them under Wine, then the end-to-end suite (the
# checker's cases with it) against the release's programs of that build.
# The results go through scripts/test-summary.awk as under Linux, and the run
# ends with the same line: "N passed, N failed, N skipped, N Wine deviations"
# (on Windows a Wine deviation would be a fault of its own), status 1 on any
# failure.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
programs=$(cd "${1:?usage: windows-tests.sh PROGRAMS-DIR}" && pwd)
logs="$root/build/windows-tests"
rm -rf "$logs"
mkdir -p "$logs"
junit="$logs/junit.xml"

escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'; }
# record NAME STATUS OUTPUT-FILE: one test as CTest's JUnit file has it.
record() {
    {
        printf '<testcase name="%s" status="%s">\n<system-out>' "$(escape <<<"$1")" "$2"
        tr -d '\r' <"$3" | escape
        printf '</system-out>\n</testcase>\n'
    } >>"$junit"
}
run() {  # NAME PROGRAM ARGS...
    local name=$1 status
    shift
    echo "== $name"
    "$@" >"$logs/out.txt" 2>&1 </dev/null
    status=$?
    tr -d '\r' <"$logs/out.txt" | tail -n 3
    if [[ $status == 0 ]]; then record "$name" run "$logs/out.txt"; else record "$name" fail "$logs/out.txt"; fi
}

echo '<testsuite>' >"$junit"
for arch in x64 x86; do
    portable="$programs/$arch/portable_tests.exe"
    # "Suite." then "  Case  # GetParam() = ..." lines; DISABLED_ cases are not run.
    while IFS= read -r line; do
        line=${line%%$'\r'}
        if [[ $line != " "* ]]; then
            suite=${line%% *}
            continue
        fi
        case_name=${line#  }
        case_name=${case_name%% *}
        if [[ $suite$case_name == *DISABLED_* ]]; then
            printf '<testcase name="%s" status="disabled">\n</testcase>\n' "$arch: $suite$case_name" >>"$junit"
            continue
        fi
        run "$arch: $suite$case_name" "$portable" "--gtest_filter=$suite$case_name"
    done < <("$portable" --gtest_list_tests | tr -d '\r')

    release="$programs/release/$arch"
    run "$arch: e2e_tests" "$programs/$arch/e2e/e2e_tests.exe" \
        "--tool=$(cygpath -w "$release/imesetup.exe")" "--checker=$(cygpath -w "$release/imecheck.exe")"
done
echo '</testsuite>' >>"$junit"

passed=0 failed=0 skipped=0 deviations=0
failed_list=() skipped_list=() deviation_list=()
while IFS=$'\t' read -r result name detail; do
    case $result in
        pass) passed=$((passed + 1)) ;;
        fail) failed=$((failed + 1)); failed_list+=("$name${detail:+ ($detail)}") ;;
        skip) skipped=$((skipped + 1)); skipped_list+=("$name${detail:+ ($detail)}") ;;
        dev) deviations=$((deviations + 1)); deviation_list+=("$name: $detail") ;;
    esac
done < <(awk -f "$root/scripts/test-summary.awk" "$junit")

echo
[[ ${#failed_list[@]} -eq 0 ]] || { echo "Failed:"; printf '  %s\n' "${failed_list[@]}"; }
[[ ${#skipped_list[@]} -eq 0 ]] || { echo "Skipped:"; printf '  %s\n' "${skipped_list[@]}"; }
[[ ${#deviation_list[@]} -eq 0 ]] || { echo "Wine deviations (on Windows: faults):"; printf '  %s\n' "${deviation_list[@]}"; }
echo "$passed passed, $failed failed, $skipped skipped, $deviations Wine deviations"
[[ $failed -eq 0 && $deviations -eq 0 ]]
