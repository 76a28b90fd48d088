# shellcheck shell=bash
# End-to-end cases of what is not the installation's: a directory swapped for a link while the
# removal runs, a data directory that is a link, and a folder name that the code page cannot
# hold beside its look-alike. Sourced by run.sh after lib.sh and window_cases.sh.

readonly RACE_FILES=3000

# "Delete all" while another user swaps the installation's Sub\ for a link to C:\Outside\ and
# back as fast as he can: no file outside goes, whatever is left of the installation. (Wine
# itself removes a name by path when the last handle closes, so a swap at that very moment could
# still redirect one deletion; the removal stops below the installation once it sees a swap,
# which leaves that chance to the first few deletions, rarely more than one in a few hundred
# runs. tests/win32/link_race_test.cpp checks what the removal itself marks for deletion.)
case_window_delete_all_racing_link() {
  local name=window-delete-all-racing-link problems= run
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  local app="$c/Program Files/Sample"
  sample_installation "$app"
  mkdir -p "$app/Sub" "$c/Outside" "$c/race"
  (
    cd "$app/Sub" && seq -f 'file%05g.txt' 1 "$RACE_FILES" | xargs touch
    cd "$c/Outside" && seq -f 'file%05g.txt' 1 "$RACE_FILES" | xargs touch
  )
  # Listed a few times: each entry opens Sub\ anew, in whatever state the swap has it.
  local i
  for i in $(seq 2 6); do printf '%d=Sub\\\r\n' "$i"; done >>"$app/uninstall.dat"
  "$REPO/tests/lib/swap_link.pl" "$app/Sub" ../../Outside "$c/race" >"$c/race.log" &
  local swapper=$!
  touch "$c/race/go"

  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  click_control "$prefix" "$DELETE_ALL_CHECKBOX" "the check box"
  click_control "$prefix" "$OK_BUTTON" OK
  wait_for_status "$prefix" "$FINAL_STATUS" 60 || problem "no final status text"
  rm -f "$c/race/go"
  touch "$c/race/stop"
  wait "$swapper"
  click_control "$prefix" "$READY_BUTTON" Ready
  finish_run "$prefix"

  local left
  left=$(find "$c/Outside" -name 'file*.txt' | wc -l)
  [ "$left" -eq "$RACE_FILES" ] || problem "$((RACE_FILES - left)) files outside deleted"
  grep -q ' [1-9][0-9]* swaps' "$c/race.log" || problem "no swap happened: $(cat "$c/race.log")"
  echo "  racing link: $(cat "$c/race.log")"
  wine_kill "$prefix"
  report "$name"
}

# A data directory that somebody made a link to a folder of his choice before the removal: with
# "delete all", nothing in that folder goes, and the link stays (Wine cannot open it as itself).
case_window_delete_all_data_dir_link() {
  local name=window-delete-all-data-dir-link problems= run
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  local app="$c/Program Files/Sample"
  sample_installation "$app"
  mkdir -p "$c/Protected/Templates" "$c/ProgramData"
  printf 'precious\r\n' >"$c/Protected/settings.ini"
  ln -s ../Protected "$c/ProgramData/Sample"
  sed -i 's/^DataDir=\r$/DataDir=C:\\ProgramData\\Sample\r/' "$app/uninstall.dat"
  printf '[Data]\r\n1=settings.ini\r\n[DataDirs]\r\n1=Templates\\\r\n2=\r\n' >>"$app/uninstall.dat"

  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  click_control "$prefix" "$DELETE_ALL_CHECKBOX" "the check box"
  confirm_and_finish "$prefix" 30

  expect_absent "$app"
  expect_present "$c/Protected/settings.ini"
  expect_present "$c/Protected/Templates"
  [ -L "$c/ProgramData/Sample" ] || problem "the link is gone"
  wine_kill "$prefix"
  report "$name"
}

# An installation in C:\Program Files\Ａｐｐ\ (fullwidth letters) beside one in
# C:\Program Files\App\: the code page holds no fullwidth letters, and its best fit would make
# the first the second. In both modes the uninstaller says so and reads and removes nothing.
case_unrepresentable_folder_name() {
  local name=unrepresentable-folder-name problems=
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  local app="$c/Program Files/Ａｐｐ" other="$c/Program Files/App"
  sample_installation "$app"
  sample_installation "$other"
  printf 'mine\r\n' >"$other/notes.txt"
  local before
  before=$(cd "$c/Program Files" && find . | sort)

  local parameter mode
  local expected=$'The uninstaller cannot work in a folder whose name the system\'s code page cannot hold:\nC:\\Program Files\\???\\'
  for parameter in /Q ""; do
    mode=window
    [ -z "$parameter" ] || mode=quiet
    LANG=C.UTF-8 in_prefix "$prefix" 'C:\Program Files\Ａｐｐ\Uninstall.exe' $parameter &
    local run=$!
    expect_box "$prefix" " Marrowind - Error" "$expected" "$name-$mode" "$mode" 45
    wait "$run"
    expect_exit_zero $? "$mode"
    expect_settled "$prefix"
  done
  [ "$(cd "$c/Program Files" && find . | sort)" = "$before" ] || problem "files changed"
  wine_kill "$prefix"
  report "$name"
}

