#!/usr/bin/env bash
# Fails unless every named test is registered with ctest in the build folder, so a
# build configured without some tests cannot pass for a complete run.
#   scripts/check-tests.sh BUILD_DIR TEST...
set -euo pipefail

build=$1
shift
registered=$(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p')
missing=()
for test in "$@"; do
  grep -qxF -- "$test" <<<"$registered" || missing+=("$test")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "error: these tests are not registered in $build: ${missing[*]}" >&2
  echo "(is the build folder configured with -DTINDREL_GUI=OFF? 'make configure' sets it up again)" >&2
  exit 1
fi
