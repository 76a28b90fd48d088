# shellcheck shell=bash
# Helpers of the end-to-end level: prefixes per case, runs under a time limit, the UI helper
# and the checks. Source this file after scripts/lib/wine.sh and scripts/lib/xvfb.sh; it
# expects REPO, UNINSTALL_EXE, UIAUTO_EXE, EXIT_WITH_EXE and HOLD_MUTEX_EXE to be set.

E2E_TIMEOUT=${E2E_TIMEOUT:-60}
E2E_BASE=$REPO/build/wine/template
E2E_TEMPLATE=$REPO/build/wine/e2e-template
E2E_SCREENS=$REPO/build/e2e-screens

e2e_passed=0
e2e_failed=0
e2e_prefixes=()

pass() {
  echo "PASS $1"
  e2e_passed=$((e2e_passed + 1))
}

fail() {
  echo "FAIL $1: $2"
  e2e_failed=$((e2e_failed + 1))
}

# fail_whole_level WHAT REASON: a failure that leaves no case worth running; ends the level with
# its count line.
fail_whole_level() {
  fail "$1" "$2"
  echo "$e2e_passed passed, $e2e_failed failed"
  exit 1
}

# control_id NAME: the number of `inline constexpr int NAME = N;` in src/ui/control_ids.h, which
# the program is built with, so that the cases cannot click a control the program renumbered.
# Says so on standard error and fails when the header holds no such constant, or more than one.
control_id() {
  local header=$REPO/src/ui/control_ids.h value
  value=$(sed -n -E "s/^[[:space:]]*inline constexpr int $1 = ([0-9]+);.*$/\1/p" "$header")
  if [ -z "$value" ] || [ "$(wc -l <<<"$value")" -ne 1 ]; then
    echo "control_id: no single constant $1 in ${header#"$REPO"/}" >&2
    return 1
  fi
  echo "$value"
}

# The control numbers the cases use, read once.
OK_BUTTON=$(control_id kOkButton) &&
  CANCEL_BUTTON=$(control_id kCancelButton) &&
  READY_BUTTON=$(control_id kReadyButton) &&
  PROGRAM_NAME_TEXT=$(control_id kProgramNameText) &&
  DELETE_ALL_CHECKBOX=$(control_id kDeleteAllCheckBox) ||
  fail_whole_level setup "a control number is missing from src/ui/control_ids.h"
readonly OK_BUTTON CANCEL_BUTTON READY_BUTTON PROGRAM_NAME_TEXT DELETE_ALL_CHECKBOX

# The template is shared with the Win32-layer runner; wine_template makes it under its own
# lock (taking that lock here as well would wait for ourselves).
e2e_template() {
  wine_template "$E2E_BASE" || return 1
  # The cases' windows are drawn and go away as on Windows: the template says so once.
  if [ ! -f "$E2E_TEMPLATE/.unmanaged" ] || [ "$E2E_BASE/system.reg" -nt "$E2E_TEMPLATE/.unmanaged" ]; then
    wine_copy "$E2E_BASE" "$E2E_TEMPLATE"
    wine_unmanaged_windows "$E2E_TEMPLATE"
    wine_wait "$E2E_TEMPLATE"
    touch "$E2E_TEMPLATE/.unmanaged"
  fi
  # No case may reach this machine's home through the user's folders.
  wine_plain_user_folders "$E2E_TEMPLATE"
  [ -f "$E2E_TEMPLATE/system.reg" ] &&
    [ -z "$(find "$E2E_TEMPLATE/drive_c/users" -mindepth 2 -maxdepth 2 -type l)" ]
}

# new_prefix CASE: sets `prefix` (declare it local in the case) to a fresh copy of the
# template for this case; cleanup ends its processes whatever happens.
new_prefix() {
  prefix=$REPO/build/wine/e2e-$1
  wine_copy "$E2E_TEMPLATE" "$prefix"
  e2e_prefixes+=("$prefix")
}

# Ends every Wine process of the cases' prefixes and the X server started here.
e2e_cleanup() {
  local prefix
  for prefix in "${e2e_prefixes[@]}"; do
    [ -d "$prefix" ] && wine_kill "$prefix"
  done
  stop_xvfb
}

