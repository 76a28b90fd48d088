# shellcheck shell=bash
# End-to-end cases of the checker of uninstall.dat, UninstallCheck.exe, on an installed program
# under Wine. Sourced by run.sh after lib.sh.

# check_output PREFIX FILE: sets `out` to what the checker printed for FILE (a Windows path), and
# `code` to its exit code.
check_output() {
  out=$(in_prefix "$1" "$CHECK_EXE" "$2" 2>/dev/null)
  code=$?
  out=${out//$'\r'/}
}

# The sample installation has one trap (no name for the uninstall entry): one warning, exit 1.
# NoDelAll with ProgDir the uninstaller's own directory adds nothing; a [Dirs] parent listed
# before its subdirectory is an error at its line, exit 2.
case_check_sample() {
  local name=check-sample problems= out code
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  local file='C:\Program Files\Sample\uninstall.dat'
  sample_installation "$app"

  check_output "$prefix" "$file"
  [ "$code" -eq 1 ] || problem "exit code $code for the sample, expected 1"
  [ "$out" = "$file:1: warning: neither GUID nor ProgLink is set: the entry in the list of \
installed programs stays"$'\n'"0 errors, 1 warning" ] || problem "for the sample: $out"

  sed -i 's/^NoDelAll=0\r$/NoDelAll=1\r/; s/^1=Help\\\r$/1=Help\\\r\n2=Help\\Images\\\r/' \
    "$app/uninstall.dat"
  check_output "$prefix" "$file"
  [ "$code" -eq 2 ] || problem "exit code $code with the trap, expected 2"
  grep -qxF "$file:19: error: [Dirs] lists Help\\ before Help\\Images\\ (line 20): Help\\ will \
stay; list the subdirectory first" <<<"$out" || problem "no [Dirs] error in: $out"
  grep -q "NoDelAll" <<<"$out" && problem "NoDelAll reported though ProgDir is the uninstaller's"
  [ "$(tail -n 1 <<<"$out")" = "1 error, 1 warning" ] || problem "summary: $(tail -n 1 <<<"$out")"
  wine_kill "$prefix"
  report "$name"
}

# snapshot PREFIX FILE: what the prefix holds that an uninstallation could remove, into FILE,
# once its processes have ended and its registry is written.
snapshot() {
  settle "$1"
  perl "$REPO/tests/lib/snapshot.pl" "$1" >"$2"
}

# plan_matches_removal NAME PREFIX MODE: plans the uninstallation of the Sample installation in
# MODE (quiet, or all for the window with "Delete all"), expects the plan to change nothing,
# runs the real uninstaller in that mode and expects it to remove exactly what the plan said.
# The files of the comparison stay in build/e2e-plans/NAME.
plan_matches_removal() {
  local name=$1 prefix=$2 mode=$3 run
  local file='C:\Program Files\Sample\uninstall.dat' exe='C:\Program Files\Sample\Uninstall.exe'
  local dir=$REPO/build/e2e-plans/$name
  rm -rf "$dir" && mkdir -p "$dir"
  # Wine adds its own values at the first start in a prefix: that start comes before the first
  # snapshot.
  in_prefix "$prefix" cmd /c exit >/dev/null 2>&1
  snapshot "$prefix" "$dir/before"
  if [ "$mode" = all ]; then
    in_prefix "$prefix" "$CHECK_EXE" --plan=all "$file" >"$dir/plan" 2>/dev/null
  else
    in_prefix "$prefix" "$CHECK_EXE" --plan "$file" >"$dir/plan" 2>/dev/null
  fi
  sed -i 's/\r$//' "$dir/plan"
  grep -q '^remove ' "$dir/plan" || problem "the plan removes nothing: $(cat "$dir/plan")"
  snapshot "$prefix" "$dir/after-plan"
  diff "$dir/before" "$dir/after-plan" >"$dir/changed-by-plan" ||
    problem "the plan changed the prefix: $(head -n 5 "$dir/changed-by-plan")"

  if [ "$mode" = all ]; then
    start_window "$prefix" "$exe"
    click_control "$prefix" "$DELETE_ALL_CHECKBOX" "the check box"
    confirm_and_finish "$prefix" 30
  else
    run_to_the_end "$prefix" "$exe" /Q
  fi
  snapshot "$prefix" "$dir/after"
  comm -23 "$dir/before" "$dir/after" >"$dir/removed"
  perl "$REPO/tests/lib/plan_effect.pl" "$dir/before" "$dir/plan" >"$dir/planned"
  diff "$dir/planned" "$dir/removed" >"$dir/difference" ||
    problem "planned (<) and removed (>) differ: $(head -n 8 "$dir/difference")"
}

# rich_installation PREFIX APP: the shell installation (links, associations, tasks, a DLL, an
# after-program, the uninstall entry and product key) with a data directory, a read-only
# listed file and files of the user's own.
rich_installation() {
  local prefix=$1 app=$2 data="$1/drive_c/users/Public/Sample Data"
  shell_installation "$prefix" "$app"
  mkdir -p "$data/Templates" "$data/Cache"
  printf 'settings\r\n' >"$data/settings.ini"
  printf 'cache\r\n' >"$data/Cache/c.tmp"
  printf 'mine\r\n' >"$data/mine.txt"
  printf 'mine\r\n' >"$app/notes.txt"
  printf 'mine\r\n' >"$app/Help/mine.txt"
  chmod a-w "$app/readme.txt"
  sed -i 's/^DataDir=\r$/DataDir=C:\\users\\Public\\Sample Data\r/' "$app/uninstall.dat"
  printf '[Data]\r\n1=settings.ini\r\n2=Cache\\c.tmp\r\n[DataDirs]\r\n1=Cache\\\r\n2=Templates\\\r\n' \
    >>"$app/uninstall.dat"
}

# The plan of each mode is what the real run then removes, for the sample and a rich
# installation, and making it changes nothing.
case_plan_sample_quiet() {
  local name=plan-sample-quiet problems= prefix
  new_prefix "$name"
  sample_installation "$prefix/drive_c/Program Files/Sample" user-data
  plan_matches_removal "$name" "$prefix" quiet
  wine_kill "$prefix"
  report "$name"
}

case_plan_sample_all() {
  local name=plan-sample-all problems= prefix
  new_prefix "$name"
  sample_installation "$prefix/drive_c/Program Files/Sample" user-data
  plan_matches_removal "$name" "$prefix" all
  wine_kill "$prefix"
  report "$name"
}

case_plan_rich_quiet() {
  local name=plan-rich-quiet problems= prefix
  new_prefix "$name"
  rich_installation "$prefix" "$prefix/drive_c/Program Files/Sample"
  plan_matches_removal "$name" "$prefix" quiet
  wine_kill "$prefix"
  report "$name"
}

case_plan_rich_all() {
  local name=plan-rich-all problems= prefix
  new_prefix "$name"
  rich_installation "$prefix" "$prefix/drive_c/Program Files/Sample"
  plan_matches_removal "$name" "$prefix" all
  wine_kill "$prefix"
  report "$name"
}

# Names in the system's code page (1252 here), letters of any case, as the file system compares
# them: [Files] Šetup.dat (8A) takes šetup.dat (9A) on the disk, and the folder then goes;
# Appé.exe in [Files] is the main executable AppÉ.exe, which the checker finds listed, and the
# checker prints the names of its findings in UTF-8.
case_quiet_names_in_the_code_page() {
  local name=quiet-names-in-the-code-page problems= out code
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  mkdir -p "$app/Setup"
  cp "$UNINSTALL_EXE" "$app/Uninstall.exe"
  printf 'MZ\n' >"$app/App"$'\xC3\x89'".exe"
  printf 'setup\r\n' >"$app/Setup/"$'\xC5\xA1'"etup.dat"
  printf '%s\r\n' '[Settings]' 'ProgName=Sample' $'ProgExe=App\xC9.exe' 'GUID={E2E}' '[Files]' \
    $'1=App\xE9.exe' $'2=Setup\\\x8Aetup.dat' '[Dirs]' $'1=setup\\' $'2=\xC9t\xE9\\' \
    $'3=\xE9T\xC9\\x\\' >"$app/uninstall.dat"

  check_output "$prefix" 'C:\Program Files\Sample\uninstall.dat'
  [ "$out" = 'C:\Program Files\Sample\uninstall.dat:10: error: [Dirs] lists Été\ before éTÉ\x\ (line 11): Été\ will stay; list the subdirectory first'$'\n''1 error, 0 warnings' ] ||
    problem "the checker: $out"
  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q
  expect_absent "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}
