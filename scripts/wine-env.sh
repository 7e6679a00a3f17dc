# shellcheck shell=bash
# Wine environment for running the Windows build: a private prefix per build
# folder, a Simplified Chinese locale (ANSI code page 936), a persistent
# wineserver and, when message boxes are shown, an Xvfb display.
#
# Source this file, then:
#   wine_env_setup DIR      set the environment for the prefix DIR/prefix
#   wine_prefix_ensure      make the locale, the cached template and the prefix
#                           (each only when missing) and start the server
#   wine_prefix_fresh       replace the prefix by a fresh copy of the template
#   wine_server_start       keep a wineserver running for the prefix (fast calls)
#   wine_server_stop        stop this prefix's wineserver and its processes
#   wine_xvfb_start         start an Xvfb on a free display, export DISPLAY and
#                           stop it when the shell exits
#   wine_xvfb_stop          stop that display
#
# Shared, created once and reused by every build folder (under one lock each):
#   $IMESETUP_LOCALE_DIR    (default build/locale) the compiled zh_CN.UTF-8 locale
#   $IMESETUP_WINE_TEMPLATE (default build/wine-template) the pristine prefix
# Wine here is 64-bit only; never install wine32 (it breaks every wine call).

IMESETUP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_log() { printf 'wine-env: %s\n' "$*" >&2; }

# Runs "$@" holding an exclusive lock on the file $1 (created when missing).
wine_with_lock() {
    local lockfile=$1; shift
    mkdir -p "$(dirname "$lockfile")"
    (
        exec 9>"$lockfile"
        flock 9
        "$@"
    )
}

wine_env_setup() {
    local dir=${1:?wine_env_setup needs a folder}
    mkdir -p "$dir"
    WINE_ENV_DIR=$(cd "$dir" && pwd)
    export WINEPREFIX="$WINE_ENV_DIR/prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono or Gecko install prompts.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LOCPATH="${IMESETUP_LOCALE_DIR:-$IMESETUP_ROOT/build/locale}"
    IMESETUP_WINE_TEMPLATE="${IMESETUP_WINE_TEMPLATE:-$IMESETUP_ROOT/build/wine-template}"
    # The locale may not exist yet in this shell; setting it would only warn.
    export LANG=zh_CN.UTF-8 2>/dev/null
    export LC_ALL=zh_CN.UTF-8 2>/dev/null
    unset LANGUAGE
}

_wine_locale_make() {
    [[ -f "$LOCPATH/zh_CN.UTF-8/LC_CTYPE" ]] && return 0
    command -v localedef >/dev/null || { wine_log "localedef is missing (libc-bin)"; return 1; }
    [[ -f /usr/share/i18n/locales/zh_CN ]] || { wine_log "locale sources are missing (locales)"; return 1; }
    wine_log "building the zh_CN.UTF-8 locale in $LOCPATH"
    local tmp="$LOCPATH/.zh_CN.UTF-8.$$"
    rm -rf "$tmp"
    # -c: the definition's own warnings are harmless; the files are checked below.
    env LC_ALL=C localedef -c -i zh_CN -f UTF-8 "$tmp" || true
    [[ -f "$tmp/LC_CTYPE" ]] || { wine_log "localedef failed"; rm -rf "$tmp"; return 1; }
    rm -rf "$LOCPATH/zh_CN.UTF-8"
    mv "$tmp" "$LOCPATH/zh_CN.UTF-8"
}

wine_locale_ensure() {
    mkdir -p "$LOCPATH"
    wine_with_lock "$LOCPATH/.lock" _wine_locale_make
}

