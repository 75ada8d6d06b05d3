#!/usr/bin/env bash
# Builds all five presets and runs every test: the portable rules natively under the
# sanitizers and their fuzz targets for a bounded run, the Win32 side under wine64 (in English
# and in a Japanese locale), then the i686 build of the Win32 side and the shipping program
# under 32-bit Wine in an emulated 32-bit machine.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

tools/setup.sh

# Every script the README tells a reader to run at least parses, so a broken command cannot land.
echo "== scripts the README names"
for script in $(grep -o 'tools/[A-Za-z0-9_./-]*\.\(sh\|py\)' README.md | sort -u); do
  case "$script" in
    *.sh) bash -n "$script" ;;
    *.py) PYTHONPYCACHEPREFIX=build/pycache python3 -m py_compile "$script" ;;
  esac
done

echo "== layout"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
python3 tools/include-graph.py --check
# The root holds the project's own files and nothing else: an input that made a fuzz target fail
# belongs in that target's corpus folder, where the bounded fuzz run below replays it.
stray=$(git ls-files | grep -v / | grep -vxE '\.clang-format|\.gitattributes|\.gitignore|CMakeLists\.txt|CMakePresets\.json|README\.md' || true)
if [ -n "$stray" ]; then
  echo "test: files at the root that belong elsewhere: $stray" >&2
  exit 1
fi

for preset in host fuzz win64 win32 win32-tests; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

rm -rf build/results
echo "== host tests"
ctest --preset host
echo "== fuzz targets, a bounded run each"
ctest --preset fuzz
echo "== Windows tests under wine64"
tools/wine-prefix.sh build/win64 >/dev/null
tools/fetch-wine-i386.sh build
# In a network namespace of their own, where only loopback exists: the reference site is
# there, and nothing the tests do can reach any other address.
wine_tests='ip link set lo up && tools/with-site.sh build/win64 xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win64'
if [ "$(id -u)" -eq 0 ]; then isolate=(unshare --net); else isolate=(unshare --net --map-root-user); fi
if "${isolate[@]}" true 2>/dev/null; then
  "${isolate[@]}" bash -c "$wine_tests"
else
  echo "test: no network namespace here; the tests that need one are skipped"
  RUNLENS_NO_NETNS=1 tools/with-site.sh build/win64 xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win64
fi
use_wine_prefix build/win64 && stop_wine

echo "== i686 tests and the shipping program under 32-bit Wine, in the emulated 32-bit machine"
tools/i386-tests.sh

echo "== shipping program: $(stat -c %s build/win32/app/win32/runlens.exe) bytes (i686)"
python3 tools/summarize-tests.py build/results
