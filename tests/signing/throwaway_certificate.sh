# A throwaway code-signing certificate for the tests: RSA (its signatures
# hold no random part), self-signed, for code signing, its PFX locked with a
# random password. Source this file.
#
#   throwaway_pfx DIR
#       writes DIR/author.pfx, its password DIR/password.txt, the certificate
#       DIR/author.crt and its key DIR/author.key (readable by this user
#       only; the caller removes the key once it needs it no more); openssl's
#       output goes to DIR/openssl.log

throwaway_pfx() {  # DIR
    local dir=$1
    (
        umask 077
        openssl rand -hex 24 >"$dir/password.txt" &&
            openssl req -x509 -newkey rsa:2048 -noenc -keyout "$dir/author.key" -out "$dir/author.crt" -days 30 \
                -subj "/CN=Throwaway IME author (test)" \
                -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" &&
            openssl pkcs12 -export -inkey "$dir/author.key" -in "$dir/author.crt" \
                -passout "file:$dir/password.txt" -out "$dir/author.pfx"
    ) >>"$dir/openssl.log" 2>&1
}
