# shellcheck shell=bash
# End-to-end cases of the window mode: the real main window under Xvfb, read and clicked by
# uiauto.exe. Sourced by run.sh after lib.sh. The script and link cases drive the window with
# the helpers here too; they stay out of lib.sh, which scripts/bench also sources and which
# would then make its own FINAL_STATUS a second, read-only one.

readonly WINDOW_TITLE=" Sample"
readonly FINAL_STATUS="  Uninstalling completed."

# control_line PREFIX ID: the control's line of `uiauto list` (id, class, text, visible, enabled,
# check), without the carriage returns Wine adds.
control_line() {
  uiauto "$1" list "$WINDOW_TITLE" | tr -d '\r' | awk -F'\t' -v id="$2" '$1 == id'
}

# expect_control PREFIX ID VISIBLE ENABLED: the control is shown (1) or hidden (0), enabled (1)
# or disabled (0).
expect_control() {
  local line
  line=$(control_line "$1" "$2")
  [ "$(cut -f4,5 <<<"$line")" = "$3"$'\t'"$4" ] ||
    problem "control $2 is '$(cut -f4,5 <<<"$line" | tr '\t' ' ')', expected '$3 $4'"
}

# status_is PREFIX TEXT: the status bar shows TEXT.
status_is() {
  [ "$(uiauto "$1" status "$WINDOW_TITLE" | tr -d '\r')" = "$2" ]
}

# wait_for_status PREFIX TEXT SECONDS: true once the status bar shows TEXT.
wait_for_status() {
  wait_until $(($3 * 5)) 0.2 status_is "$1" "$2"
}

# start_window PREFIX EXE [SECONDS]: starts the uninstaller without a parameter, sets `run` to its
# job, and waits for its window (SECONDS, or uiauto's own time).
start_window() {
  in_prefix "$1" "$2" &
  run=$!
  uiauto "$1" wait "$WINDOW_TITLE" ${3:+"$3"} >/dev/null ||
    problem "no window titled '$WINDOW_TITLE'${3:+ within $3 s}"
}

# click_control PREFIX ID WHAT: clicks a shown, enabled control of the window; WHAT names it in
# the problem.
click_control() {
  uiauto "$1" click "$WINDOW_TITLE" "$2" || problem "$3 could not be clicked"
}

# finish_run PREFIX: waits for the uninstaller (exit code 0) and every process of the prefix.
finish_run() {
  wait "$run"
  expect_exit_zero $?
  expect_settled "$1"
}

# confirm_and_finish PREFIX SECONDS: OK, the final status text within SECONDS, Ready, and the
# end of the run.
confirm_and_finish() {
  click_control "$1" "$OK_BUTTON" OK
  wait_for_status "$1" "$FINAL_STATUS" "$2" || problem "no final status text"
  click_control "$1" "$READY_BUTTON" Ready
  finish_run "$1"
}

