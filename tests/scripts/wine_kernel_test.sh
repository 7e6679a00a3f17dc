#!/usr/bin/env bash
# A kernel that runs no 32-bit programs, played here on any kernel: the probe
# of scripts/wine-env.sh against a program the kernel refuses as it refuses
# an i386 one, the 64-bit loader put first on PATH, the prefix marker, the
# summary's line for a suite that is not run, and the release's refusal.
#
#   wine_kernel_test.sh WORK-DIR
set -uo pipefail

work=${1:?usage: wine_kernel_test.sh WORK-DIR}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
rm -rf "$work"
mkdir -p "$work/machine-bin"
work=$(cd "$work" && pwd)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok:   $*"; }

# A program that this kernel does not run: an ELF file whose machine is the
# 80386 but whose class is 64-bit, refused by every x86-64 kernel with
# "Exec format error", as a kernel without 32-bit emulation refuses the
# 32-bit Wine loader. A 64-bit program that runs stands for the loader on a
# kernel that runs it.
cp /bin/true "$work/refused-loader"
printf '\003\000' | dd of="$work/refused-loader" bs=1 seek=18 conv=notrunc status=none
cp /bin/true "$work/running-loader"
# The 64-bit loader: records how it was started.
cat >"$work/wine64-loader" <<'EOF'
#!/bin/sh
echo "WINELOADER=$WINELOADER $*" >>"$(dirname "$0")/loader-calls"
[ "$1" = --version ] && echo "wine-8.0 (stand-in)"
exit 0
EOF
# The machine's wine, as far as this test asks it.
printf '#!/bin/sh\necho "wine-8.0 (stand-in)"\n' >"$work/machine-bin/wine"
printf '#!/bin/sh\nexit 1\n' >"$work/machine-bin/dpkg-query"
chmod 755 "$work/wine64-loader" "$work/machine-bin"/*

# probe LOADER [OVERRIDE]: "yes" or "no", as wine_kernel_runs_32bit answers.
probe() {
    env -u IMESETUP_KERNEL_RUNS_32BIT ${2:+IMESETUP_KERNEL_RUNS_32BIT=$2} IMESETUP_WINE32_LOADER="$1" \
        bash -c 'source "$0/scripts/wine-env.sh" && wine_kernel_runs_32bit && echo yes || echo no' "$root"
}
# A row: loader, override, answer.
while read -r loader override expected; do
    [[ $override == - ]] && override=""
    got=$(probe "$work/$loader" "$override")
    if [[ $got == "$expected" ]]; then
        ok "probe of $loader${override:+ (override $override)}: $got"
    else
        fail "probe of $loader${override:+ (override $override)}: $got, not $expected"
    fi
done <<'EOF'
refused-loader - no
running-loader - yes
no-such-loader - yes
refused-loader 1 yes
running-loader 0 no
EOF

# session KERNEL-SAYS COMMANDS: runs COMMANDS after wine_env_setup, with the
# probe answering KERNEL-SAYS (the loaders above) and the machine's wine first.
session() {
    local loader=running-loader
    [[ $1 == no ]] && loader=refused-loader
    env -u IMESETUP_KERNEL_RUNS_32BIT PATH="$work/machine-bin:$PATH" IMESETUP_WINE32_LOADER="$work/$loader" \
        IMESETUP_WINE64_LOADER="$work/wine64-loader" \
        bash -c 'source "$0/scripts/wine-env.sh" && wine_env_setup "$1" && eval "$2"' \
        "$root" "$work/wine-$1" "$2" 2>&1
}

rm -f "$work/loader-calls"
out=$(session no 'echo "runs32=$IMESETUP_KERNEL_RUNS_32BIT"; wine --version; wine-stable wineboot.exe -i; command -v wine')
calls=$(cat "$work/loader-calls" 2>/dev/null)
grep -qx 'runs32=0' <<<"$out" || fail "no 32-bit: the answer is not passed on: $out"
grep -qx "WINELOADER=$work/wine64-loader --version" <<<"$calls" ||
    fail "no 32-bit: wine did not start the 64-bit loader: $calls"
grep -qx "WINELOADER=$work/wine64-loader wineboot.exe -i" <<<"$calls" ||
    fail "no 32-bit: wine-stable (Wine's own tools) did not start the 64-bit loader: $calls"
[[ $failures == 0 ]] && ok "no 32-bit: wine and wine-stable start the 64-bit loader"

# The canary: where the kernel runs 32-bit programs, wine is the machine's.
rm -f "$work/loader-calls"
out=$(session yes 'echo "runs32=$IMESETUP_KERNEL_RUNS_32BIT"; command -v wine')
grep -qx 'runs32=1' <<<"$out" || fail "32-bit: the answer is not passed on: $out"
grep -qx "$work/machine-bin/wine" <<<"$out" || fail "32-bit: wine is not the machine's: $out"
[[ ! -e $work/loader-calls ]] || fail "32-bit: the 64-bit loader was started"

# The marker: a prefix made by one kind of run is made again by the other.
made_yes=$(session yes wine_made_with)
made_no=$(session no wine_made_with)
if [[ $made_yes == "$made_no" ]]; then
    fail "the two kinds of run make prefixes with one marker: $made_yes"
else
    ok "markers: \"$made_yes\" and \"$made_no\""
fi
mkdir -p "$work/prefix"
touch "$work/prefix/system.reg"
printf '%s\n' "$made_yes" >"$work/prefix/imesetup-made-with"
session yes "_wine_made_as_now '$work/prefix'" >/dev/null || fail "a prefix is not reused by its own kind of run"
! session no "_wine_made_as_now '$work/prefix'" >/dev/null || fail "a 32-bit run's prefix is reused by a 64-bit-only run"

# The summary: a suite that stands for one that cannot run is skipped, why named.
cat >"$work/junit.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<testsuite name="(empty)" tests="2" failures="0" disabled="0" skipped="1">
	<testcase name="imesetup_imports" classname="imesetup_imports" time="0.1" status="run">
		<system-out>-- imports: KERNEL32.dll
</system-out>
	</testcase>
	<testcase name="e2e_tests" classname="e2e_tests" time="0.03" status="notrun">
		<skipped message="SKIP_REGULAR_EXPRESSION_MATCHED"/>
		<system-out>not run: this kernel runs no 32-bit programs
</system-out>
	</testcase>
</testsuite>
EOF
summary=$(awk -f "$root/scripts/test-summary.awk" "$work/junit.xml")
expected=$(printf 'pass\timesetup_imports\t\nskip\te2e_tests\tthis kernel runs no 32-bit programs')
[[ $summary == "$expected" ]] || fail "summary lines: $(cat -A <<<"$summary")"

# The release, from a copy of the scripts (what it would build goes there):
# it stops before building unless the author accepts x86 programs not run
# under Wine.
mkdir -p "$work/release-root"
cp -r "$root/scripts" "$work/release-root/"
release() {
    env IMESETUP_KERNEL_RUNS_32BIT=0 PATH="$work/machine-bin:$PATH" \
        timeout 60 bash "$work/release-root/scripts/release.sh" --no-install "$@" 2>&1 </dev/null
}
out=$(release)
status=$?
[[ $status == 1 ]] || fail "release without the option: status $status"
grep -q 'release: this kernel runs no 32-bit programs, so Wine cannot run the x86 programs' <<<"$out" ||
    fail "release without the option: $out"
[[ ! -e $work/release-root/build ]] || fail "release without the option: it went on to build"
out=$(release --x86-without-wine)
grep -q 'the x86 programs are checked but not run under Wine (--x86-without-wine)' <<<"$out" ||
    fail "release with --x86-without-wine: $out"

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) of the 64-bit-only Wine failed"
    exit 1
fi
echo "all checks of the 64-bit-only Wine passed"
