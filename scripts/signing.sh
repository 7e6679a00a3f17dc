# Authenticode signing of a Windows program with osslsigncode: the functions
# that scripts/release.sh and the signing test share. Source this file.
#
#   signing_certificates PFX PASSWORD-FILE OUT
#       writes the certificates of the PFX file (no key) to OUT (PEM)
#   sign_program PFX PASSWORD-FILE EPOCH TIMESTAMP-URL IN OUT
#       signs IN into OUT: SHA-256, the description "Setup My IME", the
#       signing time EPOCH (seconds since 1970); with a non-empty
#       TIMESTAMP-URL an RFC 3161 time stamp from that authority
#   verify_program FILE CA-FILE [TSA-CA-FILE]
#       the signature is intact and its signer chains to a certificate in
#       CA-FILE; with TSA-CA-FILE, it also carries a time stamp whose
#       authority chains to a certificate in that file. No network is used.
#   equals_unsigned SIGNED UNSIGNED
#       SIGNED with its signature removed is UNSIGNED byte for byte
#
# The password is read from its file by osslsigncode (-readpass) and openssl
# (-passin file:): it never appears on a command line that other processes
# can see, nor in any output. Without a time stamp the same program, PFX and
# EPOCH give the same signed file: an RSA signature holds no random part, and
# the signing time is the one given. A time stamp holds the authority's own
# time and serial number, so a time-stamped file differs from one signing to
# the next; with its signature removed it is still the unsigned program.

signing_certificates() {  # PFX PASSWORD-FILE OUT
    openssl pkcs12 -in "$1" -passin "file:$2" -nokeys -out "$3" 2>&1
}

sign_program() {  # PFX PASSWORD-FILE EPOCH TIMESTAMP-URL IN OUT
    local pfx=$1 password_file=$2 epoch=$3 timestamp_url=$4 in=$5 out=$6
    local args=(sign -pkcs12 "$pfx" -readpass "$password_file" -h sha256
        -n "Setup My IME" -time "$epoch")
    [[ -z $timestamp_url ]] || args+=(-ts "$timestamp_url")
    rm -f "$out"
    osslsigncode "${args[@]}" -in "$in" -out "$out" 2>&1
}

# osslsigncode 2.6 and later fetch the certificate revocation lists that a
# certificate names, unless told not to; earlier versions fetch none.
offline_verify_options() {
    local help option
    help=$(osslsigncode -h 2>&1)
    for option in -ignore-cdp -ignore-crl; do
        if grep -q -- "$option\\b" <<<"$help"; then
            printf '%s\n' "$option"
        fi
    done
}

verify_program() {  # FILE CA-FILE [TSA-CA-FILE]
    local file=$1 ca_file=$2 tsa_ca_file=${3:-} options output status
    mapfile -t options < <(offline_verify_options)
    [[ -z $tsa_ca_file ]] || options+=(-TSA-CAfile "$tsa_ca_file")
    output=$(osslsigncode verify "${options[@]}" -CAfile "$ca_file" -in "$file" 2>&1)
    status=$?
    printf '%s\n' "$output"
    [[ $status == 0 ]] || return 1
    # A time stamp that fails its check leaves osslsigncode's verdict at
    # success (it then checks the signature at the present time instead).
    if [[ -n $tsa_ca_file ]] &&
        ! grep -q '^Timestamp Server Signature verification: ok' <<<"$output"; then
        echo "verify: no time stamp that verifies against $tsa_ca_file"
        return 1
    fi
}

equals_unsigned() {  # SIGNED UNSIGNED
    local stripped status
    stripped=$(mktemp "${TMPDIR:-/tmp}/imesetup-unsigned.XXXXXX") || return 1
    rm -f "$stripped"  # osslsigncode writes a file of its own
    osslsigncode remove-signature -in "$1" -out "$stripped" 2>&1 && cmp "$stripped" "$2"
    status=$?
    rm -f "$stripped"
    return "$status"
}
