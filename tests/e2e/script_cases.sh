# shellcheck shell=bash
# End-to-end cases of the uninstall script and the running-program checks: a VBScript and a
# JScript receive the installation's values through the Script Control, and a running program
# (found by its process name, or by the named mutex it holds) stops the run. Sourced by run.sh
# after lib.sh.

SCRIPT_GUID='{8E0F7A12-5B3F-4B3A-9C2E-0123456789AB}'

# with_script DIR SCRIPT: the sample installation in DIR with Script=SCRIPT, a start-menu
# directory and a GUID.
with_script() {
  sed -i "s/^Script=0\r\$/Script=$2\r/; s/^GUID=\r\$/GUID=$SCRIPT_GUID\r/" "$1/uninstall.dat"
  sed -i 's/^StartMenu=\r$/StartMenu=C:\\users\\Public\\Start Menu\\Programs\\Sample\\\r/' \
    "$1/uninstall.dat"
}

# Each script writes the three constants, and whether the program was still installed, into
# C:\script.txt, separated by "|".
write_vbs() {
  cat <<'EOF2' | sed 's/$/\r/' >"$1/Uninstall.vbs"
Set fso = CreateObject("Scripting.FileSystemObject")
Set out = fso.CreateTextFile("C:\script.txt", True)
out.Write mwProgDir & "|" & mwStartMenuDir & "|" & mwGUID & "|" & fso.FileExists(mwProgDir & "Sample.exe")
out.Close
EOF2
}

write_js() {
  # LF line ends: the uninstaller hands every line over with CR LF.
  cat <<'EOF2' >"$1/Uninstall.js"
var fso = new ActiveXObject("Scripting.FileSystemObject");
var out = fso.CreateTextFile("C:\\script.txt", true);
out.Write(mwProgDir + "|" + mwStartMenuDir + "|" + mwGUID + "|" + fso.FileExists(mwProgDir + "Sample.exe"));
out.Close();
EOF2
}

# case_quiet_script vbs|js: the script alone runs before anything is removed, receives the
# values exactly, and goes with the leftovers.
case_quiet_script() {
  local kind=$1
  local name=quiet-script-$kind problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_script "$app" 1
  "write_$kind" "$app"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  local expected='C:\Program Files\Sample\|C:\users\Public\Start Menu\Programs\Sample\|'
  expected+="$SCRIPT_GUID|"
  [ "$kind" = vbs ] && expected+=True || expected+=true
  local written
  written=$(cat "$prefix/drive_c/script.txt" 2>/dev/null) || problem "the script did not run"
  [ -z "$written" ] || [ "$written" = "$expected" ] ||
    problem "the script wrote $(printf %q "$written"), expected $(printf %q "$expected")"
  expect_absent "$app/Uninstall.$kind"
  expect_absent "$app"
  wine_kill "$prefix"
  report "$name"
}

# Only the low 8 bits of Script count: 256 runs nothing, and the script file still goes.
case_quiet_script_256() {
  local name=quiet-script-256 problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_script "$app" 256
  write_vbs "$app"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  expect_absent "$prefix/drive_c/script.txt"
  expect_absent "$app"
  wine_kill "$prefix"
  report "$name"
}

