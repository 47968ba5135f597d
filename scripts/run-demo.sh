#!/usr/bin/env bash
# Starts Tindrel on the demo library: scripts/run-demo.sh BUILD_DIR [DEMO_DIR]
#
# On first use the demo folder is made from demo/: the four category files and a
# configuration that registers the custom category "Shell". The demo keeps its
# configuration inside the demo folder (XDG_CONFIG_HOME=DEMO_DIR/config), so the
# user's own Tindrel configuration and library folders are never touched.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
demo="${2:-$HOME/.local/share/Velmora Software/Tindrel/demo}"

case "$build" in
  /*) ;;
  *) build="$root/$build" ;;
esac
bin="$build/app/tindrel"
if [ ! -x "$bin" ]; then
  echo "error: $bin not found; build first (make build)" >&2
  exit 1
fi

config_dir="$demo/config/Velmora Software/Tindrel"
if [ ! -e "$demo/.tindrel-demo" ]; then
  echo "Creating the demo library in $demo"
  mkdir -p "$demo" "$config_dir"
  # -n: files the user has already changed in the demo folder stay as they are.
  for f in "$root"/demo/quorrin*.txt "$root/demo/nocando.txt"; do
    cp -n -- "$f" "$demo/"
  done
  cp -n -- "$root/demo/Tindrel.conf" "$config_dir/Tindrel.conf"
  touch "$demo/.tindrel-demo"
fi

export XDG_CONFIG_HOME="$demo/config"
cd "$demo"
echo "Tindrel library folder: $demo"
exec "$bin"
