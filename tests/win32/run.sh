#!/usr/bin/env bash
# Runs the Win32-layer tests (build/windows-x64/win32_tests.exe) under Wine in a throwaway
# prefix, with an X server for the window tests, and ends with one line "N passed, M failed".
set -u

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$REPO/build/windows-x64
TEMPLATE=$REPO/build/wine/template
PREFIX=$REPO/build/wine/win32-tests

fail_whole_level() {
  echo "$1"
  echo "0 passed, 1 failed"
  exit 1
}

for tool in wine Xvfb; do
  command -v "$tool" >/dev/null 2>&1 ||
    fail_whole_level "$tool is not installed: the Win32-layer tests cannot run"
done

if [ ! -f "$BUILD/win32_tests.exe" ] || [ ! -f "$BUILD/uiauto.exe" ] ||
  [ ! -f "$BUILD/show_windows.exe" ]; then
  echo "building win32_tests.exe, its helpers and uiauto.exe"
  (cd "$REPO" && cmake --preset windows-x64 >/dev/null &&
    cmake --build --preset windows-x64 --target win32_tests exit_with show_windows uiauto) \
    >/dev/null || fail_whole_level "win32_tests.exe, its helpers or uiauto.exe could not be built"
fi

# shellcheck source=../../scripts/lib/wine.sh
. "$REPO/scripts/lib/wine.sh"
# shellcheck source=../../scripts/lib/xvfb.sh
. "$REPO/scripts/lib/xvfb.sh"

wine_template "$TEMPLATE"
[ -f "$TEMPLATE/system.reg" ] || fail_whole_level "the Wine prefix $TEMPLATE could not be made"
wine_copy "$TEMPLATE" "$PREFIX"
wine_unmanaged_windows "$PREFIX"

cp "$BUILD/win32_tests.exe" "$PREFIX/drive_c/win32_tests.exe"
# A DLL planted beside the DLL-search probe, under the two names it loads.
cp "$BUILD/planted.dll" "$PREFIX/drive_c/planted_before.dll"
cp "$BUILD/planted.dll" "$PREFIX/drive_c/planted_after.dll"
# Directory links for the link tests: Wine shows a Unix link to a directory as a reparse point,
# and no Windows call here can make one.
fixture=$PREFIX/drive_c/link_fixture
mkdir -p "$fixture/outside/Inner" "$fixture/App/Sub"
printf 'mine\r\n' >"$fixture/outside/keep.txt"
ln -s ../outside "$fixture/App/Saves"
# The public Desktop under another name.
ln -s ../users/Public/Desktop "$fixture/pub"
ln -s ../../outside "$fixture/App/Sub/Link"
# Chains of directories for the deep-tree test, below C:\deep_fixture\App, each with a file
# bottom.txt in its deepest directory: Deep, four hundred levels (three times what a path may
# usually hold); Reach, of names a hundred characters long, as long as Wine reaches (its Unix
# paths stay within their limit of 4096 bytes); Beyond, longer than that. levels.txt holds the
# levels of Reach. (Wine works out where each opened directory lies anew from the root, so that a
# much deeper chain of short names takes minutes.)
# chain DIR LEVELS NAME: LEVELS directories called NAME, one in the other, below DIR.
chain() {
  local left=$2
  (
    cd "$1" || exit 1
    while [ "$left" -gt 0 ]; do
      mkdir "$3" && cd "$3" || exit 1
      left=$((left - 1))
    done
    : >bottom.txt
  )
}
deep=$PREFIX/drive_c/deep_fixture/App
long_name=$(printf 'd%.0s' $(seq 100))
mkdir -p "$deep/Deep" "$deep/Reach" "$deep/Beyond" "$deep/After"
# Wine reaches C: through the prefix's dosdevices/c:, the longer way round.
seen_by_wine=$PREFIX/dosdevices/c:/deep_fixture/App/Reach/bottom.txt
levels=$(((4095 - ${#seen_by_wine}) / (${#long_name} + 1)))
chain "$deep/Deep" 400 d
chain "$deep/Reach" "$levels" "$long_name"
chain "$deep/Beyond" $((levels + 10)) "$long_name"
printf '%s' "$levels" >"$deep/../levels.txt"
# Another user racing the removal: swaps C:\race_fixture\App\Sub for a link to ..\outside and
# back while the test asks for it.
race=$PREFIX/drive_c/race_fixture
mkdir -p "$race/App/Sub" "$race/outside"
"$REPO/tests/lib/swap_link.pl" "$race/App/Sub" ../outside "$race" &
swapper=$!
# The helper programs some tests start sit beside the test program.
for helper in "$REPO"/tests/win32/helpers/*.cpp; do
  [ -e "$helper" ] || continue
  name=$(basename "$helper" .cpp)
  [ -f "$BUILD/$name.exe" ] && cp "$BUILD/$name.exe" "$PREFIX/drive_c/$name.exe"
done

LOG=$(mktemp)
stop_swapper() {
  touch "$race/stop"
  wait "$swapper" 2>/dev/null
}
trap 'rm -f "$LOG"; stop_swapper; wine_kill "$PREFIX"; stop_xvfb' EXIT
start_xvfb || fail_whole_level "no free display for Xvfb: the window tests cannot run"
# The full output goes to the log for counting; the console gets it without the lines of
# passing tests. A hanging run is cut off after ten minutes.
(cd "$PREFIX/drive_c" &&
  WINEPREFIX=$PREFIX timeout 600 wine 'C:\win32_tests.exe' --gtest_color=no "$@") 2>&1 |
  tr -d '\r' | tee "$LOG" | grep -v -e '^\[ RUN      \]' -e '^\[       OK \]'
wine_kill "$PREFIX"
cp "$BUILD/uiauto.exe" "$PREFIX/drive_c/uiauto.exe"
# shellcheck source=window_helper_checks.sh
. "$REPO/tests/win32/window_helper_checks.sh" 2>&1 | tee -a "$LOG" | grep -v '^\[       OK \]'
wine_kill "$PREFIX"

# Each test counts once, by name; a run that never reached gtest's closing line (a crash, a
# hang, a program that didn't start) counts as one more failure.
count_tests() {
  sed -n "s/^\[$1\] \([A-Za-z_][A-Za-z0-9_/.]*\).*/\1/p" "$LOG" | sort -u | wc -l
}
passed=$(count_tests '       OK ')
failed=$(count_tests '  FAILED  ')
if ! grep -q '^\[==========\] [0-9]\+ tests\? from .* ran\.' "$LOG"; then
  echo "win32_tests.exe did not finish"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
