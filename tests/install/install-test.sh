#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop gets: the file
# list, the desktop entry and the AppStream metadata (their validators), the manual
# pages (rendered without warnings), the shell completion, the programs' --version and
# --help, and that the desktop entry's command opens the default library folder
# without putting anything into the home folder itself.
#
# install-test.sh BUILD_DIR VERSION HELP_FROM_PROGRAM
set -uo pipefail

build=$1
version=$2
help_from_program=$3
prefix=/usr/local
app_id=com.velmorasoftware.tindrel

tmp=$(mktemp -d)
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

root=$tmp/dest$prefix
if ! DESTDIR=$tmp/dest cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

# --- The files, exactly ---
expected=(
  bin/tindrel
  bin/tindrel-cli
  "share/applications/$app_id.desktop"
  share/bash-completion/completions/tindrel
  share/bash-completion/completions/tindrel-cli
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/man/man1/tindrel-cli.1
  share/man/man1/tindrel.1
  "share/metainfo/$app_id.metainfo.xml"
  share/tindrel/help/TindrelHelp.html
  share/tindrel/help/nocando.txt
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$tmp/expected.txt"
(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/installed.txt"
diff -u "$tmp/expected.txt" "$tmp/installed.txt" >&2 || fail "the installed files differ from the list (- expected, + installed)"
[ -x "$root/bin/tindrel" ] && [ -x "$root/bin/tindrel-cli" ] || fail "the programs are not executable"
[ -f "$root/bin/$help_from_program/TindrelHelp.html" ] ||
  fail "the guide is not where the program looks: bin/$help_from_program"

# --- Desktop entry ---
desktop=$root/share/applications/$app_id.desktop
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
  fail "desktop-file-validate: $out"
fi
exec_line=$(sed -n '1,/^$/s/^Exec=//p' "$desktop")
[ "$exec_line" = "$prefix/bin/tindrel --library" ] || fail "Exec line: $exec_line"
pick_line=$(sed -n '/^\[Desktop Action QuickPick\]/,$s/^Exec=//p' "$desktop")
[ "$pick_line" = "$prefix/bin/tindrel --pick --library" ] || fail "Quick pick's Exec line: $pick_line"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the Icon is not $app_id"

# --- AppStream metadata ---
metainfo=$root/share/metainfo/$app_id.metainfo.xml
if ! out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1); then
  fail "appstreamcli validate: $out"
elif grep -Eq '^[EWIP]: ' <<<"$out"; then
  fail "appstreamcli validate reports: $out"
fi
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata's release is not $version"

# --- Manual pages ---
for page in tindrel tindrel-cli; do
  file=$root/share/man/man1/$page.1
  if ! MANWIDTH=80 man --warnings -l "$file" >"$tmp/$page.txt" 2>"$tmp/$page.err"; then
    fail "man -l $page.1 failed"
  fi
  [ -s "$tmp/$page.err" ] && fail "man warns about $page.1: $(cat "$tmp/$page.err")"
  grep -q "^NAME" "$tmp/$page.txt" && grep -q -- "--library" "$tmp/$page.txt" ||
    fail "$page.1 renders without its NAME or --library"
  grep -q "$version" "$tmp/$page.txt" || fail "$page.1 does not carry version $version"
done

# --- Shell completion ---
completions=$root/share/bash-completion/completions
for script in tindrel tindrel-cli; do
  bash -n "$completions/$script" || fail "bash -n $script"
done
# Completes WORDS... (the last one is being typed); prints the candidates.
complete_words() {
  local script=$1 function=$2
  shift 2
  bash -c '
    source "$1"; function=$2; shift 2
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    "$function"; printf "%s\n" "${COMPREPLY[@]}"' _ "$completions/$script" "$function" "$@"
}
[ "$(complete_words tindrel-cli _tindrel_cli tindrel-cli se)" = search ] || fail "completion of a command"
[ "$(complete_words tindrel-cli _tindrel_cli tindrel-cli --libr)" = --library ] || fail "completion of --library"
[ "$(complete_words tindrel-cli _tindrel_cli tindrel-cli --library search --ma)" = --match-case ] ||
  fail "completion of a command's option after a global option"
[ "$(complete_words tindrel-cli _tindrel_cli tindrel-cli --folder /tmp info --d)" = --detail ] ||
  fail "completion after --folder DIR"
[ "$(complete_words tindrel _tindrel tindrel --li)" = --library ] || fail "completion of tindrel --library"

# --- The installed programs, without a display ---
run() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
[ "$(run "$root/bin/tindrel" --version)" = "tindrel $version" ] || fail "tindrel --version"
[ "$(run "$root/bin/tindrel-cli" --version)" = "tindrel-cli $version" ] || fail "tindrel-cli --version"
run "$root/bin/tindrel" --help | grep -q -- "--library" || fail "tindrel --help does not name --library"
run "$root/bin/tindrel-cli" --help | grep -q -- "--folder DIR" || fail "tindrel-cli --help does not name --folder"
run "$root/bin/tindrel" --no-such-option 2>/dev/null
[ $? -eq 2 ] || fail "a bad option does not end tindrel with status 2"

# --- The desktop entry's command on a fresh account ---
home=$tmp/home
mkdir -p "$home"
library="$home/.local/share/Velmora Software/Tindrel/library"
(cd "$home" && exec env -i PATH="$PATH" HOME="$home" QT_QPA_PLATFORM=offscreen \
   "$root/bin/tindrel" --library >"$tmp/program.log" 2>&1) &
program_pid=$!
# The program has opened the library once it has made its placeholder; it runs until
# stopped. Category files are made when a sample is first saved, never empty at start.
for _ in $(seq 1 600); do
  [ -f "$library/library.txt" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -f "$library/library.txt" ]; then
  sleep 1
  for file in quorrincpp.txt quorrinjava.txt quorrinvb.txt; do
    [ ! -e "$library/$file" ] || fail "an empty $file was made at start"
  done
else
  fail "tindrel --library did not open $library: $(cat "$tmp/program.log")"
fi
kill "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null
program_pid=
stray=$(cd "$home" && find . -mindepth 1 -maxdepth 1 ! -name '.*')
[ -z "$stray" ] || fail "created in the home folder itself: $stray"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install test passed: $(wc -l <"$tmp/installed.txt") files below $prefix"
