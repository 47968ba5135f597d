#!/usr/bin/env bash
# Takes the README's picture: Tindrel on a fresh copy of the demo library, on a
# virtual display, with a sample selected.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png]      (default build, docs/screenshot.png)
# Needs Xvfb, xdotool and ImageMagick's import (scripts/install-deps.sh --gui-tools).
# Nothing of the user's own configuration or library is read or changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
out="${2:-$root/docs/screenshot.png}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
bin="$build/app/tindrel"
[ -x "$bin" ] || { echo "error: $bin not found; build first (make build)" >&2; exit 1; }
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "error: $tool is missing (scripts/install-deps.sh --gui-tools)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The demo library and its configuration, in the work folder only (its home folder, so
# the status bar shows a short path).
demo="$work/home/my-samples"
mkdir -p "$demo" "$work/home" "$work/config/Velmora Software/Tindrel"
cp "$root"/demo/quorrin*.txt "$demo/"
cp "$root/demo/Tindrel.conf" "$work/config/Velmora Software/Tindrel/Tindrel.conf"

# A display number nobody uses.
display=
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "error: no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 1 100); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done

env -u WAYLAND_DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
  XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 "$bin" "$demo" >"$work/tindrel.log" 2>&1 &
app_pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tindrel$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "error: the Tindrel window did not appear" >&2
  cat "$work/tindrel.log" >&2
  exit 1
fi
xdotool windowmove "$window" 0 0 windowsize "$window" 1000 640 windowfocus --sync "$window"
sleep 1
# The tree has the focus with the root selected and C++ > General open: go down to the
# third sample of General ("Split a string on a delimiter").
xdotool key --window "$window" --delay 150 Down Down Down Down Down Down
sleep 1

mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "Screenshot written to $out"
