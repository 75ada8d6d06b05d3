#!/usr/bin/env bash
# Renders the local information page in headless Chromium, with its pictures and style sheet
# taken from the built resources (Chromium has no res:// addresses: they are pointed at the
# files), and saves a screenshot. Usage: tools/render-page.sh [OUTPUT.png]
set -euo pipefail
# An output named on the command line is taken from where the script was called.
out=${1:+$(realpath -m -- "$1")}
cd "$(dirname "$0")/.."
out=${out:-$PWD/docs/local-page.png}

tools/setup.sh chromium
cmake --preset host >/dev/null
cmake --build --preset host --target runlens_page_demo
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target runlens_images

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
images=$PWD/build/win64/resources/images
cp resources/file_cn.css "$work/file_cn.css"
build/host/tools/runlens_page_demo resources/proc_cn.html 'RUNLENS_PROGRAM' > "$work/page.html"
sed -i -e "s|res://RUNLENS_PROGRAM/GIF/\([a-z]*\)|file://$images/\1.gif|g" \
       -e "s|res://RUNLENS_PROGRAM/CSS/file_cn|file://$work/file_cn.css|g" "$work/page.html"
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --no-first-run --user-data-dir="$work/profile" \
  --hide-scrollbars --window-size=900,520 --screenshot="$out" "file://$work/page.html" \
  2>/dev/null
if [ ! -s "$out" ]; then
  echo "render-page: Chromium wrote no screenshot to $out" >&2
  exit 1
fi
echo "page: $out"
