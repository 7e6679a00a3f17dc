#!/usr/bin/env bash
# The release's signing (scripts/signing.sh) with a throwaway code-signing
# certificate made here, under the build folder.
#
#   signing_test.sh PROGRAM CHECKER WORK-DIR
#
# Signs PROGRAM (the unsigned build) and checks: the signed program verifies
# against the certificate; a copy with one byte changed does not; two
# signings give the same file; the signature removed gives back PROGRAM byte
# for byte; with a time stamp from a time-stamp authority on loopback
# (openssl ts behind tests/signing/tsa_responder.py) the program verifies
# with the time stamp and still gives back PROGRAM. CHECKER, the release's
# other program, is signed and verified the same way. Leaves both signed as
# WORK-DIR/signed/imesetup.exe and imecheck.exe for the end-to-end suite
# (under their own names: the suite sets Wine's per-program Windows version by
# the setup program's name).
set -uo pipefail

usage="usage: signing_test.sh PROGRAM CHECKER WORK-DIR"
program=${1:?$usage}
checker=${2:?$usage}
work=${3:?$usage}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/signing.sh
source "$here/../../scripts/signing.sh"

failures=0
check() {  # DESCRIPTION COMMAND...
    local what=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "ok:   $what"
    else
        echo "FAIL: $what"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
        return 1
    fi
}
fails() { ! "$@"; }

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
umask 077  # the key and its password are readable by this user only

# ---- A throwaway certificate: RSA (its signatures hold no random part),
# self-signed, for code signing; its PFX locked with a random password.
openssl rand -hex 24 >password.txt
openssl req -x509 -newkey rsa:2048 -noenc -keyout author.key -out author.crt -days 30 \
    -subj "/CN=Throwaway IME author (test)" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    >openssl.log 2>&1 || { cat openssl.log; exit 1; }
openssl pkcs12 -export -inkey author.key -in author.crt -passout file:password.txt \
    -out author.pfx >>openssl.log 2>&1 || { cat openssl.log; exit 1; }
rm -f author.key
check "the PFX's certificates read back with the password file" \
    signing_certificates author.pfx password.txt author-certs.pem

epoch=1700000000
mkdir signed
check "signs" sign_program author.pfx password.txt "$epoch" "" "$program" signed/imesetup.exe
check "the signed program verifies against the certificate" \
    verify_program signed/imesetup.exe author-certs.pem
signed_again_same() {
    sign_program author.pfx password.txt "$epoch" "" "$program" again.exe && cmp signed/imesetup.exe again.exe
}
check "signed again: the same file" signed_again_same
check "its signature removed, the unsigned program byte for byte" equals_unsigned signed/imesetup.exe "$program"
check "signs the checker" sign_program author.pfx password.txt "$epoch" "" "$checker" signed/imecheck.exe
check "the signed checker verifies, and gives back the unsigned one" \
    verify_program signed/imecheck.exe author-certs.pem && equals_unsigned signed/imecheck.exe "$checker"

# One byte of the code changed after signing (the middle of the file is
# inside the signed part): the signature no longer holds.
cp signed/imesetup.exe tampered.exe
offset=$(($(stat -c %s tampered.exe) / 2))
byte=$(od -An -tu1 -j "$offset" -N1 tampered.exe | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
    dd of=tampered.exe bs=1 seek="$offset" conv=notrunc status=none
check "a copy with one byte changed differs" fails cmp -s tampered.exe signed/imesetup.exe
check "and does not verify" fails verify_program tampered.exe author-certs.pem

# ---- A time-stamp authority on loopback: its own self-signed certificate for
# time stamping, openssl ts -reply behind a small HTTP responder.
openssl req -x509 -newkey rsa:2048 -noenc -keyout tsa.key -out tsa.crt -days 30 \
    -subj "/CN=Loopback time-stamp authority (test)" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,timeStamping" \
    >>openssl.log 2>&1 || { cat openssl.log; exit 1; }
echo 01 >tsa-serial
cat >tsa.cnf <<EOF
[ tsa ]
default_tsa = loopback
[ loopback ]
serial = $work/tsa-serial
crypto_device = builtin
signer_cert = $work/tsa.crt
certs = $work/tsa.crt
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.0.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = yes
ess_cert_id_chain = no
ess_cert_id_alg = sha256
EOF
python3 "$here/tsa_responder.py" tsa.cnf tsa-port >tsa.log 2>&1 &
tsa_pid=$!
trap 'kill "$tsa_pid" 2>/dev/null' EXIT
for _ in $(seq 50); do
    [[ -s tsa-port ]] && break
    sleep 0.1
done
port=$(cat tsa-port 2>/dev/null)
if [[ $port =~ ^[0-9]+$ ]]; then
    url="http://127.0.0.1:$port/"
    if check "signs with a time stamp from the loopback authority" \
        sign_program author.pfx password.txt "$epoch" "$url" "$program" stamped.exe; then
        check "the time-stamped program verifies, its time stamp too" \
            verify_program stamped.exe author-certs.pem tsa.crt
        # osslsigncode itself lets a time stamp that fails its check pass.
        check "its time stamp does not verify against another authority" \
            fails verify_program stamped.exe author-certs.pem author-certs.pem
        check "nor does the program without a time stamp" \
            fails verify_program signed/imesetup.exe author-certs.pem tsa.crt
        check "its signature removed, the unsigned program byte for byte" \
            equals_unsigned stamped.exe "$program"
    fi
else
    echo "FAIL: the loopback time-stamp authority did not start"
    cat tsa.log
    failures=$((failures + 1))
fi
kill "$tsa_pid" 2>/dev/null
wait "$tsa_pid" 2>/dev/null
trap - EXIT

if [[ $failures -gt 0 ]]; then
    echo "$failures signing check(s) failed"
    exit 1
fi
echo "all signing checks passed"