_wine_template_make() {
    [[ -f "$IMESETUP_WINE_TEMPLATE/system.reg" ]] && return 0
    local tmp="$IMESETUP_WINE_TEMPLATE.tmp.$$" start=$SECONDS
    wine_log "creating the Wine prefix template $IMESETUP_WINE_TEMPLATE"
    rm -rf "$tmp"
    (
        export WINEPREFIX="$tmp"
        wineboot -i >/dev/null 2>&1 || true
        # Windows always has the machine-wide layout list; a fresh prefix does not.
        wine reg add 'HKLM\System\CurrentControlSet\Control\Keyboard Layouts' /f >/dev/null 2>&1
        # A crash must end the process, not wait in the debugger.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        # Chinese text in boxes renders only with this replacement font.
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /t REG_SZ \
            /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
        # The registry reaches the disk when the server ends.
        wineserver -w
    ) </dev/null
    if ! grep -q 'Keyboard Layouts' "$tmp/system.reg" 2>/dev/null ||
       ! grep -q 'ShowCrashDialog' "$tmp/user.reg" 2>/dev/null; then
        wine_log "prefix creation failed in $tmp"
        rm -rf "$tmp"
        return 1
    fi
    rm -rf "$IMESETUP_WINE_TEMPLATE"
    mv "$tmp" "$IMESETUP_WINE_TEMPLATE"
    wine_log "template ready in $((SECONDS - start)) s"
}

wine_template_ensure() {
    command -v wine >/dev/null || { wine_log "wine is missing"; return 1; }
    wine_locale_ensure || return 1
    wine_with_lock "$IMESETUP_WINE_TEMPLATE.lock" _wine_template_make
}

_wine_prefix_copy() {
    [[ -f "$WINEPREFIX/system.reg" ]] && return 0
    rm -rf "$WINEPREFIX" "$WINEPREFIX.tmp"
    cp -a "$IMESETUP_WINE_TEMPLATE" "$WINEPREFIX.tmp"
    mv "$WINEPREFIX.tmp" "$WINEPREFIX"
}

_wine_prefix_replace() {
    wine_server_stop
    rm -rf "$WINEPREFIX"
    _wine_prefix_copy
}

wine_prefix_ensure() {
    # The usual case, a prefix that exists, takes no locks.
    if [[ -f "$WINEPREFIX/system.reg" && -f "$LOCPATH/zh_CN.UTF-8/LC_CTYPE" ]]; then
        wine_server_start
        return 0
    fi
    wine_template_ensure || return 1
    wine_with_lock "$WINE_ENV_DIR/.lock" _wine_prefix_copy || return 1
    wine_server_start
}

wine_prefix_fresh() {
    wine_template_ensure || return 1
    wine_with_lock "$WINE_ENV_DIR/.lock" _wine_prefix_replace || return 1
    wine_server_start
}

wine_server_start() {
    # The server stays up between calls (0.1 s a call instead of 1 s) and ends
    # by itself after ten idle minutes. A second -p for a running server only
    # reports it and ends.
    wineserver -p600 </dev/null >/dev/null 2>&1 || true
}

wine_server_stop() {
    [[ -d "$WINEPREFIX" ]] || return 0
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
}

WINE_XVFB_PID=
wine_xvfb_start() {
    [[ -n "$WINE_XVFB_PID" ]] && return 0
    command -v Xvfb >/dev/null || { wine_log "Xvfb is missing (xvfb)"; return 1; }
    local fifo display
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/imesetup-xvfb.XXXXXX")
    mkfifo "$fifo"
    # -displayfd: Xvfb picks a free display number itself and writes it when ready.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    if ! read -r -t 20 display <"$fifo" || [[ -z "$display" ]]; then
        rm -f "$fifo"
        wine_log "Xvfb did not start"
        wine_xvfb_stop
        return 1
    fi
    rm -f "$fifo"
    export DISPLAY=":$display"
    trap wine_xvfb_stop EXIT
}

wine_xvfb_stop() {
    [[ -n "$WINE_XVFB_PID" ]] || return 0
    kill "$WINE_XVFB_PID" 2>/dev/null || true
    wait "$WINE_XVFB_PID" 2>/dev/null || true
    WINE_XVFB_PID=
}
