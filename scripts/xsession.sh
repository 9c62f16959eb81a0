#!/usr/bin/env bash
# Runs a command in a private desktop session and stops the session afterwards:
#   scripts/xsession.sh [--a11y] [--screen WxHxD] [--wayland] -- COMMAND [ARG...]
# The session is a fresh Xvfb (it picks its own display number), openbox as
# window manager (without one, focus does not return to a window after a
# modal box closes) and, with --a11y, a private session bus that holds the
# accessibility bus, so that Qt programs publish their widgets over AT-SPI.
# The command gets DISPLAY, DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR,
# XSESSION_DIR (a private scratch folder), QT_QPA_PLATFORM=xcb and, with
# --a11y, QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1; it never sees the caller's
# AT_SPI_BUS_ADDRESS (with it, Qt's accessibility bridge never registers).
# With --wayland the session is a headless Weston instead, without Xwayland,
# keyboard or pointer: the command gets WAYLAND_DISPLAY and no DISPLAY or
# QT_QPA_PLATFORM, so that Qt chooses its platform as on a Wayland desktop.
# Exit status: the command's, or 125 when the session could not be set up.
# Everything started here is stopped by PID on the way out, whatever happens.
set -euo pipefail

usage() {
  echo "usage: $0 [--a11y] [--screen WxHxD] [--wayland] -- COMMAND [ARG...]" >&2
  exit 125
}

a11y=0
wayland=0
screen=1280x1024x24
while [ $# -gt 0 ]; do
  case $1 in
    --a11y) a11y=1 ;;
    --wayland) wayland=1 ;;
    --screen) [ $# -ge 2 ] || usage; screen=$2; shift ;;
    --) shift; break ;;
    *) usage ;;
  esac
  shift
