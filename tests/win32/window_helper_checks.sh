# shellcheck shell=bash
# Checks of the UI helper's window commands on windows that show_windows.exe builds with the
# window toolkit, and screenshots of those windows in build/win32-screens/ for people to look
# at. Sourced by run.sh (PREFIX, REPO and DISPLAY set); writes gtest-like result lines, so that
# run.sh counts them with the tests.

SCREENS=$REPO/build/win32-screens

# in_test_prefix PROGRAM ARGS...: a program of the test prefix, cut off after a minute.
in_test_prefix() {
  (cd "$PREFIX/drive_c" && WINEPREFIX=$PREFIX timeout 60 wine "$@")
}

# control_id NAME: the number of the control named NAME in src/ui/control_ids.h, the one place
# that numbers the controls; nothing for an unknown name.
control_id() {
  sed -n "s/^inline constexpr int $1 = \([0-9]*\);.*/\1/p" "$REPO/src/ui/control_ids.h"
}

# layout_line LAID_OUT ID CLASS: the line the UI helper's `layout` must print for control ID, of
# window class CLASS, where LAID_OUT is what window_layout.exe prints; a line no layout has when
# LAID_OUT lacks the control.
layout_line() {
  awk -F'\t' -v id="$2" -v class="$3" '
    $1 == id && id != "" {print $1 "\t" class "\t" $2 "\t" $3 "\t" $4 "\t" $5; found = 1}
    END {if (!found) print "no control " id " laid out"}' <<<"$1"
}

# helper_result NAME PROBLEMS: one result line; no problems means passed.
helper_result() {
  if [ -z "$2" ]; then
    echo "[       OK ] WindowHelper.$1"
  else
    echo "[  FAILED  ] WindowHelper.$1: $2"
  fi
}

# A window that keeps answering while its status bar runs through texts, until the last one;
# its layout as the helper reads it, against the layout the program asks for; a close request
# ends the program.
check_pumping_window() {
  local problems= out code laid_out client
  in_test_prefix 'C:\show_windows.exe' main pump 2 &
  local shown=$!
  out=$(in_test_prefix 'C:\uiauto.exe' alive " Sample" 20 "  Uninstalling completed.")
  code=$?
  [ "$code" -eq 0 ] || problems+="alive exit code $code; "
  grep -qx 'status:   Uninstalling completed\.' <<<"$out" || problems+="no final status; "
  grep -Eq '^longest answer: [0-9]+ ms, answers: [1-9][0-9]*, status texts: ([2-9]|[1-9][0-9]+)$' \
    <<<"$out" ||
    problems+="summary '$(tail -n 1 <<<"$out")'; "
  import -window root "$SCREENS/main-window.png" 2>/dev/null
  out=$(in_test_prefix 'C:\uiauto.exe' layout " Sample" | tr -d '\r')
  laid_out=$(in_test_prefix 'C:\window_layout.exe' | tr -d '\r')
  [ -n "$laid_out" ] || problems+="no layout from window_layout.exe; "
  client=$(awk -F'\t' '$1 == "window" {print $2 "\t" $3}' <<<"$laid_out")
  grep -q $'^window\t[0-9]*\t[0-9]*\t'"$client"$'\t[0-9]*\t[0-9]*$' <<<"$out" ||
    problems+="no window line; "
  grep -qx "$(layout_line "$laid_out" "$(control_id kHeaderMessageText)" Static)" <<<"$out" ||
    problems+="no header message line; "
  grep -qx "$(layout_line "$laid_out" "$(control_id kReadyButton)" Button)" <<<"$out" ||
    problems+="no Ready line; "
  in_test_prefix 'C:\uiauto.exe' close " Sample" || problems+="close failed; "
  wait "$shown" || problems+="show_windows did not end well; "
  helper_result PumpingWindowAnswersAndCloses "$problems"
}

# A window whose program does nothing for three seconds does not answer in time.
check_hanging_window() {
  local problems= code
  in_test_prefix 'C:\show_windows.exe' main hang 3 &
  local shown=$!
  in_test_prefix 'C:\uiauto.exe' alive " Sample" 2 >/dev/null
  code=$?
  [ "$code" -eq 4 ] || problems+="alive exit code $code, expected 4; "
  in_test_prefix 'C:\uiauto.exe' close " Sample" || problems+="close failed; "
  wait "$shown" || problems+="show_windows did not end well; "
  helper_result HangingWindowIsCaught "$problems"
}

# The logon dialog as the uninstaller runs it, against a security layer that refuses: Login
# brings the error box, after which both fields are empty; the close box ends the dialog.
check_logon_dialog() {
  local problems= out title=" Login as administrator" expected
  local user_field password_field login_button
  user_field=$(control_id kUserField)
  password_field=$(control_id kPasswordField)
  login_button=$(control_id kLoginButton)
  expected="$(control_id kUserLabel) Static Username:|$user_field Edit |"
  expected+="$(control_id kPasswordLabel) Static Password:|$password_field Edit |"
  expected+="$login_button Button Login|$(control_id kLogonFrame) Static |"
  in_test_prefix 'C:\logon_probe.exe' &
  local shown=$!
  in_test_prefix 'C:\uiauto.exe' wait "$title" >/dev/null || problems+="no logon dialog; "
  out=$(in_test_prefix 'C:\uiauto.exe' list "$title" | tr -d '\r' | cut -f1-3 | tr '\t\n' ' |')
  [ "$out" = "$expected" ] || problems+="controls '$out'; "
  in_test_prefix 'C:\uiauto.exe' settext "$title" "$user_field" "Administrator" ||
    problems+="no user typed; "
  in_test_prefix 'C:\uiauto.exe' settext "$title" "$password_field" "wrong" ||
    problems+="no password typed; "
  import -window root "$SCREENS/logon-dialog.png" 2>/dev/null
  in_test_prefix 'C:\uiauto.exe' click "$title" "$login_button" ||
    problems+="Login could not be clicked; "
  out=$(in_test_prefix 'C:\uiauto.exe' msgbox "Error - Login" | tr -d '\r')
  [ "$out" = "Login failed." ] || problems+="error box '$out'; "
  in_test_prefix 'C:\uiauto.exe' press "Error - Login" || problems+="the error box stayed; "
  out=$(in_test_prefix 'C:\uiauto.exe' list "$title" | tr -d '\r' |
    awk -F'\t' -v id="$user_field" '$1 == id {print $3}')
  [ -z "$out" ] || problems+="user field still '$out'; "
  in_test_prefix 'C:\uiauto.exe' close "$title" || problems+="close failed; "
  wait "$shown" || problems+="a logon came back, or the probe did not end well; "
  helper_result LogonDialogRefusesAndCloses "$problems"
}

mkdir -p "$SCREENS"
check_pumping_window
check_hanging_window
check_logon_dialog
echo "screenshots of the sample windows: ${SCREENS#"$REPO"/}/"
