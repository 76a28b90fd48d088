#!/usr/bin/env bash
# End-to-end tests: the real Uninstall.exe (64-bit build, as Wine here runs 64-bit code only)
# on prepared installations, each in a throwaway copy of one Wine prefix, under Xvfb, with the
# windows read and driven by uiauto.exe. Ends with one line "N passed, M failed".
# shellcheck source-path=SCRIPTDIR
set -u

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${E2E_BUILD:-$REPO/build/windows-x64}  # another build directory for trying things out
UNINSTALL_EXE=$BUILD/Uninstall.exe
UIAUTO_EXE=$BUILD/uiauto.exe
CHECK_EXE=$BUILD/UninstallCheck.exe
EXIT_WITH_EXE=$BUILD/exit_with.exe
HOLD_MUTEX_EXE=$BUILD/hold_mutex.exe

# shellcheck source=../../scripts/lib/wine.sh
. "$REPO/scripts/lib/wine.sh"
# shellcheck source=../../scripts/lib/xvfb.sh
. "$REPO/scripts/lib/xvfb.sh"
# shellcheck source=lib.sh
. "$REPO/tests/e2e/lib.sh"
# shellcheck source=shell_cases.sh
. "$REPO/tests/e2e/shell_cases.sh"
# shellcheck source=script_cases.sh
. "$REPO/tests/e2e/script_cases.sh"
# shellcheck source=check_cases.sh
. "$REPO/tests/e2e/check_cases.sh"
# shellcheck source=window_cases.sh
. "$REPO/tests/e2e/window_cases.sh"
# shellcheck source=link_cases.sh
. "$REPO/tests/e2e/link_cases.sh"

for tool in wine wineserver Xvfb; do
  command -v "$tool" >/dev/null 2>&1 || fail_whole_level setup "$tool is not installed"
done

if [ ! -f "$UNINSTALL_EXE" ] || [ ! -f "$UIAUTO_EXE" ] || [ ! -f "$EXIT_WITH_EXE" ] ||
  [ ! -f "$HOLD_MUTEX_EXE" ]; then
  echo "building Uninstall.exe, uiauto.exe, exit_with.exe and hold_mutex.exe"
  (cd "$REPO" && cmake --preset windows-x64 >/dev/null &&
    cmake --build --preset windows-x64 --target Uninstall uiauto exit_with hold_mutex) \
    >/dev/null 2>&1 ||
    fail_whole_level build "Uninstall.exe or a helper program could not be built"
fi

e2e_template || fail_whole_level setup "the Wine prefix $E2E_TEMPLATE could not be made"
trap e2e_cleanup EXIT
start_xvfb || fail_whole_level setup "no free display for Xvfb"

# Without uninstall.dat the only thing shown is the error box with the missing path; OK ends
# the run with exit code 0.
case_missing_description() {
  local name=missing-uninstall-dat problems=
  local prefix
  new_prefix "$name"
  mkdir -p "$prefix/drive_c/App"
  cp "$UNINSTALL_EXE" "$prefix/drive_c/App/Uninstall.exe"

  in_prefix "$prefix" 'C:\App\Uninstall.exe' &
  local run=$!

  expect_box "$prefix" " Marrowind - Error" \
    $'Could not find \'uninstall.dat\':\nC:\\App\\uninstall.dat' "$name"

  wait "$run"
  expect_exit_zero $?
  wine_kill "$prefix"
  report "$name"
}

# Quiet mode runs without any window to the end with exit code 0: the listed files and the
# emptied directory go, uninstall.dat goes, and the self-removal batch takes the uninstaller
# and then itself. A file the user made keeps the program directory.
case_quiet_sample() {
  local name=quiet-sample problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app" user-data

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  local gone
  for gone in uninstall.dat Sample.exe readme.txt Help/Manual.chm Help Uninstall.exe; do
    expect_absent "$app/$gone"
  done
  expect_no_batch "$prefix"
  expect_present "$app/Data/user.cfg"
  wine_kill "$prefix"
  report "$name"
}

# Without files of the user's, nothing of the installation is left, its directory included.
case_quiet_sample_whole_directory() {
  local name=quiet-sample-whole-directory problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Quiet

  expect_absent "$app"
  expect_no_batch "$prefix"
  expect_present "$prefix/drive_c/Program Files"
  wine_kill "$prefix"
  report "$name"
}