# in_prefix PREFIX PROGRAM ARGS...: runs a Windows program in the prefix under the time limit;
# returns its exit code (124 when the limit was reached).
in_prefix() {
  local prefix=$1
  shift
  WINEPREFIX=$prefix timeout "$E2E_TIMEOUT" wine "$@"
}

# uiauto PREFIX ARGS...: the UI helper in the same prefix as the program under test.
uiauto() {
  local prefix=$1
  shift
  in_prefix "$prefix" "$UIAUTO_EXE" "$@"
}

# settle PREFIX: waits (under the time limit) until every process of the prefix has ended,
# the hidden batch's cmd included; false when something is still running.
settle() {
  WINEPREFIX=$1 timeout "$E2E_TIMEOUT" wineserver -w
}

# wait_until TRIES PAUSE COMMAND...: true as soon as COMMAND succeeds; it is tried TRIES times
# with PAUSE seconds after each failure, and once more at the end.
wait_until() {
  local tries=$1 pause=$2 _
  shift 2
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    sleep "$pause"
  done
  "$@"
}

# run_to_the_end PREFIX PROGRAM ARGS...: runs the uninstaller, expects exit code 0, and waits
# until every process of the prefix has ended (the hidden batch included).
run_to_the_end() {
  local prefix=$1
  shift
  in_prefix "$prefix" "$@"
  expect_exit_zero $?
  expect_settled "$prefix"
}

# import_reg PREFIX: imports the REGEDIT4 text on standard input, written with LF line ends,
# into the prefix's registry, and waits until regedit has ended.
import_reg() {
  local file=$1/drive_c/e2e-import.reg
  sed 's/$/\r/' >"$file"
  in_prefix "$1" regedit /S 'C:\e2e-import.reg' >/dev/null 2>&1
  settle "$1"
  rm -f "$file"
}

# reg_has PREFIX HIVE KEY: true when the registry file of the hive (system or user) holds the
# key, given with single backslashes.
reg_has() {
  grep -q -i -F "[${3//\\/\\\\}]" "$1/$2.reg"
}

# screenshot NAME: the whole screen into build/e2e-screens/NAME.png, for people to look at.
screenshot() {
  mkdir -p "$E2E_SCREENS"
  import -window root -display "$DISPLAY" "$E2E_SCREENS/$1.png" 2>/dev/null
}

# sample_installation DIR [user-data]: a small installed program with its uninstaller and
# uninstall.dat, whose [Files] and [Dirs] entries name exactly what is laid out here; with
# "user-data", also a file the user made (Data\user.cfg), which no entry names.
sample_installation() {
  local dir=$1
  mkdir -p "$dir/Help"
  cp "$UNINSTALL_EXE" "$dir/Uninstall.exe"
  printf 'MZ sample program\n' >"$dir/Sample.exe"
  printf 'Read me\r\n' >"$dir/readme.txt"
  printf 'manual\r\n' >"$dir/Help/Manual.chm"
  if [ "${2:-}" = user-data ]; then
    mkdir -p "$dir/Data"
    printf 'user data\r\n' >"$dir/Data/user.cfg"
  fi
  cat <<'EOF' | sed 's/$/\r/' >"$dir/uninstall.dat"
[Settings]
ProgName=Sample
Version=1.0
ProgExe=Sample.exe
ProgDir=C:\Program Files\Sample\
DataDir=
StartMenu=
GUID=
Script=0
NoDelAll=0
[StartProg]
BeforeUninst=
AfterUninst=
[Files]
1=Sample.exe
2=readme.txt
3=Help\Manual.chm
[Dirs]
1=Help\
EOF
}

# expect_sample_kept DIR [NAME...]: every file that sample_installation laid out in DIR (without
# user data), and each NAME given besides, is still there.
expect_sample_kept() {
  local dir=$1 kept
  shift
  for kept in uninstall.dat Uninstall.exe Sample.exe readme.txt Help/Manual.chm "$@"; do
    expect_present "$dir/$kept"
  done
}

