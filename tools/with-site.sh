#!/usr/bin/env bash
# Runs a command with the reference information site up on 127.0.0.1, and with the project's
# Wine prefix routing the site's host to it through Wine's Internet proxy settings (loopback
# stays direct). The site stops with the command, or by itself after its lifetime.
# Usage: tools/with-site.sh BUILD_DIR COMMAND...
# RUNLENS_WINE names the Wine loader (the 32-bit machine's is /usr/lib/wine/wine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/common.sh"
build=$(cd "$1" && pwd)
shift

host=$(sed -n 's/^RUNLENS_SITE_HOST:STRING=//p' "$build/CMakeCache.txt")
site=$build/site
mkdir -p "$site"
"$root/tools/site-tls.sh" "$site/tls" "${host:-www.runlens.example}"
# The notice reply: the marker byte 0xA7 and a message for the user.
printf '\247%s' "Runlens のお知らせ: テストサイトからのメッセージです。" > "$site/reply"
rm -f "$site/port" "$site/requests.log"
touch "$site/requests.log"
python3 "$root/tools/reference_site.py" --pages "$root/tests/site/pages" --log "$site/requests.log" \
  --reply-file "$site/reply" --port-file "$site/port" --tls-cert "$site/tls/site.pem" \
  --lifetime "${RUNLENS_SITE_LIFETIME:-1800}" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
# Long enough for a slow start (the emulated 32-bit machine).
for _ in $(seq 1 600); do [ -s "$site/port" ] && break; sleep 0.1; done
port=$(cat "$site/port")

use_wine_prefix "$build"
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
"$wine" reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null
"$wine" reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f >/dev/null
"$wine" reg add "$settings" /v ProxyOverride /t REG_SZ \
  /d "127.0.0.1;localhost;*.invalid;<local>" /f >/dev/null
# The Wine processes started for that have no display: they go, so that the command's own
# start afresh on its display.
stop_wine

export RUNLENS_SITE_PORT=$port
export RUNLENS_SITE_LOG="Z:$site/requests.log"
export RUNLENS_SITE_CA="Z:$site/tls/ca.der"
"$@"