# expect_before_report FILE CODE: the before-program wrote FILE, started as
# "C:\Program Files\Sample\before.exe" CODE C:\before.txt in the uninstaller's directory.
expect_before_report() {
  local report expected
  report=$(tr -d '\r' <"$1" 2>/dev/null)
  expected=$'"C:\\Program Files\\Sample\\before.exe" '"$2"$' C:\\before.txt\nC:\\Program Files\\Sample'
  [ "$report" = "$expected" ] ||
    problem "before-program report $(printf %q "$report"), expected $(printf %q "$expected")"
}

# A before-program that ends with exit code 1 cancels the uninstall without a word: nothing
# is removed, no batch is written.
case_before_program_cancels() {
  local name=before-program-cancels problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_before_program "$app" '1 C:\before.txt'

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  expect_before_report "$prefix/drive_c/before.txt" 1
  expect_sample_kept "$app" before.exe
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# Any other exit code lets the run go on; the before-program goes with the leftovers, and the
# whole installation with its directory is gone once every process has ended.
case_before_program_goes_on() {
  local name=before-program-goes-on problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_before_program "$app" '2 C:\before.txt'

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  expect_before_report "$prefix/drive_c/before.txt" 2
  expect_absent "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# The batch that removes the uninstaller copes with characters that mean something to cmd, and
# with letters beyond ASCII, which cmd would read in another code page than they were written in.
case_quiet_awkward_directory_name() {
  local name=quiet-awkward-directory-name problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Société A&B (100%) ^x"
  sample_installation "$app"

  run_to_the_end "$prefix" 'C:\Program Files\Société A&B (100%) ^x\Uninstall.exe' /Q

  expect_absent "$app"
  expect_no_batch "$prefix"
  expect_present "$prefix/drive_c/Program Files"
  wine_kill "$prefix"
  report "$name"
}

# Every case, with its argument; E2E_ONLY=REGEX runs only those whose line matches it.
cases=(
  "case_missing_description"
  "case_quiet_sample"
  "case_quiet_awkward_directory_name"
  "case_quiet_sample_whole_directory"
  "case_window_confirm_and_remove"
  "case_window_cancel"
  "case_window_at_each_scale"
  "case_window_delete_all"
  "case_window_delete_all_keeps_an_untaken_subfolder"
  "case_quiet_values_outside_the_uninstallers_folder"
  "case_window_large_removal_keeps_the_window_alive"
  "case_window_public_desktop_offers_no_delete_all path"
  "case_window_public_desktop_offers_no_delete_all link"
  "case_window_public_desktop_offers_no_delete_all drive"
  "case_quiet_public_desktop_stays link"
  "case_quiet_public_desktop_stays drive"
  "case_before_program_cancels"
  "case_before_program_goes_on"
  "case_quiet_shell_integration"
  "case_quiet_association_held_by_another_program"
  "case_quiet_script vbs"
  "case_quiet_script js"
  "case_quiet_script_256"
  "case_script_handed_in_from_outside env"
  "case_script_handed_in_from_outside registry"
  "case_script_handed_in_from_outside number"
  "case_endless_script vbs quiet"
  "case_endless_script js quiet"
  "case_endless_script vbs window"
  "case_endless_script js window"
  "case_window_script_question answer"
  "case_window_script_question stop"
  "case_program_running process"
  "case_program_running mutex"
  "case_window_delete_all_racing_link"
  "case_window_delete_all_data_dir_link"
  "case_unrepresentable_folder_name"
  "case_quiet_killed_and_run_again"
  "case_quiet_read_only_files_keep_the_uninstaller"
  "case_quiet_two_uninstallers_one_after_the_other"
  "case_quiet_batch_names_taken_first"
  "case_check_sample"
  "case_quiet_names_in_the_code_page"
  "case_plan_sample_quiet"
  "case_plan_sample_all"
  "case_plan_rich_quiet"
  "case_plan_rich_all"
)
for case in "${cases[@]}"; do
  [[ -z ${E2E_ONLY:-} || $case =~ $E2E_ONLY ]] || continue
  # shellcheck disable=SC2086  # the function and its argument
  $case
done

echo "$e2e_passed passed, $e2e_failed failed"
[ "$e2e_failed" -eq 0 ]
