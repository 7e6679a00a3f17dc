# shellcheck shell=bash
# Wine environment for running the Windows build: a private prefix per build
# folder, a Simplified Chinese locale (ANSI code page 936), a persistent
# wineserver and, when message boxes are shown, an Xvfb display.
#
# Source this file, then:
#   wine_env_setup DIR      set the environment for the prefix DIR/prefix
#   wine_session_start      make what is missing (locale, cached template,
#                           prefix), start the session's Xvfb display (exports
#                           DISPLAY) and a persistent wineserver
#   wine_session_stop       stop the server with its processes, and the display
#   wine_prefix_fresh       replace the prefix by a fresh copy of the template
#                           (stops the server; the display stays)
# A session stays up between calls until wine_session_stop (the server ends by
# itself after ten idle minutes); one prefix and one session per folder.
#
# Shared, created once and reused by every build folder (under one lock each):
#   $IMESETUP_LOCALE_DIR    (default build/locale) the compiled locales: zh_CN.UTF-8,
#                           and $IMESETUP_WINE_LOCALE when a session runs in another
#   $IMESETUP_WINE_TEMPLATE (default build/wine-template) the pristine prefix
# A prefix runs x86 programs (under WoW64) and x64 ones only when it was made
# after wine32 was installed; one made before runs neither. The template and
# every prefix copied from it carry a marker of how they were made
# (imesetup-made-with), and a template or prefix whose marker differs from
# what this machine would make now is made again.
#
# A kernel built without 32-bit emulation (many cloud and container kernels)
# runs no i386 program: once wine32:i386 is installed, Debian's wine wrapper
# always starts the 32-bit loader, and every Wine call fails, the 64-bit ones
# included. On such a kernel wine_env_setup puts a wine of its own first on
# PATH, the 64-bit loader, and the x86 programs cannot run at all
# (wine_kernel_runs_32bit tells the callers). The marker names that mode, so
# that a prefix made by one loader is never reused by the other.
#   IMESETUP_KERNEL_RUNS_32BIT  1 or 0 decides without probing (set by
#                               wine_env_setup for the processes it starts)
#   IMESETUP_WINE32_LOADER      the 32-bit program probed (default Debian's
#                               32-bit Wine loader, /usr/lib/wine/wine)
#   IMESETUP_WINE64_LOADER      the 64-bit loader (default /usr/lib/wine/wine64)

IMESETUP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_log() { printf 'wine-env: %s\n' "$*" >&2; }

# Runs "$@" (which stays in the background or forks a daemon) with no open
# descriptor but 0-2 and those named in $1 ("3 4"): a daemon that kept a lock
# file or a caller's pipe open would block the next lock or the caller forever.
wine_exec_clean() {
    local keep=" $1 " fd; shift
    for fd in /proc/$BASHPID/fd/*; do
        fd=${fd##*/}
        [[ $fd =~ ^[0-9]+$ ]] || continue
        (( fd > 2 )) || continue
        [[ $keep == *" $fd "* ]] && continue
        eval "exec $fd>&-" 2>/dev/null
    done
    exec "$@"
}

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

# True when the kernel runs 32-bit x86 programs: the 32-bit Wine loader is
# started, and only an exec failure ("Exec format error") says no. Without
# that loader there is nothing 32-bit to start, and Wine runs as installed.
wine_kernel_runs_32bit() {
    case ${IMESETUP_KERNEL_RUNS_32BIT:-} in
        1) return 0 ;;
        0) return 1 ;;
    esac
    local loader=${IMESETUP_WINE32_LOADER:-/usr/lib/wine/wine} out status
    [[ -f $loader && -x $loader ]] || return 0
    out=$("$loader" --version 2>&1 </dev/null)
    status=$?
    ! [[ $status == 126 && $out == *"Exec format error"* ]]
}

# A wine (and wine-stable, which Wine's own tools start) that runs the 64-bit
# loader directly, first on PATH; the machine's packages stay as they are.
_wine_64bit_loader_first() {
    local loader=${IMESETUP_WINE64_LOADER:-/usr/lib/wine/wine64}
    local bin="$WINE_ENV_DIR/bin" script name
    [[ -x $loader ]] || { wine_log "the 64-bit Wine loader $loader is missing (wine64)"; return 1; }
    script=$(printf '#!/bin/sh\n# The 64-bit Wine loader: this kernel runs no 32-bit programs.\n%s\n%s\n' \
        "export WINELOADER='$loader'" "exec '$loader' \"\$@\"")
    mkdir -p "$bin"
    for name in wine wine-stable; do
        if [[ ! -x $bin/$name || $(<"$bin/$name") != "$script" ]]; then
            printf '%s\n' "$script" >"$bin/$name.$$" && chmod 755 "$bin/$name.$$" && mv "$bin/$name.$$" "$bin/$name"
        fi
    done
    [[ :$PATH: == *":$bin:"* ]] || export PATH="$bin:$PATH"
}

