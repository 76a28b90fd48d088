#!/usr/bin/env bash
# The checker of uninstall.dat as a build pipeline on Linux runs it (build/host/uninstall-check):
# its exit code for a clean file, one with a warning, one with an error, and one that is missing,
# the compiler-style line of a trap, and the refusal of a plan, which needs Windows.
set -uo pipefail
REPO=$(cd "$(dirname "$0")/../.." && pwd)
CHECK=$REPO/build/host/uninstall-check
passed=0 failed=0
if ! (cd "$REPO" && cmake --preset host >/dev/null && cmake --build --preset host --target uninstall-check >/dev/null); then
  echo "FAIL the checker could not be built"
  echo "0 passed, 1 failed"
  exit 1
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
clean='[Settings]\r\nProgExe=App.exe\r\nGUID={G}\r\n[Files]\r\n1=App.exe\r\n'
# shellcheck disable=SC2059  # the texts hold the escapes printf is to turn into bytes
printf "$clean" >"$dir/clean.dat"
# shellcheck disable=SC2059
printf "${clean}[Langauge]\r\n" >"$dir/warning.dat"
# shellcheck disable=SC2059
printf "${clean}[Dirs]\r\n1=Help\\\\\r\n2=Help\\\\Images\\\\\r\n" >"$dir/error.dat"

# expect NAME CODE [LINE [OPTION]]: the exit code for NAME.dat (given after OPTION), and LINE
# among what it printed.
expect() {
  local out code
  out=$("$CHECK" ${4:+"$4"} "$dir/$1.dat" 2>&1)
  code=$?
  if [ "$code" -eq "$2" ] && { [ -z "${3:-}" ] || grep -qxF "$3" <<<"$out"; }; then
    echo "PASS $1${4:+ $4}"
    passed=$((passed + 1))
  else
    echo "FAIL $1: exit code $code, printed: $out"
    failed=$((failed + 1))
  fi
}
expect clean 0 "0 errors, 0 warnings"
expect warning 1
expect error 2 "$dir/error.dat:7: error: [Dirs] lists Help\\ before Help\\Images\\ (line 8): Help\\ will \
stay; list the subdirectory first"
expect missing 2 "$dir/missing.dat:0: error: the file cannot be read"
expect clean 2 "UninstallCheck: a plan is made on Windows only, where the uninstaller runs" --plan
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
