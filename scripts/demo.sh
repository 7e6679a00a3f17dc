#!/usr/bin/env bash
# The demo: the built imesetup.exe installing and then removing a sample IME,
# run as a user runs it, in a fresh Wine prefix on a virtual screen.
#
#   bash scripts/demo.sh [--no-install] [--update-screenshots]
#
# 1. installs what a fresh Debian machine lacks (MinGW-w64, Wine, Xvfb, a CJK
#    font, ImageMagick and xwd for the screenshots);
# 2. builds the Windows program (preset mingw-x64), the box watcher and the
#    tests' IME images;
# 3. makes a sample package: imesetup.exe beside setup.log (GBK), an IME file
#    (the tests' x64 input method module, with its version resource) and an
#    MB file;
# 4. runs imesetup.exe twice without an argument from the package folder: the
#    first run installs, the second removes. Each box is printed (UTF-8),
#    photographed into build/demo/screenshots/ and answered with OK; the files
#    in the system directory and the registry keys are shown before and after.
#    --update-screenshots copies the pictures into docs/screenshots/ as well
#    (docs/wine-and-e2e.md shows those); without it the checkout stays as it was.
# Exit status 0 only when both runs did what they should.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

install=1
update_docs=0
for arg in "$@"; do
    case $arg in
        --no-install) install=0 ;;
        --update-screenshots) update_docs=1 ;;
        *) echo "usage: scripts/demo.sh [--no-install] [--update-screenshots]" >&2; exit 2 ;;
    esac
done

work="$root/build/demo"
shots="$work/screenshots"
docs_shots="$root/docs/screenshots"
convert=/usr/bin/convert  # ImageMagick itself, not a stand-in earlier on PATH

say() { printf '\n==== %s ====\n' "$*"; }
die() { printf 'demo: %s\n' "$*" >&2; exit 1; }

# ---- 1. What the machine lacks ----
if [[ $install == 1 ]]; then
    bash scripts/install-deps.sh imagemagick x11-apps || die "could not install the packages"
fi
for tool in cmake wine xwd iconv; do
    command -v "$tool" >/dev/null || die "$tool is missing (run without --no-install)"
done
[[ -x $convert ]] || die "$convert is missing (imagemagick)"

# ---- 2. The program ----
say "Building imesetup.exe (preset mingw-x64)"
mkdir -p "$work"
cmake --preset mingw-x64 >"$work/configure.log" 2>&1 </dev/null || { cat "$work/configure.log"; die "configure failed"; }
cmake --build --preset mingw-x64 --target imesetup boxwatch test_ime_images >"$work/build.log" 2>&1 </dev/null ||
    { cat "$work/build.log"; die "build failed"; }
exe="$root/build/mingw-x64/imesetup.exe"
boxwatch="$root/build/mingw-x64/tests/e2e/boxwatch.exe"
# The sample IME file: the tests' x64 input method module, a DLL with the
# version resource Windows' input method manager asks for.
sample_ime="$root/build/mingw-x64/tests/e2e/test_ime_x64.ime"
[[ -f $exe && -f $boxwatch && -f $sample_ime ]] || die "build output missing"

# ---- A fresh prefix, a virtual screen ----
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
wine_env_setup "$work/wine"
say "Fresh Wine prefix $WINEPREFIX"
wine_prefix_fresh >/dev/null || die "no Wine prefix"
wine_session_start || die "no Wine session (prefix, X display, server)"
trap wine_session_stop EXIT
# Chinese text needs the replacement font (already in the template; set again
# so the demo does not depend on it). The virtual desktop gives boxes their
# title bars and lets them close without waiting for a window manager.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 800x600 /f >/dev/null 2>&1
# The desktop is made once per server: restart it so that the next one is virtual.
wine_server_stop
wine_session_start || die "no Wine session"

# ---- 3. The sample package ----
drive_c="$WINEPREFIX/drive_c"
package_win='C:\demo\package'
package="$drive_c/demo/package"
sysdir="$drive_c/windows/system32"
ime=demoime.ime
mb=demoime.mb
display_name='演示输入法'   # "demo input method"
mkdir -p "$package"
cp "$exe" "$package/imesetup.exe"
cp "$sample_ime" "$package/$ime"
printf 'sample code table\n' >"$package/$mb"
printf '[ImePram]\r\nImeFile=%s\r\nMbFile=%s\r\nImeName=%s\r\n' "$ime" "$mb" "$display_name" |
    iconv -f UTF-8 -t GBK >"$package/setup.log" || die "iconv failed"