# OK removes what uninstall.dat lists and keeps the window, Ready in Cancel's place, until
# Ready: only then go uninstall.dat, the uninstaller and its directory.
case_window_confirm_and_remove() {
  local name=window-confirm-and-remove problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'

  expect_control "$prefix" "$OK_BUTTON" 1 1
  expect_control "$prefix" "$CANCEL_BUTTON" 1 1
  expect_control "$prefix" "$READY_BUTTON" 0 1
  expect_control "$prefix" "$DELETE_ALL_CHECKBOX" 1 1
  [ "$(control_line "$prefix" "$PROGRAM_NAME_TEXT" | cut -f3)" = "Sample (Version 1.0)" ] ||
    problem "program name text '$(control_line "$prefix" "$PROGRAM_NAME_TEXT" | cut -f3)'"
  screenshot "$name-before"
  click_control "$prefix" "$OK_BUTTON" OK
  wait_for_status "$prefix" "$FINAL_STATUS" 30 || problem "no final status text"
  expect_control "$prefix" "$OK_BUTTON" 0 1
  expect_control "$prefix" "$CANCEL_BUTTON" 0 1
  expect_control "$prefix" "$READY_BUTTON" 1 1
  expect_control "$prefix" "$DELETE_ALL_CHECKBOX" 1 0
  uiauto "$prefix" layout "$WINDOW_TITLE" | tr -d '\r' | grep -qx "$READY_BUTTON"$'\tButton\t325\t151\t70\t20' ||
    problem "Ready is not in Cancel's place"
  local gone
  for gone in Sample.exe readme.txt Help; do expect_absent "$app/$gone"; done
  expect_present "$app/uninstall.dat"
  expect_present "$app/Uninstall.exe"
  screenshot "$name-after"
  click_control "$prefix" "$READY_BUTTON" Ready
  finish_run "$prefix"

  expect_absent "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# Cancel removes nothing, and no batch is written.
case_window_cancel() {
  local name=window-cancel problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  # A close request is ignored: the window stays.
  uiauto "$prefix" close "$WINDOW_TITLE" || problem "no close request could be sent"
  sleep 0.5
  uiauto "$prefix" wait "$WINDOW_TITLE" 1 >/dev/null || problem "a close request closed the window"
  click_control "$prefix" "$CANCEL_BUTTON" Cancel
  finish_run "$prefix"

  expect_sample_kept "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# The window at 100 %, 150 % and 200 % (the prefix's LogPixels): the client area and every
# control's place and size are the table's scaled (as MulDiv rounds), and a text that fits at
# 100 % fits at each scale, in English and in a long translation. Screenshots at 100 % and 150 %, and at 150 % during and after a
# removal.
case_window_at_each_scale() {
  local name=window-at-each-scale problems= run prefix dpi layout fits fits_at_96= line app
  local long_fits long_fits_at_96=
  local table='1 0 0 480 48|2 10 10 345 15|3 20 24 335 15|4 360 8 32 32|8 10 60 380 18|9 10 80 380 18|10 10 110 380 15|5 5 151 60 20|6 325 151 70 20|7 325 151 70 20|17 10 128 380 12'
  for dpi in 96 144 192; do
    new_prefix "$name-$dpi"
    in_prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
      /f >/dev/null 2>&1 || problem "LogPixels $dpi could not be set"
    settle "$prefix"
    app="$prefix/drive_c/Program Files/Sample"
    sample_installation "$app"
    [ "$dpi" = 144 ] && large_installation "$app" 200 40
    # First in a long translation: no text cut that fits at 96 DPI.
    cp "$app/uninstall.dat" "$app/uninstall.en"
    printf '[Language]\r\nTitel=Programm deinstallieren\r\nMsg=Programmdateien und Registrierungseintr\344ge werden entfernt.\r\nUninstInfo=Folgendes Programm wird von Ihrem Computer entfernt:\r\nDelAll=Alle(!) Dateien im Verzeichnis l\366schen (einschlie\337lich Benutzerdateien).\r\nCancel=Abbrechen\r\nReady=Fertig\r\n' \
      >>"$app/uninstall.dat"
    start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
    [ "$(control_line "$prefix" "$CANCEL_BUTTON" | cut -f3)" = Abbrechen ] ||
      problem "the translation is not shown at $dpi DPI"
    long_fits=$(uiauto "$prefix" fits "$WINDOW_TITLE" | tr -d '\r' | awk -F'\t' '$2 == "fits" { print $1 }' | sort)
    [ "$dpi" = 96 ] && long_fits_at_96=$long_fits
    [ -z "$(comm -23 <(echo "$long_fits_at_96") <(echo "$long_fits"))" ] ||
      problem "translated, cut at $dpi DPI but not at 96: $(comm -23 <(echo "$long_fits_at_96") <(echo "$long_fits") | tr '\n' ' ')"
    click_control "$prefix" "$CANCEL_BUTTON" Cancel
    finish_run "$prefix"
    mv "$app/uninstall.en" "$app/uninstall.dat"
    start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
    layout=$(uiauto "$prefix" layout "$WINDOW_TITLE" | tr -d '\r')
    [ "$(awk -F'\t' '$1 == "window" { print $4 "x" $5 }' <<<"$layout")" = \
      "$((400 * dpi / 96))x$((200 * dpi / 96))" ] ||
      problem "client area at $dpi DPI: $(grep '^window' <<<"$layout")"
    while IFS=' ' read -r id x y w h; do
      line=$(awk -F'\t' -v id="$id" '$1 == id { print $3, $4, $5, $6 }' <<<"$layout")
      [ "$line" = "$(((x * dpi + 48) / 96)) $(((y * dpi + 48) / 96)) $(((w * dpi + 48) / 96)) $(((h * dpi + 48) / 96))" ] ||
        problem "control $id at $dpi DPI is at '$line'"
    done < <(tr '|' '\n' <<<"$table")
    fits=$(uiauto "$prefix" fits "$WINDOW_TITLE" | tr -d '\r' | awk -F'\t' '$2 == "fits" { print $1 }' | sort)
    [ "$dpi" = 96 ] && fits_at_96=$fits
    [ -z "$(comm -23 <(echo "$fits_at_96") <(echo "$fits"))" ] ||
      problem "cut at $dpi DPI but not at 96: $(comm -23 <(echo "$fits_at_96") <(echo "$fits") | tr '\n' ' ')"
    [ "$dpi" = 192 ] || screenshot "$name-$dpi"
    if [ "$dpi" = 144 ]; then
      # During and after a removal at 150 %, with the progress bar.
      click_control "$prefix" "$OK_BUTTON" OK
      sleep 1.5
      screenshot "$name-$dpi-during"
      wait_for_status "$prefix" "$FINAL_STATUS" 120 || problem "no final status text at $dpi DPI"
      screenshot "$name-$dpi-after"
      click_control "$prefix" "$READY_BUTTON" Ready
    else
      click_control "$prefix" "$CANCEL_BUTTON" Cancel
    fi
    finish_run "$prefix"
    wine_kill "$prefix"
  done
  [ -n "$fits_at_96" ] && [ -n "$long_fits_at_96" ] || problem "no text fits at 96 DPI"
  report "$name"
}

# "Delete all" takes the whole directory, read-only, hidden and user files included, the data
# listed under DataDir and the per-user product key.
case_window_delete_all() {
  local name=window-delete-all problems= run
  local prefix
  new_prefix "$name"
  local c=$prefix/drive_c
  local app="$c/Program Files/Sample" data="$c/users/Public/Sample Data"
  sample_installation "$app"
  mkdir -p "$data/Templates"
  printf 'settings\r\n' >"$data/settings.ini"
  printf 'mine\r\n' >"$app/notes.txt"
  printf 'mine\r\n' >"$app/Help/mine.txt"
  chmod a-w "$app/Help/Manual.chm"
  # Wine keeps the hidden attribute as this text.
  setfattr -n user.DOSATTRIB -v '"0x2"' "$app/readme.txt" || problem "setfattr could not hide a file"
  sed -i 's/^GUID=\r$/GUID=SampleApp\r/; s/^DataDir=\r$/DataDir=C:\\users\\Public\\Sample Data\r/' \
    "$app/uninstall.dat"
  printf '[Data]\r\n1=settings.ini\r\n[DataDirs]\r\n1=Templates\\\r\n' >>"$app/uninstall.dat"
  import_reg "$prefix" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\SampleApp]
"DisplayName"="Sample"

[HKEY_CURRENT_USER\SOFTWARE\Marrowind\SampleApp]
"InstallDir"="C:\\Program Files\\Sample\\"
REG

  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  click_control "$prefix" "$DELETE_ALL_CHECKBOX" "the check box"
  confirm_and_finish "$prefix" 30

  expect_absent "$app"
  expect_absent "$data/settings.ini"
  expect_absent "$data/Templates"
  reg_has "$prefix" user 'Software\Marrowind\SampleApp' && problem "the product key is still there"
  reg_has "$prefix" system 'Software\Microsoft\Windows\CurrentVersion\Uninstall\SampleApp' &&
    problem "the uninstall entry is still there"
  wine_kill "$prefix"
  report "$name"
}

# A removal of 20,000 files in 500 directories takes a while: all along, the window answers a
# message sent to it within a second and shows the files going by in its status bar.
case_window_large_removal_keeps_the_window_alive() {
  local name=window-large-removal problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  large_installation "$app" 500 40
  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  local started
  started=$(date +%s%N)
  click_control "$prefix" "$OK_BUTTON" OK
  (sleep 1.5 && screenshot "$name-midway") &
  local shot=$! out code
  out=$(uiauto "$prefix" alive "$WINDOW_TITLE" 600 "$FINAL_STATUS")
  code=$?
  out=$(tr -d '\r' <<<"$out")
  local tenths=$((($(date +%s%N) - started) / 100000000))
  echo "  window-mode removal of 20,000 files: $((tenths / 10)).$((tenths % 10)) s; $(tail -n 1 <<<"$out")"
  [ "$code" -eq 0 ] || problem "the window did not always answer within a second ($(tail -n 1 <<<"$out"))"
  [ "$(grep -c '^status: ' <<<"$out")" -ge 3 ] || problem "the status texts did not change"
  grep -qx "status: $FINAL_STATUS" <<<"$out" || problem "no final status text"
  # The progress bar grows, never back, and is full at the end.
  local positions
  positions=$(sed -n 's/^progress: \([0-9]*\) of .*/\1/p' <<<"$out")
  [ "$(wc -l <<<"$positions")" -ge 5 ] || problem "the progress bar moved $(wc -l <<<"$positions") times"
  [ "$positions" = "$(sort -n <<<"$positions")" ] ||
    problem "the progress bar moved back: $(tr '\n' ' ' <<<"$positions")"
  grep -q "^progress: 10000 of 10000$" <<<"$out" ||
    problem "the progress bar did not end full: $(grep '^progress' <<<"$out" | tail -n 1)"
  wait "$shot"
  screenshot "$name-after"
  click_control "$prefix" "$READY_BUTTON" Ready
  finish_run "$prefix"
  expect_absent "$app"
  wine_kill "$prefix"
  report "$name"
}

# public_desktop_installation PREFIX: the program straight on the public Desktop, beside two files
# of the users'; sets `desktop`.
public_desktop_installation() {
  desktop="$1/drive_c/users/Public/Desktop"
  mkdir -p "$desktop"
  printf 'mine\r\n' >"$desktop/holiday.jpg"
  printf 'mine\r\n' >"$desktop/Letter.lnk"
  cp "$UNINSTALL_EXE" "$desktop/Uninstall.exe"
  printf 'MZ sample program\n' >"$desktop/Sample.exe"
  cat <<'EOF2' | sed 's/$/\r/' >"$desktop/uninstall.dat"
[Settings]
ProgName=Sample
ProgExe=Sample.exe
ProgDir=C:\users\Public\Desktop\
[Files]
1=Sample.exe
EOF2
}

# case_public_desktop NAME: an installer that put the program straight onto the public Desktop,
# started by its own path (path), through a directory link C:\pub (link), or through a drive
# letter E: for C:\users\Public (drive). The window offers no "delete all", and OK removes the
# program's own files only, never the other files there.
case_window_public_desktop_offers_no_delete_all() {
  local how=$1
  local name=window-public-desktop-$how problems= run desktop
  local prefix
  new_prefix "$name"
  public_desktop_installation "$prefix"
  local exe='C:\users\Public\Desktop\Uninstall.exe'
  case $how in
    link) ln -s users/Public/Desktop "$prefix/drive_c/pub" && exe='C:\pub\Uninstall.exe' ;;
    drive) ln -s ../drive_c/users/Public "$prefix/dosdevices/e:" && exe='E:\Desktop\Uninstall.exe' ;;
  esac
  start_window "$prefix" "$exe"
  expect_control "$prefix" "$DELETE_ALL_CHECKBOX" 0 1
  uiauto "$prefix" click "$WINDOW_TITLE" "$DELETE_ALL_CHECKBOX" && problem "the hidden check box could be clicked"
  confirm_and_finish "$prefix" 30
  expect_absent "$desktop/Sample.exe"
  expect_present "$desktop/holiday.jpg"
  expect_present "$desktop/Letter.lnk"
  wine_kill "$prefix"
  report "$name"
}

