#!/usr/bin/env bash
# Runs the test suite of a build folder, prints CTest's summary, and for each test skipped on
# this platform the reason the test gave. Fails when any test fails or none ran.
#
#   scripts/run-tests.sh BUILD_FOLDER
set -uo pipefail
build=$1
ctest --test-dir "$build" --no-tests=error --output-on-failure -j "${JOBS:-2}" \
  >"$build/ctest.log" 2>&1
status=$?
if [ $status -ne 0 ]; then
  cat "$build/ctest.log"
  exit $status
fi
sed -n '/tests passed/,$p' "$build/ctest.log"
# GoogleTest writes a skipped test's reason on the line after "Skipped".
grep -h -A1 ': Skipped$' "$build/Testing/Temporary/LastTest.log" | grep -v -e '^--$' \
  -e ': Skipped$' | sed 's/^/  skipped because: /' || true
