#!/usr/bin/env bash
# Signs a program file for the program update (option "aktualizacja programu"):
#   scripts/sign-update.sh PRIVATE-KEY.pem build/src/app/zel
# writes zel.sig beside it (64 raw bytes of Ed25519). Publish both files at
# the update address; a workstation installs the program only when the
# signature checks against the public key built into the running program
# (src/shell/program_update.cpp). The private key is kept off this tree.
# A new key pair: openssl genpkey -algorithm ed25519 -out key.pem; its public
# half for the program: openssl pkey -in key.pem -pubout -outform DER | tail -c 32 | xxd -i
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PRIVATE-KEY.pem PROGRAM" >&2; exit 2; }
openssl pkeyutl -sign -rawin -inkey "$1" -in "$2" -out "$2.sig"
[ "$(stat -c %s "$2.sig")" -eq 64 ] || { echo "sign-update: the signature is not 64 bytes" >&2; exit 1; }
echo "sign-update: wrote $2.sig"