say "The package ($package_win)"
LC_ALL=C ls -l "$package"
echo "setup.log (shown in UTF-8, stored in GBK):"
iconv -f GBK -t UTF-8 "$package/setup.log" | tr -d '\r' | sed 's/^/    /'

# ---- What the runs change ----
layouts_key='HKLM\System\CurrentControlSet\Control\Keyboard Layouts'
preload_key='HKCU\Keyboard Layout\Preload'

# The layout keys' names, one a line.
layout_names() {
    wine reg query "$layouts_key" 2>/dev/null | tr -d '\r' |
        sed -n 's/^HKEY_LOCAL_MACHINE.*\\Keyboard Layouts\\\(.*\)$/\1/p' | tr 'a-z' 'A-Z' | sort
}

show_state() {
    echo "System directory (C:\\windows\\system32):"
    local f
    if [[ -f $sysdir/$ime ]]; then
        printf '    %-12s present: the IME image, %s bytes\n' "$ime" "$(stat -c %s "$sysdir/$ime")"
    else
        printf '    %-12s absent\n' "$ime"
    fi
    if [[ -f $sysdir/$mb ]]; then
        printf '    %-12s present: %s\n' "$mb" "$(tr -d '\n' <"$sysdir/$mb")"
    else
        printf '    %-12s absent\n' "$mb"
    fi
    echo "$layouts_key:"
    wine reg query "$layouts_key" /s 2>/dev/null | iconv -f GBK -t UTF-8 -c | tr -d '\r' |
        grep -v '^$' | sed 's/^/    /'
    echo "$preload_key:"
    wine reg query "$preload_key" 2>/dev/null | iconv -f GBK -t UTF-8 -c | tr -d '\r' |
        grep -v '^$' | sed 's/^/    /'
}

# Runs imesetup.exe from the package folder without an argument; prints each
# box, photographs it into $shots/NAME-N.png and presses OK. Sets box_texts
# (the texts, one box a line) and run_status.
rm -rf "$shots"
mkdir -p "$shots"
run_tool() {
    local name=$1 line rect="" n=0 text=""
    box_texts=()
    run_status=""
    coproc WATCH { wine "$boxwatch" "--program=$package_win\\imesetup.exe" "--dir=$package_win" --wait 2>/dev/null; }
    local out=${WATCH[0]} in=${WATCH[1]}
    while IFS= read -r line <&"$out"; do
        line=${line%$'\r'}
        case $line in
            "BOX "*) n=${line#BOX }; text=""; echo "  Box $n:" ;;
            "CAPTION "*) echo "    caption: [${line#CAPTION }]" ;;
            "TEXT "*) text+="${text:+\\n}${line#TEXT }"; echo "    text:    ${line#TEXT }" ;;
            "BUTTONS "*) echo "    buttons: ${line#BUTTONS }" ;;
            "RECT "*) rect=${line#RECT } ;;
            "READY "*)
                box_texts+=("$text")
                shoot "$shots/$name-$n.png" "$rect"
                echo "    answered: OK"
                echo go >&"$in" ;;
            "EXIT "*) run_status=${line#EXIT }; break ;;
            *) echo "    boxwatch: $line"; [[ $line == "START FAILED"* || $line == TIMEOUT ]] && break ;;
        esac
    done
    # Wine's helper processes may hold the pipe open: the last line, not its
    # end, closes the run.
    exec {in}>&-
    wait "$WATCH_PID" 2>/dev/null
    echo "  imesetup.exe exit status: ${run_status:-none}"
}

# A picture of the box with a margin, taken once the screen has settled: a
# fresh desktop and its box are painted a moment after the box is shown.
shoot() {
    local file=$1 x y w h crop try
    read -r x y w h <<<"$2"
    crop="$((w + 40))x$((h + 40))+$((x > 20 ? x - 20 : 0))+$((y > 20 ? y - 20 : 0))"
    rm -f "$work/shot-a.png" "$work/shot-b.png"
    for try in 1 2 3 4 5 6 7 8 9 10; do
        sleep 0.3
        xwd -root -silent -display "$DISPLAY" |
            "$convert" xwd:- -crop "$crop" +repage "$work/shot-b.png" 2>/dev/null || continue
        if [[ -f $work/shot-a.png ]] && cmp -s "$work/shot-a.png" "$work/shot-b.png"; then
            break
        fi
        mv "$work/shot-b.png" "$work/shot-a.png"
    done
    if [[ -f $work/shot-b.png ]] || [[ -f $work/shot-a.png ]]; then
        mv "$work/shot-b.png" "$file" 2>/dev/null || mv "$work/shot-a.png" "$file"
        echo "    screenshot: ${file#"$root"/}"
    else
        echo "    screenshot failed"
    fi
}