done
[ $# -ge 1 ] || usage

tools=(Xvfb openbox xprop)
[ "$wayland" = 1 ] && tools=(weston)
for tool in "${tools[@]}"; do
  command -v "$tool" > /dev/null || { echo "xsession: $tool is missing" >&2; exit 125; }
done

dir=$(mktemp -d /tmp/xsession.XXXXXX)
chmod 700 "$dir"
mkdir -m 700 "$dir/runtime"

# PIDs in start order; stopped in reverse order.
pids=()
cmd_pid=""

# Every process below $1, children before parents.
descendants() {
  local p parent
  for p in /proc/[0-9]*; do
    p=${p#/proc/}
    parent=$(sed -n 's/^PPid:[[:space:]]*//p' "/proc/$p/status" 2> /dev/null) || continue
    if [ "$parent" = "$1" ]; then
      descendants "$p"
      echo "$p"
    fi
  done
}

# Processes started in this session other than its own servers.
tagged() {
  local p own
  for p in /proc/[0-9]*; do
    p=${p#/proc/}
    [ "$p" = $$ ] && continue
    for own in "${pids[@]}"; do [ "$p" = "$own" ] && continue 2; done
    if { tr '\0' '\n' < "/proc/$p/environ"; } 2> /dev/null | grep -qxF "XSESSION_DIR=$dir"; then
      echo "$p"
    fi
  done
}

# Ends one process: TERM, up to 3 s to go, then KILL.
stop_pid() {
  local pid=$1 i
  kill -TERM "$pid" 2> /dev/null || return 0
  for ((i = 0; i < 150; i++)); do
    kill -0 "$pid" 2> /dev/null || break
    # A zombie has ended; wait below reaps it.
    grep -qs '^State:[[:space:]]*[RSDT]' "/proc/$pid/status" || break
    sleep 0.02
  done
  kill -KILL "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
}

cleanup() {
  local rc=$? pid i kids
  trap - EXIT INT TERM HUP
  set +e
  if [ -n "$cmd_pid" ]; then
    kids=$(descendants "$cmd_pid")
    stop_pid "$cmd_pid"
    for pid in $kids; do stop_pid "$pid"; done
  fi
  # Whatever the command left behind, reparented or not, still carries the
  # session's XSESSION_DIR in its environment.
  for pid in $(tagged); do stop_pid "$pid"; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    # The bus launcher starts the accessibility bus and its registry below
    # itself: stop those first, so that their parent is still there to reap them.
    for pid in $(descendants "${pids[$i]}"); do stop_pid "$pid"; done
    stop_pid "${pids[$i]}"
  done
  rm -rf "$dir"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

fail() {
  echo "xsession: $*" >&2
  for log in "$dir"/*.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  exit 125
}

# Polls a condition (a command) every 20 ms for up to $1 seconds.
wait_for() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 50; i++)); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}

unset DISPLAY WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS SESSION_MANAGER DBUS_SESSION_BUS_PID
export XDG_RUNTIME_DIR=$dir/runtime XSESSION_DIR=$dir

if [ "$wayland" = 1 ]; then
  unset QT_QPA_PLATFORM
  # No Xwayland (it would want /tmp/.X11-unix), no panel, a black desktop.
  printf '[core]\nxwayland=false\n[shell]\npanel-position=none\nbackground-color=0xff000000\n' \
    > "$dir/weston.ini"
  # Pixman draws and --debug allows screenshots; nothing blanks the screen.
  IFS=x read -r width height _ <<< "$screen"
  weston --backend=headless-backend.so --use-pixman --debug --socket=wayland-xsession \
    --width="$width" --height="$height" --idle-time=0 --config="$dir/weston.ini" \
    > "$dir/weston.log" 2>&1 &
  pids+=($!)
  socket_ready() { [ -S "$dir/runtime/wayland-xsession" ]; }
  wait_for 10 socket_ready || fail "weston did not start"
  export WAYLAND_DISPLAY=wayland-xsession
else
  export QT_QPA_PLATFORM=xcb
  # Xvfb chooses a free display itself and writes its number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3> "$dir/display" \
    > "$dir/xvfb.log" 2>&1 &
  pids+=($!)
  display_ready() { grep -q '^[0-9][0-9]*$' "$dir/display" 2> /dev/null; }
  wait_for 10 display_ready || fail "Xvfb did not start"
  DISPLAY=:$(head -n 1 "$dir/display")
  export DISPLAY
fi

# Without a session bus Qt's accessibility bridge stays off; without --a11y point at a
# socket that does not exist, so that nothing autolaunches a bus behind our back.
if [ "$a11y" = 1 ]; then
  command -v dbus-daemon > /dev/null || fail "dbus-daemon is missing"
  [ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi-bus-launcher is missing (at-spi2-core)"
  # No service directories: nothing can be activated on this bus, so no second
  # launcher can take org.a11y.Bus from ours.
  cat > "$dir/session.conf" << EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/runtime/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  dbus-daemon --nofork --config-file="$dir/session.conf" > "$dir/dbus.log" 2>&1 &
  pids+=($!)
  bus_ready() { [ -S "$dir/runtime/bus" ]; }
  wait_for 10 bus_ready || fail "the session bus did not start"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/runtime/bus

  /usr/libexec/at-spi-bus-launcher --a11y=1 > "$dir/a11y.log" 2>&1 &
  pids+=($!)
  a11y_ready() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress > /dev/null 2>&1
  }
  wait_for 10 a11y_ready || fail "the accessibility bus did not start"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
else
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/runtime/no-bus
fi

if [ "$wayland" = 0 ]; then
  # openbox marks the root window once it manages the screen.
  mkdir -p "$dir/home/.config"
  XDG_CONFIG_HOME=$dir/home/.config openbox --sm-disable > "$dir/openbox.log" 2>&1 &
  pids+=($!)
  wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }
  wait_for 10 wm_ready || fail "openbox did not start"
fi

# Background job with the caller's stdin, so that a signal to this script is
# handled at once rather than after the command ends.
"$@" <&0 &
cmd_pid=$!
set +e
wait "$cmd_pid"
rc=$?
set -e
cmd_pid=""
exit "$rc"
