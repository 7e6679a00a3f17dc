# A SoftHSM2 token for the signing test, as a USB token or an HSM holds a
# code-signing key: source this file.
#
#   softhsm_module
#       prints the path of SoftHSM2's PKCS#11 library
#   make_softhsm_token DIR KEY PIN-FILE
#       makes a token in DIR with a configuration file of its own
#       (DIR/softhsm2.conf, to be given as SOFTHSM2_CONF), labelled
#       "imesetup-test", its user PIN the first line of PIN-FILE, holding the
#       RSA private key KEY (PEM) as the object "author", ID 01:
#       pkcs11:token=imesetup-test;object=author;type=private
#
# The PINs reach pkcs11-tool through its environment ("env:NAME"), never on
# a command line; the security officer's PIN is random and forgotten.

softhsm_module() {
    local module
    for module in /usr/lib/softhsm/libsofthsm2.so /usr/lib/*/softhsm/libsofthsm2.so; do
        [[ -f $module ]] && { echo "$module"; return 0; }
    done
    echo "no SoftHSM2 library (Debian: softhsm2)" >&2
    return 1
}

make_softhsm_token() {  # DIR KEY PIN-FILE
    local dir=$1 key=$2 pin_file=$3 module
    module=$(softhsm_module) || return 1
    rm -rf "$dir"
    mkdir -p "$dir/tokens" || return 1
    printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' \
        "$dir" >"$dir/softhsm2.conf"
    local pin so_pin
    read -r pin <"$pin_file" || return 1
    so_pin=$(openssl rand -hex 16) || return 1
    openssl pkey -in "$key" -outform DER -out "$dir/key.der" || return 1
    (
        export SOFTHSM2_CONF="$dir/softhsm2.conf" TOKEN_SO_PIN="$so_pin" TOKEN_PIN="$pin"
        tool=(pkcs11-tool --module "$module")
        "${tool[@]}" --init-token --label imesetup-test --so-pin env:TOKEN_SO_PIN &&
            "${tool[@]}" --token-label imesetup-test --login --login-type so --so-pin env:TOKEN_SO_PIN \
                --init-pin --new-pin env:TOKEN_PIN &&
            "${tool[@]}" --token-label imesetup-test --login --pin env:TOKEN_PIN \
                --write-object "$dir/key.der" --type privkey --id 01 --label author
    )
    local status=$?
    rm -f "$dir/key.der"
    return "$status"
}
