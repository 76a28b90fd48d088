# Shared Wine helpers for the test levels and the demo. Source this file.
# Every prefix lives under build/; one template is made per run and copied per case.

: "${REPO:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# wine_template DIR: creates a fresh prefix in DIR (about 10 s) unless it exists already.
# Runners may start at the same time, so the creation is locked.
wine_template() {
  local dir
  mkdir -p "$(dirname "$1")"
  dir=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")  # Wine wants an absolute prefix
  (
    flock 9
    if [ ! -f "$dir/system.reg" ]; then
      rm -rf "$dir"
      WINEPREFIX=$dir wineboot -i >/dev/null 2>&1
      WINEPREFIX=$dir wineserver -w
    fi
    wine_plain_user_folders "$dir"
  ) 9>"$dir.lock"
  [ -f "$dir/system.reg" ]
}

# wine_plain_user_folders PREFIX: a new prefix links the user's Desktop, Documents, Downloads,
# Music, Pictures, Videos and Templates to this machine's home directory; each becomes a plain,
# empty folder, so that a removal that goes wrong in the prefix can never reach the home.
wine_plain_user_folders() {
  local link
  while IFS= read -r -d '' link; do
    rm -f "$link" && mkdir "$link"
  done < <(find "$1/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0 2>/dev/null)
}

# wine_unmanaged_windows PREFIX: Wine draws the windows' frames itself, as Windows does, and
# leaves them to no window manager: Xvfb has none, and a managed window would go without a
# title bar and take two seconds to go away, waiting for one.
wine_unmanaged_windows() {
  WINEPREFIX=$1 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  WINEPREFIX=$1 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

# wine_copy TEMPLATE DIR: a throwaway copy of the template for one case.
wine_copy() {
  rm -rf "$2"
  cp -a "$1" "$2"
}

# wine_run PREFIX PROGRAM ARGS...: runs a program in the prefix and returns its exit code.
wine_run() {
  local prefix=$1
  shift
  WINEPREFIX=$prefix wine "$@"
}

# wine_wait PREFIX: waits until every process of the prefix has ended (the registry files are
# on disk afterwards).
wine_wait() {
  WINEPREFIX=$1 wineserver -w
}

# wine_kill PREFIX
wine_kill() {
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
}
