# shellcheck shell=bash
# End-to-end cases of the registry and shell clean-up: the uninstall entry, links, the
# start-menu directory, user tasks of every kind and the after-program, on the real registry
# of a Wine prefix. Sourced by run.sh after lib.sh.

# An installation that leaves every kind of trace an installer can record.
shell_installation() {
  local prefix=$1 app=$2
  sample_installation "$app"
  local c=$prefix/drive_c
  mkdir -p "$c/users/Public/Start Menu/Programs/Sample" "$c/users/Public/Desktop" "$app/Plugins"
  printf 'link\r\n' >"$c/users/Public/Start Menu/Programs/Sample/Sample.lnk"
  printf 'link\r\n' >"$c/users/Public/Start Menu/Programs/Sample/Help.pif"
  printf 'link\r\n' >"$c/users/Public/Desktop/Sample.lnk"
  printf 'not a DLL\r\n' >"$app/Plugins/plugin.dll"
  printf 'extra\r\n' >"$c/users/Public/extra.txt"
  cp "$EXIT_WITH_EXE" "$app/after.exe"
  # Appended to the sample's last group, [Dirs]; a second [Dirs] header would not be read.
  cat <<'EOF2' | sed 's/$/\r/' >>"$app/uninstall.dat"
2=Plugins\
[StartMenu]
Program=C:\users\Public\Start Menu\Programs\Sample\Sample.lnk
Help=C:\users\Public\Start Menu\Programs\Sample\Help.lnk
[UserTask]
Number=5
Task1=6|2147483649|Software\SampleTask|Path
Task2=9||C:\Program Files\Sample\Plugins\plugin.dll
Task3=10|sample|Sample.exe
Task4=1| C:\users\Public\extra.txt 
Task5=6|2147483649|Software\SampleMissing|Value
EOF2
  # Settings of the sample that this case needs beyond the plain installation.
  sed -i 's/^GUID=\r$/GUID=SampleApp\r/; s/^StartMenu=\r$/StartMenu=C:\\users\\Public\\Start Menu\\Programs\\Sample\\\r/' \
    "$app/uninstall.dat"
  sed -i 's/^AfterUninst=\r$/AfterUninst=after.exe\rAfterParam=0 C:\\after.txt 0 Sample.exe\r/' \
    "$app/uninstall.dat"
  sed -i 's/^DataDir=\r$/DataDir=\r\nDesktopIcon=C:\\users\\Public\\Desktop\\Sample.lnk\r/' \
    "$app/uninstall.dat"
  import_reg "$prefix" <<'EOF2'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\SampleApp]
"DisplayName"="Sample"
"UninstallString"="C:\\Program Files\\Sample\\Uninstall.exe"
"EstimatedSize"=dword:00000010

[HKEY_CURRENT_USER\SOFTWARE\Marrowind\SampleApp]
"InstallDir"="C:\\Program Files\\Sample\\"

[HKEY_CURRENT_USER\Software\SampleTask]
"Path"="x"
"Other"="y"

[HKEY_CLASSES_ROOT\.sample]
@="sample_auto_file"

[HKEY_CLASSES_ROOT\sample_auto_file\DefaultIcon]
@="C:\\Program Files\\Sample\\Sample.exe,0"

[HKEY_CLASSES_ROOT\Applications\Sample.exe\shell\open\command]
@="\"C:\\Program Files\\Sample\\Sample.exe\" \"%1\""

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.sample]
"Application"="Sample.exe"
EOF2
}

