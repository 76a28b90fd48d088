# shellcheck shell=bash
# The X server of the test levels that show windows. Source this file.

xvfb_pid=

# start_xvfb: an X server on the first free display from :77 on; sets DISPLAY.
start_xvfb() {
  local display
  for display in $(seq 77 99); do
    [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local _
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ]; then
      export DISPLAY=:$display
      return 0
    fi
    # Another server took the display meanwhile: try the next one.
    xvfb_pid=
  done
  return 1
}

# stop_xvfb: ends the X server that start_xvfb started, if any.
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
}
