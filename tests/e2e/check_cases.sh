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
