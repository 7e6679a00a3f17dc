#!/usr/bin/env bash
# Signs a test IME image as an author signs an IME file before shipping it:
# with the release's own signing functions (scripts/signing.sh) and a
# throwaway certificate made here, under the build folder.
#
#   sign_test_ime.sh IN OUT WORK-DIR
set -uo pipefail

usage="usage: sign_test_ime.sh IN OUT WORK-DIR"
in=${1:?$usage}
out=${2:?$usage}
work=${3:?$usage}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/signing.sh
source "$here/../../scripts/signing.sh"
# shellcheck source=../signing/throwaway_certificate.sh
source "$here/../signing/throwaway_certificate.sh"

rm -rf "$work"
mkdir -p "$work"
throwaway_pfx "$work" || { cat "$work/openssl.log"; exit 1; }
rm -f "$work/author.key"
# A fixed signing time: the same image and certificate give the same file.
sign_program "$work/author.pfx" "$work/password.txt" 1700000000 "" "$in" "$out" >"$work/sign.log" ||
    { cat "$work/sign.log"; exit 1; }
verify_program "$out" "$work/author.crt" >>"$work/sign.log" || { cat "$work/sign.log"; exit 1; }
