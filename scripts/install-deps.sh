#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tindrel need,
# skipping those already present. Uses apt-get as root, sudo otherwise.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          # The sample text's code editor.
          libqscintilla2-qt6-dev
          # The quick-pick window: whether a clipboard manager runs (the X server's selections).
          libxcb1-dev
          # Import and export: JSON with comments and trailing commas, YAML front matter.
          libjsoncpp-dev libyaml-cpp-dev
          # The install test: the desktop entry's and the metadata's validators, man.
          desktop-file-utils appstream man-db
          # Regular expressions in the Search dialog and tindrel-cli (PCRE2 with its JIT).
          libpcre2-dev
          # The benchmark's reference for the search's speed (rg -c).
          ripgrep
          # make package: the .deb's library dependencies (dpkg-shlibdeps).
          dpkg-dev
          # Sync through git: tindrel-cli sync and the window's Sync Now run git.
          git)
if [ "${1:-}" = "--gui-tools" ]; then
  # Only for looking at the window by hand and for scripts/screenshot.sh and
  # scripts/make-icons.sh: a virtual display, its drivers, a screen grabber, an SVG renderer.
  packages+=(xvfb xdotool imagemagick librsvg2-bin xclip)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  apt_get=(apt-get)
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  apt_get=(sudo apt-get)
elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
  apt_get=(sudo apt-get)
else
  echo "error: these packages are missing and cannot be installed without root or sudo:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" update -qq
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
