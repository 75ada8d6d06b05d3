#!/usr/bin/env bash
# Makes a certificate authority of the project's own and a certificate for the information
# site's host signed by it, so that the reference site can answer https:// addresses. The
# authority is trusted only inside the project's Wine prefix, by the tests that need it.
# Usage: tools/site-tls.sh DIR HOST
set -euo pipefail
dir=$1
host=$2
mkdir -p "$dir"
cd "$dir"
if [ -f site.pem ] && [ "$(cat host 2>/dev/null)" = "$host" ]; then exit 0; fi
openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Runlens test authority" \
  -keyout ca.key -out ca.pem -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl x509 -in ca.pem -outform der -out ca.der
openssl req -newkey rsa:2048 -nodes -subj "/CN=$host" -keyout site.key -out site.csr 2>/dev/null
printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$host" > site.ext
openssl x509 -req -in site.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 \
  -extfile site.ext -out site.crt 2>/dev/null
cat site.crt site.key > site.pem
echo "$host" > host
