#!/usr/bin/env bash
# The release command: builds the setup program and the package checker for
# x64 and x86 from this checkout, checks them, and writes the release folder
# and its zip for IME authors.
#
#   bash scripts/release.sh [--no-install] [--allow-dirty] [--x86-without-wine]
#        [--sign PFX --password-file FILE
#         | --sign-pkcs11 URI --pkcs11-module PATH --certs CHAIN.pem --pin-file FILE]
#        [--timestamp URL [--timestamp-ca FILE]]
#
# 1. installs what is missing (scripts/install-deps.sh, and zip);
# 2. builds both programs in Release into build/release-x64 and
#    build/release-x86 (fresh folders), each with the end-to-end tests;
# 3. checks each program: imports (system DLLs only), GUI subsystem, manifest
#    (elevation, supported systems, Common Controls 6, DPI awareness), version
#    resource, stripped, no PE time stamp, no threads runtime, size (x64 at
#    most 112 KiB, x86 at most 170 KiB); each checker the same, with a console
#    subsystem and a manifest that asks for no elevation; the third-party
#    notices name every library in each program's link map; the changelog's
#    newest version is the project's; each setup program must pass the
#    end-to-end suite under Wine (the x86 one under WoW64; each checker with
#    its program) and install and remove the sample package; the x64 and
#    x86 packages of one IME installed together and removed in either order;
# 4. puts the release together in build/release-stage/; with --sign or
#    --sign-pkcs11, signs every program in it (scripts/signing.sh:
#    osslsigncode, SHA-256, the description "Setup My IME", the signing time
#    fixed to the commit's time, with --timestamp an RFC 3161 time stamp from
#    that authority) and checks each: it verifies against the signer's
#    certificates (and the system's; the time stamp against --timestamp-ca,
#    by default the system's), and with its signature removed it is the
#    unsigned program byte for byte. The first program that fails to sign
#    ends the signing (a token counts each wrong PIN). Unsigned, it says so;
# 5. only then writes dist/imesetup-VERSION/ (x86/ and x64/ with imesetup.exe
#    and imecheck.exe, sample-package/{x64,x86}/setup.log, GUIDE.zh-CN.txt,
#    GUIDE.en.txt, LICENSE.txt, THIRD-PARTY-NOTICES.txt, CHANGELOG.txt,
#    SHA256SUMS) and dist/imesetup-VERSION.zip. VERSION is the CMake project
#    version.
#
# --sign takes the key and certificates from a PFX file; --sign-pkcs11 the
# key from a token or HSM: URI is its RFC 7512 pkcs11: URI, PATH the token's
# PKCS#11 library, CHAIN.pem the certificate chain (the signer's first). The
# PFX password and the PIN are read from their files by the signing tools
# themselves: they are on no command line and in no log.
#
# The output is reproducible: from the same commit, in any folder, the same
# bytes (file times are the commit's time; the zip is made with sorted
# entries, fixed times and modes, and no extra attributes). Signed, the same
# commit, PFX and osslsigncode give the same bytes too, unless a time stamp
# is asked for (it holds the authority's time). A checkout with uncommitted
# changes is refused unless --allow-dirty is given.
#
# On a machine whose kernel runs no 32-bit programs, Wine cannot run the x86
# programs, and the release stops before it builds anything. --x86-without-wine
# accepts x86 programs that every other check passed but that were not run
# under Wine; the release then carries NOTES.txt, which says so (and is in
# SHA256SUMS). Where the kernel runs them, the option changes nothing.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