case_quiet_shell_integration() {
  local name=quiet-shell-integration problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample" c="$prefix/drive_c"
  shell_installation "$prefix" "$app"
  reg_has "$prefix" system 'Software\Microsoft\Windows\CurrentVersion\Uninstall\SampleApp' ||
    problem "the sample's registry entries were not written"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  local key
  for key in 'Software\Microsoft\Windows\CurrentVersion\Uninstall\SampleApp' \
    'Software\Classes\.sample' 'Software\Classes\sample_auto_file' \
    'Software\Classes\sample_auto_file\DefaultIcon' 'Software\Classes\Applications\Sample.exe'; do
    reg_has "$prefix" system "$key" && problem "key HKLM\\$key is still there"
  done
  reg_has "$prefix" user 'Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.sample' &&
    problem "the FileExts key of .sample is still there"
  # The registry-value task removes only its value; a missing key is left behind empty.
  reg_has "$prefix" user 'Software\SampleTask' || problem "Software\\SampleTask went entirely"
  grep -q '"Path"="x"' "$prefix/user.reg" && problem "the task's value Path is still there"
  grep -q '"Other"="y"' "$prefix/user.reg" || problem "the value Other went too"
  reg_has "$prefix" user 'Software\SampleMissing' || problem "no empty Software\\SampleMissing"
  # Quiet mode never touches the per-user product key.
  reg_has "$prefix" user 'Software\Marrowind\SampleApp' || problem "the product key went"

  expect_absent "$c/users/Public/Start Menu/Programs/Sample"
  expect_absent "$c/users/Public/Desktop/Sample.lnk"
  expect_absent "$c/users/Public/extra.txt"
  expect_absent "$app"

  # The after-program ran with its parameters in the uninstaller's directory, while the
  # program files were still there.
  if [ -f "$c/after.txt" ]; then
    local lines
    lines=$(tr -d '\r' <"$c/after.txt")
    [ "$(sed -n 1p <<<"$lines")" = '"C:\Program Files\Sample\after.exe" 0 C:\after.txt 0 Sample.exe' ] ||
      problem "after-program command line: $(sed -n 1p <<<"$lines")"
    [ "$(sed -n 2p <<<"$lines")" = 'C:\Program Files\Sample' ] ||
      problem "after-program directory: $(sed -n 2p <<<"$lines")"
    [ "$(sed -n 3p <<<"$lines")" = 'Sample.exe exists' ] ||
      problem "the program files were gone when the after-program ran: $(sed -n 3p <<<"$lines")"
  else
    problem "the after-program did not run"
  fi
  wine_kill "$prefix"
  report "$name"
}

# An extension that another program has taken over since the installation (its default value
# and the current user's choice name that program) stays with it; this program's own
# registration goes.
case_quiet_association_held_by_another_program() {
  local name=quiet-association-held-by-another-program problems=
  local prefix
  new_prefix "$name"
  local app="$prefix/drive_c/Program Files/Sample"
  sample_installation "$app"
  printf '[UserTask]\r\nNumber=1\r\nTask1=10|tsty|TestApp.exe\r\n' >>"$app/uninstall.dat"
  import_reg "$prefix" <<'EOF2'
REGEDIT4

[HKEY_CLASSES_ROOT\.tsty]
@="OtherApp.Document"

[HKEY_CLASSES_ROOT\tsty_auto_file\DefaultIcon]
@="C:\\Program Files\\Sample\\Sample.exe,0"

[HKEY_CLASSES_ROOT\Applications\TestApp.exe\shell\open\command]
@="\"C:\\Program Files\\Sample\\Sample.exe\" \"%1\""

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.tsty]
"Application"="Other.exe"
EOF2
  reg_has "$prefix" system 'Software\Classes\Applications\TestApp.exe\shell\open\command' ||
    problem "the registration was not written"

  run_to_the_end "$prefix" 'C:\Program Files\Sample\Uninstall.exe' /Q

  grep -A3 -i -F '[Software\\Classes\\.tsty]' "$prefix/system.reg" | grep -q '@="OtherApp.Document"' ||
    problem ".tsty lost its default value OtherApp.Document"
  grep -A3 -i -F '[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.tsty]' \
    "$prefix/user.reg" | grep -q '"Application"="Other.exe"' ||
    problem "the current user's choice Other.exe for .tsty is gone"
  local key
  for key in 'Software\Classes\Applications\TestApp.exe\shell\open\command' \
    'Software\Classes\tsty_auto_file\DefaultIcon'; do
    reg_has "$prefix" system "$key" && problem "key HKLM\\$key is still there"
  done
  expect_absent "$app"
  wine_kill "$prefix"
  report "$name"
}
