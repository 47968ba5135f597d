#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/com.velmorasoftware.tindrel.svg) into
# the PNG sizes of the hicolor icon theme, below packaging/icons/hicolor. Run it after
# changing the SVG and commit the PNG files; the build only installs them.
# Needs rsvg-convert (scripts/install-deps.sh --gui-tools).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
svg="$root/packaging/icons/com.velmorasoftware.tindrel.svg"
command -v rsvg-convert >/dev/null || { echo "error: rsvg-convert is missing (scripts/install-deps.sh --gui-tools)" >&2; exit 1; }

for size in 16 22 24 32 48 64 128 256; do
  dir="$root/packaging/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" "$svg" --output "$dir/com.velmorasoftware.tindrel.png"
done
echo "Icons written below $root/packaging/icons/hicolor"