usage() {
    echo "usage: scripts/release.sh [--no-install] [--allow-dirty] [--x86-without-wine]" \
        "[--sign PFX --password-file FILE" \
        "| --sign-pkcs11 URI --pkcs11-module PATH --certs CHAIN.pem --pin-file FILE]" \
        "[--timestamp URL [--timestamp-ca FILE]]" >&2
    exit 2
}
install=1
allow_dirty=0
x86_without_wine=0
pfx=""
password_file=""
timestamp_url=""
timestamp_ca=""
key_uri=""
pkcs11_module=""
certs=""
pin_file=""
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-install) install=0; shift ;;
        --allow-dirty) allow_dirty=1; shift ;;
        --x86-without-wine) x86_without_wine=1; shift ;;
        --sign) [[ $# -ge 2 ]] || usage; pfx=$2; shift 2 ;;
        --password-file) [[ $# -ge 2 ]] || usage; password_file=$2; shift 2 ;;
        --timestamp) [[ $# -ge 2 ]] || usage; timestamp_url=$2; shift 2 ;;
        --timestamp-ca) [[ $# -ge 2 ]] || usage; timestamp_ca=$2; shift 2 ;;
        --sign-pkcs11) [[ $# -ge 2 ]] || usage; key_uri=$2; shift 2 ;;
        --pkcs11-module) [[ $# -ge 2 ]] || usage; pkcs11_module=$2; shift 2 ;;
        --certs) [[ $# -ge 2 ]] || usage; certs=$2; shift 2 ;;
        --pin-file) [[ $# -ge 2 ]] || usage; pin_file=$2; shift 2 ;;
        *) usage ;;
    esac
done

say() { printf '\n==== %s ====\n' "$*"; }
die() { printf 'release: %s\n' "$*" >&2; exit 1; }

# shellcheck source=signing.sh
source "$root/scripts/signing.sh"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
readable() {  # WHAT FILE: the file's absolute path (the signing runs in another folder)
    [[ -f $2 && -r $2 ]] || die "cannot read the $1 $2"
    realpath "$2" || die "realpath failed"
}
[[ -z $pfx || -z $key_uri ]] || die "--sign and --sign-pkcs11 exclude each other"
if [[ -n $pfx ]]; then
    [[ -n $password_file ]] || die "--sign needs --password-file FILE"
    pfx=$(readable "PFX file" "$pfx") || exit 1
    password_file=$(readable "password file" "$password_file") || exit 1
elif [[ -n $password_file ]]; then
    die "--password-file goes with --sign"
fi
if [[ -n $key_uri ]]; then
    [[ -n $pkcs11_module && -n $certs && -n $pin_file ]] ||
        die "--sign-pkcs11 needs --pkcs11-module PATH, --certs CHAIN.pem and --pin-file FILE"
    problem=$(pkcs11_uri_problem "$key_uri")
    [[ -z $problem ]] || die "--sign-pkcs11: $problem"
    pkcs11_module=$(readable "PKCS#11 library" "$pkcs11_module") || exit 1
    certs=$(readable "certificate chain" "$certs") || exit 1
    pin_file=$(readable "PIN file" "$pin_file") || exit 1
elif [[ -n $pkcs11_module || -n $certs || -n $pin_file ]]; then
    die "--pkcs11-module, --certs and --pin-file go with --sign-pkcs11"
fi
signing=${pfx:+pfx}${key_uri:+pkcs11}
if [[ -z $signing && ( -n $timestamp_url || -n $timestamp_ca ) ]]; then
    die "--timestamp and --timestamp-ca go with --sign or --sign-pkcs11"
fi
[[ -z $timestamp_ca || -n $timestamp_url ]] || die "--timestamp-ca goes with --timestamp"
[[ -z $timestamp_ca ]] || timestamp_ca=$(readable "time-stamp authorities' file" "$timestamp_ca") || exit 1

# ---- 1. What the machine lacks ----
if [[ $install == 1 ]]; then
    bash scripts/install-deps.sh zip || die "could not install the packages"
fi
# The x86 programs run under Wine only where the kernel runs 32-bit programs:
# a release never leaves that run out unless its author says so.
x86_under_wine=1
if ! wine_kernel_runs_32bit; then
    [[ $x86_without_wine == 1 ]] ||
        die "this kernel runs no 32-bit programs, so Wine cannot run the x86 programs: make the release on a machine whose kernel does, or give --x86-without-wine to ship x86 programs that were not run under Wine"
    x86_under_wine=0
    echo "release: this kernel runs no 32-bit programs: the x86 programs are checked but not run under Wine (--x86-without-wine)" >&2
fi

for tool in cmake git zip iconv sha256sum python3 x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump \
    ${signing:+osslsigncode openssl}; do
    command -v "$tool" >/dev/null || die "$tool is missing (run without --no-install)"
done

if [[ -d .git || -f .git ]] && [[ -n $(git status --porcelain 2>/dev/null) ]]; then
    [[ $allow_dirty == 1 ]] || die "the checkout has uncommitted changes (commit them, or give --allow-dirty)"
    echo "release: building from a checkout with uncommitted changes" >&2
fi
# Every file of the release carries the time of the commit it is built from.
epoch=$(git log -1 --format=%ct 2>/dev/null) || epoch=""
[[ $epoch =~ ^[0-9]+$ ]] || epoch=315532800  # 1980-01-01, the earliest a zip holds
export SOURCE_DATE_EPOCH=$epoch

jobs=${IMESETUP_JOBS:-2}
x64_build="$root/build/release-x64"
x86_build="$root/build/release-x86"
logs="$root/build/release-logs"
rm -rf "$x64_build" "$x86_build" "$logs"
mkdir -p "$logs"

# ---- 2. Build ----
build() {  # NAME DIR CMAKE-ARGS... TARGETS after --
    local name=$1 dir=$2; shift 2
    local args=() targets=()
    while [[ $# -gt 0 && $1 != -- ]]; do args+=("$1"); shift; done
    shift
    targets=("$@")
    say "Building $name (log: ${logs#"$root"/}/$name.log)"
    {
        cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${args[@]}" &&
            cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
    } >"$logs/$name.log" 2>&1 </dev/null || { tail -n 40 "$logs/$name.log"; die "$name: build failed"; }
}

# The test programs need the posix compilers; the programs themselves come
# from the nested win32 build (cmake/shipped_program.cmake). The target
# imesetup builds the checker as well.
build x64 "$x64_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x64.cmake" \
    -- imesetup e2e_tests boxwatch
build x86 "$x86_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86.cmake" \
    -- imesetup e2e_tests boxwatch

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64_build/CMakeCache.txt")
[[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] || die "no project version in $x64_build/CMakeCache.txt"
# The four-part file version of the version resource, missing parts as 0.
IFS=. read -r -a parts <<<"$version"
while [[ ${#parts[@]} -lt 4 ]]; do parts+=(0); done
file_version=$(IFS=.; echo "${parts[*]}")

# ---- 3. Checks ----
failed=0
check() {  # DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@" >>"$logs/checks.log" 2>&1; then
        echo "  ok:   $what"
    else
        echo "  FAIL: $what (see ${logs#"$root"/}/checks.log)"
        failed=1
        return 1
    fi
}

# Whole outputs first: grep -q ending a pipe early would fail it (pipefail).
no_time_stamp() {
    local dump
    dump=$("$1" -p "$2") && grep -Eq '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$dump" &&
        ! grep -Eq 'Time: 0*[1-9a-f]' <<<"$dump"  # nor in the resource directory
}
stripped() {
    local dump
    dump=$("$1" -t "$2" 2>&1) && grep -q '^no symbols' <<<"$dump"
}
no_threads_runtime() { ! grep -aqiE 'winpthread|pthread_(create|mutex)' "$1"; }
at_most() { [[ $(stat -c %s "$2") -le $1 ]]; }

check_program() {  # ARCH OBJDUMP PROGRAM
    local arch=$1 objdump=$2 exe=$3
    say "Checking $arch/imesetup.exe ($(stat -c %s "$exe") bytes)"
    check "imports system DLLs only, GUI subsystem" cmake -DOBJDUMP="$objdump" -DPROGRAM="$exe" \
        "-DALLOWED=KERNEL32.dll;USER32.dll;ADVAPI32.dll;IMM32.dll;msvcrt.dll" -P "$root/cmake/check_imports.cmake"
    check "manifest (elevation, systems, Common Controls 6, DPI awareness), version $file_version" \
        cmake -DOBJDUMP="$objdump" -DPROGRAM="$exe" -DVERSION="$file_version" \
        -P "$root/tests/e2e/check_resources.cmake"
    check "stripped" stripped "$objdump" "$exe"
    check "no time stamp in the PE header and resources" no_time_stamp "$objdump" "$exe"
    check "no threads runtime" no_threads_runtime "$exe"
    "$objdump" -p "$exe" | grep 'DLL Name' | sed 's/^[[:space:]]*/    /'
}

# The package checker: a console program that asks for no elevation.
check_checker() {  # ARCH OBJDUMP PROGRAM
    local arch=$1 objdump=$2 exe=$3
    say "Checking $arch/imecheck.exe ($(stat -c %s "$exe") bytes)"
    check "imports system DLLs only, console subsystem" cmake -DOBJDUMP="$objdump" -DPROGRAM="$exe" \
        "-DALLOWED=KERNEL32.dll;USER32.dll;ADVAPI32.dll;msvcrt.dll" -DSUBSYSTEM=3 -P "$root/cmake/check_imports.cmake"
    check "manifest (no elevation, systems), version $file_version" \
        cmake -DOBJDUMP="$objdump" -DPROGRAM="$exe" -DVERSION="$file_version" -DEXPECT=package_checker \
        -P "$root/tests/e2e/check_resources.cmake"
    check "stripped" stripped "$objdump" "$exe"
    check "no time stamp in the PE header and resources" no_time_stamp "$objdump" "$exe"
    check "no threads runtime" no_threads_runtime "$exe"
    "$objdump" -p "$exe" | grep 'DLL Name' | sed 's/^[[:space:]]*/    /'
}

x64_exe="$x64_build/imesetup.exe"
x86_exe="$x86_build/imesetup.exe"
x64_checker="$x64_build/imecheck.exe"
x86_checker="$x86_build/imecheck.exe"
[[ -f $x64_exe && -f $x86_exe && -f $x64_checker && -f $x86_checker ]] || die "a program is missing after the build"
check_program x64 x86_64-w64-mingw32-objdump "$x64_exe"
check "at most 112 KiB" at_most 114688 "$x64_exe"
check_program x86 i686-w64-mingw32-objdump "$x86_exe"
check "at most 170 KiB" at_most 174080 "$x86_exe"
check_checker x64 x86_64-w64-mingw32-objdump "$x64_checker"
check_checker x86 i686-w64-mingw32-objdump "$x86_checker"

say "Notices and changelog"
check "the third-party notices name every library in the link maps" python3 scripts/check_notices.py \
    packaging/THIRD-PARTY-NOTICES.txt "$x64_exe.map" "$x64_checker.map" "$x86_exe.map" "$x86_checker.map"
check "the changelog's newest version is $version" cmake -DCHANGELOG="$root/CHANGELOG.md" -DVERSION="$version" \
    -P "$root/cmake/check_changelog.cmake"

# Under Wine, each build (x86 under WoW64): the end-to-end suite against the
# very files that ship, then the sample package installed and removed by the
# setup program.
sample_run() {  # WINE-DIR BUILD ARGS EXPECTED-TEXT
    local out
    out=$(bash scripts/wine-run.sh --dir "$1" "$2/tests/e2e/boxwatch.exe" \
        '--program=C:\release-sample\imesetup.exe' '--dir=C:\release-sample' "--args=$3" 2>&1)
    echo "$out"
    grep -qx "TEXT $4" <<<"$out" && grep -qx 'EXIT 0' <<<"$out" && [[ $(grep -c '^BOX ' <<<"$out") == 1 ]]
}
wine_checks() {  # NAME BUILD PROGRAM CHECKER
    local name=$1 build=$2 exe=$3 checker=$4
    local wine_dir="$build/wine" sample="$build/wine/prefix/drive_c/release-sample"  # C:\release-sample
    say "The $name programs under Wine"
    bash scripts/wine-run.sh --dir "$wine_dir" --fresh >>"$logs/wine.log" 2>&1 || die "no Wine prefix (see $logs/wine.log)"
    check "end-to-end suite" bash scripts/wine-run.sh --dir "$wine_dir" \
        "$build/tests/e2e/e2e_tests.exe" "--tool=$exe" "--checker=$checker" \
        '--gtest_filter=-OtherCodePage.*:TwinPackages.*'
    check "the boxes in ANSI code page 1252" env IMESETUP_WINE_LOCALE=en_US.UTF-8 bash scripts/wine-run.sh \
        --dir "$wine_dir" "$build/tests/e2e/e2e_tests.exe" "--tool=$exe" "--checker=$checker" --code-page=1252 \
        '--gtest_filter=OtherCodePage.*'
    rm -rf "$sample"
    mkdir -p "$sample"
    cp "$exe" "$sample/imesetup.exe"
    iconv -f UTF-8 -t GBK packaging/setup.log | sed 's/$/\r/' >"$sample/setup.log" || die "iconv failed"
    # The tests' input method module of this build's machine, with the version
    # resource Windows' input method manager asks for.
    cp "$build/tests/e2e/test_ime_$name.ime" "$sample/myime.ime" || die "no test IME image"
    printf 'sample code table\n' >"$sample/myime.mb"
    check "the sample setup.log installs" sample_run "$wine_dir" "$build" /inst '安装成功。恭喜！'
    check "and removes" sample_run "$wine_dir" "$build" /uninst '卸载成功。'
    bash scripts/wine-run.sh --dir "$wine_dir" --stop >>"$logs/wine.log" 2>&1
}
wine_checks x64 "$x64_build" "$x64_exe" "$x64_checker"
if [[ $x86_under_wine == 1 ]]; then
    wine_checks x86 "$x86_build" "$x86_exe" "$x86_checker"
    # The two packages of one IME as the guide tells authors to ship them: the
    # x64 package, then the x86 one; removed in either order, nothing left.
    check "the x64 and x86 packages together" bash scripts/wine-run.sh --dir "$x64_build/wine" \
        "$x64_build/tests/e2e/e2e_tests.exe" "--tool=$x64_exe" "--checker=$x64_checker" "--other-tool=$x86_exe" \
        '--gtest_filter=TwinPackages.*'
    bash scripts/wine-run.sh --dir "$x64_build/wine" --stop >>"$logs/wine.log" 2>&1
else
    say "The x86 programs under Wine, and the x64 and x86 packages together: not run (this kernel runs no 32-bit programs; --x86-without-wine)"
fi

[[ $failed == 0 ]] || die "checks failed: nothing written to dist/"

# ---- 4. The release, put together where a failed signing leaves no trace ----
name="imesetup-$version"
dist="$root/dist"
out="$root/build/release-stage/$name"
say "Putting dist/$name together in build/release-stage"
rm -rf "$root/build/release-stage"
mkdir -p "$out/x86" "$out/x64" "$out/sample-package/x64" "$out/sample-package/x86"
cp "$x86_exe" "$out/x86/imesetup.exe"
cp "$x64_exe" "$out/x64/imesetup.exe"
cp "$x86_checker" "$out/x86/imecheck.exe"
cp "$x64_checker" "$out/x64/imecheck.exe"
# setup.log in code page 936 with CR LF, as the program and Notepad read it,
# once in each build's package folder: on 64-bit Windows both builds of the
# IME ship under one name, x64\ installed first, then x86\.
for build in x64 x86; do
    iconv -f UTF-8 -t GBK packaging/setup.log | sed 's/$/\r/' >"$out/sample-package/$build/setup.log" ||
        die "iconv failed"
done
# The guides in UTF-8 with a byte order mark and CR LF: Notepad opens them
# correctly on every Windows, whatever the system's code page.
for guide in GUIDE.zh-CN.txt GUIDE.en.txt; do
    { printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$version/; s/\$/\r/" "packaging/$guide"; } >"$out/$guide"
done
# The license, the third-party notices and the changelog, ASCII with CR LF
# and named .txt, so that a double click opens them in Notepad.
for text in LICENSE:LICENSE.txt packaging/THIRD-PARTY-NOTICES.txt:THIRD-PARTY-NOTICES.txt \
    CHANGELOG.md:CHANGELOG.txt; do
    LC_ALL=C grep -q '[^[:print:][:space:]]' "${text%%:*}" && die "${text%%:*} is not ASCII"
    sed 's/$/\r/' "${text%%:*}" >"$out/${text#*:}" || die "cannot copy ${text%%:*}"
done

# What the author accepted: said in the release itself, and so in SHA256SUMS.
if [[ $x86_under_wine == 0 ]]; then
    sed 's/$/\r/' >"$out/NOTES.txt" <<'EOF'
The x86 programs of this release (x86/imesetup.exe, x86/imecheck.exe) were
not run under Wine before release: the kernel of the machine that made it
runs no 32-bit programs. Their files passed every other check (imports,
manifest, version information, size, no time stamp, third-party notices);
the x64 programs passed the end-to-end suite under Wine as well.
EOF
fi

# Signing: every program of the release, whatever its folder.
mapfile -t programs < <(cd "$out" && find . -type f \( -iname '*.exe' -o -iname '*.dll' \) |
    sed 's|^\./||' | LC_ALL=C sort)
# Signs UNSIGNED into SIGNED with the key given; on failure, sign_failure
# says why.
sign_failure=""
sign_one() {  # UNSIGNED SIGNED
    local output status
    if [[ $signing == pfx ]]; then
        output=$(sign_program "$pfx" "$password_file" "$SOURCE_DATE_EPOCH" "$timestamp_url" "$1" "$2")
    else
        output=$(sign_program_pkcs11 "$key_uri" "$pkcs11_module" "$certs" "$pin_file" \
            "$SOURCE_DATE_EPOCH" "$timestamp_url" "$1" "$2")
    fi
    status=$?
    printf '%s\n' "$output"
    [[ $status != 0 ]] || return 0
    if [[ $signing == pkcs11 ]]; then
        sign_failure=$(pkcs11_failure "$output")
    else
        sign_failure="osslsigncode failed"
    fi
    return 1
}
if [[ -z $signing ]]; then
    say "Unsigned"
    echo "release: the programs are unsigned (--sign PFX or --sign-pkcs11 URI signs them)" |
        tee "$logs/signing.log"
else
    say "Signing ${programs[*]}${key_uri:+ with the key $key_uri}${timestamp_url:+, time stamps from $timestamp_url}"
    signed="$root/build/release-signed"
    rm -rf "$signed"
    mkdir -p "$signed"
    # The signature must verify against the certificates it was made with;
    # the system's authorities complete the chain of a public certificate.
    system_cas=/etc/ssl/certs/ca-certificates.crt
    if [[ $signing == pfx ]]; then
        signing_certificates "$pfx" "$password_file" "$signed/signer.pem" >>"$logs/signing.log" 2>&1 ||
            die "cannot read the certificates of $pfx (see ${logs#"$root"/}/signing.log)"
    else
        cp "$certs" "$signed/signer.pem" || die "cannot copy $certs"
    fi
    [[ ! -r $system_cas ]] || cat "$system_cas" >>"$signed/signer.pem"
    tsa_ca=${timestamp_ca:-$system_cas}
    for program in "${programs[@]}"; do
        unsigned="$out/$program"
        signed_copy="$signed/$program"
        mkdir -p "$(dirname "$signed_copy")"
        echo "== $program" >>"$logs/checks.log"
        # A token counts every wrong PIN: one failed login is enough.
        check "$program: signed" sign_one "$unsigned" "$signed_copy" || break
        check "$program: verifies against the certificate${timestamp_url:+, its time stamp too}" \
            verify_program "$signed_copy" "$signed/signer.pem" ${timestamp_url:+"$tsa_ca"}
        check "$program: without its signature, the unsigned build byte for byte" \
            equals_unsigned "$signed_copy" "$unsigned"
    done
    [[ $failed == 0 ]] ||
        die "signing failed${sign_failure:+: $sign_failure}: nothing written to dist/ (see ${logs#"$root"/}/checks.log)"
    for program in "${programs[@]}"; do
        cp "$signed/$program" "$out/$program"
    done
fi

(cd "$out" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    xargs -d '\n' sha256sum >SHA256SUMS)

# Fixed modes and times, sorted entries, no extra attributes: the same zip
# from the same files.
find "$out" -type d -exec chmod 0755 {} +
find "$out" -type f -exec chmod 0644 {} +
find "$out" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

# ---- 5. dist/ ----
say "Writing dist/$name"
rm -rf "${dist:?}/$name" "$dist/$name.zip"
mkdir -p "$dist"
mv "$out" "$dist/$name" || die "cannot move the release into dist/"
out="$dist/$name"
(cd "$dist" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$name.zip") || die "zip failed"
touch -d "@$SOURCE_DATE_EPOCH" "$dist/$name.zip"

echo
(cd "$out" && LC_ALL=C ls -lR --time-style=+ . | sed 's/^/  /')
echo
sed 's/^/  /' "$out/SHA256SUMS"
echo "  $(cd "$dist" && sha256sum "$name.zip")"
echo
echo "Release written: dist/$name/ and dist/$name.zip"
