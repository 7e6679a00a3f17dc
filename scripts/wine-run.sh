#!/usr/bin/env bash
# Runs a Windows program under Wine in a build folder's private prefix
# (made on first use from the cached template). CTest uses this as the
# cross-compiling emulator of the mingw-x64 and mingw-x86 builds (the same
# 64-bit prefix runs x86 programs under WoW64). On a kernel that runs no
# 32-bit programs only the 64-bit loader runs (wine-env.sh), and x86 programs
# do not start: the mingw-x86 build then registers its Wine suites as not run.
#
#   wine-run.sh [--dir DIR] PROGRAM [ARGS...]
#   wine-run.sh [--dir DIR] --fresh     replace the prefix by a fresh copy
#   wine-run.sh [--dir DIR] --stop      stop the prefix's server and display
#
# DIR defaults to $IMESETUP_WINE_DIR, else build/wine. Programs run on the
# session's Xvfb display, so message boxes work (--display is accepted and
# changes nothing). The program's exit status is returned;
# its CR LF line ends become LF so that Linux tools can read its output.
# IMESETUP_WINE_TIMEOUT (seconds, default 600) ends a program that hangs.
set -uo pipefail

# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

dir=${IMESETUP_WINE_DIR:-$IMESETUP_ROOT/build/wine}
action=run
while [[ $# -gt 0 ]]; do
    case $1 in
        --dir) dir=${2:?--dir needs a folder}; shift 2 ;;
        --display) shift ;;
        --fresh) action=fresh; shift ;;
        --stop) action=stop; shift ;;
        --) shift; break ;;
        *) break ;;
    esac
done

wine_env_setup "$dir"

case $action in
    fresh)
        wine_prefix_fresh || exit 1
        wine_session_start || exit 1
        # Start the prefix's own processes now rather than in the first test.
        timeout -k 5 120 wine wineboot </dev/null >/dev/null 2>&1
        echo "fresh prefix: $WINEPREFIX, display $DISPLAY"
        exit 0 ;;
    stop)
        wine_session_stop
        echo "stopped the server and display of $WINEPREFIX"
        exit 0 ;;
esac

[[ $# -gt 0 ]] || { echo "usage: wine-run.sh [--dir DIR] PROGRAM [ARGS...]" >&2; exit 2; }
wine_session_start || exit 1

# Wine's own helper processes (services, devices) may outlive the program and
# inherit its output handles; a pipe would then never reach its end and hang
# the caller. The output goes through files instead and is replayed.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/imesetup-wine.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
timeout -k 5 "${IMESETUP_WINE_TIMEOUT:-600}" wine "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
status=$?
tr -d '\r' <"$tmp/out"
tr -d '\r' <"$tmp/err" >&2
if [[ $status == 124 ]]; then
    echo "wine-run.sh: $1 did not end within ${IMESETUP_WINE_TIMEOUT:-600} s" >&2
fi
exit "$status"
