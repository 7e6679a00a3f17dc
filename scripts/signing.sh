# Authenticode signing of a Windows program with osslsigncode: the functions
# that scripts/release.sh and the signing test share. Source this file.
#
#   signing_certificates PFX PASSWORD-FILE OUT
#       writes the certificates of the PFX file (no key) to OUT (PEM)
#   sign_program PFX PASSWORD-FILE EPOCH TIMESTAMP-URL IN OUT
#       signs IN into OUT: SHA-256, the description "Setup My IME", the
#       signing time EPOCH (seconds since 1970); with a non-empty
#       TIMESTAMP-URL an RFC 3161 time stamp from that authority
#   sign_program_pkcs11 URI MODULE CERTS PIN-FILE EPOCH TIMESTAMP-URL IN OUT
#       the same with the private key that the RFC 7512 URI names on a token
#       or in an HSM, reached through its PKCS#11 library MODULE (with
#       OpenSSL's pkcs11 engine); CERTS is the certificate chain (PEM), the
#       signer's certificate first; the PIN is read from PIN-FILE
#   pkcs11_uri_problem URI
#       prints why URI cannot name the signing key (nothing when it can):
#       not a pkcs11: URI, or one that carries the PIN
#   pkcs11_failure OUTPUT
#       prints the cause of a failed token signing, read from its output
#   verify_program FILE CA-FILE [TSA-CA-FILE]
#       the signature is intact and its signer chains to a certificate in
#       CA-FILE; with TSA-CA-FILE, it also carries a time stamp whose
#       authority chains to a certificate in that file. No network is used.
#   equals_unsigned SIGNED UNSIGNED
#       SIGNED with its signature removed is UNSIGNED byte for byte
#
# The password, and a token's PIN, are read from their files by osslsigncode
# (-readpass) and openssl (-passin file:): they never appear on a command
# line that other processes can see, nor in any output. A key on a token
# gives the same signature as the same key in a PFX file (RSA PKCS#1 v1.5). Without a time stamp the same program, PFX and
# EPOCH give the same signed file: an RSA signature holds no random part, and
# the signing time is the one given. A time stamp holds the authority's own
# time and serial number, so a time-stamped file differs from one signing to
# the next; with its signature removed it is still the unsigned program.

signing_certificates() {  # PFX PASSWORD-FILE OUT
    openssl pkcs12 -in "$1" -passin "file:$2" -nokeys -out "$3" 2>&1
}

# osslsigncode sign with the key's options, then what every signing shares.
sign_with_key() {  # EPOCH TIMESTAMP-URL IN OUT KEY-OPTION...
    local epoch=$1 timestamp_url=$2 in=$3 out=$4
    shift 4
    local args=(sign "$@" -h sha256 -n "Setup My IME" -time "$epoch")
    [[ -z $timestamp_url ]] || args+=(-ts "$timestamp_url")
    rm -f "$out"
    osslsigncode "${args[@]}" -in "$in" -out "$out" 2>&1
}

sign_program() {  # PFX PASSWORD-FILE EPOCH TIMESTAMP-URL IN OUT
    sign_with_key "$3" "$4" "$5" "$6" -pkcs12 "$1" -readpass "$2"
}

# osslsigncode hands the PIN to the engine, which logs in to the token once.
sign_program_pkcs11() {  # URI MODULE CERTS PIN-FILE EPOCH TIMESTAMP-URL IN OUT
    sign_with_key "$5" "$6" "$7" "$8" -pkcs11module "$2" -certs "$3" -key "$1" -readpass "$4"
}

pkcs11_uri_problem() {  # URI
    local uri=$1
    if [[ $uri != pkcs11:* ]]; then
        echo "not a PKCS#11 URI (RFC 7512: pkcs11:token=...;object=...;type=private)"
    elif [[ ";${uri#pkcs11:}" =~ [\;?\&]pin-(value|source)= ]]; then
        echo "the URI names the PIN (pin-value or pin-source): give the PIN in the PIN file instead"
    fi
}

# The causes in the order their messages are looked for: a wrong PIN also
# reports the key as not found, a missing token its object as well.
pkcs11_failure() {  # OUTPUT
    local output=$1 row
    local rows=(
        "PIN incorrect|the token refused the PIN (a wrong PIN in the PIN file)"
        "PIN locked|the token's PIN is locked"
        "Failed to find and load 'pkcs11' engine|OpenSSL's pkcs11 engine is missing (Debian: libengine-pkcs11-openssl)"
        "Unable to load module|the PKCS#11 library could not be loaded"
        "No matching initialized token|no token matches the URI (is it plugged in, and is its label the URI's token=?)"
        "not a valid PKCS#11 URI|the key's URI is not a valid PKCS#11 URI"
        "object not found|no private key on the token matches the URI"
        "Failed to read key or certificates|the key or the certificates could not be read"
    )
    for row in "${rows[@]}"; do
        if [[ $output == *"${row%%|*}"* ]]; then
            echo "${row#*|}"
            return
        fi
    done
    echo "osslsigncode failed"
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