# fewer_data_files_than DIR COUNT: fewer than COUNT of large_installation's files are left in DIR.
fewer_data_files_than() {
  [ "$(find "$1" -name 'file*.dat' | wc -l)" -lt "$2" ]
}

# A quiet removal killed part way and started again finishes the job: the main executable,
# which tells a run that the program is installed, goes last.
case_quiet_killed_and_run_again() {
  local name=quiet-killed-and-run-again problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  large_installation "$app" 100 40
  # The main executable listed first, as installers often list it.
  sed -i '/^1=Sample.exe\r$/d; s/^\[Files\]\r$/[Files]\r\n1=Sample.exe\r/' "$app/uninstall.dat"
  in_prefix "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q &
  local run=$!
  # Until about a fifth of the files are gone.
  wait_until 600 0.05 fewer_data_files_than "$app" 3200
  wine_kill "$prefix"
  wait "$run" 2>/dev/null
  local left
  left=$(find "$app" -name 'file*.dat' | wc -l)
  echo "  killed with $left of 4000 files left"
  [ "$left" -gt 0 ] || problem "the first run was not cut short"
  [ -e "$app/uninstall.dat" ] || problem "the first run ended before it was killed"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q
  expect_absent "$app"
  wine_kill "$prefix"
  report "$name"
}

# With every program file read-only (copied from read-only media), a quiet run removes none of
# them, and then keeps uninstall.dat and itself for a later run.
case_quiet_read_only_files_keep_the_uninstaller() {
  local name=quiet-read-only-files problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  chmod a-w "$app/Sample.exe" "$app/readme.txt" "$app/Help/Manual.chm"
  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q
  expect_sample_kept "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# Two programs uninstalled one right after the other (a suite removed program by program), the
# second started while the first one's batch still waits: each batch is the run's own, and both
# folders go. A batch of the old common name that somebody left in the drive root stays.
case_quiet_two_uninstallers_one_after_the_other() {
  local name=quiet-two-uninstallers problems=
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  sample_installation "$c/Program Files/First"
  sample_installation "$c/Program Files/Second"
  sed -i 's/^ProgDir=.*\r$/ProgDir=\r/' "$c/Program Files/Second/uninstall.dat"
  printf 'echo somebody else\r\n' >"$c/~~uninst.bat"
  # The uninstaller's own folder as its current directory, as after a double click there: the
  # batch works in the drive root, so that nothing keeps the folder.
  (cd "$c/Program Files/First" && in_prefix "$prefix" 'C:\Program Files\First\Uninstall.exe' /Q)
  expect_exit_zero $? first
  in_prefix "$prefix" 'C:\Program Files\Second\Uninstall.exe' /Q
  expect_exit_zero $? second
  expect_settled "$prefix"
  expect_absent "$c/Program Files/First"
  expect_absent "$c/Program Files/Second"
  [ "$(tr -d '\r' <"$c/~~uninst.bat" 2>/dev/null)" = 'echo somebody else' ] ||
    problem "the old batch name was touched"
  [ -z "$(find "$c" -maxdepth 1 -name '~~uninst-*.bat')" ] || problem "a batch is still there"
  wine_kill "$prefix"
  report "$name"
}

# Another user took every batch name a process id can give, as folders in the drive root: the
# uninstaller writes its batch under an unpredictable name, the program and its folder go, and
# nothing of what the other user made is touched.
case_quiet_batch_names_taken_first() {
  local name=quiet-batch-names-taken-first problems=
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  sample_installation "$c/Program Files/Sample"
  (cd "$c" && seq -f '~~uninst-%.0f.bat' 0 4 8192 | xargs mkdir)
  local taken
  taken=$(find "$c" -maxdepth 1 -name '~~uninst-*.bat' -type d | wc -l)
  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q
  expect_absent "$c/Program Files/Sample"
  [ "$(find "$c" -maxdepth 1 -name '~~uninst-*.bat' -type d | wc -l)" -eq "$taken" ] ||
    problem "a folder of the other user's went"
  [ -z "$(find "$c" -maxdepth 1 -name '~~uninst-*.bat' -type f)" ] || problem "a batch is still there"
  wine_kill "$prefix"
  report "$name"
}