wine_env_setup() {
    local dir=${1:?wine_env_setup needs a folder}
    mkdir -p "$dir"
    WINE_ENV_DIR=$(cd "$dir" && pwd)
    # Probed once; the processes started from here inherit the answer.
    if wine_kernel_runs_32bit; then
        export IMESETUP_KERNEL_RUNS_32BIT=1
    else
        export IMESETUP_KERNEL_RUNS_32BIT=0
        _wine_64bit_loader_first || return 1
    fi
    export WINEPREFIX="$WINE_ENV_DIR/prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono or Gecko install prompts.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LOCPATH="${IMESETUP_LOCALE_DIR:-$IMESETUP_ROOT/build/locale}"
    IMESETUP_WINE_TEMPLATE="${IMESETUP_WINE_TEMPLATE:-$IMESETUP_ROOT/build/wine-template}"
    # The locale may not exist yet in this shell; setting it would only warn.
    # IMESETUP_WINE_LOCALE gives another (en_US.UTF-8: ANSI code page 1252);
    # Wine takes each process's page from its locale's name, built or not.
    export LANG=${IMESETUP_WINE_LOCALE:-zh_CN.UTF-8} 2>/dev/null
    export LC_ALL=${IMESETUP_WINE_LOCALE:-zh_CN.UTF-8} 2>/dev/null
    unset LANGUAGE
}

# Builds the locale $1 (NAME.UTF-8) into $LOCPATH when it is not there.
_wine_locale_make() {
    local name=$1 source=${1%%.*}
    [[ -f "$LOCPATH/$name/LC_CTYPE" ]] && return 0
    command -v localedef >/dev/null || { wine_log "localedef is missing (libc-bin)"; return 1; }
    [[ -f /usr/share/i18n/locales/$source ]] || { wine_log "locale sources are missing (locales)"; return 1; }
    wine_log "building the $name locale in $LOCPATH"
    local tmp="$LOCPATH/.$name.$$"
    rm -rf "$tmp"
    # -c: the definition's own warnings are harmless; the files are checked below.
    env LC_ALL=C localedef -c -i "$source" -f UTF-8 "$tmp" || true
    [[ -f "$tmp/LC_CTYPE" ]] || { wine_log "localedef failed"; rm -rf "$tmp"; return 1; }
    rm -rf "$LOCPATH/$name"
    mv "$tmp" "$LOCPATH/$name"
}

wine_locale_ensure() {
    mkdir -p "$LOCPATH"
    # The template is made in zh_CN.UTF-8 whatever the session's locale.
    wine_with_lock "$LOCPATH/.lock" _wine_locale_make zh_CN.UTF-8 &&
        wine_with_lock "$LOCPATH/.lock" _wine_locale_make "$LC_ALL"
}