ok=1
check() {  # check CONDITION-RESULT DESCRIPTION
    if [[ $1 == 0 ]]; then
        echo "  ok:   $2"
    else
        echo "  FAIL: $2"
        ok=0
    fi
}

# ---- 4a. Install ----
say "Before the first run"
show_state
layouts_before_install=$(layout_names)

say "Run 1: imesetup.exe (no argument) in $package_win"
run_tool install
say "After the first run"
show_state
install_boxes=("${box_texts[@]}")
install_status=$run_status
new_layouts=$(comm -13 <(echo "$layouts_before_install") <(layout_names))
echo
[[ ${#install_boxes[@]} == 1 && ${install_boxes[0]} == '安装成功。恭喜！' ]]
check $? "one box: 安装成功。恭喜！ (installation succeeded)"
[[ $install_status == 0 ]]
check $? "exit status 0"
cmp -s "$package/$ime" "$sysdir/$ime" && cmp -s "$package/$mb" "$sysdir/$mb"
check $? "both files copied into the system directory"
# "Ime File": Wine 8 writes the path it was given, Wine 10 the file name.
registered=$(for k in $new_layouts; do
    wine reg query "$layouts_key\\$k" /v 'Ime File' 2>/dev/null | tr -d '\r' |
        grep -qiE "REG_SZ[[:space:]]+(.*system32\\\\)?$ime\$" && echo "$k"
done)
[[ -n $registered ]]
check $? "the IME file registered as keyboard layout ${registered:-?}"

# ---- 4b. Remove ----
layouts_before_remove=$(layout_names)
say "Run 2: imesetup.exe (no argument) again: the IME file is present, so it removes"
run_tool remove
say "After the second run"
show_state
remove_boxes=("${box_texts[@]}")
remove_status=$run_status
echo
[[ ${#remove_boxes[@]} == 1 && ${remove_boxes[0]} == '卸载成功。' ]]
check $? "one box: 卸载成功。 (uninstallation succeeded)"
[[ $remove_status == 0 ]]
check $? "exit status 0"
[[ ! -e $sysdir/$ime && ! -e $sysdir/$mb ]]
check $? "both files deleted from the system directory"
[[ $(layout_names) == "$layouts_before_remove" ]]
check $? "the layout that the removal looked up was erased (no new layout left behind)"

# ---- Summary ----
say "Summary"
cat <<EOF
Run 1 (install): ${install_boxes[*]:-no box}  exit ${install_status:-?}
Run 2 (remove):  ${remove_boxes[*]:-no box}  exit ${remove_status:-?}
Screenshots:     ${shots#"$root"/}/install-1.png, ${shots#"$root"/}/remove-1.png

Under Wine, as measured, and how this demo deals with it:
- Wine's ImmInstallIMEA never answers with a layout that already exists: the
  removal's lookup registers the file once more under a new layout (here the
  key it made is the one the removal erased), so the layout the installation
  made (${registered:-?}) stays in the layout list. Windows answers with the
  installed layout, and the removal erases that one.
- Wine's ImmInstallIMEA puts nothing into the preload list, so the layout is
  not in it and the removal unloads nothing. That is why the removal succeeds
  here: Wine's UnloadKeyboardLayout always fails, and a removal that finds its
  layout in the preload list ends with 卸载失败：注销输入法出错（右下角图标）
  (the end-to-end tests check that case).
EOF
if [[ $ok == 1 ]]; then
    if [[ $update_docs == 1 ]]; then
        mkdir -p "$docs_shots"
        cp "$shots"/install-1.png "$shots"/remove-1.png "$docs_shots"/ &&
            echo "Screenshots copied into ${docs_shots#"$root"/}/ (the pictures of docs/wine-and-e2e.md)."
    fi
    echo "Result: both runs did what they should."
    exit 0
fi
echo "Result: FAILED (see the lines marked FAIL above)."
exit 1
