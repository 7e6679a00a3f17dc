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
# other program, is signed and verified the same way. The same key on a
# SoftHSM2 token (tests/signing/softhsm_token.sh) signs both byte for byte as
# the PFX does, with the PIN on no command line and in no output; a wrong
# PIN, a missing token and a wrong URI fail, each with its cause named, and
# write nothing. Leaves both signed as
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
# shellcheck source=throwaway_certificate.sh
source "$here/throwaway_certificate.sh"

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

# ---- A throwaway certificate (tests/signing/throwaway_certificate.sh); its
# key stays beside it for the token below, and is removed after.
throwaway_pfx . || { cat openssl.log; exit 1; }
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
    eval 'verify_program signed/imecheck.exe author-certs.pem && equals_unsigned signed/imecheck.exe "$checker"'

# One byte of the code changed after signing (the middle of the file is
# inside the signed part): the signature no longer holds.
cp signed/imesetup.exe tampered.exe
offset=$(($(stat -c %s tampered.exe) / 2))
byte=$(od -An -tu1 -j "$offset" -N1 tampered.exe | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
    dd of=tampered.exe bs=1 seek="$offset" conv=notrunc status=none
check "a copy with one byte changed differs" fails cmp -s tampered.exe signed/imesetup.exe
check "and does not verify" fails verify_program tampered.exe author-certs.pem

# ---- The same key on a token: SoftHSM2 with a configuration of its own
# under WORK-DIR. The PIN is in pin.txt only.
# shellcheck source=softhsm_token.sh
source "$here/softhsm_token.sh"
openssl rand -hex 12 >pin.txt
read -r pin <pin.txt
module=$(softhsm_module)
uri="pkcs11:token=imesetup-test;object=author;type=private"
if check "a SoftHSM2 token holds the author's key" make_softhsm_token "$work/token" author.key pin.txt; then
    export SOFTHSM2_CONF="$work/token/softhsm2.conf"
    token_sign() {  # PIN-FILE IN OUT [URI]
        sign_program_pkcs11 "${4:-$uri}" "$module" author.crt "$1" "$epoch" "" "$2" "$3" >"$3.log" 2>&1
        local status=$?
        cat "$3.log"
        return "$status"
    }
    mkdir token-signed
    check "signs with the key on the token" token_sign pin.txt "$program" token-signed/imesetup.exe
    check "the token-signed program is the PFX-signed one byte for byte" \
        cmp token-signed/imesetup.exe signed/imesetup.exe
    check "and the token-signed checker too" eval 'token_sign pin.txt "$checker" token-signed/imecheck.exe &&
        cmp token-signed/imecheck.exe signed/imecheck.exe'

    # While the signing runs, no process has the PIN on its command line.
    # osslsigncode reads the PIN from a FIFO and waits there until it is
    # written: then every process of the signing is running. The scan reads
    # /proc with shell builtins, so it starts no process of its own.
    commands_holding() {  # TEXT: the command lines that hold TEXT
        local file args line
        for file in /proc/[0-9]*/cmdline; do
            { mapfile -d '' args <"$file"; } 2>/dev/null || continue
            line="${args[*]}"
            [[ -z $line || $line != *"$1"* ]] || echo "${file%/cmdline}: ${line:0:200}"
        done
    }
    pin_on_no_command_line() {
        rm -f pin.fifo && mkfifo pin.fifo || return 1
        token_sign pin.fifo "$program" fifo.exe >/dev/null &
        local signer=$! found signing waited=0
        until signing=$(commands_holding pin.fifo | grep osslsigncode) || [[ $waited -ge 100 ]]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        echo "the signing process: ${signing:-not seen}"
        found=$(commands_holding "$pin")
        # Opened for reading and writing, the FIFO never blocks this side.
        local fifo
        exec {fifo}<>pin.fifo
        printf '%s\n' "$pin" >&"$fifo"
        exec {fifo}>&-
        wait "$signer" || { echo "the signing through the FIFO failed"; return 1; }
        [[ -n $signing && -z $found ]] || { echo "the PIN on a command line: $found"; return 1; }
        cmp fifo.exe token-signed/imesetup.exe
    }
    check "while signing, the PIN is on no process's command line" pin_on_no_command_line
    # The canary: a process with the PIN among its arguments is found.
    (exec -a "canary-$pin" sleep 30) >/dev/null 2>&1 &
    canary=$!
    check "the scan finds a PIN given on a command line" eval '[[ -n $(commands_holding "$pin") ]]'
    kill "$canary" 2>/dev/null
    wait "$canary" 2>/dev/null

    # What a wrong PIN, a missing token and a wrong URI give: a failure, no
    # file, the cause. Rows: case | URI | PIN file | token configuration | cause.
    openssl rand -hex 12 >wrong-pin.txt
    mkdir -p no-token/tokens
    printf 'directories.tokendir = %s/no-token/tokens\nobjectstore.backend = file\n' "$work" >no-token/softhsm2.conf
    failure_rows=(
        "wrong PIN|$uri|wrong-pin.txt|$SOFTHSM2_CONF|refused the PIN"
        "missing token|$uri|pin.txt|$work/no-token/softhsm2.conf|no token matches the URI"
        "wrong URI|pkcs11:token=imesetup-test;object=nobody;type=private|pin.txt|$SOFTHSM2_CONF|no private key"
    )
    fails_with_cause() {  # URI PIN-FILE CONF CAUSE OUT
        local output cause
        if output=$(SOFTHSM2_CONF=$3 token_sign "$2" "$program" "$5" "$1"); then
            echo "signed"
            return 1
        fi
        cause=$(pkcs11_failure "$output")
        echo "cause: $cause"
        [[ ! -e $5 && $cause == *"$4"* ]]
    }
    for row in "${failure_rows[@]}"; do
        IFS='|' read -r what row_uri row_pin row_conf cause <<<"$row"
        check "$what: fails, writes nothing and says: $cause" \
            fails_with_cause "$row_uri" "$row_pin" "$row_conf" "$cause" "failed-${what// /-}.exe"
    done
    check "a URI that is not pkcs11: is refused" eval '[[ -n $(pkcs11_uri_problem author) ]]'
    check "a URI that carries the PIN is refused" eval '[[ -n $(pkcs11_uri_problem "$uri;pin-value=$pin") ]]'
    check "the PIN is in no output of the token signings" eval '! grep -rqF -f pin.txt --include="*.log" .'
    unset SOFTHSM2_CONF
fi
rm -f author.key

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