# How a prefix made now would be made: the Wine version, whether its 32-bit
# side (wine32:i386) is installed, and whether only the 64-bit loader runs.
wine_made_with() {
    local wine32 loader=""
    wine32=$(dpkg-query -W -f='${Status} ${Version}' wine32:i386 2>/dev/null)
    [[ $wine32 == "install ok installed "* ]] && wine32=${wine32##* } || wine32=none
    [[ ${IMESETUP_KERNEL_RUNS_32BIT:-1} == 0 ]] && loader=", 64-bit loader only"
    printf '%s, wine32 %s%s\n' "$(wine --version 2>/dev/null)" "$wine32" "$loader"
}

# True when the prefix or template $1 was made as one made now would be.
_wine_made_as_now() {
    [[ -f "$1/system.reg" && -f "$1/imesetup-made-with" ]] &&
        [[ $(<"$1/imesetup-made-with") == "$(wine_made_with)" ]]
}

_wine_template_make() {
    _wine_made_as_now "$IMESETUP_WINE_TEMPLATE" && return 0
    local tmp="$IMESETUP_WINE_TEMPLATE.tmp.$$" start=$SECONDS
    wine_log "creating the Wine prefix template $IMESETUP_WINE_TEMPLATE"
    rm -rf "$tmp"
    (
        export WINEPREFIX="$tmp" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
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
    wine_made_with >"$tmp/imesetup-made-with"
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
    _wine_made_as_now "$WINEPREFIX" && return 0
    wine_server_stop
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
    if _wine_made_as_now "$WINEPREFIX" && [[ -f "$LOCPATH/zh_CN.UTF-8/LC_CTYPE" ]] &&
        [[ -f "$LOCPATH/$LC_ALL/LC_CTYPE" ]]; then
        return 0
    fi
    wine_template_ensure || return 1
    wine_with_lock "$WINE_ENV_DIR/.lock" _wine_prefix_copy
}

wine_prefix_fresh() {
    wine_template_ensure || return 1
    wine_with_lock "$WINE_ENV_DIR/.lock" _wine_prefix_replace
}

wine_server_start() {
    # The server stays up between calls (0.1 s a call instead of 1 s) and ends
    # by itself after ten idle minutes. A second -p for a running server only
    # reports it and ends.
    (wine_exec_clean "" wineserver -p600) </dev/null >/dev/null 2>&1 || true
}

wine_server_stop() {
    [[ -d "$WINEPREFIX" ]] || return 0
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
}

# The display of a prefix's session: one Xvfb, started on a free display number
# and kept with the server. Every Wine process of the session gets it: Wine's
# desktop process keeps the display (or the lack of one) that it started with,
# so a program shown after a display-less one could never show a box.
_wine_display_alive() {
    local pid display
    [[ -f "$WINE_ENV_DIR/xvfb.pid" && -f "$WINE_ENV_DIR/xvfb.display" ]] || return 1
    pid=$(<"$WINE_ENV_DIR/xvfb.pid")
    display=$(<"$WINE_ENV_DIR/xvfb.display")
    [[ -n "$pid" && -r "/proc/$pid/comm" && $(<"/proc/$pid/comm") == Xvfb ]] || return 1
    [[ -S "/tmp/.X11-unix/X${display#:}" ]]
}

_wine_display_make() {
    _wine_display_alive && return 0
    command -v Xvfb >/dev/null || { wine_log "Xvfb is missing (xvfb)"; return 1; }
    # Processes that still use a lost display cannot be moved to a new one.
    wine_server_stop
    rm -f "$WINE_ENV_DIR/xvfb.pid" "$WINE_ENV_DIR/xvfb.display"
    local fifo="$WINE_ENV_DIR/xvfb.fifo" display pid
    rm -f "$fifo"
    mkfifo "$fifo"
    # -displayfd: Xvfb picks a free display number itself and writes it when
    # ready. setsid and /dev/null: it must not hold a caller's terminal or pipes.
    (wine_exec_clean 3 setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp) \
        3>"$fifo" </dev/null >/dev/null 2>&1 &
    pid=$!
    if ! read -r -t 20 display <"$fifo" || [[ -z "$display" ]]; then
        rm -f "$fifo"
        kill "$pid" 2>/dev/null
        wine_log "Xvfb did not start"
        return 1
    fi
    rm -f "$fifo"
    echo "$pid" >"$WINE_ENV_DIR/xvfb.pid"
    echo ":$display" >"$WINE_ENV_DIR/xvfb.display"
}

# Starts the session's display when it is not running and exports DISPLAY.
wine_display_ensure() {
    wine_with_lock "$WINE_ENV_DIR/.lock" _wine_display_make || return 1
    DISPLAY=$(<"$WINE_ENV_DIR/xvfb.display")
    export DISPLAY
}

wine_display_stop() {
    local pid
    [[ -f "$WINE_ENV_DIR/xvfb.pid" ]] || return 0
    if _wine_display_alive; then
        pid=$(<"$WINE_ENV_DIR/xvfb.pid")
        kill "$pid" 2>/dev/null
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            [[ -d "/proc/$pid" ]] || break
            sleep 0.1
        done
    fi
    rm -f "$WINE_ENV_DIR/xvfb.pid" "$WINE_ENV_DIR/xvfb.display"
}

# Everything a Wine call needs: locale, prefix, display, server.
wine_session_start() {
    wine_prefix_ensure || return 1
    wine_display_ensure || return 1
    wine_server_start
}

# Ends the session: the server with its processes, then the display.
wine_session_stop() {
    wine_server_stop
    wine_display_stop
}