# The same in quiet mode, with nothing of the users' on the Desktop: the program goes, and the
# self-removal leaves the emptied public Desktop folder in place, whatever name it ran under.
case_quiet_public_desktop_stays() {
  local how=$1
  local name=quiet-public-desktop-$how problems= desktop
  local prefix
  new_prefix "$name"
  public_desktop_installation "$prefix"
  rm "$desktop/holiday.jpg" "$desktop/Letter.lnk"
  local exe='C:\users\Public\Desktop\Uninstall.exe'
  case $how in
    link) ln -s users/Public/Desktop "$prefix/drive_c/pub" && exe='C:\pub\Uninstall.exe' ;;
    drive) ln -s ../drive_c/users/Public "$prefix/dosdevices/e:" && exe='E:\Desktop\Uninstall.exe' ;;
  esac
  run_to_the_end "$prefix" "$exe" /Q
  expect_absent "$desktop/Sample.exe"
  expect_absent "$desktop/Uninstall.exe"
  expect_present "$desktop"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# An uninstaller in a subfolder of its program, whose uninstall.dat names the program's files
# with "..": the ordinary removal takes them as their paths name them, the main executable last,
# and then the uninstaller's own folder goes; the program's folder, which no value names, stays.
case_quiet_values_outside_the_uninstallers_folder() {
  local name=quiet-values-outside problems=
  local prefix
  new_prefix "$name"
  local program="$prefix/drive_c/Program Files/App"
  mkdir -p "$program/Uninstall" "$program/Help"
  cp "$UNINSTALL_EXE" "$program/Uninstall/Uninstall.exe"
  printf 'MZ app\n' >"$program/App.exe"
  printf 'Read me\r\n' >"$program/readme.txt"
  printf 'help\r\n' >"$program/Help/h.chm"
  cat <<'EOF2' | sed 's/$/\r/' >"$program/Uninstall/uninstall.dat"
[Settings]
ProgName=App
ProgExe=..\App.exe
[Files]
1=..\App.exe
2=..\readme.txt
3=..\Help\h.chm
[Dirs]
1=..\Help\
EOF2
  run_to_the_end "$prefix" 'C:\Program Files\App\Uninstall\Uninstall.exe' /Q
  local gone
  for gone in App.exe readme.txt Help Uninstall; do expect_absent "$program/$gone"; done
  expect_present "$program"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# "Delete all" with the main executable in a subfolder that no [Dirs] tree takes: that folder
# stays whole, the main executable and the user's file in it too.
case_window_delete_all_keeps_an_untaken_subfolder() {
  local name=window-delete-all-untaken-subfolder problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  mkdir -p "$app/bin"
  mv "$app/Sample.exe" "$app/bin/Sample.exe"
  printf 'mine\r\n' >"$app/bin/user.txt"
  sed -i 's/^ProgExe=Sample.exe\r$/ProgExe=bin\\Sample.exe\r/; s/^1=Sample.exe\r$/1=bin\\Sample.exe\r/' \
    "$app/uninstall.dat"
  start_window "$prefix" 'C:\Program Files\Sample\Uninstall.exe'
  click_control "$prefix" "$DELETE_ALL_CHECKBOX" "the check box"
  confirm_and_finish "$prefix" 30
  expect_present "$app/bin/Sample.exe"
  expect_present "$app/bin/user.txt"
  expect_absent "$app/Help"
  expect_absent "$app/readme.txt"
  wine_kill "$prefix"
  report "$name"
}