# case_program_running process|mutex: a process whose name differs from ProgExe only in case,
# or a held named mutex when MutexString is set, makes the uninstaller show the Mutex text in
# a warning box and end with nothing removed.
case_program_running() {
  local kind=$1
  local name=program-running-$kind problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample" c="$prefix/drive_c"
  sample_installation "$app"
  mkdir -p "$c/Other"
  if [ "$kind" = process ]; then
    cp "$HOLD_MUTEX_EXE" "$c/Other/SAMPLE.EXE"
    in_prefix "$prefix" 'C:\Other\SAMPLE.EXE' - 60 'C:\ready.txt' &
  else
    # The process has another name, so only the mutex can tell.
    sed -i 's/^ProgExe=Sample.exe\r$/ProgExe=Sample.exe\r\nMutexString=Sample Running\r/' \
      "$app/uninstall.dat"
    cp "$HOLD_MUTEX_EXE" "$c/Other/holder.exe"
    in_prefix "$prefix" 'C:\Other\holder.exe' 'Sample Running' 60 'C:\ready.txt' &
  fi
  wait_until 300 0.1 test -e "$c/ready.txt" || problem "the running program did not start"

  in_prefix "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q &
  local run=$!
  expect_box "$prefix" "Uninstall Program" $'Close Program \'Sample\' first!\nThen press OK!' "$name"
  wait "$run"
  expect_exit_zero $?

  expect_sample_kept "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# case_endless_script vbs|js quiet|window: a script that never ends is stopped once its time is
# up (about 20 s; in window mode when the user says so), and the uninstallation then goes on to
# the end; what the script did before stays done. In window mode the window opens after the
# script.
case_endless_script() {
  local kind=$1 mode=$2
  local name=endless-script-$kind-$mode problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_script "$app" 1
  if [ "$kind" = vbs ]; then
    printf '%s\r\n' 'CreateObject("Scripting.FileSystemObject").CreateTextFile("C:\script.txt", True).Close' \
      'Do' 'Loop' >"$app/Uninstall.vbs"
  else
    printf '%s\n' 'new ActiveXObject("Scripting.FileSystemObject").CreateTextFile("C:\\script.txt", true).Close();' \
      'while (true) {}' >"$app/Uninstall.js"
  fi

  local started=$SECONDS
  if [ "$mode" = quiet ]; then
    run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q
  else
    # Nobody stops the script but the user, asked once it has had its time.
    in_prefix "$prefix" 'C:\Program Files\Sample\Uninstall.exe' &
    run=$!
    uiauto "$prefix" msgbox " Uninstall Program" 40 >/dev/null || problem "the user was not asked"
    uiauto "$prefix" press " Uninstall Program" 6 || problem "Yes could not be pressed"
    uiauto "$prefix" wait "$WINDOW_TITLE" 20 >/dev/null || problem "no main window"
    confirm_and_finish "$prefix" 30
  fi
  local took=$((SECONDS - started))
  [ "$took" -ge 18 ] || problem "done after ${took}s: the script was not given its time"
  expect_present "$prefix/drive_c/script.txt"
  expect_absent "$app"
  expect_no_batch "$prefix"
  wine_kill "$prefix"
  report "$name"
}

# case_script_handed_in_from_outside env|registry|number: a copy of the uninstaller alone in a
# folder, started with the switch of the script instance and the script's path in the old
# environment value (set by the caller, or only in HKCU\Environment, which every program of the
# user can write), or with a made-up pipe number: no script runs, and the instance goes on as a
# window run, which finds no uninstall.dat and says so.
case_script_handed_in_from_outside() {
  local how=$1
  local name=script-handed-in-from-outside-$how problems=
  local prefix
  new_prefix "$name"
  local c="$prefix/drive_c"
  mkdir -p "$c/lone" "$c/evil"
  cp "$UNINSTALL_EXE" "$c/lone/Uninstall.exe"
  printf '%s\r\n' 'CreateObject("Scripting.FileSystemObject").CreateTextFile("C:\evil\ran.txt", True).Close' \
    >"$c/evil/x.vbs"
  local values=(UNINST_SCRIPT='C:\evil\x.vbs' UNINST_SCRIPT_PROGDIR='C:\evil\' UNINST_SCRIPT_UI=0)
  local parameters=(/UNINSTSCRIPT)
  case $how in
    env) ;;
    registry)
      local value
      for value in "${values[@]}"; do
        in_prefix "$prefix" reg add 'HKCU\Environment' /v "${value%%=*}" /d "${value#*=}" /f \
          >/dev/null 2>&1 || problem "reg add ${value%%=*} failed"
      done
      settle "$prefix"
      values=()
      ;;
    number) parameters+=(4) values=() ;;
  esac
  env "${values[@]}" WINEPREFIX="$prefix" timeout "$E2E_TIMEOUT" wine 'C:\lone\Uninstall.exe' \
    "${parameters[@]}" &
  local run=$!
  expect_box "$prefix" " Marrowind - Error" \
    $'Could not find \'uninstall.dat\':\nC:\\lone\\uninstall.dat' "$name"
  wait "$run"
  expect_exit_zero $?
  expect_settled "$prefix"
  expect_absent "$c/evil/ran.txt"
  wine_kill "$prefix"
  report "$name"
}

# case_window_script_question answer|stop: in the window, an Uninstall.vbs asks its own Yes/No
# question and writes the answer into C:\answer.txt. Nobody answers for 20 seconds, so the
# uninstaller asks whether to stop the script. With "answer", that question stays unanswered
# while the user answers the script's: the script ends, the uninstaller's question goes by
# itself, and the answer is written. With "stop", Yes ends the script; nothing is written. The
# main window opens after either.
case_window_script_question() {
  local how=$1
  local name=window-script-question-$how problems= run
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  with_script "$app" 1
  printf '%s\r\n' 'answer = MsgBox("Keep your settings?", vbYesNo, "Sample script")' \
    'CreateObject("Scripting.FileSystemObject").CreateTextFile("C:\answer.txt", True).Write CStr(answer)' \
    >"$app/Uninstall.vbs"
  in_prefix "$prefix" 'C:\Program Files\Sample\Uninstall.exe' &
  run=$!
  uiauto "$prefix" msgbox "Sample script" 20 >/dev/null || problem "the script asked nothing"
  local started=$SECONDS
  local text
  text=$(uiauto "$prefix" msgbox " Uninstall Program" 40 && echo x)
  [ "${text%$'\n'x}" = 'The uninstall script has been running for 20 seconds. Stop it?' ] ||
    problem "the uninstaller's question: $(printf %q "${text%$'\n'x}")"
  [ $((SECONDS - started)) -ge 15 ] || problem "asked after $((SECONDS - started)) s already"
  if [ "$how" = answer ]; then
    uiauto "$prefix" press "Sample script" 6 || problem "the script's question could not be answered"
    uiauto "$prefix" gone " Uninstall Program" 10 || problem "the uninstaller's question stayed"
  else
    uiauto "$prefix" press " Uninstall Program" 6 || problem "Yes could not be pressed"
  fi
  uiauto "$prefix" wait "$WINDOW_TITLE" 30 >/dev/null || problem "no main window"
  click_control "$prefix" "$CANCEL_BUTTON" Cancel
  finish_run "$prefix"
  if [ "$how" = answer ]; then
    [ "$(cat "$prefix/drive_c/answer.txt" 2>/dev/null)" = 6 ] || problem "the answer was not written"
  else
    expect_absent "$prefix/drive_c/answer.txt"
  fi
  expect_sample_kept "$app"
  wine_kill "$prefix"
  report "$name"
}