# large_installation DIR DIRECTORIES FILES: adds DIRECTORIES directories of FILES files each to
# the installation in DIR, every one listed in its uninstall.dat (files before directories).
large_installation() {
  local dir=$1
  (
    cd "$dir" || exit 1
    seq -f 'Data%03g' 1 "$2" | xargs mkdir -p
    local d f files=() dirs=()
    for d in $(seq -f 'Data%03g' 1 "$2"); do
      for f in $(seq 1 "$3"); do files+=("$d/file$f.dat"); done
      dirs+=("$d")
    done
    printf '%s\n' "${files[@]}" | xargs touch
    # Appended to the sample's last group, [Dirs]; the files go into a second [Files] group
    # read by nobody, so they are listed in the first one instead.
    {
      local i=100
      for f in "${files[@]}"; do printf '%d=%s\r\n' "$((i++))" "${f//\//\\}"; done
    } >files.list
    {
      local i=100
      for d in "${dirs[@]}"; do printf '%d=%s\\\r\n' "$((i++))" "$d"; done
    } >>uninstall.dat
    # The file lines go right after [Files].
    awk 'FNR == NR { lines = lines $0 "\n"; next } { print } /^\[Files\]\r$/ { printf "%s", lines }' \
      files.list uninstall.dat >uninstall.dat.new && mv uninstall.dat.new uninstall.dat
    rm files.list
  )
}

# with_before_program DIR PARAMETERS: gives the installation in DIR a before-program, a copy of
# exit_with.exe named before.exe (exit_with CODE [FILE]: exits with CODE, and writes its command
# line and working directory into FILE), started with PARAMETERS.
with_before_program() {
  local dir=$1
  cp "$EXIT_WITH_EXE" "$dir/before.exe"
  # The parameters come in through the environment, so nothing in them counts as a pattern.
  BEFORE_PARAM=$2 perl -pi -e \
    's/^BeforeUninst=\r$/BeforeUninst=before.exe\r\nBeforeParam=$ENV{BEFORE_PARAM}\r/' \
    "$dir/uninstall.dat"
}

# Checks that collect the reasons of a failing case in $problems.
problem() {
  problems+="${problems:+; }$1"
}

# expect_box PREFIX TITLE TEXT SHOT [LABEL [SECONDS]]: a message box titled TITLE comes (within
# SECONDS, or uiauto's own time), shows exactly TEXT, and goes when its OK is pressed; the screen
# with the box is kept as screenshot SHOT. LABEL starts each problem, for a case that meets the
# box more than once.
expect_box() {
  local prefix=$1 title=$2 expected=$3 shot=$4 label=${5:+$5: } wait=() text
  if [ -n "${6:-}" ]; then wait=("--timeout=$6"); fi
  # The sentinel keeps trailing line feeds that $(...) would strip.
  text=$(uiauto "$prefix" "${wait[@]}" msgbox "$title" && echo x)
  if [ -z "$text" ]; then
    problem "${label}no message box titled '$title'"
    return
  fi
  screenshot "$shot" || echo "note: no screenshot for $shot"
  [ "${text%x}" = "$expected"$'\n' ] ||
    problem "${label}box text $(printf %q "${text%$'\n'x}"), expected $(printf %q "$expected")"
  uiauto "$prefix" press "$title" || problem "${label}pressing OK did not close the box"
}

# expect_exit_zero CODE [LABEL]: a program of the case ended with exit code 0.
expect_exit_zero() {
  [ "$1" -eq 0 ] || problem "${2:+$2: }exit code $1"
}

# expect_settled PREFIX: every process of the prefix ends within the time limit.
expect_settled() {
  settle "$1" || problem "processes still running after ${E2E_TIMEOUT}s"
}

expect_present() {
  if [ ! -e "$1" ]; then problem "C:/${1#*/drive_c/} is gone"; fi
}

# expect_no_batch PREFIX: no self-removal batch is left in the drive root.
expect_no_batch() {
  local left
  left=$(find "$1/drive_c" -maxdepth 1 -name '~~uninst*.bat' | head -n 1)
  if [ -n "$left" ]; then problem "C:/${left#*/drive_c/} is still there"; fi
}

expect_absent() {
  if [ -e "$1" ]; then problem "C:/${1#*/drive_c/} is still there"; fi
}

# report NAME: PASS, or FAIL with every collected reason. A passed case's prefix goes (they are
# large); a failed one stays for a look.
report() {
  if [ -z "$problems" ]; then
    pass "$1"
    rm -rf "$prefix"
  else
    fail "$1" "$problems"
    echo "  (its prefix: ${prefix#"$REPO"/})"
  fi
}
