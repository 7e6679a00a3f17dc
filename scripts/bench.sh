#!/usr/bin/env bash
# The benchmarks (not part of the tests; nothing here asserts a time):
#   1. host: Google Benchmark on the simulated machine (build/bench-host):
#      the preload list edit on 100 entries, a whole installation and removal,
#      and the platform calls each makes (counter platform_calls);
#   2. Wine, x64: the registry key object's EraseKey beside RegDeleteTreeA on
#      a tree of 10,000 keys and on a chain 512 levels deep, and the package
#      checker on the crafted IME image at its 64 MiB read limit (build/bench-x64);
#   3. the shipped program: size and import table of the x64 and x86 builds
#      (build/bench-x64, build/bench-x86; Release, as the presets build it).
#
# Options: --no-install  skip the package check
#          --quick       shorter runs (fewer repetitions)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

install=1
quick=0
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-install) install=0; shift ;;
        --quick) quick=1; shift ;;
        *) echo "usage: scripts/bench.sh [--no-install] [--quick]" >&2; exit 2 ;;
    esac
done

if [[ $install == 1 ]]; then
    bash scripts/install-deps.sh libbenchmark-dev || exit 1
fi

jobs=${IMESETUP_JOBS:-2}
status=0
section() { printf '\n==== %s ====\n' "$*"; }

configure_and_build() {  # dir, then cmake arguments
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DIMESETUP_BUILD_TESTS=OFF "$@" >/dev/null &&
        cmake --build "$dir" -j "$jobs" >/dev/null
}

section "host: simulated machine (Google Benchmark)"
if configure_and_build build/bench-host -DIMESETUP_BUILD_BENCHMARKS=ON; then
    min_time=0.5
    [[ $quick == 1 ]] && min_time=0.1
    build/bench-host/bench/host_bench --benchmark_min_time="$min_time" || status=1
else
    echo "host benchmarks: build FAILED"
    status=1
fi

section "Wine x64: EraseKey beside RegDeleteTreeA, the checker on a crafted image (QueryPerformanceCounter)"
if configure_and_build build/bench-x64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x64.cmake" \
    -DIMESETUP_BUILD_BENCHMARKS=ON; then
    repetitions=5
    [[ $quick == 1 ]] && repetitions=2
    wine_dir="$root/build/bench-x64/wine"
    bash scripts/wine-run.sh --dir "$wine_dir" build/bench-x64/bench/registry_bench.exe "$repetitions" || status=1
    bash scripts/wine-run.sh --dir "$wine_dir" build/bench-x64/bench/checker_bench.exe "$repetitions" || status=1
    bash scripts/wine-run.sh --dir "$wine_dir" --stop >/dev/null 2>&1 || true
else
    echo "Wine benchmarks: build FAILED"
    status=1
fi

section "imesetup.exe: size and imports (Release)"
if configure_and_build build/bench-x86 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86.cmake"; then
    for arch in x64 x86; do
        exe=build/bench-$arch/imesetup.exe
        case $arch in
            x64) triple=x86_64-w64-mingw32 ;;
            x86) triple=i686-w64-mingw32 ;;
        esac
        stripped=$(mktemp)
        "$triple-strip" -o "$stripped" "$exe"
        printf '%s: %s bytes as built, %s bytes stripped\n' "$arch" "$(stat -c %s "$exe")" "$(stat -c %s "$stripped")"
        rm -f "$stripped"
        # One line per DLL: its name and the functions taken from it.
        "$triple-objdump" -p "$exe" | awk '
            /DLL Name:/ { if (dll != "") print "  " dll " (" n "): " names; dll = $3; n = 0; names = ""; next }
            dll != "" && /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ { names = names (n ? " " : "") $3; n++ }
            /^$/ && dll != "" && n > 0 { print "  " dll " (" n "): " names; dll = ""; n = 0; names = "" }
            END { if (dll != "") print "  " dll " (" n "): " names }'
    done
else
    echo "x86 build FAILED"
    status=1
fi

exit $status
